#include "Chk_.h"

#include "PropertyBag.h"
#include "VbColor.h"
#include "frmAbout.h"

#include <QApplication>
#include <QMouseEvent>

#include <cmath>

namespace Ordalis
{

namespace
{

// A click on a greyed box ticks it, as the standard check box does; only code
// makes a box grey.
class Check1 : public QCheckBox
{
  public:
    using QCheckBox::QCheckBox;

  protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        setTristate(false);
    }
};

QFont ambientFont(const QWidget* w)
{
    return w->parentWidget() ? w->parentWidget()->font() : QApplication::font();
}

constexpr qint32 kFocusCaption = 0xB0; // dark red

} // namespace

Chk_::Chk_(QWidget* parent) : OrdalisControl(parent), foreColor_(VbColor::SystemButtonText)
{
    setObjectName(QStringLiteral("Chk_"));
    box_ = new Check1(QStringLiteral("Check1"), this);
    box_->setObjectName(QStringLiteral("Check1"));
    setInner(box_);
    connect(box_, &QCheckBox::stateChanged, this, [this] { Q_EMIT Click(); });
    resize(box_->sizeHint());
    initProperties();
    applyForeColor();
}

// ---------------------------------------------------------------- properties

void Chk_::applyForeColor()
{
    QPalette p = box_->palette();
    const QColor c = VbColor::toQColor(foreColor_, QApplication::palette(box_));
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::WindowText, c);
        p.setColor(group, QPalette::ButtonText, c);
    }
    box_->setPalette(p);
}

void Chk_::setBackColor(qint32 v)
{
    backColor_ = v;
    notify(QStringLiteral("BackColor"));
}

bool Chk_::setBackStyle(int v)
{
    if (v < 0 || v > 1) return refuse();
    backStyle_ = v;
    notify(QStringLiteral("BackStyle"));
    return true;
}

bool Chk_::setBorderStyle(int v)
{
    if (v < 0 || v > 1) return refuse();
    borderStyle_ = v;
    notify(QStringLiteral("BorderStyle"));
    return true;
}

void Chk_::setAutoRedraw(bool v)
{
    autoRedraw_ = v;
    notify(QStringLiteral("AutoRedraw"));
}

void Chk_::setCurrentY(double v)
{
    currentY_ = float(v);
    notify(QStringLiteral("CurrentY"));
}

bool Chk_::setForeColor(qint32 v)
{
    if (!VbColor::isValid(v)) return refuse();
    foreColor_ = v;
    applyForeColor();
    notify(QStringLiteral("ForeColor"));
    return true;
}

void Chk_::setEnabled(bool v)
{
    putEnabled(v);
}

void Chk_::setCurrentX(double v)
{
    currentX_ = float(v);
    notify(QStringLiteral("CurrentX"));
}

void Chk_::setFont(const QFont& f)
{
    putFont(f);
    notify(QStringLiteral("Font"));
}

void Chk_::setCaption(const QString& v)
{
    box_->setText(v);
    notify(QStringLiteral("Caption"));
}

