#include "OrdalisDesigner.h"

#include "OrdalisTaskMenu.h"

#include "controls/Ordalis.h"
#include "controls/OrdalisControl.h"

#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QExtensionManager>

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

#include <utility>

OrdalisWidget::OrdalisWidget(const QString& className, const QString& toolTip, const QString& domXml,
                             QObject* parent)
    : QObject(parent), className_(className), toolTip_(toolTip), domXml_(domXml)
{
}

QIcon OrdalisWidget::icon() const
{
    // A 16 x 15 toolbox image drawn here, so the plugin carries no files.
    QPixmap pm(16, 15);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 14);
    if (className_ == QLatin1String("Chk_")) {
        p.drawRect(3, 3, 8, 8);
        p.drawLine(4, 7, 6, 9);
        p.drawLine(6, 9, 10, 4);
    } else if (className_ == QLatin1String("Dat_")) {
        // A small calendar page.
        p.drawRect(3, 3, 9, 8);
        p.drawLine(3, 5, 12, 5);
        p.drawPoint(6, 8);
        p.drawPoint(9, 8);
    } else {
        p.drawLine(3, 4, 3, 10);
        p.drawLine(5, 7, 12, 7);
    }
    return QIcon(pm);
}

void OrdalisWidget::initialize(QDesignerFormEditorInterface* core)
{
    if (initialized_) return;
    initialized_ = true;
    if (!core || !core->extensionManager()) return;
    QExtensionManager* manager = core->extensionManager();
    manager->registerExtensions(
        new OrdalisTaskMenuFactory(name(), QStringLiteral("Propriet\u00e0") + className_.left(3), manager),
        Q_TYPEID(QDesignerTaskMenuExtension));
}

namespace
{

// On a form being edited the size drawn and Wide/Heig are one value: a resize by
// the handles (or by undoing one) carries the new size into a Wide or Heig that
// was set, so what the form saves gives the host the size drawn. 0 stays "as drawn".
class SizeFollower : public QObject
{
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Resize) follow(static_cast<QWidget*>(watched));
        return false;
    }

  private:
    static void follow(QWidget* w)
    {
        QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(w);
        if (!form) return; // a preview or a form loader: the control's own rules
        for (const auto& [name, pixels] : {std::pair{"Wide", w->width()}, std::pair{"Heig", w->height()}}) {
            const qint32 set = w->property(name).toInt();
            // Twips that give the same pixels are kept as the page wrote them.
            if (set <= 0 || Ordalis::OrdalisControl::toPixels(set) == pixels) continue;
            const qint32 now = Ordalis::OrdalisControl::toTwips(pixels);
            w->setProperty(name, now);
            QDesignerPropertyEditorInterface* editor =
                form->core() ? form->core()->propertyEditor() : nullptr;
            if (editor && editor->object() == w) editor->setPropertyValue(QLatin1String(name), now, true);
        }
    }
};

} // namespace

QWidget* OrdalisWidget::createWidget(QWidget* parent)
{
    QWidget* w = Ordalis::createControl(QStringLiteral("Ordalis.") + className_, parent);
    if (w) w->installEventFilter(new SizeFollower(w));
    return w;
}

namespace
{
QString domXmlOf(const QString& className, const QString& name, int width)
{
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"Ordalis::%1\" name=\"%2\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>%3</width><height>21</height></rect>\n"
                          "  </property>\n"
                          " </widget>\n"
                          "</ui>\n")
        .arg(className, name)
        .arg(width);
}
} // namespace

OrdalisDesigner::OrdalisDesigner(QObject* parent) : QObject(parent)
{
    widgets_ << new OrdalisWidget(QStringLiteral("Txt_"), QStringLiteral("Campo di testo con modo numerico"),
                                  domXmlOf(QStringLiteral("Txt_"), QStringLiteral("Txt_1"), 120), this);
    widgets_ << new OrdalisWidget(QStringLiteral("Chk_"), QStringLiteral("Casella di spunta"),
                                  domXmlOf(QStringLiteral("Chk_"), QStringLiteral("Chk_1"), 120), this);
    widgets_ << new OrdalisWidget(QStringLiteral("Dat_"), QStringLiteral("Campo data con tasti rapidi"),
                                  domXmlOf(QStringLiteral("Dat_"), QStringLiteral("Dat_1"), 80), this);
}
