#pragma once
#include "XmlList.h"
#include "foundation/OrdalisHost.h"
#include "foundation/VbForm.h"
#include "platform/Launcher.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QListView;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QToolBar;

// The 7-Zip program: "7z" in the program folder when present, else "7z" on PATH; "" when none.
QString SevenZip_Path();

// The main window: folder choice, the invoice list and its tools, ZIP and mail.
// Reached as F_ZipXML::instance(); closing it saves its settings and ends the process.
//
// The handlers live in one file per concern:
//   F_ZipXML.cpp          controls and layout, load, activation, resize, keys, close, folder choice
//   F_ZipXML_Menu.cpp     menus, about box, issued/received option, reference fields
//   F_ZipXML_List.cpp     building the invoice list
//   F_ZipXML_Select.cpp   search, selection and list tools, folders, viewer
//   F_ZipXML_Zip.cpp      ZIP creation
//   F_ZipXML_SendDate.cpp send-date assignment
//   F_ZipXML_Events.cpp   list events, attachments and folder buttons
//   F_ZipXML_Mail.cpp     mail sending
class F_ZipXML final : public VbFormOf<F_ZipXML>
{
    Q_OBJECT
  public:
    F_ZipXML();

    static QString Caption() { return QStringLiteral("Zip Files XML Docora"); }
    // Header texts of the six list layouts, in the order of Cmb_Ord.
    static QStringList HeaderTexts();
    static QStringList LayoutEntries();
    static QStringList SearchFields();

    // --- controls, in the order the window lays them out ---
    QMenuBar* MenuBar = nullptr;
    QMenu* M0_File = nullptr;
    QAction* M_New = nullptr;
    QAction* M_SaveNew = nullptr;
    QAction* M_Save = nullptr;
    QAction* M_Agyo = nullptr;
    QAction* MXML_Sep0 = nullptr;
    QAction* MXML_FattPass = nullptr;
    QAction* MFile_Sep0 = nullptr;
    QAction* M_Close = nullptr;
    QMenu* M0_Mod = nullptr;
    QAction* M_Del = nullptr;
    QAction* M_Ripr = nullptr;
    QAction* M_Elim = nullptr;
    QAction* M_RecPrec = nullptr;
    QAction* M_RecSucc = nullptr;
    QAction* M_Prt = nullptr;
    QMenu* M0_Help = nullptr;
    QAction* M_News = nullptr;
    QAction* Sep_11 = nullptr;
    QAction* M_Info = nullptr;

    QToolBar* Toolbar2 = nullptr;
    QAction* TB_New = nullptr;
    QAction* TB_SaveNew1 = nullptr;
    QAction* TB_Save = nullptr;
    QAction* TB_Elim = nullptr;
    QAction* TB_Ripr = nullptr;
    QAction* TB_Prev = nullptr;
    QAction* TB_Succ = nullptr;
    QAction* TB_Prt = nullptr;

    QLabel* Label1 = nullptr;
    QComboBox* Cmb_FoldXML = nullptr;
    QPushButton* Cmd_NewDir = nullptr;
    QPushButton* Cmd_DelDir = nullptr;
    QPushButton* Cmd_OpenXml = nullptr;
    QPushButton* Cmd_Temp = nullptr;
    QPushButton* Cmd_Agyo = nullptr;

    QPushButton* Cmd_ListNew = nullptr;
    QLabel* Lbl_LastDo = nullptr;
    QLabel* Label5 = nullptr;
    TxtCtl Txt_Rif;
    QGroupBox* Frm_AttPass = nullptr;
    QList<QRadioButton*> Opt_AttPas; // 0 "Attive" (issued), 1 "Passive" (received)
    QLabel* Label7 = nullptr;
    QComboBox* Cmb_Ord = nullptr;
    ChkCtl Chk_OrdDoc;

    QLabel* Lbl_Hed = nullptr;
    XmlList* Lst_XMLRows = nullptr; // rows, order and selection of Lst_XML
    QListView* Lst_XML = nullptr;
    QLabel* Lbl_Wait = nullptr;

    QFrame* Frm_Bottom = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* Cmb_Sel = nullptr;
    TxtCtl Txt_Find;
    QPushButton* Cmd_Find = nullptr;
    QPushButton* Cmd_SelAll = nullptr;
    QPushButton* Cmd_SelInv = nullptr;
    QPushButton* Cmd_Big = nullptr;
    QPushButton* Cmd_Litt = nullptr;
    QPushButton* Cmd_ViewXML = nullptr;
    QPushButton* Cmd_DoDateSend = nullptr;
    QLabel* Lbl_FodZIP = nullptr;
    TxtCtl Txt_DirZIP;
    QPushButton* Cmd_DirZIP = nullptr;
    ChkCtl Chk_UseSel;
    ChkCtl Chk_ReSend;
    ChkCtl Chk_Sended;
    QPushButton* Cmd_ZipSel = nullptr;
    ChkCtl Chk_DoMail;
    QPushButton* Cmd_CfgMail = nullptr;
    QLabel* Lbl_RAR = nullptr; // shown (not isHidden()) while 7-Zip is missing
    QLabel* Label3 = nullptr;
    QLabel* Lbl_Azi = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Lbl_Cod = nullptr;
    TxtCtl Txt_Cod;
    QLabel* Lbl_Des = nullptr;
    TxtCtl Txt_Des;

    QStatusBar* St_Bar = nullptr;
    QLabel* Pan_Msg = nullptr; // panel 1: progress messages and control prompts
    QLabel* Pan_F6 = nullptr;
    QLabel* Pan_F8 = nullptr;
    QLabel* Pan_Azi = nullptr;
    QLabel* Pan_Img = nullptr;
    QLabel* Pan_Status = nullptr;

