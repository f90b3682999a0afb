#pragma once
#include "OrdalisControl.h"

#include <QFont>
#include <QLineEdit>

#include <optional>

class QInputMethodEvent;
class QProxyStyle;

namespace Ordalis
{

class TypingRules;

// The text field: a text box with focus colours, upper-casing of typed letters,
// a numeric mode switched on by a TagZ beginning with "N", and change detection
// between focus entry and exit for the host's save command.
class ORDALIS_EXPORT Txt_ : public OrdalisControl
{
    Q_OBJECT
    Q_CLASSINFO("ProgID", "Ordalis.Txt_")
    Q_CLASSINFO("ClassID", "{86CF881F-E5D1-4C86-BE31-6F92ED61DE35}")
    Q_CLASSINFO("Interface", "_Txt_")
    Q_CLASSINFO("InterfaceID", "{04C8C4B9-5382-426D-8C3B-E4803272B736}")
    Q_CLASSINFO("EventInterface", "__Txt_")
    Q_CLASSINFO("EventInterfaceID", "{42A7038C-0509-4D50-B420-BCE9C96D980B}")
    Q_CLASSINFO("Version", "1.1")
    Q_CLASSINFO("DefaultMember", "Text")
    // Dispatch identifiers, in interface order; fixed, hosts bind by them.
    Q_CLASSINFO("DispId:BackColor", "0x680300EB")
    Q_CLASSINFO("DispId:Enabled", "0x680300EA")
    Q_CLASSINFO("DispId:Font", "-512")
    Q_CLASSINFO("DispId:Refresh", "0x600300EC")
    Q_CLASSINFO("DispId:Alignment", "0x680300E9")
    Q_CLASSINFO("DispId:hWnd", "0x680300E8")
    Q_CLASSINFO("DispId:Locked", "0x680300E7")
    Q_CLASSINFO("DispId:MaxLength", "0x680300E6")
    Q_CLASSINFO("DispId:MousePointer", "0x680300E5")
    Q_CLASSINFO("DispId:MultiLine", "0x680300E4")
    Q_CLASSINFO("DispId:PasswordChar", "0x680300E3")
    Q_CLASSINFO("DispId:ScrollBars", "0x680300E2")
    Q_CLASSINFO("DispId:SelLength", "0x680300E1")
    Q_CLASSINFO("DispId:SelStart", "0x680300E0")
    Q_CLASSINFO("DispId:SelText", "0x680300DF")
    Q_CLASSINFO("DispId:Text", "0")
    Q_CLASSINFO("DispId:ToolTipText", "0x680300DE")
    Q_CLASSINFO("DispId:Prompt", "0x680300DD")
    Q_CLASSINFO("DispId:TagZ", "0x680300DC")
    Q_CLASSINFO("DispId:BckColor", "0x680300DB")
    Q_CLASSINFO("DispId:IsNum", "0x680300DA")
    Q_CLASSINFO("DispId:DecimalPlace", "0x680300D9")
    Q_CLASSINFO("DispId:Heig", "0x680300D8")
    Q_CLASSINFO("DispId:Wide", "0x680300D7")
    Q_CLASSINFO("DispId:AllowLoCase", "0x680300D6")
    Q_CLASSINFO("DispId:MskModified", "0x680300D5")
    Q_CLASSINFO("DispId:About", "0x600300F7")
    Q_CLASSINFO("Help:Prompt", "Tupi Utente")
    Q_CLASSINFO("Help:BckColor", "Colore di Sfondo")
    Q_CLASSINFO("Help:IsNum", "Dichiara che contiene numeri")
    Q_CLASSINFO("Help:DecimalPlace", "Posti decimali se IsNum e' VERO")
    Q_CLASSINFO("Help:Wide", "Larghezza del controllo")
    Q_CLASSINFO("Help:AllowLoCase", "Permette la presenza di caratteri minuscoli !")
    Q_CLASSINFO("Help:MskModified",
                "Settarlo a True da GotFocus, se il Form Padre ha gia' avuto una variazione !!")
    Q_CLASSINFO("Help:About", "Appare il messaggio di Copyright")
    Q_CLASSINFO("Help:BeforeFocus", "Avviene prima che il controllo abbia avuto il focus")
    Q_CLASSINFO("Help:AfterFocus", "Avviene dopo che il controllo ha avuto il focus")
    Q_CLASSINFO("Event:KeyDown", "1")
    Q_CLASSINFO("Event:KeyPress", "2")
    Q_CLASSINFO("Event:Change", "3")
    Q_CLASSINFO("Event:BeforeFocus", "4")
    Q_CLASSINFO("Event:AfterFocus", "5")

    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(qint32 hWnd READ hWnd STORED false)
    Q_PROPERTY(bool Locked READ Locked WRITE setLocked)
    Q_PROPERTY(qint32 MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE setMousePointer)
    Q_PROPERTY(bool MultiLine READ MultiLine STORED false)
    Q_PROPERTY(QString PasswordChar READ PasswordChar WRITE setPasswordChar)
    Q_PROPERTY(int ScrollBars READ ScrollBars STORED false)
    Q_PROPERTY(qint32 SelLength READ SelLength WRITE setSelLength STORED false)
    Q_PROPERTY(qint32 SelStart READ SelStart WRITE setSelStart STORED false)
    Q_PROPERTY(QString SelText READ SelText WRITE setSelText STORED false)
    Q_PROPERTY(QString Text READ Text WRITE setText USER true)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(QString Prompt READ Prompt WRITE setPrompt)
    Q_PROPERTY(QString TagZ READ TagZ WRITE setTagZ)
    Q_PROPERTY(qint32 BckColor READ BckColor WRITE setBckColor)
    Q_PROPERTY(bool IsNum READ IsNum WRITE setIsNum)
    Q_PROPERTY(int DecimalPlace READ DecimalPlace WRITE setDecimalPlace)
    Q_PROPERTY(qint32 Heig READ Heig WRITE setHeig)
    Q_PROPERTY(qint32 Wide READ Wide WRITE setWide)
    Q_PROPERTY(bool AllowLoCase READ AllowLoCase WRITE setAllowLoCase)
    Q_PROPERTY(bool MskModified READ MskModified WRITE setMskModified)
    // QWidget's own names lead to the same state: QUiLoader sets properties by name.
    Q_PROPERTY(bool enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont font READ Font WRITE setFont)

