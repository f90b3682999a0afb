#pragma once
#include "platform/Shared.h"
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

namespace Plicora PLICORA_SHARED {

// Message-box style flags and answers, with the values the program's code uses.
namespace vb {
enum : int {
    OKOnly = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5,
    Critical = 16, Question = 32, Exclamation = 48, Information = 64,
    DefaultButton1 = 0, DefaultButton2 = 256, DefaultButton3 = 512,
    SystemModal = 4096,
};
enum Answer : int { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };
inline int buttonsOf(int style) { return style & 0x7; }
inline int iconOf(int style) { return style & 0x70; }
inline int defaultOf(int style) { return (style & 0x300) >> 8; } // 0-based
} // namespace vb

// Every message box, input box, file, font and colour dialog and every beep of
// the program goes through here. Tests install a scripted double.
class DialogService {
public:
    virtual ~DialogService() = default;
    // Returns one of vb::Answer.
    virtual int msgBox(const QString& text, int style, const QString& title) = 0;
    // The typed text, or an empty text on Cancel (as InputBox does).
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& def) = 0;
    // Chosen file, empty on Cancel.
    virtual QString openFile(const QString& title, const QString& dir, const QString& filter) = 0;
    virtual QString saveFile(const QString& title, const QString& dir, const QString& filter) = 0;
    // The chosen font, none on Cancel; fixedPitchOnly offers the fixed-pitch fonts only
    // (a service that cannot tell them apart offers every font).
    virtual std::optional<QFont> chooseFont(const QFont& initial, bool fixedPitchOnly) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    virtual void beep() = 0;
};

DialogService& dialogs();
void setDialogService(std::unique_ptr<DialogService> d);

// The window the program has just made its active one. Shown and activated by the program,
// it is not active for the window system until that gets round to it: the dialogs that come
// in between belong to it (while it is shown).
void setProgramActiveWindow(QWidget* window);

// Shortcuts in the form the code reads best.
inline int MsgBox(const QString& text, int style = vb::OKOnly, const QString& title = {})
{
    return dialogs().msgBox(text, style, title);
}
inline void Beep()
{
    dialogs().beep();
}

} // namespace Plicora

namespace vb = Plicora::vb;
using Plicora::DialogService;
using Plicora::dialogs;
using Plicora::setDialogService;
using Plicora::setProgramActiveWindow;
using Plicora::MsgBox;
using Plicora::Beep;
