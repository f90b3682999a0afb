#include "OrdalisControl.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QResizeEvent>

#include <cmath>

namespace Ordalis
{

namespace
{
int g_live = 0;
}

OrdalisControl::OrdalisControl(QWidget* parent) : QWidget(parent)
{
    addLive(1);
}

OrdalisControl::~OrdalisControl()
{
    addLive(-1);
}

int OrdalisControl::liveObjects()
{
    return g_live;
}

void OrdalisControl::addLive(int delta)
{
    g_live += delta;
}

int OrdalisControl::toPixels(qint64 twips)
{
    return int(std::lround(double(twips) / 15.0));
}

int OrdalisControl::vbKeyCode(int key, Qt::KeyboardModifiers mods)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (mods & Qt::KeypadModifier) ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Print:
        return 42;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Help:
        return 47;
    case Qt::Key_Asterisk:
        return (mods & Qt::KeypadModifier) ? 106 : 0;
    case Qt::Key_Plus:
        return (mods & Qt::KeypadModifier) ? 107 : 187;
    case Qt::Key_Minus:
        return (mods & Qt::KeypadModifier) ? 109 : 189;
    case Qt::Key_Period:
        return (mods & Qt::KeypadModifier) ? 110 : 190;
    case Qt::Key_Slash:
        return (mods & Qt::KeypadModifier) ? 111 : 191;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    default:
        return 0;
    }
}

int OrdalisControl::vbShift(Qt::KeyboardModifiers mods)
{
    return ((mods & Qt::ShiftModifier) ? 1 : 0) | ((mods & Qt::ControlModifier) ? 2 : 0) |
           ((mods & Qt::AltModifier) ? 4 : 0);
}

int OrdalisControl::vbButton(Qt::MouseButtons b)
{
    return ((b & Qt::LeftButton) ? 1 : 0) | ((b & Qt::RightButton) ? 2 : 0) |
           ((b & Qt::MiddleButton) ? 4 : 0);
}

void OrdalisControl::setInner(QWidget* w)
{
    inner_ = w;
    w->setParent(this);
    w->setGeometry(rect());
    w->installEventFilter(this);
    setFocusProxy(w);
    setFocusPolicy(w->focusPolicy());
    // The focus can move to another field while the window is in the back;
    // the field is left all the same.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (inside_ && now && now != inner_ && inner_ && now->window() == inner_->window()) {
            inside_ = false;
            focusExit();
            Q_EMIT LostFocus();
        }
    });
}

bool OrdalisControl::refuse(const QString& why)
{
    lastError_ = why.isEmpty() ? QStringLiteral("Valore della proprietà non valido") : why;
    return false;
}

bool OrdalisControl::innerEvent(QEvent*)
{
    return false;
}

bool OrdalisControl::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != inner_) return QWidget::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::FocusIn:
        // A window that comes back to the front gives the focus back to the
        // field it had: that is no new entry.
        if (!inside_) {
            inside_ = true;
            focusEntry();
            Q_EMIT GotFocus();
        }
        break;
    case QEvent::FocusOut: {
        // A message box or a menu over the window, or another program, takes the
        // keyboard for a while; the field is left only when the focus moves on.
        const auto reason = static_cast<QFocusEvent*>(e)->reason();
        if (inside_ && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            inside_ = false;
            focusExit();
            Q_EMIT LostFocus();
        }
        break;
    }
    default:
        return innerEvent(e);
    }
    return false;
}

void OrdalisControl::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (inner_) {
        if (inner_->width() != width()) inner_->resize(width(), inner_->height());
        if (inner_->height() != height()) inner_->resize(inner_->width(), height());
        inner_->move(0, 0);
    }
    innerResized();
}

} // namespace Ordalis