int Chk_::Value() const
{
    switch (box_->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

bool Chk_::setValue(int v)
{
    if (v < 0 || v > 2) return refuse();
    if (v == 2) {
        box_->setCheckState(Qt::PartiallyChecked);
    } else {
        box_->setCheckState(v == 1 ? Qt::Checked : Qt::Unchecked);
        box_->setTristate(false);
    }
    notify(QStringLiteral("Value"));
    return true;
}

bool Chk_::setAlignment(int v)
{
    if (v < 0 || v > 1) return refuse();
    alignment_ = v;
    // Right justify puts the box at the right of its caption.
    box_->setLayoutDirection(v == 1 ? Qt::RightToLeft : Qt::LeftToRight);
    notify(QStringLiteral("Alignment"));
    return true;
}

void Chk_::setToolTipText(const QString& v)
{
    box_->setToolTip(v);
    notify(QStringLiteral("ToolTipText"));
}

void Chk_::setPrompt(const QString& v)
{
    prompt_ = v;
    notify(QStringLiteral("Prompt"));
}

void Chk_::setMskModified(bool v)
{
    mskModified_ = v;
    notify(QStringLiteral("MskModified"));
}

void Chk_::setTagZ(const QString& v)
{
    tagZ_ = v;
    notify(QStringLiteral("TagZ"));
}

bool Chk_::CanPropertyChange(const QString&)
{
    return false;
}

void Chk_::PopupMenu(QObject*, const QVariant&, const QVariant&, const QVariant&, const QVariant&) {}

void Chk_::About()
{
    frmAbout::showModal();
}

// ---------------------------------------------------------------- persistence

void Chk_::initProperties()
{
    mskModified_ = false;
    prompt_ = QStringLiteral("Chk_");
    tagZ_.clear();
    backColor_ = 0;
    backStyle_ = 0;
    borderStyle_ = 0;
    autoRedraw_ = false;
    currentX_ = 0;
    currentY_ = 0;
}

void Chk_::readProperties(const PropertyBag& bag)
{
    backColor_ = bag.ReadProperty(QStringLiteral("BackColor"), 0).toInt();
    setBackStyle(bag.ReadProperty(QStringLiteral("BackStyle"), 0).toInt());
    setBorderStyle(bag.ReadProperty(QStringLiteral("BorderStyle"), 0).toInt());
    autoRedraw_ = bag.ReadProperty(QStringLiteral("AutoRedraw"), false).toBool();
    currentY_ = bag.ReadProperty(QStringLiteral("CurrentY"), 0.0f).toFloat();
    setForeColor(bag.ReadProperty(QStringLiteral("ForeColor"), VbColor::SystemButtonText).toInt());
    QWidget::setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    currentX_ = bag.ReadProperty(QStringLiteral("CurrentX"), 0.0f).toFloat();
    QWidget::setFont(bag.ReadProperty(QStringLiteral("Font"), ambientFont(this)).value<QFont>());
    box_->setText(bag.ReadProperty(QStringLiteral("Caption"), QStringLiteral("Check1")).toString());
    setValue(bag.ReadProperty(QStringLiteral("Value"), 0).toInt());
    setAlignment(bag.ReadProperty(QStringLiteral("Alignment"), 0).toInt());
    box_->setToolTip(bag.ReadProperty(QStringLiteral("ToolTipText"), QString()).toString());
    prompt_ = bag.ReadProperty(QStringLiteral("Prompt"), QStringLiteral("Chk_")).toString();
    mskModified_ = bag.ReadProperty(QStringLiteral("MskModified"), false).toBool();
    clearError();
}

void Chk_::writeProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), backColor_, 0);
    bag.WriteProperty(QStringLiteral("BackStyle"), backStyle_, 0);
    bag.WriteProperty(QStringLiteral("BorderStyle"), borderStyle_, 0);
    bag.WriteProperty(QStringLiteral("AutoRedraw"), autoRedraw_, false);
    bag.WriteProperty(QStringLiteral("CurrentY"), currentY_, 0.0f);
    bag.WriteProperty(QStringLiteral("ForeColor"), foreColor_, VbColor::SystemButtonText);
    bag.WriteProperty(QStringLiteral("Enabled"), box_->isEnabled(), true);
    bag.WriteProperty(QStringLiteral("CurrentX"), currentX_, 0.0f);
    bag.WriteProperty(QStringLiteral("Font"), box_->font(), ambientFont(this));
    bag.WriteProperty(QStringLiteral("Caption"), box_->text(), QStringLiteral("Check1"));
    bag.WriteProperty(QStringLiteral("Value"), Value(), 0);
    bag.WriteProperty(QStringLiteral("Alignment"), alignment_, 0);
    bag.WriteProperty(QStringLiteral("ToolTipText"), box_->toolTip(), QString());
    bag.WriteProperty(QStringLiteral("Prompt"), prompt_, QStringLiteral("Chk_"));
    bag.WriteProperty(QStringLiteral("MskModified"), mskModified_, false);
}

// ---------------------------------------------------------------- focus and mouse

void Chk_::focusEntry()
{
    foreColor_ = kFocusCaption;
    applyForeColor();
    entryValue_ = Value();
}

void Chk_::focusExit()
{
    foreColor_ = 0;
    applyForeColor();
    mskModified_ = mskModified_ || Value() != entryValue_;
}

void Chk_::innerResized()
{
    Q_EMIT Resize();
}

bool Chk_::innerEvent(QEvent* e)
{
    // The host acts on a right-button release over the box: the release reaches it.
    if (e->type() == QEvent::MouseButtonRelease) {
        auto* m = static_cast<QMouseEvent*>(e);
        int button = vbButton(m->button());
        int shift = vbShift(m->modifiers());
        float x = float(toTwips(1) * m->position().x());
        float y = float(toTwips(1) * m->position().y());
        Q_EMIT MouseUp(button, shift, x, y);
    }
    return false;
}

} // namespace Ordalis
