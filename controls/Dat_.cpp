#include "Dat_.h"

#include "M_VT.h"
#include "PropertyBag.h"
#include "VbColor.h"
#include "frmAbout.h"

#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FixedFont.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QSet>
#include <QValidator>

#include <cmath>
#include <cstdlib>
#include <functional>

namespace Ordalis
{

namespace
{

// The masked box. Qt moves the caret to the first blank when a masked box is
// entered by Tab, which would drop the selection made on entry: the control
// selects after the box has done its own focus work.
class MskBox : public QLineEdit
{
  public:
    using QLineEdit::QLineEdit;
    std::function<void()> afterFocusIn;

  protected:
    void focusInEvent(QFocusEvent* e) override
    {
        QLineEdit::focusInEvent(e);
        if (afterFocusIn) afterFocusIn();
    }
};

QFont ambientFont(const QWidget* w)
{
    return w->parentWidget() ? w->parentWidget()->font() : QApplication::font();
}

QDate today()
{
    return appClock().now().date();
}

// The mask holds a four-digit year: a step past its last day stops there.
QString dateText(QDate d)
{
    const QDate last(9999, 12, 31);
    if (d > last) d = last;
    return QStringLiteral("%1/%2/%3")
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.year(), 4, 10, QLatin1Char('0'));
}

// The number a part starts with: "_" ends it, no digits give 0.
int leadingNumber(QStringView part)
{
    int n = 0;
    for (const QChar c : part) {
        if (!c.isDigit()) break;
        n = n * 10 + c.digitValue();
    }
    return n;
}

bool allDigits(QStringView part)
{
    for (const QChar c : part)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return !part.isEmpty();
}

bool isComplete(const QString& t)
{
    return t.size() == 10 && allDigits(QStringView(t).mid(0, 2)) && allDigits(QStringView(t).mid(3, 2)) &&
           allDigits(QStringView(t).mid(6, 4));
}

// The box's mask takes the digits of any script (Arabic-Indic, full-width...);
// the date is kept and handed on in ASCII only, so what StringA gives back is
// always a text StringA and the property bag take again.
QString asciiDigits(QString t)
{
    for (QChar& c : t)
        if (c.isDigit() && c.unicode() > '9') c = QChar(u'0' + c.digitValue());
    return t;
}

class AsciiDigits : public QValidator
{
  public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = asciiDigits(input);
        return Acceptable;
    }
};

const QString kDatStyleError = QStringLiteral("Data non valida: il testo deve avere la forma gg/mm/aaaa");
const QString kBadValue = QStringLiteral("Valore della proprietà non valido");
const QString kBadColor = QStringLiteral("Colore non valido: il valore deve stare tra 0 e &HFFFFFF");
const QString kBadFontSize = QStringLiteral("Dimensione del carattere non valida: deve essere maggiore di 0");

// Bag values of the wrong type give the default.
qint64 bagLong(const PropertyBag& bag, const QString& name, qint64 def)
{
    const QVariant v = bag.ReadProperty(name, def);
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (!ok || v.typeId() == QMetaType::QFont || v.typeId() == QMetaType::QPixmap) return def;
    return n;
}

bool bagBool(const PropertyBag& bag, const QString& name, bool def)
{
    const QVariant v = bag.ReadProperty(name, def);
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d != 0 : def;
}

float bagSingle(const PropertyBag& bag, const QString& name, float def)
{
    const QVariant v = bag.ReadProperty(name, def);
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && std::isfinite(d) ? float(d) : def;
}

QString bagString(const PropertyBag& bag, const QString& name, const QString& def)
{
    const QVariant v = bag.ReadProperty(name, def);
    switch (v.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return v.toString();
    default:
        return def;
    }
}

const QString kContact = QStringLiteral("Assistenza: ordalis@example.com");

} // namespace

