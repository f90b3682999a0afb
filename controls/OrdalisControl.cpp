#include "OrdalisControl.h"

#include "platform/VbKeys.h"

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
    return VbKeys::keyCode(key, mods);
}

int OrdalisControl::vbShift(Qt::KeyboardModifiers mods)
{
    return VbKeys::shift(mods);
}

int OrdalisControl::vbButton(Qt::MouseButtons b)
{
    return VbKeys::button(b);
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

void OrdalisControl::putEnabled(bool v)
{
    QWidget::setEnabled(v);
    notify(QStringLiteral("Enabled"));
    if (inner_ && inner_->isEnabled() != v) refuse(QStringLiteral("Il controllo sta in un contenitore disattivato"));
}

void OrdalisControl::putFont(const QFont& f)
{
    const QFont now = QWidget::font();
    QFont merged = f.resolve(now);
    merged.setResolveMask(f.resolveMask() | now.resolveMask());
    QWidget::setFont(merged);
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
