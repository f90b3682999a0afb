#pragma once
#include "foundation/OrdalisHost.h"
#include "foundation/VbForm.h"

#include <QList>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;

// The mail settings window: the only writer of section "MailXML".
class F_Mail final : public VbFormOf<F_Mail>
{
    Q_OBJECT
  public:
    F_Mail();

    static QString Caption() { return QStringLiteral("Configurazione mail per Commercialista"); }
    // The presets of Cmb_ServerStd: "n | provider", host, port text, SSL, authentication.
    struct Preset {
        QString entry, host, port;
        int ssl, auth;
    };
    static QList<Preset> Presets();
    // The one character Lbl_PWD_MouseUp asks for before it shows the password.
    static QString AccessCode() { return QStringLiteral("Q"); }

    QTabWidget* SSTab1 = nullptr;
    QLineEdit* Txt_Answer = nullptr;
    TxtCtl Txt_MailMitt;
    ChkCtl Chk_Copy;
    ChkCtl Chk_Answer;
    QLabel* Lbl_Obj = nullptr;
    QLineEdit* Txt_Oggetto = nullptr;
    QLabel* Lbl_Text = nullptr;
    QPlainTextEdit* Txt_TxtStd = nullptr;
    QPlainTextEdit* Txt_Firma = nullptr;
    ChkCtl Chk_DoCopy;
    QGroupBox* Frm_Conn = nullptr;
    QList<QRadioButton*> Opt_ConnM;
    QGroupBox* Frm_Server = nullptr;
    QComboBox* Cmb_ServerStd = nullptr;
    QPushButton* Cmd_SetServer = nullptr;
    TxtCtl Txt_Server;
    TxtCtl Txt_Porta;
    TxtCtl Txt_Sender;
    QLabel* Lbl_PWD = nullptr;
    TxtCtl Txt_Pwd;
    ChkCtl Chk_Auth;
    ChkCtl Chk_SSL;
    QFrame* Frm_Bottom = nullptr;
    QPushButton* Cmd_OK = nullptr;
    QPushButton* Cmd_Quit = nullptr;
    QPushButton* Cmd_Alleg = nullptr;
    QStatusBar* St_Bar = nullptr;
    QLabel* Pan_Msg = nullptr;

    qint32 N_MinHeight = 0; // twips
    qint32 N_MinWidth = 0;  // twips

    void ClrDati();
    void Cmd_OK_Click();
    void Cmd_Quit_Click();
    void Cmd_SetServer_Click();
    void Opt_ConnM_Click(int index);
    void Lbl_Obj_MouseUp(int button, int shift, int x, int y);
    void Lbl_Text_MouseUp(int button, int shift, int x, int y);
    void Lbl_PWD_MouseUp(int button, int shift, int x, int y);

  protected:
    void Form_Load() override;
    void Form_Unload(int& cancel) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void connectHandlers();
};
