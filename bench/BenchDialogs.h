// The benchmarks' dialog service: no dialog may wait for a user, every question is
// answered Yes and every message is told on stderr.
#pragma once

#include "platform/Dialogs.h"

#include <cstdio>

class AnswerYes final : public DialogService
{
  public:
    int msgBox(const QString& text, int, const QString&) override
    {
        std::fprintf(stderr, "messaggio: %s\n", qPrintable(text));
        return vb::Yes;
    }
    QString inputBox(const QString&, const QString&, const QString& def) override { return def; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QFont> chooseFont(const QFont&, bool) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    void beep() override {}
};