Dat_::Dat_(QWidget* parent)
    : OrdalisControl(parent), innerBack_(VbColor::SystemWindow), innerFore_(VbColor::SystemWindowText)
{
    setObjectName(QStringLiteral("Dat_"));
    auto* box = new MskBox(this);
    box_ = box;
    box_->setObjectName(QStringLiteral("Msk_Padre"));
    // Required digits keep each typed digit where it was typed; "9" would let Qt
    // move a digit over a blank.
    box_->setInputMask(QStringLiteral("00/00/0000;_"));
    box_->setValidator(new AsciiDigits(box_));
    box_->setToolTip(QStringLiteral("H=Help/A=Aiuto"));
    {
        QFont f = fixedPitchFont(QStringLiteral("Lucida Console"), 8.25);
        f.setWeight(QFont::Normal);
        box_->setFont(f);
    }
    reported_ = box_->displayText();
    setInner(box_);
    box->afterFocusIn = [this] {
        // Only an entry selects: a window coming back (after a help box) keeps the caret.
        if (selectOnFocusIn_) selectAllOnEntry();
        selectOnFocusIn_ = false;
    };
    connect(box_, &QLineEdit::textChanged, this, [this] { editTextChanged(); });
    resize(box_->sizeHint().width(), toPixels(285));
    initProperties();
    applyColors();
}

// ---------------------------------------------------------------- the edit text

bool Dat_::isEditText(const QString& t)
{
    if (t.size() != 10 || t[2] != QLatin1Char('/') || t[5] != QLatin1Char('/')) return false;
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (!(t[i] == QLatin1Char('_') || (t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))))
            return false;
    return true;
}

QString Dat_::repaired(const QString& t, const QDate& now)
{
    if (!isEditText(t) || t == emptyDate()) return t;
    const int typedDay = leadingNumber(QStringView(t).mid(0, 2));
    const int typedMonth = leadingNumber(QStringView(t).mid(3, 2));
    const int typedYear = leadingNumber(QStringView(t).mid(6, 4));
    int month = typedMonth;
    if (month > 12) month = 12;
    if (month < 1) month = now.month();
    int days = 31;
    if (month == 4 || month == 6 || month == 9 || month == 11) days = 30;
    int year = typedYear;
    if (year < 30)
        year = t.mid(6, 4) == QLatin1String("____") ? now.year() : year + 2000;
    else if (year < 100)
        year += 1900;
    else if (year < 1000)
        year += 1000;
    // The Gregorian rule: 1900 and 2100 have no 29 February.
    if (month == 2) days = QDate::isLeapYear(year) ? 29 : 28;
    int day = typedDay;
    if (day < 1) day = 1;
    if (day > days) day = days;
    if (day == typedDay && month == typedMonth && year == typedYear) return t;
    return dateText(QDate(year, month, day));
}

void Dat_::setEditText(const QString& t)
{
    box_->setText(t);
    // A text the box already shows is no change, and it reports none.
    editTextChanged();
}

void Dat_::editTextChanged()
{
    const QString now = box_->displayText();
    if (now == reported_) return;
    reported_ = now;
    stringA_ = now;
    notify(QStringLiteral("StringA"));
    Q_EMIT Change();
}

// ---------------------------------------------------------------- properties

void Dat_::applyColors()
{
    QPalette p = box_->palette();
    const QPalette app = QApplication::palette(box_);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base, VbColor::toQColor(innerBack_, app));
        p.setColor(group, QPalette::Text, VbColor::toQColor(innerFore_, app));
    }
    box_->setPalette(p);
}

bool Dat_::setBackColor(qint32 v)
{
    // Its absolute value becomes the box's colour on the next entry: a number
    // that is no colour (a system colour among them) would fail there, where
    // nobody can be told.
    if (std::llabs(qint64(v)) > 0xFFFFFF) return refuse(kBadColor);
    backColor_ = v;
    notify(QStringLiteral("BackColor"));
    return true;
}

void Dat_::setForeColor(qint32 v)
{
    foreColor_ = v;
    notify(QStringLiteral("ForeColor"));
}

