#include "Txt_.h"

#include "M_VT.h"
#include "PropertyBag.h"
#include "VbColor.h"
#include "VbNumber.h"
#include "frmAbout.h"

#include "platform/Dialogs.h"
#include "platform/FixedFont.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QValidator>

#include <climits>
#include <cstdlib>

namespace Ordalis
{

// What the user puts in the box obeys the typing rules, whichever way it comes (a
// key, a paste, a drop, the middle button): MaxLength, upper-casing, one line, and in
// numeric mode only what the key filter lets through. A text set by code stays whole,
// and the user may still shorten it.
class TypingRules : public QValidator
{
  public:
    TypingRules(QLineEdit* box, const Txt_* field) : QValidator(box), field_(field) {}
    State validate(QString& input, int& pos) const override;
    bool byCode = false;  // a text set by code is never cut nor refused
    bool asTyped = false; // a key the control's own key step already took: only the length counts
    QString shown;        // the text before the change being checked

  private:
    const Txt_* field_;
};

namespace
{

// Decimals written after "N" in TagZ; none gives 0.
int tagDecimals(const QString& tagZ)
{
    return VbNumber::cInt(VbNumber::val(tagZ.mid(1)));
}

// The decimals the key filter works with: "N" alone gives 2.
int keyDecimals(const QString& tagZ)
{
    return tagZ.size() < 2 ? 2 : tagDecimals(tagZ);
}

// A number the numeric field can hold: digits, one decimal comma when there are
// decimals, a minus in front, and no more digits than a double keeps exactly (more
// would come back on leaving as a long row of digits that were never typed).
bool numberFits(const QString& t, int decimals)
{
    qsizetype digits = 0;
    qsizetype commas = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++digits;
        else if (c == QLatin1Char(','))
            ++commas;
        else if (c != QLatin1Char('-') || i != 0)
            return false;
    }
    return digits <= 15 && commas <= (decimals > 0 ? 1 : 0);
}

} // namespace

QValidator::State TypingRules::validate(QString& input, int& pos) const
{
    if (byCode) return Acceptable;
    // The change lies between the unchanged start and the unchanged end; the caret
    // stands right after what was put in.
    qsizetype tail = qBound<qsizetype>(0, input.size() - pos, shown.size());
    while (tail > 0 && QStringView(input).right(tail) != QStringView(shown).right(tail))
        --tail;
    const qsizetype headMax = qMin(input.size(), shown.size()) - tail;
    qsizetype head = 0;
    while (head < headMax && input.at(head) == shown.at(head))
        ++head;
    const QString added = input.mid(head, input.size() - head - tail);
    if (added.isEmpty()) return Acceptable; // only a deletion
    const qsizetype kept = input.size() - added.size();
    // A text set longer by code may be edited but not made longer.
    const qint32 max = field_->MaxLength();
    const qsizetype limit = max > 0 ? qMax<qsizetype>(max, shown.size()) : -1;

    QString take;
    if (asTyped) {
        take = added;
    } else {
        for (const QChar c : added) {
            // The field is one line: a pasted line break ends what it takes; a tab or
            // another control character is no key that types.
            if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) break;
            if (c.unicode() < 32 || c.unicode() == 127) continue;
            take += c;
        }
    }
    if (field_->numericMode() && !asTyped) {
        take.replace(QLatin1Char('.'), QLatin1Char(','));
        const int decimals = keyDecimals(field_->TagZ());
        // A number is never cut: one that does not fit is refused like a bad key.
        const QString candidate = input.left(head) + take + input.right(tail);
        if (!numberFits(candidate, decimals) || (limit >= 0 && candidate.size() > limit)) {
            Beep();
            return Invalid;
        }
    } else {
        if (!asTyped && !field_->AllowLoCase())
            for (QChar& c : take)
                if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
        // What fits is taken; the rest is refused with a beep, as a key past the limit is.
        if (limit >= 0 && kept + take.size() > limit) {
            take.truncate(qMax<qsizetype>(0, limit - kept));
            Beep();
        }
    }
    if (take.isEmpty()) return Invalid;
    input = input.left(head) + take + input.right(tail);
    pos = int(head + take.size());
    return Acceptable;
}