  public:
    explicit Txt_(QWidget* parent = nullptr);

    qint32 BackColor() const { return backColor_; }
    bool setBackColor(qint32 v);
    bool Enabled() const { return box_->isEnabled(); }
    // uic calls "set" + the property's name: these hide QWidget's own setters,
    // so a form's Enabled and Font reach the inner box.
    void setEnabled(bool v);
    QFont Font() const { return box_->font(); }
    void setFont(const QFont& f);
    int Alignment() const { return alignment_; }
    bool setAlignment(int v);
    qint32 hWnd() const;
    bool Locked() const { return box_->isReadOnly(); }
    void setLocked(bool v);
    qint32 MaxLength() const { return maxLength_; }
    bool setMaxLength(qint32 v);
    int MousePointer() const { return mousePointer_; }
    bool setMousePointer(int v);
    bool MultiLine() const { return false; }
    QString PasswordChar() const { return passwordChar_; }
    bool setPasswordChar(const QString& v);
    int ScrollBars() const { return 0; }
    qint32 SelLength() const;
    bool setSelLength(qint32 v);
    qint32 SelStart() const;
    bool setSelStart(qint32 v);
    QString SelText() const { return box_->selectedText(); }
    void setSelText(const QString& v);
    QString Text() const { return box_->text(); }
    void setText(const QString& v);
    QString ToolTipText() const { return box_->toolTip(); }
    void setToolTipText(const QString& v);
    QString Prompt() const { return prompt_; }
    void setPrompt(const QString& v);
    QString TagZ() const { return tagZ_; }
    void setTagZ(const QString& v);
    qint32 BckColor() const { return bckColor_; }
    bool setBckColor(qint32 v);
    bool IsNum() const { return isNum_; }
    void setIsNum(bool v);
    int DecimalPlace() const { return decimalPlace_; }
    bool setDecimalPlace(int v);
    qint32 Heig() const { return heig_; }
    bool setHeig(qint32 v);
    qint32 Wide() const { return wide_; }
    bool setWide(qint32 v);
    bool AllowLoCase() const { return allowLoCase_; }
    void setAllowLoCase(bool v);
    bool MskModified() const { return mskModified_; }
    void setMskModified(bool v);

    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void About();

    void initProperties() override;
    void readProperties(const PropertyBag& bag) override;
    void writeProperties(PropertyBag& bag) const override;

    // The inner back and fore colours (VB numbers), as the box shows them now.
    qint32 innerBackColor() const { return backColor_; }
    qint32 innerForeColor() const { return foreColor_; }

    // Numeric mode: TagZ begins with a capital "N".
    bool numericMode() const { return tagZ_.startsWith(QLatin1Char('N')); }

  Q_SIGNALS:
    void KeyDown(int& KeyCode, int& Shift);
    void KeyPress(int& KeyAscii);
    void Change();
    void BeforeFocus();
    void AfterFocus();

  protected:
    void changeEvent(QEvent* e) override;
    void focusEntry() override;
    void focusExit() override;
    void innerResized() override;
    bool innerEvent(QEvent* e) override;

  private:
    // The inner text box itself, for the library's own property page only.
    friend class ProprietaTxt;
    QLineEdit* Padre() const { return box_; }

    void applyColors();
    void keyPressStep(int& keyAscii);
    void applyPasswordChar();
    void setBoxText(const QString& v);
    bool composedInput(QInputMethodEvent* e);
    // A character the key step gave, put in as typed.
    void insertTyped(const QString& t);

    QLineEdit* box_ = nullptr;
    TypingRules* validator_ = nullptr;
    QProxyStyle* passwordStyle_ = nullptr;
    qint32 backColor_;
    qint32 foreColor_;
    int alignment_ = 0;
    qint32 maxLength_ = 0;
    int mousePointer_ = 0;
    QString passwordChar_;
    QString prompt_;
    QString tagZ_;
    qint32 bckColor_ = 0xFFFFFF;
    bool isNum_ = false;
    int decimalPlace_ = 2;
    qint32 heig_ = 0;
    qint32 wide_ = 0;
    bool allowLoCase_ = false;
    bool mskModified_ = false;
    QString entryText_;
    std::optional<double> entryNumber_;
};

} // namespace Ordalis