void Dat_::setEnabled(bool v)
{
    enabled_ = v;
    switchedOff_ = !v;
    putEnabled(v);
}

void Dat_::changeEvent(QEvent* e)
{
    OrdalisControl::changeEvent(e);
    // A host that switches the control through QWidget itself changes the flag too.
    if (e->type() == QEvent::EnabledChange && testAttribute(Qt::WA_ForceDisabled) != switchedOff_) {
        switchedOff_ = !switchedOff_;
        enabled_ = !switchedOff_;
        notify(QStringLiteral("Enabled"));
    }
}

void Dat_::setFont(const QFont& f)
{
    font_ = f;
    // The control's own surface takes the name; the box keeps its font.
    QFont own = QWidget::font();
    own.setFamilies(f.families().isEmpty() ? QStringList{f.family()} : f.families());
    QWidget::setFont(own);
    notify(QStringLiteral("Font"));
}

void Dat_::setBackStyle(int v)
{
    backStyle_ = v;
    notify(QStringLiteral("BackStyle"));
}

void Dat_::setBorderStyle(int v)
{
    borderStyle_ = v;
    notify(QStringLiteral("BorderStyle"));
}

void Dat_::setFormat(const QString& v)
{
    format_ = v;
    notify(QStringLiteral("Format"));
}

void Dat_::setHWnd(qint32 v)
{
    hWnd_ = v;
    notify(QStringLiteral("hWnd"));
}

void Dat_::setMask(const QString& v)
{
    mask_ = v;
    notify(QStringLiteral("Mask"));
}

void Dat_::setPrompt(const QString& v)
{
    prompt_ = v;
    notify(QStringLiteral("Prompt"));
}

void Dat_::setMaskPicture(const QPixmap& v)
{
    maskPicture_ = v;
    notify(QStringLiteral("MaskPicture"));
}

void Dat_::setSelLength(qint32 v)
{
    selLength_ = v;
    notify(QStringLiteral("SelLength"));
}

void Dat_::setSelStart(qint32 v)
{
    selStart_ = v;
    notify(QStringLiteral("SelStart"));
}

void Dat_::setSelText(const QString& v)
{
    selText_ = v;
    notify(QStringLiteral("SelText"));
}

void Dat_::setPromptChar(const QString& v)
{
    promptChar_ = v;
    notify(QStringLiteral("PromptChar"));
}

void Dat_::setClipMode(int v)
{
    clipMode_ = v;
    notify(QStringLiteral("ClipMode"));
}

void Dat_::setAllowPrompt(bool v)
{
    allowPrompt_ = v;
    notify(QStringLiteral("AllowPrompt"));
}

void Dat_::setPromptInclude(bool v)
{
    promptInclude_ = v;
    notify(QStringLiteral("PromptInclude"));
}

void Dat_::setAltString(const QString& v)
{
    altString_ = v;
    notify(QStringLiteral("AltString"));
}

void Dat_::setToolTipText(const QString& v)
{
    box_->setToolTip(v);
    notify(QStringLiteral("ToolTipText"));
}

bool Dat_::setStringA(const QString& v)
{
    // The box holds only its own form; "" is the empty date.
    const QString t = v.isEmpty() ? emptyDate() : asciiDigits(v);
    if (!isEditText(t)) return refuse(kDatStyleError);
    stringA_ = t;
    setEditText(t);
    box_->update();
    notify(QStringLiteral("StringA"));
    return true;
}

void Dat_::setMskModified(bool v)
{
    mskModified_ = v;
    notify(QStringLiteral("MskModified"));
}

bool Dat_::setHeig(qint32 v)
{
    if (v < 0) return refuse(kBadValue);
    // 0 leaves the size as drawn: a page that applies a field still at 0, or an undo
    // back to it, must not make the control vanish.
    if (v > 0) {
        const int px = toPixels(v);
        box_->resize(box_->width(), px);
        resize(width(), px);
    }
    heig_ = v;
    notify(QStringLiteral("Heig"));
    return true;
}