namespace
{

// The character shown for each typed one comes from the style.
class PasswordStyle : public QProxyStyle
{
  public:
    int styleHint(StyleHint hint, const QStyleOption* opt, const QWidget* w,
                  QStyleHintReturn* ret) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter && passwordChar) return passwordChar;
        return QProxyStyle::styleHint(hint, opt, w, ret);
    }
    int passwordChar = 0;
};

Qt::CursorShape cursorFor(int pointer)
{
    switch (pointer) {
    case 2:
        return Qt::CrossCursor;
    case 3:
        return Qt::IBeamCursor;
    case 5:
    case 15:
        return Qt::SizeAllCursor;
    case 6:
        return Qt::SizeBDiagCursor;
    case 7:
        return Qt::SizeVerCursor;
    case 8:
        return Qt::SizeFDiagCursor;
    case 9:
        return Qt::SizeHorCursor;
    case 10:
        return Qt::UpArrowCursor;
    case 11:
        return Qt::WaitCursor;
    case 12:
        return Qt::ForbiddenCursor;
    case 13:
        return Qt::BusyCursor;
    case 14:
        return Qt::WhatsThisCursor;
    default:
        return Qt::ArrowCursor;
    }
}

// More decimals than a double holds only pad with zeros; keep the text sane.
constexpr int kMostDecimals = 30;

// The field's own face: columns line up and a field of n characters shows n of the widest.
const QString kFixedFamily = QStringLiteral("Lucida Console");

} // namespace

Txt_::Txt_(QWidget* parent)
    : OrdalisControl(parent), backColor_(VbColor::SystemWindow), foreColor_(VbColor::SystemWindowText)
{
    setObjectName(QStringLiteral("Txt_"));
    box_ = new QLineEdit(this);
    box_->setObjectName(QStringLiteral("Txt_Padre"));
    // The box's own limit would cut texts that code assigns.
    box_->setMaxLength(INT_MAX);
    validator_ = new TypingRules(box_, this);
    box_->setValidator(validator_);
    {
        QFont f = fixedPitchFont(kFixedFamily, 8.25);
        f.setWeight(QFont::Normal);
        QWidget::setFont(f); // the control's own font, which the box shows
    }
    setInner(box_);
    connect(box_, &QLineEdit::textChanged, this, [this](const QString& t) {
        validator_->shown = t;
        Q_EMIT Change();
    });
    resize(box_->sizeHint());
    initProperties();
    applyColors();
}

// ---------------------------------------------------------------- properties

void Txt_::applyColors()
{
    QPalette p = box_->palette();
    const QPalette app = QApplication::palette(box_);
    const QColor back = VbColor::toQColor(backColor_, app);
    const QColor fore = VbColor::toQColor(foreColor_, app);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base, back);
        p.setColor(group, QPalette::Text, fore);
    }
    box_->setPalette(p);
}

bool Txt_::setBackColor(qint32 v)
{
    // The box takes the absolute value; one beyond &HFFFFFF is no colour at all
    // (a system colour arrives here as a huge number) and leaves both colours alone.
    const qint64 a = std::llabs(qint64(v));
    if (a > 0xFFFFFF) return refuse();
    backColor_ = qint32(a);
    applyColors();
    notify(QStringLiteral("BackColor"));
    bckColor_ = qint32(a);
    notify(QStringLiteral("BckColor"));
    return true;
}

void Txt_::setEnabled(bool v)
{
    putEnabled(v);
}

void Txt_::changeEvent(QEvent* e)
{
    // A form or a stored design names the family and the size only; where the face is
    // missing, the stand-in must still be fixed pitch, whichever road set the font.
    // A font merged from a partial one can keep the hint and lose the stand-in face, so
    // the face drawn decides; once the fallback is in, it is the font itself and stops here.
    if (e->type() == QEvent::FontChange && font().family() == kFixedFamily && !isFixedPitch(font())) {
        const QFont fixed = withFixedPitchFallback(font());
        if (!(fixed == font())) QWidget::setFont(fixed);
    }
    OrdalisControl::changeEvent(e);
}

