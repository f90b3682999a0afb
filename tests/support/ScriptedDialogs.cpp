#include "ScriptedDialogs.h"

#include <QTest>

namespace
{
void unscripted(const QString& kind, const QString& text)
{
    const QByteArray msg =
        (QStringLiteral("unscripted ") + kind + QStringLiteral(" dialog: ") + text).toUtf8();
    QTest::qFail(msg.constData(), __FILE__, __LINE__);
}
} // namespace

ScriptedDialogs& ScriptedDialogs::answer(int a)
{
    answers_.enqueue(a);
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerInput(const QString& t)
{
    inputs_.enqueue(t);
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerFile(const QString& p)
{
    files_.enqueue(p);
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerFont(std::optional<QFont> f)
{
    fonts_.enqueue(f);
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerColor(std::optional<QColor> c)
{
    colors_.enqueue(c);
    return *this;
}

int ScriptedDialogs::msgBox(const QString& text, int style, const QString& title)
{
    calls << Call{QStringLiteral("msg"), text, title, style, {}, {}, {}, false};
    if (onMsgBox) onMsgBox();
    if (answers_.isEmpty()) {
        if (acceptOkBoxes && vb::buttonsOf(style) == vb::OKOnly) return vb::OK;
        unscripted(QStringLiteral("message"), text);
        return vb::Cancel;
    }
    return answers_.dequeue();
}

QString ScriptedDialogs::inputBox(const QString& prompt, const QString& title, const QString& def)
{
    calls << Call{QStringLiteral("input"), prompt, title, 0, {}, {}, {}, false};
    inputDefaults << def;
    if (inputs_.isEmpty()) {
        unscripted(QStringLiteral("input"), prompt);
        return {};
    }
    return inputs_.dequeue();
}

QString ScriptedDialogs::openFile(const QString& title, const QString& dir, const QString& filter)
{
    calls << Call{QStringLiteral("open"), dir, title, 0, dir, filter, {}, false}; // text: the start folder too
    if (files_.isEmpty()) {
        unscripted(QStringLiteral("file"), title);
        return {};
    }
    return files_.dequeue();
}

QString ScriptedDialogs::saveFile(const QString& title, const QString& dir, const QString& filter)
{
    calls << Call{QStringLiteral("save"), QString(), title, 0, dir, filter, {}, false};
    if (files_.isEmpty()) {
        unscripted(QStringLiteral("file"), title);
        return {};
    }
    return files_.dequeue();
}

std::optional<QFont> ScriptedDialogs::chooseFont(const QFont& initial, bool fixedPitchOnly)
{
    calls << Call{QStringLiteral("font"), initial.family(), QString(), 0, {}, {}, initial, fixedPitchOnly};
    if (fonts_.isEmpty()) {
        unscripted(QStringLiteral("font"), QString());
        return std::nullopt;
    }
    return fonts_.dequeue();
}

std::optional<QColor> ScriptedDialogs::chooseColor(const QColor&)
{
    calls << Call{QStringLiteral("color"), QString(), QString(), 0, {}, {}, {}, false};
    if (colors_.isEmpty()) {
        unscripted(QStringLiteral("color"), QString());
        return std::nullopt;
    }
    return colors_.dequeue();
}

QStringList ScriptedDialogs::messages() const
{
    QStringList out;
    for (const Call& c : calls)
        if (c.kind == QLatin1String("msg")) out << c.text;
    return out;
}

bool ScriptedDialogs::allAnswered() const
{
    return answers_.isEmpty() && inputs_.isEmpty() && files_.isEmpty() && fonts_.isEmpty() &&
           colors_.isEmpty();
}