bool Dat_::setWide(qint32 v)
{
    if (v < 0) return refuse(kBadValue);
    if (v > 0) { // 0: as drawn, as for Heig
        const int px = toPixels(v);
        box_->resize(px, box_->height());
        resize(px, height());
    }
    wide_ = v;
    notify(QStringLiteral("Wide"));
    return true;
}

bool Dat_::setFntSize(double v)
{
    if (!(v > 0) || !std::isfinite(float(v))) return refuse(kBadFontSize);
    fntSize_ = float(v); // kept as a Single, as the stored bag has it
    QFont f = box_->font();
    f.setPointSizeF(fntSize_);
    box_->setFont(f);
    box_->update();
    notify(QStringLiteral("FntSize"));
    return true;
}

void Dat_::setTagZ(const QString& v)
{
    tagZ_ = v;
    notify(QStringLiteral("TagZ"));
}

void Dat_::About()
{
    frmAbout::showModal();
}

// ---------------------------------------------------------------- persistence

void Dat_::initProperties()
{
    wide_ = 0;
    heig_ = 285;
    fntSize_ = 8;
    mskModified_ = false;
    stringA_ = emptyDate();
    text_.clear();
    string_ = emptyDate();
    altString_ = emptyDate();
    promptChar_ = QStringLiteral("_");
    clipMode_ = 0;
    promptInclude_ = true;
    selLength_ = 0;
    selStart_ = 0;
    selText_.clear();
    backColor_ = 0xFFFFFF;
    foreColor_ = 0;
    // The flag starts False while the box takes input: hosts rely on it.
    enabled_ = false;
    font_ = ambientFont(this);
    backStyle_ = 0;
    borderStyle_ = 0;
    format_ = QStringLiteral("dd/mm/yyyy");
    hWnd_ = 0;
    mask_ = QStringLiteral("##/##/####");
    prompt_.clear();
    maskPicture_ = QPixmap();
    tagZ_.clear();
}