void Txt_::setFont(const QFont& f)
{
    putFont(f);
    notify(QStringLiteral("Font"));
}

bool Txt_::setAlignment(int v)
{
    if (v < 0 || v > 2) return refuse();
    alignment_ = v;
    box_->setAlignment(v == 1   ? Qt::AlignRight | Qt::AlignVCenter
                       : v == 2 ? Qt::AlignHCenter | Qt::AlignVCenter
                                : Qt::AlignLeft | Qt::AlignVCenter);
    notify(QStringLiteral("Alignment"));
    return true;
}

qint32 Txt_::hWnd() const
{
    return qint32(box_->internalWinId());
}

void Txt_::setLocked(bool v)
{
    box_->setReadOnly(v);
    notify(QStringLiteral("Locked"));
}

bool Txt_::setMaxLength(qint32 v)
{
    if (v < 0) return refuse();
    maxLength_ = v;
    notify(QStringLiteral("MaxLength"));
    return true;
}

bool Txt_::setMousePointer(int v)
{
    if (!((v >= 0 && v <= 15) || v == 99)) return refuse();
    mousePointer_ = v;
    if (v == 0)
        box_->unsetCursor();
    else
        box_->setCursor(cursorFor(v));
    notify(QStringLiteral("MousePointer"));
    return true;
}

void Txt_::applyPasswordChar()
{
    if (passwordChar_.isEmpty()) {
        box_->setEchoMode(QLineEdit::Normal);
        return;
    }
    if (!passwordStyle_) {
        auto* s = new PasswordStyle;
        s->setParent(this);
        passwordStyle_ = s;
        box_->setStyle(s);
    }
    static_cast<PasswordStyle*>(passwordStyle_)->passwordChar = passwordChar_.at(0).unicode();
    // The box asks the style for the character when its style changes.
    QEvent styleChange(QEvent::StyleChange);
    QApplication::sendEvent(box_, &styleChange);
    box_->setEchoMode(QLineEdit::Password);
}

bool Txt_::setPasswordChar(const QString& v)
{
    if (v.size() > 1) return refuse();
    passwordChar_ = v;
    applyPasswordChar();
    notify(QStringLiteral("PasswordChar"));
    return true;
}

qint32 Txt_::SelLength() const
{
    return qint32(box_->selectedText().size());
}

bool Txt_::setSelLength(qint32 v)
{
    if (v < 0) return refuse();
    const int start = box_->hasSelectedText() ? box_->selectionStart() : box_->cursorPosition();
    const int len = qMin<int>(v, int(box_->text().size()) - start);
    if (len > 0)
        box_->setSelection(start, len);
    else
        box_->setCursorPosition(start);
    notify(QStringLiteral("SelLength"));
    return true;
}

qint32 Txt_::SelStart() const
{
    return box_->hasSelectedText() ? box_->selectionStart() : box_->cursorPosition();
}

bool Txt_::setSelStart(qint32 v)
{
    if (v < 0) return refuse();
    box_->deselect();
    box_->setCursorPosition(qMin<int>(v, int(box_->text().size())));
    notify(QStringLiteral("SelStart"));
    return true;
}

void Txt_::setSelText(const QString& v)
{
    // Code replaces the selection whatever MaxLength says.
    QString t = box_->text();
    const int start = SelStart();
    const int len = SelLength();
    t.replace(start, len, v);
    setBoxText(t);
    box_->setCursorPosition(start + int(v.size()));
    notify(QStringLiteral("SelText"));
}

void Txt_::setBoxText(const QString& v)
{
    validator_->byCode = true;
    box_->setText(v);
    validator_->byCode = false;
    // A text set by code shows its beginning, as the standard text box does.
    box_->setCursorPosition(0);
}

