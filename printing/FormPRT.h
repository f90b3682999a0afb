#pragma once
#include "foundation/VbForm.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// "Parametri Stampante": edits the printer sections of "QOR_PRT.INI" and its
// [Default], makes a printer the default, regenerates the file, chooses the three print
// fonts and prints the test page. Whichever way it closes, the printer it shows becomes
// the current one and G_PrtSet is loaded from it.
class FormPRT final : public VbFormOf<FormPRT>
{
    Q_OBJECT
  public:
    FormPRT();

    // Shows the window modally over opener (which is activated again afterwards).
    static int ShowModalFrom(VbForm* opener = nullptr);

    QLabel* Label11 = nullptr;
    QComboBox* Cmb_Prt = nullptr;
    QPushButton* Cmd_SetDef = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Lbl_Prt = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* Txt_H = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Txt_W = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Txt_Color = nullptr;
    QCheckBox* Chk_Comp = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Txt_RTop = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Txt_RBot = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Txt_Nor = nullptr;
    QLineEdit* Txt_DNor = nullptr;
    QPushButton* Cmd_SelNor = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* Txt_Comp = nullptr;
    QLineEdit* Txt_DComp = nullptr;
    QPushButton* Cmd_SelCom = nullptr;
    QLineEdit* Txt_SComp = nullptr;
    QLineEdit* Txt_DSComp = nullptr;
    QPushButton* Cmd_SelSCom = nullptr;
    QCheckBox* Chk_Land = nullptr;
    QPushButton* Cmd_TestPRT = nullptr;
    QPushButton* Cmd_ReNew = nullptr;
    QPushButton* Cmd_OK = nullptr;
    QPushButton* Cmd_Quit = nullptr;
    QFrame* Shape1 = nullptr;
    QFrame* Line1 = nullptr;

    void Cmb_Prt_Click();
    void Chk_Land_Click();
    void Cmd_OK_Click();
    void Cmd_Quit_Click();
    void Cmd_SetDef_Click();
    void Cmd_ReNew_Click();
    void Cmd_ReNew_MouseUp(int button, int shift, int x, int y);
    void Cmd_SelNor_Click();
    void Cmd_SelCom_Click();
    void Cmd_SelSCom_Click();
    void Cmd_TestPRT_Click();

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Deactivate() override;
    void Form_Unload(int& cancel) override;

  private:
    // The twelve keys of a section into their fields, and back.
    void loadFields(const QString& section);
    void writeFields(const QString& section) const;
    void showCompressed();
    void chooseFont(QLineEdit* name, QLineEdit* size, int row);

    bool loading_ = false;    // the list is being filled: its selection handler waits
    bool noReinit_ = false;   // closing leaves the printer settings record alone
    QString defaultName_;     // [Default] Printer as read at load or set by Set Default
};
