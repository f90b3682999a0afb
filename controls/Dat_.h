#pragma once
#include "OrdalisControl.h"

#include <QDate>
#include <QFont>
#include <QLineEdit>
#include <QPixmap>

namespace Ordalis
{

class PropertyBag;

// The date field: a masked box "__/__/____" with hot keys that write a whole date
// (today, first or last day of the week, month or year, the day before or after)
// and a silent repair of the typed date when the field is left. The host reads
// the result through StringA.
class ORDALIS_EXPORT Dat_ : public OrdalisControl
{
    Q_OBJECT
    Q_CLASSINFO("ProgID", "Ordalis.Dat_")
    Q_CLASSINFO("ClassID", "{B4EA2F53-9182-4F39-A843-FEC18DCB011C}")
    Q_CLASSINFO("Interface", "_Dat_")
    Q_CLASSINFO("InterfaceID", "{0E27DE0D-F00E-4596-BB17-31BA08B2A79E}")
    Q_CLASSINFO("EventInterface", "__Dat_")
    Q_CLASSINFO("EventInterfaceID", "{DDCE3F85-CC28-4A69-AD0F-039C0157294C}")
    Q_CLASSINFO("Version", "1.4")
    Q_CLASSINFO("DefaultMember", "StringA")
    // Dispatch identifiers, in interface order; fixed, hosts bind by them.
    Q_CLASSINFO("DispId:BackColor", "0x680300A5")
    Q_CLASSINFO("DispId:ForeColor", "0x680300A4")
    Q_CLASSINFO("DispId:Enabled", "0x680300A3")
    Q_CLASSINFO("DispId:Font", "-512")
    Q_CLASSINFO("DispId:BackStyle", "0x680300A2")
    Q_CLASSINFO("DispId:BorderStyle", "0x680300A1")
    Q_CLASSINFO("DispId:Refresh", "0x600300A6")
    Q_CLASSINFO("DispId:Format", "0x680300A0")
    Q_CLASSINFO("DispId:hWnd", "0x6803009F")
    Q_CLASSINFO("DispId:Mask", "0x6803009E")
    Q_CLASSINFO("DispId:Prompt", "0x6803009D")
    Q_CLASSINFO("DispId:MaskPicture", "0x6803009C")
    Q_CLASSINFO("DispId:SelLength", "0x6803009B")
    Q_CLASSINFO("DispId:SelStart", "0x6803009A")
    Q_CLASSINFO("DispId:SelText", "0x68030099")
    Q_CLASSINFO("DispId:PromptChar", "0x68030098")
    Q_CLASSINFO("DispId:ClipMode", "0x68030097")
    Q_CLASSINFO("DispId:AllowPrompt", "0x68030096")
    Q_CLASSINFO("DispId:PromptInclude", "0x68030095")
    Q_CLASSINFO("DispId:AltString", "0x68030094")
    Q_CLASSINFO("DispId:ToolTipText", "0x68030093")
    Q_CLASSINFO("DispId:StringA", "0")
    Q_CLASSINFO("DispId:MskModified", "0x68030092")
    Q_CLASSINFO("DispId:Heig", "0x680300A8")
    Q_CLASSINFO("DispId:Wide", "0x680300A7")
    Q_CLASSINFO("DispId:About", "0x600300B6")
    Q_CLASSINFO("DispId:FntSize", "0x680300B7")
    Q_CLASSINFO("DispId:TagZ", "0x680300B8")
    Q_CLASSINFO("Help:Prompt", "Descrizione da proporre nella riga di Status")
    Q_CLASSINFO("Help:AltString", "Stringa Alternativa")
    Q_CLASSINFO("Help:StringA", "Stringa risultante dopo la modifica")
    Q_CLASSINFO("Help:MskModified", "Settare al GotFocus Se il Form è già modificato")
    Q_CLASSINFO("Event:KeyDown", "1")
    Q_CLASSINFO("Event:KeyPress", "2")
    Q_CLASSINFO("Event:KeyUp", "3")
    Q_CLASSINFO("Event:Change", "4")
    Q_CLASSINFO("Event:Click", "5")
    Q_CLASSINFO("Event:DblClick", "6")
    Q_CLASSINFO("Event:MouseDown", "7")
    Q_CLASSINFO("Event:MouseMove", "8")
    Q_CLASSINFO("Event:MouseUp", "9")

    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(QString Format READ Format WRITE setFormat)
    Q_PROPERTY(qint32 hWnd READ hWnd WRITE setHWnd)
    Q_PROPERTY(QString Mask READ Mask WRITE setMask)
    Q_PROPERTY(QString Prompt READ Prompt WRITE setPrompt)
    Q_PROPERTY(QPixmap MaskPicture READ MaskPicture WRITE setMaskPicture)
    Q_PROPERTY(qint32 SelLength READ SelLength WRITE setSelLength)
    Q_PROPERTY(qint32 SelStart READ SelStart WRITE setSelStart)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText)
    Q_PROPERTY(QString PromptChar READ PromptChar WRITE setPromptChar)
    Q_PROPERTY(int ClipMode READ ClipMode WRITE setClipMode)
    Q_PROPERTY(bool AllowPrompt READ AllowPrompt WRITE setAllowPrompt)
    Q_PROPERTY(bool PromptInclude READ PromptInclude WRITE setPromptInclude)
    Q_PROPERTY(QString AltString READ AltString WRITE setAltString)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(QString StringA READ StringA WRITE setStringA USER true)
    Q_PROPERTY(bool MskModified READ MskModified WRITE setMskModified)
    Q_PROPERTY(qint32 Heig READ Heig WRITE setHeig)
    Q_PROPERTY(qint32 Wide READ Wide WRITE setWide)
    // A Single, declared double: a form designer has no editor for float and never saves one.
    Q_PROPERTY(double FntSize READ FntSize WRITE setFntSize)
    Q_PROPERTY(QString TagZ READ TagZ WRITE setTagZ)
    // QWidget's own names lead to the same state: QUiLoader sets properties by name.
    Q_PROPERTY(bool enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont font READ Font WRITE setFont)