void Txt_::setText(const QString& v)
{
    setBoxText(v);
    notify(QStringLiteral("Text"));
}

void Txt_::setToolTipText(const QString& v)
{
    box_->setToolTip(v);
    notify(QStringLiteral("ToolTipText"));
}

void Txt_::setPrompt(const QString& v)
{
    prompt_ = v;
    notify(QStringLiteral("Prompt"));
}

void Txt_::setTagZ(const QString& v)
{
    tagZ_ = v;
    notify(QStringLiteral("TagZ"));
}

bool Txt_::setBckColor(qint32 v)
{
    // Its absolute value becomes the focus colour: it must be a colour.
    if (std::llabs(qint64(v)) > 0xFFFFFF) return refuse();
    bckColor_ = v;
    notify(QStringLiteral("BckColor"));
    return true;
}

void Txt_::setIsNum(bool v)
{
    isNum_ = v;
    notify(QStringLiteral("IsNum"));
}

bool Txt_::setDecimalPlace(int v)
{
    if (v < -32768 || v > 32767) return refuse(QStringLiteral("Overflow"));
    decimalPlace_ = v;
    notify(QStringLiteral("DecimalPlace"));
    return true;
}

bool Txt_::setHeig(qint32 v)
{
    if (v < 0) return refuse();
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

bool Txt_::setWide(qint32 v)
{
    if (v < 0) return refuse();
    if (v > 0) { // 0: as drawn, as for Heig
        const int px = toPixels(v);
        box_->resize(px, box_->height());
        resize(px, height());
    }
    wide_ = v;
    notify(QStringLiteral("Wide"));
    return true;
}

void Txt_::setAllowLoCase(bool v)
{
    allowLoCase_ = v;
    notify(QStringLiteral("AllowLoCase"));
}

void Txt_::setMskModified(bool v)
{
    mskModified_ = v;
    notify(QStringLiteral("MskModified"));
}

void Txt_::Refresh()
{
    box_->update();
}

void Txt_::About()
{
    frmAbout::showModal();
}

// ---------------------------------------------------------------- persistence

void Txt_::initProperties()
{
    tagZ_.clear();
    prompt_ = QStringLiteral("Txt_");
    bckColor_ = 0xFFFFFF;
    isNum_ = false;
    decimalPlace_ = 2;
    heig_ = 0;
    wide_ = 0;
    allowLoCase_ = false;
    mskModified_ = false;
}

namespace
{
QFont ambientFont(const QWidget* w)
{
    return w->parentWidget() ? w->parentWidget()->font() : QApplication::font();
}
} // namespace

void Txt_::readProperties(const PropertyBag& bag)
{
    // A stored colour is applied as it is (a system colour included); a number
    // that is no colour at all leaves the default.
    const qint64 back = bag.ReadProperty(QStringLiteral("BackColor"), VbColor::SystemWindow).toLongLong();
    backColor_ = VbColor::isValid(back) ? qint32(back) : VbColor::SystemWindow;
    applyColors();
    QWidget::setEnabled(bag.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    QWidget::setFont(bag.ReadProperty(QStringLiteral("Font"), ambientFont(this)).value<QFont>());
    setAlignment(bag.ReadProperty(QStringLiteral("Alignment"), 0).toInt());
    box_->setReadOnly(bag.ReadProperty(QStringLiteral("Locked"), false).toBool());
    setMaxLength(bag.ReadProperty(QStringLiteral("MaxLength"), 0).toInt());
    setMousePointer(bag.ReadProperty(QStringLiteral("MousePointer"), 0).toInt());
    setPasswordChar(bag.ReadProperty(QStringLiteral("PasswordChar"), QString()).toString());
    setSelLength(bag.ReadProperty(QStringLiteral("SelLength"), 0).toInt());
    setSelStart(bag.ReadProperty(QStringLiteral("SelStart"), 0).toInt());
    setSelText(bag.ReadProperty(QStringLiteral("SelText"), QString()).toString());
    setText(bag.ReadProperty(QStringLiteral("Text"), QStringLiteral("Text1")).toString());
    setToolTipText(bag.ReadProperty(QStringLiteral("ToolTipText"), QString()).toString());
    tagZ_ = bag.ReadProperty(QStringLiteral("TagZ"), QString()).toString();
    prompt_ = bag.ReadProperty(QStringLiteral("Prompt"), QString()).toString();
    const qint64 bck = bag.ReadProperty(QStringLiteral("BckColor"), 0xFFFFFF).toLongLong();
    bckColor_ = std::llabs(bck) <= 0xFFFFFF ? qint32(bck) : 0xFFFFFF;
    isNum_ = bag.ReadProperty(QStringLiteral("IsNum"), false).toBool();
    decimalPlace_ = bag.ReadProperty(QStringLiteral("DecimalPlace"), 2).toInt();
    wide_ = bag.ReadProperty(QStringLiteral("Wide"), 0).toInt();
    allowLoCase_ = bag.ReadProperty(QStringLiteral("AllowLoCase"), false).toBool();
    mskModified_ = bag.ReadProperty(QStringLiteral("MskModified"), false).toBool();
    clearError();
}

void Txt_::writeProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("BackColor"), backColor_, VbColor::SystemWindow);
    bag.WriteProperty(QStringLiteral("Enabled"), box_->isEnabled(), true);
    bag.WriteProperty(QStringLiteral("Font"), box_->font(), ambientFont(this));
    bag.WriteProperty(QStringLiteral("Alignment"), alignment_, 0);
    bag.WriteProperty(QStringLiteral("Locked"), box_->isReadOnly(), false);
    bag.WriteProperty(QStringLiteral("MaxLength"), maxLength_, 0);
    bag.WriteProperty(QStringLiteral("MousePointer"), mousePointer_, 0);
    bag.WriteProperty(QStringLiteral("PasswordChar"), passwordChar_, QString());
    bag.WriteProperty(QStringLiteral("SelLength"), SelLength(), 0);
    bag.WriteProperty(QStringLiteral("SelStart"), SelStart(), 0);
    bag.WriteProperty(QStringLiteral("SelText"), SelText(), QString());
    bag.WriteProperty(QStringLiteral("Text"), box_->text(), QStringLiteral("Text1"));
    bag.WriteProperty(QStringLiteral("ToolTipText"), box_->toolTip(), QString());
    bag.WriteProperty(QStringLiteral("TagZ"), tagZ_, QString());
    bag.WriteProperty(QStringLiteral("Prompt"), prompt_, QString());
    bag.WriteProperty(QStringLiteral("BckColor"), bckColor_, 0xFFFFFF);
    bag.WriteProperty(QStringLiteral("IsNum"), isNum_, false);
    bag.WriteProperty(QStringLiteral("DecimalPlace"), decimalPlace_, 2);
    bag.WriteProperty(QStringLiteral("Wide"), wide_, 0);
    bag.WriteProperty(QStringLiteral("Width"), wide_, 0);
    bag.WriteProperty(QStringLiteral("AllowLoCase"), allowLoCase_, false);
    bag.WriteProperty(QStringLiteral("MskModified"), mskModified_, false);
}