void Dat_::readProperties(const PropertyBag& bag)
{
    const qint32 selLength = qint32(bagLong(bag, QStringLiteral("SelLength"), 0));
    const qint32 selStart = qint32(bagLong(bag, QStringLiteral("SelStart"), 0));
    if (selLength > 0 && selStart >= 0)
        box_->setSelection(selStart, selLength);
    else if (selStart >= 0)
        box_->setCursorPosition(selStart);
    const QString selText = bagString(bag, QStringLiteral("SelText"), QString());
    if (!selText.isEmpty()) box_->insert(selText);
    const QString text = asciiDigits(bagString(bag, QStringLiteral("Text"), emptyDate()));
    setEditText(isEditText(text) ? text : emptyDate());
    const float size = bagSingle(bag, QStringLiteral("FntSize"), 8);
    fntSize_ = size > 0 ? size : 8;
    {
        QFont f = box_->font();
        f.setPointSizeF(fntSize_);
        box_->setFont(f);
    }
    const qint64 back = bagLong(bag, QStringLiteral("BackColor"), 0xFFFFFF);
    backColor_ = std::llabs(back) <= 0xFFFFFF ? qint32(back) : 0xFFFFFF;
    foreColor_ = qint32(bagLong(bag, QStringLiteral("ForeColor"), 0));
    // The flag only: applying a stored False would disable every stored field.
    enabled_ = bagBool(bag, QStringLiteral("Enabled"), false);
    {
        const QVariant f = bag.ReadProperty(QStringLiteral("Font"), ambientFont(this));
        font_ = f.typeId() == QMetaType::QFont ? f.value<QFont>() : ambientFont(this);
    }
    backStyle_ = int(bagLong(bag, QStringLiteral("BackStyle"), 0));
    borderStyle_ = int(bagLong(bag, QStringLiteral("BorderStyle"), 0));
    format_ = bagString(bag, QStringLiteral("Format"), QStringLiteral("dd/mm/yyyy"));
    hWnd_ = qint32(bagLong(bag, QStringLiteral("hWnd"), 0));
    mask_ = bagString(bag, QStringLiteral("Mask"), QStringLiteral("##/##/####"));
    prompt_ = bagString(bag, QStringLiteral("Prompt"), QString());
    {
        const QVariant p = bag.ReadProperty(QStringLiteral("MaskPicture"));
        maskPicture_ = p.typeId() == QMetaType::QPixmap ? p.value<QPixmap>() : QPixmap();
    }
    selLength_ = qint32(bagLong(bag, QStringLiteral("SelLength"), 0));
    selStart_ = qint32(bagLong(bag, QStringLiteral("SelStart"), 0));
    selText_ = bagString(bag, QStringLiteral("SelText"), QString());
    promptChar_ = bagString(bag, QStringLiteral("PromptChar"), QStringLiteral("_"));
    clipMode_ = int(bagLong(bag, QStringLiteral("ClipMode"), 0));
    allowPrompt_ = bagBool(bag, QStringLiteral("AllowPrompt"), false);
    promptInclude_ = bagBool(bag, QStringLiteral("PromptInclude"), true);
    altString_ = bagString(bag, QStringLiteral("AltString"), emptyDate());
    box_->setToolTip(bagString(bag, QStringLiteral("ToolTipText"), QString()));
    text_ = bagString(bag, QStringLiteral("Text"), QString());
    string_ = bagString(bag, QStringLiteral("String"), emptyDate());
    stringA_ = asciiDigits(bagString(bag, QStringLiteral("StringA"), emptyDate()));
    mskModified_ = bagBool(bag, QStringLiteral("MskModified"), false);
    wide_ = qint32(bagLong(bag, QStringLiteral("Wide"), 0));
    heig_ = qint32(bagLong(bag, QStringLiteral("Heig"), 285));
    clearError();
}

void Dat_::writeProperties(PropertyBag& bag) const
{
    // A name written twice keeps its first stored value: a later write equal to
    // its default would otherwise take the entry out of the bag again.
    QSet<QString> stored;
    auto write = [&bag, &stored](const QString& name, const QVariant& value, const QVariant& def) {
        if (stored.contains(name)) return;
        bag.WriteProperty(name, value, def);
        if (bag.contains(name)) stored.insert(name);
    };
    const QString empty = emptyDate();
    write(QStringLiteral("BackColor"), backColor_, 0xFFFFFF);
    write(QStringLiteral("ForeColor"), foreColor_, 0);
    write(QStringLiteral("Enabled"), enabled_, false);
    write(QStringLiteral("Font"), font_, ambientFont(this));
    write(QStringLiteral("FntSize"), fntSize_, 8.0f);
    write(QStringLiteral("BackStyle"), backStyle_, 0);
    write(QStringLiteral("BorderStyle"), borderStyle_, 0);
    write(QStringLiteral("Format"), format_, QStringLiteral("dd/mm/yyyy"));
    write(QStringLiteral("hWnd"), hWnd_, 0);
    write(QStringLiteral("Mask"), mask_, QStringLiteral("##/##/####"));
    write(QStringLiteral("Prompt"), prompt_, QString());
    // An empty picture is the default: nothing to store.
    if (!maskPicture_.isNull()) write(QStringLiteral("MaskPicture"), maskPicture_, {});
    const qint32 boxSelStart = box_->hasSelectedText() ? box_->selectionStart() : box_->cursorPosition();
    write(QStringLiteral("SelLength"), qint32(box_->selectedText().size()), 0);
    write(QStringLiteral("SelStart"), boxSelStart, 0);
    write(QStringLiteral("SelText"), box_->selectedText(), QString());
    write(QStringLiteral("Text"), editText(), QStringLiteral("Text1"));
    write(QStringLiteral("SelLength"), selLength_, 0);
    write(QStringLiteral("SelStart"), selStart_, 0);
    write(QStringLiteral("SelText"), selText_, QString());
    write(QStringLiteral("Text"), editText(), empty);
    write(QStringLiteral("PromptChar"), promptChar_, QStringLiteral("_"));
    write(QStringLiteral("ClipMode"), clipMode_, 0);
    write(QStringLiteral("AllowPrompt"), allowPrompt_, false);
    write(QStringLiteral("PromptInclude"), promptInclude_, true);
    write(QStringLiteral("AltString"), altString_, empty);
    write(QStringLiteral("ToolTipText"), box_->toolTip(), QString());
    write(QStringLiteral("Text"), text_, QString());
    write(QStringLiteral("String"), string_, empty);
    write(QStringLiteral("StringA"), stringA_, empty);
    write(QStringLiteral("MskModified"), mskModified_, false);
    write(QStringLiteral("Wide"), wide_, 0);
    write(QStringLiteral("Heig"), heig_, 285);
}

