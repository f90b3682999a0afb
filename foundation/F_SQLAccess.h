#pragma once
#include "OrdalisHost.h"
#include "VbForm.h"

class QLabel;
class QPushButton;
class QStatusBar;

// "SQL Access Credentials": the SQL Server login of the ERP's databases, kept in
// "MARVO_Z.INI" [Login]. Only the login procedure opens it, modally; it reads Is_Quit,
// then unloads it. The buttons only hide the window.
class F_SQLAccess final : public VbFormOf<F_SQLAccess>
{
    Q_OBJECT
  public:
    F_SQLAccess();

    TxtCtl Txt_Server;
    TxtCtl Txt_User;
    TxtCtl Txt_Pwd;
    QLabel* Lbl_Srv = nullptr;
    QPushButton* Cmd_Save = nullptr;
    QPushButton* Cmd_Quit = nullptr;
    QPushButton* Cmd_Restore = nullptr;
    QPushButton* Cmd_ShowChar = nullptr;
    QStatusBar* St_Bar = nullptr;
    QLabel* Pan_Msg = nullptr;
    QLabel* Pan_Time = nullptr;
    QLabel* Pan_Date = nullptr;

    // True when the window was left with "Abbandona"; the close box counts as not quitting.
    bool Is_Quit() const { return isQuit_; }

    void Cmd_Save_Click();
    void Cmd_Quit_Click();
    void Cmd_Restore_Click();
    void Cmd_ShowChar_Click();
    void Lbl_Srv_Click();

    // The window's quote rule: a leading "'", then a trailing "'", each by itself.
    static QString StripQuotes(const QString& text);

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;
    void Form_KeyPress(int keyAscii) override;

  private:
    bool isQuit_ = false;
    bool firstActivation_ = true;
};
