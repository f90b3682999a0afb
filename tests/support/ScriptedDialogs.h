#pragma once
#include "platform/Dialogs.h"

#include <QList>
#include <QQueue>

#include <functional>

// Dialog service for tests: answers come from a script, every call is recorded,
// and a dialog nobody scripted fails the running test at once.
class ScriptedDialogs final : public DialogService
{
  public:
    struct Call {
        QString kind; // "msg", "input", "open", "save", "font", "color"
        QString text;
        QString title;
        int style = 0;
        QString dir;    // file dialogs: the folder they open in
        QString filter; // file dialogs: the filter offered
        QFont font;     // font dialog: the font it opens with
        bool fixedPitchOnly = false; // font dialog: only fixed-pitch fonts offered
        int buttons() const { return vb::buttonsOf(style); }
        int icon() const { return vb::iconOf(style); }
        int defaultButton() const { return vb::defaultOf(style); }
    };

    // Next message box answers with this (vb::Yes, vb::No, ...).
    ScriptedDialogs& answer(int vbAnswer);
    ScriptedDialogs& answerInput(const QString& text);
    ScriptedDialogs& answerFile(const QString& path);
    ScriptedDialogs& answerFont(std::optional<QFont> f);
    ScriptedDialogs& answerColor(std::optional<QColor> c);

    int msgBox(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& def) override;
    QString openFile(const QString& title, const QString& dir, const QString& filter) override;
    QString saveFile(const QString& title, const QString& dir, const QString& filter) override;
    std::optional<QFont> chooseFont(const QFont& initial, bool fixedPitchOnly) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    void beep() override { ++beeps; }

    // Message texts shown so far.
    QStringList messages() const;
    bool allAnswered() const;

    QList<Call> calls;
    // The text each input box offered, in order.
    QStringList inputDefaults;
    // When set, a plain OK box needs no script (it can only be acknowledged); still recorded.
    bool acceptOkBoxes = false;
    // Runs as each message box comes up, before it is answered (a test's stand-in for what
    // the desktop does when a box shows).
    std::function<void()> onMsgBox;
    int beeps = 0;

  private:
    QQueue<int> answers_;
    QQueue<QString> inputs_;
    QQueue<QString> files_;
    QQueue<std::optional<QFont>> fonts_;
    QQueue<std::optional<QColor>> colors_;
};