  public:
    explicit Dat_(QWidget* parent = nullptr);

    // The empty date as the box shows it.
    static QString emptyDate() { return QStringLiteral("__/__/____"); }
    // A text of the box's form: ten characters, digits or "_" around two "/".
    static bool isEditText(const QString& t);
    // The date the field takes when it is left with this text (the repair rule), given today.
    static QString repaired(const QString& editText, const QDate& today);

    // The edit text: the box's ten characters, blanks shown as "_".
    QString editText() const { return box_->displayText(); }

    // Write accessors carry the names uic calls ("set" + the property's name).
    qint32 BackColor() const { return backColor_; }
    bool setBackColor(qint32 v);
    qint32 ForeColor() const { return foreColor_; }
    void setForeColor(qint32 v);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool v);
    QFont Font() const { return font_; }
    void setFont(const QFont& f);
    int BackStyle() const { return backStyle_; }
    void setBackStyle(int v);
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int v);
    QString Format() const { return format_; }
    void setFormat(const QString& v);
    qint32 hWnd() const { return hWnd_; }
    void setHWnd(qint32 v);
    QString Mask() const { return mask_; }
    void setMask(const QString& v);
    QString Prompt() const { return prompt_; }
    void setPrompt(const QString& v);
    QPixmap MaskPicture() const { return maskPicture_; }
    void setMaskPicture(const QPixmap& v);
    qint32 SelLength() const { return selLength_; }
    void setSelLength(qint32 v);
    qint32 SelStart() const { return selStart_; }
    void setSelStart(qint32 v);
    QString SelText() const { return selText_; }
    void setSelText(const QString& v);
    QString PromptChar() const { return promptChar_; }
    void setPromptChar(const QString& v);
    int ClipMode() const { return clipMode_; }
    void setClipMode(int v);
    bool AllowPrompt() const { return allowPrompt_; }
    void setAllowPrompt(bool v);
    bool PromptInclude() const { return promptInclude_; }
    void setPromptInclude(bool v);
    QString AltString() const { return altString_; }
    void setAltString(const QString& v);
    QString ToolTipText() const { return box_->toolTip(); }
    void setToolTipText(const QString& v);
    QString StringA() const { return stringA_; }
    bool setStringA(const QString& v);
    bool MskModified() const { return mskModified_; }
    void setMskModified(bool v);
    qint32 Heig() const { return heig_; }
    bool setHeig(qint32 v);
    qint32 Wide() const { return wide_; }
    bool setWide(qint32 v);
    double FntSize() const { return fntSize_; }
    bool setFntSize(double v);
    QString TagZ() const { return tagZ_; }
    void setTagZ(const QString& v);

    Q_INVOKABLE void Refresh() {}
    Q_INVOKABLE void About();

    void initProperties() override;
    void readProperties(const PropertyBag& bag) override;
    void writeProperties(PropertyBag& bag) const override;

    // The box's colours (VB numbers) as it shows them now.
    qint32 innerBackColor() const { return innerBack_; }
    qint32 innerForeColor() const { return innerFore_; }

    // The help boxes' texts and titles.
    static QString helpText(bool italian);
    static QString helpTitle(bool italian);

  Q_SIGNALS:
    void KeyDown(int& KeyCode, int& Shift);
    void KeyPress(int& KeyAscii);
    void KeyUp(int& KeyCode, int& Shift);
    void Change();
    void Click();
    void DblClick();
    void MouseDown(int& Button, int& Shift, float& X, float& Y);
    void MouseMove(int& Button, int& Shift, float& X, float& Y);
    void MouseUp(int& Button, int& Shift, float& X, float& Y);

  protected:
    void focusEntry() override;
    void focusExit() override;
    void innerResized() override;
    bool innerEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

  private:
    void applyColors();
    void setEditText(const QString& t);
    void editTextChanged();
    // True when the key was a hot key (it never reaches the box).
    bool hotKey(int keyCode);
    QDate workDate(const QDate& today) const;
    void selectAllOnEntry();

    QLineEdit* box_ = nullptr;
    QString reported_; // the edit text the box last reported
    qint32 backColor_ = 0xFFFFFF;
    qint32 foreColor_ = 0;
    bool enabled_ = false;
    bool switchedOff_ = false; // the control itself was last disabled, not only a container
    QFont font_;
    int backStyle_ = 0;
    int borderStyle_ = 0;
    QString format_;
    qint32 hWnd_ = 0;
    QString mask_;
    QString prompt_;
    QPixmap maskPicture_;
    qint32 selLength_ = 0;
    qint32 selStart_ = 0;
    QString selText_;
    QString promptChar_;
    int clipMode_ = 0;
    bool allowPrompt_ = false; // the box's own setting
    bool promptInclude_ = true;
    QString altString_;
    QString stringA_;
    QString text_;
    QString string_;
    bool mskModified_ = false;
    qint32 heig_ = 285;
    qint32 wide_ = 0;
    float fntSize_ = 8;
    QString tagZ_;
    QString textAtFocus_;
    qint32 innerBack_;
    qint32 innerFore_;
    bool sizing_ = false;
    bool selectOnFocusIn_ = false; // the entry's selection, once the box has taken the focus
};

} // namespace Ordalis
