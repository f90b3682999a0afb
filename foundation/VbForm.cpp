#include "VbForm.h"

#include "platform/VbKeys.h"

#include "M_MV.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>

#include <exception>

namespace
{

// The program window that ran Activate last.
QPointer<VbForm>& activeForm()
{
    static QPointer<VbForm> f;
    return f;
}

ModalRunner& runnerSlot()
{
    static ModalRunner r;
    return r;
}

// Mouse actions attached to plain widgets (labels, frames) that have no signals.
class MouseHook final : public QObject
{
  public:
    enum Kind { Up, Click, DblClick };
    MouseHook(QWidget* w, Kind kind, std::function<void(int, int, int, int)> action)
        : QObject(w), kind_(kind), action_(std::move(action))
    {
        w->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        auto* w = static_cast<QWidget*>(watched);
        if (e->type() == QEvent::MouseButtonPress && kind_ == Click) {
            pressed_ = static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton;
        } else if (e->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPoint p = me->position().toPoint();
            if (kind_ == Up) {
                fire(VbForm::vbButton(me->button()), VbForm::vbShift(me->modifiers()), p.x() * 15,
                     p.y() * 15);
            } else if (kind_ == Click && pressed_ && me->button() == Qt::LeftButton &&
                       w->rect().contains(p)) {
                pressed_ = false;
                fire(0, 0, 0, 0);
            }
        } else if (e->type() == QEvent::MouseButtonDblClick && kind_ == DblClick) {
            fire(0, 0, 0, 0);
        }
        return false;
    }

  private:
    void fire(int b, int s, int x, int y)
    {
        // The action may unload the window that owns the widget.
        action_(b, s, x, y);
    }

    Kind kind_;
    bool pressed_ = false;
    std::function<void(int, int, int, int)> action_;
};

} // namespace

void setModalRunner(ModalRunner runner)
{
    runnerSlot() = std::move(runner);
}

void runModalForReal(VbForm& form)
{
    QPointer<VbForm> guard(&form);
    QEventLoop loop;
    QObject::connect(&form, &VbForm::hidden, &loop, &QEventLoop::quit);
    QObject::connect(&form, &VbForm::unloadedSignal, &loop, &QEventLoop::quit);
    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    form.Activate();
    if (guard && !guard->isUnloaded() && guard->isVisible()) loop.exec();
}

VbForm::VbForm(QWidget* parent) : QWidget(parent) {}

VbForm::~VbForm()
{
    if (keyPreview_) qApp->removeEventFilter(this);
}

void VbForm::runLoad()
{
    Guard(objectName() + QStringLiteral(".Form_Load"), [this] { Form_Load(); });
}

void VbForm::Show()
{
    show();
    Activate();
}

int VbForm::ShowModal(VbForm* opener)
{
    QPointer<VbForm> self(this);
    QPointer<VbForm> back(opener);
    int result = Cancelled;
    modalResult_ = Cancelled;
    const auto conn = connect(this, &VbForm::unloadedSignal, this, [&result](int r) { result = r; });
    if (runnerSlot())
        runnerSlot()(*this);
    else
        runModalForReal(*this);
    if (self) {
        disconnect(conn);
        if (!self->isUnloaded()) result = self->modalResult_;
        self->setWindowModality(Qt::NonModal);
    }
    if (back && !back->isUnloaded() && back->isVisible()) back->Activate();
    return result;
}

bool VbForm::Unload()
{
    if (unloaded_ || unloading_) return true;
    unloading_ = true;
    int cancel = 0;
    Guard(objectName() + QStringLiteral(".Form_Unload"), [&] { Form_Unload(cancel); });
    unloading_ = false;
    if (cancel != 0) return false;
    unloaded_ = true;
    releaseInstance();
    hide();
    emit unloadedSignal(modalResult_);
    deleteLater();
    return true;
}

