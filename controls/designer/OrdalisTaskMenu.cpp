#include "OrdalisTaskMenu.h"

#include "controls/Ordalis.h"
#include "controls/OrdalisControl.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

#include <QAction>

DesignerPageHost::DesignerPageHost(QWidget* widget, QDesignerFormWindowInterface* form, QObject* parent)
    : QObject(parent), widget_(widget), form_(form)
{
}

QList<QObject*> DesignerPageHost::selection() const
{
    QList<QObject*> out;
    if (!widget_) return out;
    out << widget_.data();
    if (!form_) return out;
    QDesignerFormWindowCursorInterface* c = form_->cursor();
    for (int i = 0; c && i < c->selectedWidgetCount(); ++i) {
        QWidget* w = c->selectedWidget(i);
        if (w && w != widget_ && w->metaObject() == widget_->metaObject()) out << w;
    }
    return out;
}

bool DesignerPageHost::setProperty(QObject* control, const QString& name, const QVariant& value, QString* why)
{
    auto* w = qobject_cast<QWidget*>(control);
    if (!form_ || !w || !form_->cursor()) {
        if (why) *why = QStringLiteral("Il modulo non è più aperto");
        return false;
    }
    // The control keeps the reason of its last refusal: cleared first, read after the write.
    auto* c = qobject_cast<Ordalis::OrdalisControl*>(control);
    if (c) c->clearError();
    // Wide and Heig are the size drawn: the form's geometry changes first, in the same
    // command, so an undo gives back the size before the page's Apply (0 keeps it as drawn).
    const bool wide = name == QLatin1String("Wide");
    if (c && (wide || name == QLatin1String("Heig")) && value.toLongLong() > 0) {
        QRect g = w->geometry();
        const int px = Ordalis::OrdalisControl::toPixels(value.toLongLong());
        if (wide)
            g.setWidth(px);
        else
            g.setHeight(px);
        if (g != w->geometry()) form_->cursor()->setWidgetProperty(w, QStringLiteral("geometry"), g);
    }
    form_->cursor()->setWidgetProperty(w, name, value);
    const QString e = Ordalis::dispError(control);
    if (e.isEmpty()) return true;
    if (why) *why = e;
    return false;
}

void DesignerPageHost::beginCommand(const QString& description)
{
    if (form_) form_->beginCommand(description);
}

void DesignerPageHost::endCommand()
{
    if (form_) form_->endCommand();
}

OrdalisTaskMenu::OrdalisTaskMenu(QWidget* widget, const QString& pageName, QObject* parent)
    : QObject(parent), widget_(widget), action_(new QAction(pageName + QStringLiteral("..."), this))
{
    connect(action_, &QAction::triggered, this, &OrdalisTaskMenu::openPage);
}

void OrdalisTaskMenu::openPage()
{
    if (!widget_) return;
    QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(widget_.data());
    if (!form) return;
    auto* host = new DesignerPageHost(widget_, form);
    Ordalis::PropertyPage* page =
        Ordalis::createPropertyPage(QString::fromLatin1(widget_->metaObject()->className()), host);
    if (!page) {
        delete host;
        return;
    }
    QWidget* top = form->core() && form->core()->topLevel() ? form->core()->topLevel() : form->window();
    auto* dlg = new Ordalis::PropertyPageDialog(page, top);
    host->setParent(dlg); // after the page: the page goes first
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    // Window-modal without a loop of its own: Designer keeps running its own.
    dlg->open();
}

OrdalisTaskMenuFactory::OrdalisTaskMenuFactory(const QString& className, const QString& pageName,
                                               QExtensionManager* parent)
    : QExtensionFactory(parent), className_(className), pageName_(pageName)
{
}

QObject* OrdalisTaskMenuFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const
{
    if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
    auto* w = qobject_cast<QWidget*>(object);
    if (!w || QLatin1String(w->metaObject()->className()) != className_) return nullptr;
    return new OrdalisTaskMenu(w, pageName_, parent);
}