// ---------------------------------------------------------------- focus

void Dat_::focusEntry()
{
    textAtFocus_ = editText();
    innerBack_ = 0x80FFFF;
    if (backColor_ != 0xFFFFFF) {
        innerBack_ = qint32(std::llabs(qint64(backColor_)));
        innerFore_ = ColoreContrasto(backColor_);
    }
    applyColors();
    selectAllOnEntry();
    selectOnFocusIn_ = true;
}

void Dat_::selectAllOnEntry()
{
    if (!inFocus()) return;
    const QString t = editText();
    if (!t.isEmpty()) box_->setSelection(0, int(t.size()));
}

void Dat_::focusExit()
{
    innerBack_ = VbColor::SystemWindow;
    innerFore_ = 0;
    applyColors();
    const QString t = editText();
    if (t == emptyDate()) {
        mskModified_ = t != textAtFocus_ || mskModified_;
        setStringA(t);
        return;
    }
    const QString fixed = repaired(t, today());
    if (fixed != t) setEditText(fixed);
    setStringA(editText());
    mskModified_ = editText() != textAtFocus_ || mskModified_;
    notify(QStringLiteral("StringA"));
}

void Dat_::innerResized()
{
    if (sizing_) return;
    sizing_ = true;
    setHeig(toTwips(height()));
    setWide(toTwips(width()));
    sizing_ = false;
}

// ---------------------------------------------------------------- keys

QString Dat_::helpText(bool italian)
{
    const QString crlf = QStringLiteral("\r\n");
    QStringList lines;
    if (italian)
        lines = {QStringLiteral("D = DATA DI OGGI"),
                 QString(),
                 QStringLiteral("P = Giorno prima       L = Giorno dopo"),
                 QStringLiteral("W = Inizio settimana   E = Fine settimana"),
                 QStringLiteral("M = Inizio Mese        N = Fine Mese"),
                 QStringLiteral("Y = Inizio Anno        U = Fine Anno")};
    else
        lines = {QStringLiteral("D = DATE OF TODAY"),
                 QString(),
                 QStringLiteral("P = Previous Day  L = Next Day"),
                 QStringLiteral("W = Week  Begin   E = Week  End"),
                 QStringLiteral("M = Month Begin   N = Month End"),
                 QStringLiteral("Y = Year Begin    U = Year End")};
    // The empty line before the keys of the help itself is CR LF and a lone CR.
    return lines.join(crlf) + crlf + QStringLiteral("\r") + QStringLiteral("H = Help !") + crlf +
           QStringLiteral("A = Aiuto !") + crlf + crlf + kContact;
}

QString Dat_::helpTitle(bool italian)
{
    return italian ? QStringLiteral("Tasti utili nel campo data")
                   : QStringLiteral("Useful Keys in Data Filed");
}