void VbForm::Activate()
{
    if (unloaded_) return;
    QPointer<VbForm> was = activeForm();
    activeForm() = this;
    setProgramActiveWindow(window());
    if (was && was != this && !was->isUnloaded()) was->Deactivate();
    if (unloaded_) return;
    Guard(objectName() + QStringLiteral(".Form_Activate"), [this] { Form_Activate(); });
}

void VbForm::Deactivate()
{
    if (unloaded_) return;
    Guard(objectName() + QStringLiteral(".Form_Deactivate"), [this] { Form_Deactivate(); });
}

void VbForm::Guard(const QString& handlerName, const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& e) {
        Qor().WriteLog(QStringLiteral("*** ERRORE in ") + handlerName + QStringLiteral(" : ") +
                           QString::fromLocal8Bit(e.what()),
                       0, Pth_DebugLog, true);
        MsgBox(QStringLiteral("ERRORE in ") + handlerName + QStringLiteral(" :\r\n") +
                   QString::fromLocal8Bit(e.what()),
               vb::Critical, handlerName);
    } catch (...) {
        Qor().WriteLog(QStringLiteral("*** ERRORE in ") + handlerName, 0, Pth_DebugLog, true);
        MsgBox(QStringLiteral("ERRORE in ") + handlerName + QStringLiteral(" !!"), vb::Critical, handlerName);
    }
}

int VbForm::vbButton(Qt::MouseButton b)
{
    return VbKeys::button(b);
}

int VbForm::vbShift(Qt::KeyboardModifiers m)
{
    return VbKeys::shift(m);
}

int VbForm::vbKeyCode(int k)
{
    return VbKeys::keyCode(k);
}

void VbForm::onMouseUp(QWidget* w, std::function<void(int, int, int, int)> action)
{
    new MouseHook(w, MouseHook::Up, std::move(action));
}

void VbForm::onClick(QWidget* w, std::function<void()> action)
{
    new MouseHook(w, MouseHook::Click, [a = std::move(action)](int, int, int, int) { a(); });
}

void VbForm::onDblClick(QWidget* w, std::function<void()> action)
{
    new MouseHook(w, MouseHook::DblClick, [a = std::move(action)](int, int, int, int) { a(); });
}

void VbForm::setKeyPreview(bool on)
{
    if (on == keyPreview_) return;
    keyPreview_ = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool VbForm::eventFilter(QObject* watched, QEvent* event)
{
    if (keyPreview_ && event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        auto* ke = static_cast<QKeyEvent*>(event);
        // A key the focused control leaves goes on to its parents: the form sees it once.
        const bool passedUp = event == lastKey_ && ke->key() == lastKeyCode_ &&
                              int(ke->modifiers()) == lastKeyMods_ && lastKeyTarget_ && w != lastKeyTarget_ &&
                              w->isAncestorOf(lastKeyTarget_);
        if (w->window() == this && !passedUp) {
            lastKey_ = event;
            lastKeyCode_ = ke->key();
            lastKeyMods_ = int(ke->modifiers());
            lastKeyTarget_ = w;
            const int code = vbKeyCode(ke->key());
            const int shift = vbShift(ke->modifiers());
            Guard(objectName() + QStringLiteral(".Form_KeyDown"), [&] { Form_KeyDown(code, shift); });
            int ascii = 0;
            if (code == 13)
                ascii = 13;
            else if ((ke->modifiers() & Qt::ControlModifier) && ke->key() >= Qt::Key_A &&
                     ke->key() <= Qt::Key_Z)
                ascii = 1 + (ke->key() - Qt::Key_A); // control characters, as the keyboard sends them
            else if (!ke->text().isEmpty())
                ascii = ke->text().at(0).unicode();
            if (ascii != 0)
                Guard(objectName() + QStringLiteral(".Form_KeyPress"), [&] { Form_KeyPress(ascii); });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void VbForm::closeEvent(QCloseEvent* e)
{
    if (unloaded_) {
        e->accept();
        return;
    }
    if (Unload())
        e->accept();
    else
        e->ignore();
}

void VbForm::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    if (!e->spontaneous()) emit hidden();
}
