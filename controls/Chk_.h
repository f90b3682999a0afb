#pragma once
#include "OrdalisControl.h"

#include <QCheckBox>
#include <QFont>

namespace Ordalis
{

class PropertyBag;

// The check box: a caption colour while it holds the focus and change detection
// of Value between focus entry and exit for the host's save command.
class ORDALIS_EXPORT Chk_ : public OrdalisControl
{
    Q_OBJECT
    Q_CLASSINFO("ProgID", "Ordalis.Chk_")
    Q_CLASSINFO("ClassID", "{9CAA560E-98C8-42CD-A7B6-230FF8C3B93C}")
    Q_CLASSINFO("Interface", "_Chk_")
    Q_CLASSINFO("InterfaceID", "{FB8067B7-0035-4584-B0F9-8B235E3DA284}")
    Q_CLASSINFO("EventInterface", "__Chk_")
    Q_CLASSINFO("EventInterfaceID", "{94237FC9-9CBD-476C-B639-4DE90590A5FA}")
    Q_CLASSINFO("Version", "1.2")
    Q_CLASSINFO("DefaultMember", "Value")
    Q_CLASSINFO("DefaultEvent", "Click")
    Q_CLASSINFO("DispId:BackColor", "0x6803008B")
    Q_CLASSINFO("DispId:BackStyle", "0x6803008A")
    Q_CLASSINFO("DispId:BorderStyle", "0x68030089")
    Q_CLASSINFO("DispId:Refresh", "0x6003008C")
    Q_CLASSINFO("DispId:AutoRedraw", "0x68030088")
    Q_CLASSINFO("DispId:CanPropertyChange", "0x6003008D")
    Q_CLASSINFO("DispId:CurrentY", "0x68030087")
    Q_CLASSINFO("DispId:PopupMenu", "0x6003008E")
    Q_CLASSINFO("DispId:ForeColor", "0x68030086")
    Q_CLASSINFO("DispId:Enabled", "0x68030085")
    Q_CLASSINFO("DispId:CurrentX", "0x68030084")
    Q_CLASSINFO("DispId:Font", "-512")
    Q_CLASSINFO("DispId:Caption", "0x68030083")
    Q_CLASSINFO("DispId:Value", "0")
    Q_CLASSINFO("DispId:Alignment", "0x68030082")
    Q_CLASSINFO("DispId:ToolTipText", "0x68030081")
    Q_CLASSINFO("DispId:Prompt", "0x68030080")
    Q_CLASSINFO("DispId:MskModified", "0x6803007F")
    Q_CLASSINFO("DispId:About", "0x60030096")
    Q_CLASSINFO("DispId:TagZ", "0x68030097")
    Q_CLASSINFO("Help:Value", "Returns/sets the value of an object.")
    Q_CLASSINFO("Help:Prompt", "Prompt nella barra di stato")
    Q_CLASSINFO("Help:MskModified", "Settare al GotFocus con il Bollean della Form già modificata")
    Q_CLASSINFO("Help:About", "Appare il messaggio di Copyright")
    Q_CLASSINFO("Event:Resize", "1")
    Q_CLASSINFO("Event:Click", "2")
    Q_CLASSINFO("Event:DblClick", "3")
    Q_CLASSINFO("Event:KeyDown", "4")
    Q_CLASSINFO("Event:KeyPress", "5")
    Q_CLASSINFO("Event:KeyUp", "6")
    Q_CLASSINFO("Event:MouseDown", "7")
    Q_CLASSINFO("Event:MouseMove", "8")
    Q_CLASSINFO("Event:MouseUp", "9")
    Q_CLASSINFO("Event:InitProperties", "10")
    Q_CLASSINFO("Event:ReadProperties", "11")
    Q_CLASSINFO("Event:WriteProperties", "12")

    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int BackStyle READ BackStyle WRITE setBackStyle)
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(bool AutoRedraw READ AutoRedraw WRITE setAutoRedraw)
    // CurrentX, CurrentY and Dat_'s FntSize hold a Single; declared double, since a
    // form designer has no editor for float and never saves one.
    Q_PROPERTY(double CurrentY READ CurrentY WRITE setCurrentY)
    Q_PROPERTY(qint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(double CurrentX READ CurrentX WRITE setCurrentX)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Value READ Value WRITE setValue USER true)
    Q_PROPERTY(int Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(QString ToolTipText READ ToolTipText WRITE setToolTipText)
    Q_PROPERTY(QString Prompt READ Prompt WRITE setPrompt)
    Q_PROPERTY(bool MskModified READ MskModified WRITE setMskModified)
    Q_PROPERTY(QString TagZ READ TagZ WRITE setTagZ)
    // QWidget's own names lead to the same state: QUiLoader sets properties by name.
    Q_PROPERTY(bool enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QFont font READ Font WRITE setFont)

  public:
    explicit Chk_(QWidget* parent = nullptr);

    QCheckBox* check1() const { return box_; }

    qint32 BackColor() const { return backColor_; }
    void setBackColor(qint32 v);
    int BackStyle() const { return backStyle_; }
    bool setBackStyle(int v);
    int BorderStyle() const { return borderStyle_; }
    bool setBorderStyle(int v);
    bool AutoRedraw() const { return autoRedraw_; }
    void setAutoRedraw(bool v);
    double CurrentY() const { return currentY_; }
    void setCurrentY(double v);
    qint32 ForeColor() const { return foreColor_; }
    bool setForeColor(qint32 v);
    bool Enabled() const { return box_->isEnabled(); }
    // uic calls "set" + the property's name: these hide QWidget's own setters,
    // so a form's Enabled and Font reach the inner box.
    void setEnabled(bool v);
    double CurrentX() const { return currentX_; }
    void setCurrentX(double v);
    QFont Font() const { return box_->font(); }
    void setFont(const QFont& f);
    QString Caption() const { return box_->text(); }
    void setCaption(const QString& v);
    int Value() const;
    bool setValue(int v);
    int Alignment() const { return alignment_; }
    bool setAlignment(int v);
    QString ToolTipText() const { return box_->toolTip(); }
    void setToolTipText(const QString& v);
    QString Prompt() const { return prompt_; }
    void setPrompt(const QString& v);
    bool MskModified() const { return mskModified_; }
    void setMskModified(bool v);
    QString TagZ() const { return tagZ_; }
    void setTagZ(const QString& v);

    Q_INVOKABLE void Refresh() {}
    Q_INVOKABLE bool CanPropertyChange(const QString& PropertyName);
    Q_INVOKABLE void PopupMenu(QObject* Menu, const QVariant& Flags = {}, const QVariant& X = {},
                               const QVariant& Y = {}, const QVariant& DefaultMenu = {});
    Q_INVOKABLE void About();

    void initProperties() override;
    void readProperties(const PropertyBag& bag) override;
    void writeProperties(PropertyBag& bag) const override;

  Q_SIGNALS:
    void Resize();
    void Click();
    void DblClick();
    void KeyDown(int& KeyCode, int& Shift);
    void KeyPress(int& KeyAscii);
    void KeyUp(int& KeyCode, int& Shift);
    void MouseDown(int& Button, int& Shift, float& X, float& Y);
    void MouseMove(int& Button, int& Shift, float& X, float& Y);
    void MouseUp(int& Button, int& Shift, float& X, float& Y);
    void InitProperties();
    void ReadProperties(Ordalis::PropertyBag* PropBag);
    void WriteProperties(Ordalis::PropertyBag* PropBag);

  protected:
    void focusEntry() override;
    void focusExit() override;
    void innerResized() override;
    bool innerEvent(QEvent* e) override;

  private:
    void applyForeColor();

    QCheckBox* box_ = nullptr;
    qint32 backColor_ = 0;
    int backStyle_ = 0;
    int borderStyle_ = 0;
    bool autoRedraw_ = false;
    float currentX_ = 0;
    float currentY_ = 0;
    qint32 foreColor_;
    int alignment_ = 0;
    QString prompt_;
    QString tagZ_;
    bool mskModified_ = false;
    int entryValue_ = 0;
};

} // namespace Ordalis