    // --- window state ---
    bool B_FirstAct = false;
    int N_ExtraWidth = 0;   // twips
    qint32 N_MinHeight = 0; // twips
    qint32 N_MinWidth = 0;  // twips
    QString S_HdrLayout1, S_HdrLayout2, S_HdrLayout3, S_HdrLayout4, S_HdrLayout5, S_HdrLayout6;
    bool B_Building = false;
    bool B_FullList = false;
    QDateTime D_FullFrom;
    int N_LongestRow = -1;

    // --- shared helpers ---
    // Panel 1 of the status bar.
    void setStatus(const QString& text);
    QString status() const;
    // The current folder's key: first "|"-field of Lbl_LastDo's tool tip ("" before any choice).
    QString FolderKey() const;
    // Selects an entry of Cmb_FoldXML as the list's ListIndex does: the folder choice runs.
    void setFoldListIndex(int index);
    // The selected option of Opt_AttPas (0 issued, 1 received).
    int AttPas() const;

    // --- this window's own handlers ---
    void Form_Resize();
    void Form_DblClick() { Form_Resize(); }
    void Cmb_FoldXML_Click();
    void Cmb_Ord_Click();
    void Cmb_Ord_DragOver();
    void Chk_OrdDoc_Click();
    void Chk_DoMail_MouseUp(int button, int shift, int x, int y);
    void Chk_ViewXML();
    void ClrCampi();
    int DummY() { return 0; }

    // --- menus and reference fields (F_ZipXML_Menu.cpp) ---
    void M_Agyo_Click();
    void MXML_FattPass_Click();
    void M_Close_Click();
    void M_News_Click();
    void M_Info_Click();
    void Opt_AttPas_Click(int index);
    void Txt_GotFocus(const TxtCtl& field);
    void Txt_DirZIP_LostFocus();
    void Txt_Find_LostFocus();
    void Txt_Rif_LostFocus();
    // The reference text without blanks and the characters a file name cannot carry.
    static QString CleanRif(const QString& text);

    // --- invoice list (F_ZipXML_List.cpp) ---
    void Cmd_ListNew_Click();
    void Cmd_ListNew_MouseUp(int button, int shift, int x, int y);

    // --- selection, search and list tools (F_ZipXML_Select.cpp) ---
    void Cmd_Find_Click();
    void Cmd_Find_MouseUp(int button, int shift, int x, int y);
    void Cmd_SelAll_Click();
    void Cmd_SelAll_MouseUp(int button, int shift, int x, int y);
    void Cmd_SelInv_Click();
    void Cmd_SelInv_MouseUp(int button, int shift, int x, int y);
    void Cmd_Litt_Click();
    void Cmd_NewDir_Click();
    void Cmd_NewDir_MouseUp(int button, int shift, int x, int y);
    void Cmd_OpenXml_Click();
    void Cmd_Temp_Click();
    void Cmd_ViewXML_Click();
    void Cmd_ViewXML_MouseUp(int button, int shift, int x, int y);

    // --- ZIP creation (F_ZipXML_Zip.cpp) ---
    void Cmd_ZipSel_Click();
    void Cmd_ZipSel_MouseUp(int button, int shift, int x, int y);
    // Runs a program to its end through the launcher (window style and title mean nothing here).
    Launcher::Result ShellAndWait(const QString& program, const QStringList& args, int windowStyle,
                                  const QString& title);

    // --- send dates (F_ZipXML_SendDate.cpp) ---
    void Cmd_DoDateSend_Click();
    void Lbl_Hed_MouseUp(int button, int shift, int x, int y);
    void Lbl_LastDo_MouseUp(int button, int shift, int x, int y);

    // --- list events, attachments and folder buttons (F_ZipXML_Events.cpp) ---
    void Lst_XML_Click();
    void Lst_XML_DblClick();
    void Lst_XML_MouseUp(int button, int shift, int x, int y);
    void Lbl_FodZIP_DblClick();
    void Cmd_Agyo_Click();
    void Cmd_Big_Click();
    void Cmd_CfgMail_Click();
    void Cmd_CfgMail_MouseUp(int button, int shift, int x, int y);
    void Cmd_DelDir_Click();
    void Cmd_DelDir_MouseUp(int button, int shift, int x, int y);
    void Cmd_DirZIP_Click();
    void Cmd_DirZIP_MouseUp(int button, int shift, int x, int y);
    void Label1_MouseMove(int button, int shift, int x, int y);
    void Label5_MouseMove(int button, int shift, int x, int y);
    void Lbl_FodZIP_MouseMove(int button, int shift, int x, int y);

    // --- mail (F_ZipXML_Mail.cpp) ---
    bool Do_InviaMail(const QString& attachment, const QString& text, const QString& extra);
    bool SendEMail_Client(QString strSender, QString strRecipient, QString strSubject, QString strBody,
                          QString strCc, QString strBcc, QStringList colAttachments, bool reqAnswer);
    bool SendEmail(QString strSender, QString strRecipient, QString strSubject, QString strBody, QString strCc,
                   QString strBcc, QStringList colAttachments, bool reqAnswer);
    // The desktop client's session: set from log-on to log-off.
    bool B_MapiNewSession = false;
    // Seconds the direct road waits for the connection and each server reply.
    int N_MailTimeout = 45;

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;
    void Form_KeyDown(int keyCode, int shift) override;
    void Form_KeyPress(int keyAscii) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

  private:
    void buildMenus();
    void buildControls();
    void connectHandlers();
    void connectEventHandlers(); // F_ZipXML_Events.cpp
    void applyMargins();
    bool MapiLogOn();
    void MapiLogOff();

    bool resizing_ = false;
};