// ---------------------------------------------------------------- focus and keys

void Txt_::focusEntry()
{
    backColor_ = 0x80FFFF;
    if (bckColor_ != 0xFFFFFF) {
        backColor_ = qint32(std::llabs(qint64(bckColor_)));
        foreColor_ = ColoreContrasto(bckColor_);
    }
    applyColors();
    entryText_ = box_->text().trimmed();
    if (numericMode()) {
        bool ok = false;
        const double n = VbNumber::toNumber(box_->text(), &ok);
        if (ok) {
            entryNumber_ = n;
        } else {
            // A number kept from an earlier visit must not make this visit's
            // edit look unchanged.
            entryNumber_.reset();
            setText(QString());
            entryText_.clear();
        }
    }
    if (!box_->text().isEmpty()) box_->setSelection(0, int(box_->text().size()));
}

void Txt_::focusExit()
{
    backColor_ = VbColor::SystemWindow;
    foreColor_ = 0;
    applyColors();
    bool unchanged = entryText_ == box_->text().trimmed();
    if (numericMode()) {
        const int decimals = qMin(tagDecimals(tagZ_), kMostDecimals);
        // The pattern's "#" only make room; whatever MaxLength is, the number is
        // shown whole with its decimals.
        QString text = box_->text();
        bool ok = false;
        const double value = VbNumber::toNumber(text, &ok);
        QString shown = VbNumber::formatFixed(ok ? value : 0.0, decimals);
        if (shown.isEmpty()) shown = QStringLiteral("0,0");
        setText(shown);
        bool okNew = false;
        const double now = VbNumber::toNumber(shown, &okNew);
        if (okNew && entryNumber_ && now == *entryNumber_) unchanged = true;
    }
    mskModified_ = mskModified_ || !unchanged;
}

