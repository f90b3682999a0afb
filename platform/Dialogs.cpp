#include "Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace Plicora {

namespace
{

QPointer<QWidget>& programActive()
{
    static QPointer<QWidget> w;
    return w;
}

// The window a dialog belongs to: the active window while it is shown. No window is active
// for the window system right after a box closes or a window is shown, until the window
// manager has caught up, which the code going on (a program run to its end, a window's
// activation handler) does not wait for: the dialog then belongs to the modal window on top,
// else to the window the program activated last, else to the window the previous dialog
// belonged to. A window that is being unloaded is hidden before its deferred deletion, so
// it never owns a dialog.
QWidget* dialogParent()
{
    static QPointer<QWidget> lastOwner;
    QWidget* w = QApplication::activeWindow();
    if (w && w->isVisible()) {
        lastOwner = w;
        return w;
    }
    w = QApplication::activeModalWidget();
    if (w && w->isVisible()) return w;
    w = programActive();
    if (w && w->isVisible()) return w;
    return lastOwner && lastOwner->isVisible() ? lastOwner.data() : nullptr;
}

class QtDialogService final : public DialogService
{
  public:
    int msgBox(const QString& text, int style, const QString& title) override
    {
        // On the heap and watched: should its window be destroyed while the box waits (a
        // deferred deletion running in the box's own loop), the box goes with it cleanly.
        QPointer<QMessageBox> box = new QMessageBox(dialogParent());
        // Texts may break lines with a lone CR, as the old message boxes showed them.
        box->setText(QString(text)
                         .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                         .replace(QLatin1Char('\r'), QLatin1Char('\n')));
        box->setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
        switch (vb::iconOf(style)) {
        case vb::Critical:
            box->setIcon(QMessageBox::Critical);
            break;
        case vb::Question:
            box->setIcon(QMessageBox::Question);
            break;
        case vb::Exclamation:
            box->setIcon(QMessageBox::Warning);
            break;
        case vb::Information:
            box->setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        struct B {
            const char* text;
            int answer;
            QMessageBox::ButtonRole role;
        };
        QList<B> buttons;
        switch (vb::buttonsOf(style)) {
        case vb::OKCancel:
            buttons = {{"OK", vb::OK, QMessageBox::AcceptRole},
                       {"Annulla", vb::Cancel, QMessageBox::RejectRole}};
            break;
        case vb::AbortRetryIgnore:
            buttons = {{"Interrompi", vb::Abort, QMessageBox::RejectRole},
                       {"Riprova", vb::Retry, QMessageBox::AcceptRole},
                       {"Ignora", vb::Ignore, QMessageBox::AcceptRole}};
            break;
        case vb::YesNoCancel:
            buttons = {{"Sì", vb::Yes, QMessageBox::YesRole},
                       {"No", vb::No, QMessageBox::NoRole},
                       {"Annulla", vb::Cancel, QMessageBox::RejectRole}};
            break;
        case vb::YesNo:
            buttons = {{"Sì", vb::Yes, QMessageBox::YesRole}, {"No", vb::No, QMessageBox::NoRole}};
            break;
        case vb::RetryCancel:
            buttons = {{"Riprova", vb::Retry, QMessageBox::AcceptRole},
                       {"Annulla", vb::Cancel, QMessageBox::RejectRole}};
            break;
        default:
            buttons = {{"OK", vb::OK, QMessageBox::AcceptRole}};
            break;
        }
        QList<QPushButton*> made;
        for (const B& b : buttons)
            made << box->addButton(QString::fromUtf8(b.text), b.role);
        const int def = qBound(0, vb::defaultOf(style), static_cast<int>(made.size()) - 1);
        box->setDefaultButton(made[def]);
        box->exec();
        int answer = buttons.size() == 1 ? vb::OK : buttons.back().answer; // Esc, window button, gone
        if (box) {
            for (int i = 0; i < made.size(); ++i)
                if (box->clickedButton() == made[i]) answer = buttons[i].answer;
            delete box.data();
        }
        return answer;
    }

    QString inputBox(const QString& prompt, const QString& title, const QString& def) override
    {
        bool ok = false;
        const QString t = QInputDialog::getText(dialogParent(), title, prompt, QLineEdit::Normal, def, &ok);
        return ok ? t : QString();
    }

    QString openFile(const QString& title, const QString& dir, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(dialogParent(), title, dir, filter);
    }

    QString saveFile(const QString& title, const QString& dir, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(dialogParent(), title, dir, filter);
    }

    std::optional<QFont> chooseFont(const QFont& initial, bool fixedPitchOnly) override
    {
        bool ok = false;
        const QFontDialog::FontDialogOptions options =
            fixedPitchOnly ? QFontDialog::MonospacedFonts : QFontDialog::FontDialogOptions();
        const QFont f = QFontDialog::getFont(&ok, initial, dialogParent(), QString(), options);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    }

    std::optional<QColor> chooseColor(const QColor& initial) override
    {
        const QColor c = QColorDialog::getColor(initial, dialogParent());
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    }

    void beep() override { QApplication::beep(); }
};

std::unique_ptr<DialogService>& slot()
{
    static std::unique_ptr<DialogService> s = std::make_unique<QtDialogService>();
    return s;
}

} // namespace

DialogService& dialogs()
{
    return *slot();
}

void setProgramActiveWindow(QWidget* window)
{
    programActive() = window;
}

void setDialogService(std::unique_ptr<DialogService> d)
{
    slot() = d ? std::move(d) : std::make_unique<QtDialogService>();
}

} // namespace Plicora
