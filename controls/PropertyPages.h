#pragma once
#include "OrdalisGlobal.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The design-time pages of the controls. A page reads the first control of its
// host's selection by member name and writes only through the host, so that a
// form designer records every write (undo, form modified).
namespace Ordalis
{

class PageLineEdit;

// What a form designer gives a page.
class ORDALIS_EXPORT PageHost
{
  public:
    virtual ~PageHost();
    // The controls the page works on; the first is the one it reads and writes.
    virtual QList<QObject*> selection() const = 0;
    // Writes one property as the designer records it; false with the reason when refused.
    virtual bool setProperty(QObject* control, const QString& name, const QVariant& value, QString* why) = 0;
    // The writes of one step between these two are one change for the designer
    // (one undo step); a step that writes nothing opens no command.
    virtual void beginCommand(const QString& description);
    virtual void endCommand();
};

// What the three pages share: the changed mark, the step runner, the control's
// name field with its prefix, the generator's output box and the "(C)" button.
class ORDALIS_EXPORT PropertyPage : public QWidget
{
    Q_OBJECT
  public:
    ~PropertyPage() override;

    // "ProprietàTxt", ...
    virtual QString displayName() const = 0;
    PageHost* host() const { return host_; }

    // The designer hands the page its selection: the fields take the first control's values.
    void SelectionChanged();
    // The designer applies: true when the step ran to its end.
    bool ApplyChanges();
    // True once the user changed something the designer should apply.
    bool Changed() const { return changed_; }
    void setChanged(bool changed);

    // Fields shared by every page.
    QLineEdit* Txt_Nome = nullptr;
    QPushButton* Cmd_Code = nullptr;
    QPlainTextEdit* Txt_Code = nullptr;
    QPushButton* Cmd_CRite = nullptr;

  Q_SIGNALS:
    void changedChanged(bool changed);

  protected:
    PropertyPage(PageHost* host, const QString& prefix, const QString& nameText, const QString& codeText,
                 QWidget* parent);

    virtual void selectionStep() = 0;
    virtual void applyStep() = 0;
    virtual void codeStep() = 0;

    // The first selected control, nullptr for an empty selection.
    QObject* selected() const;
    // A member of the selected control; an unreadable one ends the step with its reason.
    QVariant get(const QString& name) const;
    // Writes through the host; a refusal ends the step with its reason.
    void put(const QString& name, const QVariant& value);
    // A whole number for a Long property; beyond a Long the step ends in "Overflow".
    static QVariant toLong(double v);
    // Runs one event step: an error raised inside ends it there, earlier effects stay, and its
    // reason is shown in the run-time error box. True when the step ran to its end.
    bool runStep(const std::function<void()>& step);
    // Raises an error that ends the running step.
    [[noreturn]] static void raise(const QString& why);

    // A text box that selects its whole text when entered; change marks the page.
    PageLineEdit* addEdit(const QString& objectName, bool marks, bool selectOnEntry);
    // Fills made by the page itself (initialisation, the selection) do not mark it changed.
    void markChanged();
    bool filling_ = false;
    // The order the Tab key goes through the fields.
    void tabChain(const QList<QWidget*>& fields);

    // The name check and the output of a generator run.
    bool nameRefused();
    void showCode(const QString& crlfText);

    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void nameEntry();
    bool codeKey(QObject* watched, QEvent* e);

    PageHost* host_;
    QString prefix_;
    bool changed_ = false;
    bool inCommand_ = false;
    int depth_ = 0;
};

// The page of the text control.
class ORDALIS_EXPORT ProprietaTxt : public PropertyPage
{
    Q_OBJECT
  public:
    explicit ProprietaTxt(PageHost* host, QWidget* parent = nullptr);
    QString displayName() const override;

    QPushButton* Cmd_GetProp = nullptr;
    QLineEdit* txtMaxVisible = nullptr;
    QPushButton* Cmd_RecalcW = nullptr;
    QLineEdit* Txt_Wide = nullptr;
    QLineEdit* txtMaxLength = nullptr;
    QLineEdit* txtDecimalPlace = nullptr;
    QPushButton* Cmd_RecalcT = nullptr;
    QLineEdit* Txt_Tag = nullptr;
    QComboBox* Cmb_Allign = nullptr;
    QCheckBox* Chk_AllowLoCase = nullptr;
    QLineEdit* txtPrompt = nullptr;
    QGroupBox* Frm_Key = nullptr;
    QCheckBox* Chk_IsKey = nullptr;
    QList<QRadioButton*> Opt_Key;
    QLineEdit* Txt_Tabella = nullptr;
    QLineEdit* Txt_Campo = nullptr;
    QCheckBox* Chk_Zeroes = nullptr;
    QCheckBox* Chk_SBar = nullptr;
    QCheckBox* Chk_TBar = nullptr;
    QLabel* Lbl_Name = nullptr;

  protected:
    void selectionStep() override;
    void applyStep() override;
    void codeStep() override;

  private:
    void decimalsStep();
    void widthStep(bool fromFocusExit);
    void lookupStep();
    void loadKind(int kind);
    void getPropertiesStep();
    bool eventFilter(QObject* watched, QEvent* e) override;
};

// The page of the check control.
class ORDALIS_EXPORT ProprietaChk : public PropertyPage
{
    Q_OBJECT
  public:
    explicit ProprietaChk(PageHost* host, QWidget* parent = nullptr);
    QString displayName() const override;

    QLineEdit* txtCaption = nullptr;
    QLineEdit* txtPrompt = nullptr;
    QComboBox* Cmb_Align = nullptr;
    QCheckBox* Chk_Tristate = nullptr;
    QCheckBox* Chk_TBar = nullptr;
    QCheckBox* Chk_SBar = nullptr;

  protected:
    void selectionStep() override;
    void applyStep() override;
    void codeStep() override;
};

// The page of the date control.
class ORDALIS_EXPORT ProprietaDat : public PropertyPage
{
    Q_OBJECT
  public:
    explicit ProprietaDat(PageHost* host, QWidget* parent = nullptr);
    QString displayName() const override;

    QLineEdit* txtPrompt = nullptr;
    QLineEdit* Txt_DimFont = nullptr;
    QPushButton* Command1 = nullptr;
    QCheckBox* Chk_TBar = nullptr;
    QCheckBox* Chk_SBar = nullptr;

  protected:
    void selectionStep() override;
    void applyStep() override;
    void codeStep() override;

  private:
    void setStep();
};

// The page of a control's class ("Txt_", "Chk_", "Dat_", qualified or not); nullptr for another.
ORDALIS_EXPORT PropertyPage* createPropertyPage(const QString& controlClass, PageHost* host,
                                                QWidget* parent = nullptr);

// A page in a dialog of its own: "OK" applies a changed page and closes, "Annulla"
// closes, "Applica" (on while the page is changed) applies. Titled with the page's name.
// The dialog takes the page and hands it the host's selection.
class ORDALIS_EXPORT PropertyPageDialog : public QDialog
{
    Q_OBJECT
  public:
    explicit PropertyPageDialog(PropertyPage* page, QWidget* parent = nullptr);

    PropertyPage* page() const { return page_; }
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* applyButton = nullptr;

    void accept() override;

  private:
    PropertyPage* page_;
};

} // namespace Ordalis