QDate Dat_::workDate(const QDate& now) const
{
    const QString t = editText();
    if (!isComplete(t)) return now;
    const QDate typed(t.mid(6, 4).toInt(), t.mid(3, 2).toInt(), t.mid(0, 2).toInt());
    if (typed.isValid() && typed.year() >= 100) return typed;
    // A complete text that is no calendar date counts as what leaving makes of it.
    const QString fixed = repaired(t, now);
    return QDate(fixed.mid(6, 4).toInt(), fixed.mid(3, 2).toInt(), fixed.mid(0, 2).toInt());
}

bool Dat_::hotKey(int keyCode)
{
    const QDate now = today();
    const QString t = editText();
    const bool complete = isComplete(t);
    QString next;
    switch (keyCode) {
    case 'A':
    case 'H':
        // The box keeps the focus and its text: a help box is no exit.
        MsgBox(helpText(keyCode == 'A'), vb::OKOnly | vb::Information, helpTitle(keyCode == 'A'));
        return true;
    case 'D':
        setEditText(dateText(now));
        notify(QStringLiteral("Text"));
        mskModified_ = true;
        setStringA(editText());
        notify(QStringLiteral("StringA"));
        Q_EMIT Change();
        return true;
    case 'Y':
        next = QStringLiteral("01/01/") + (complete ? t.right(4) : QString::number(now.year()));
        break;
    case 'U':
        next = QStringLiteral("31/12/") + (complete ? t.right(4) : QString::number(now.year()));
        break;
    case 'M':
        next = complete ? QStringLiteral("01") + t.mid(2)
                        : QStringLiteral("01/") + Qor().PadLeft(now.month(), 2, QStringLiteral("0")) +
                              QLatin1Char('/') + QString::number(now.year());
        break;
    case 'N': {
        const QDate d = workDate(now);
        const QDate first(d.year(), d.month(), 1);
        const QDate reached = first.addDays(32);
        next = dateText(QDate(reached.year(), reached.month(), 1).addDays(-1));
        break;
    }
    case 'P':
    case 'L': {
        const QDate d = workDate(now);
        setStringA(t);
        Q_EMIT Change();
        next = dateText(d.addDays(keyCode == 'P' ? -1 : 1));
        break;
    }
    case 'W':
        next = dateText(workDate(now).addDays(1 - workDate(now).dayOfWeek()));
        break;
    case 'E':
        next = dateText(workDate(now).addDays(7 - workDate(now).dayOfWeek()));
        break;
    default:
        return false;
    }
    setEditText(next);
    setStringA(editText());
    Q_EMIT Change();
    return true;
}

bool Dat_::innerEvent(QEvent* e)
{
    if (e->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(e);
        int code = vbKeyCode(k->key(), k->modifiers());
        int shift = vbShift(k->modifiers());
        Q_EMIT KeyUp(code, shift);
        return false;
    }
    if (e->type() != QEvent::KeyPress) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    const int code0 = vbKeyCode(k->key(), k->modifiers());
    int code = code0;
    int shift = vbShift(k->modifiers());
    Q_EMIT KeyDown(code, shift);
    if (code0 != 0 && code == 0) return true; // the host took the key
    // A hot key acts here and goes no further: no character, no shortcut of the box.
    if (hotKey(code)) return true;
    int ascii = -1;
    const QString text = k->text();
    if (text.size() == 1)
        ascii = text.at(0).unicode();
    else if (k->key() == Qt::Key_Backspace)
        ascii = 8;
    else if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
        ascii = 13;
    else if (k->key() == Qt::Key_Escape)
        ascii = 27;
    if (ascii < 0 || ascii == 127) return false;
    const int ascii0 = ascii;
    Q_EMIT KeyPress(ascii);
    if (ascii == ascii0) return false;
    if (ascii == 0) return true;
    if (ascii == 8)
        box_->backspace();
    else if (ascii >= 32)
        box_->insert(QString(QChar(ascii)));
    return true;
}

} // namespace Ordalis