void Txt_::innerResized()
{
    notify(QStringLiteral("Heig"));
    notify(QStringLiteral("Wide"));
}

void Txt_::keyPressStep(int& keyAscii)
{
    if (numericMode()) {
        if (keyAscii >= 65 || keyAscii == 32) {
            Beep();
            keyAscii = 0;
            return;
        }
        Qor().NumKeyFilter(box_, keyAscii, keyDecimals(tagZ_), QString());
    }
    if (!allowLoCase_ && keyAscii >= 97 && keyAscii <= 122) keyAscii -= 32;
    Q_EMIT KeyPress(keyAscii);
}

bool Txt_::innerEvent(QEvent* e)
{
    if (e->type() == QEvent::InputMethod) return composedInput(static_cast<QInputMethodEvent*>(e));
    if (e->type() != QEvent::KeyPress) return false;
    auto* k = static_cast<QKeyEvent*>(e);
    const int code0 = vbKeyCode(k->key(), k->modifiers());
    int code = code0;
    int shift = vbShift(k->modifiers());
    Q_EMIT KeyDown(code, shift);
    if (code0 != 0 && code == 0) return true; // the host took the key
    // The character the key gives, as VB's KeyPress sees it.
    int ascii = -1;
    const QString text = k->text();
    if (text.size() == 1) {
        ascii = text.at(0).unicode();
        // Ctrl with a letter gives its control code (Ctrl+V is 22): a command of
        // the box such as paste, never the letter itself.
        if ((k->modifiers() & Qt::ControlModifier) && ascii < 128 && QChar(ascii).isLetter()) ascii &= 0x1F;
    } else if (k->key() == Qt::Key_Backspace)
        ascii = 8;
    else if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
        ascii = 13;
    else if (k->key() == Qt::Key_Escape)
        ascii = 27;
    if (ascii < 0 || ascii == 127) return false; // no character: the box moves, deletes, selects
    const int ascii0 = ascii;
    keyPressStep(ascii);
    if (ascii == ascii0) return false;
    if (ascii == 0) return true;
    if (ascii == 8)
        box_->backspace();
    else if (ascii >= 32)
        insertTyped(QString(QChar(ascii)));
    return true;
}

// A character composed by the input method (dead keys, compose) is a typed key
// all the same: it is filtered and upper-cased like one.
bool Txt_::composedInput(QInputMethodEvent* e)
{
    const QString commit = e->commitString();
    if (commit.isEmpty() || !e->preeditString().isEmpty() || e->replacementLength() != 0) return false;
    QString typed;
    for (const QChar c : commit) {
        int ascii = c.unicode();
        keyPressStep(ascii);
        if (ascii > 0) typed += QChar(ascii);
    }
    if (typed == commit) return false;
    if (!typed.isEmpty()) insertTyped(typed);
    return true;
}

void Txt_::insertTyped(const QString& t)
{
    validator_->asTyped = true;
    box_->insert(t);
    validator_->asTyped = false;
}

} // namespace Ordalis
