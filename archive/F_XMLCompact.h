#pragma once
#include "foundation/OrdalisHost.h"
#include "foundation/VbForm.h"
#include "platform/ado/Ado.h"

#include <QString>

#include <functional>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QToolBar;

// The archive maintenance window: the base folders (DIRBASE) and their linked folders
// (DIRSUB), the kind of each base folder, the transfer marks, and the upkeep runs.
// It keeps its own connection to the archive, Cn_DirTmp, from load to unload.
//
// The handlers live in one file per concern:
//   F_XMLCompact.cpp          controls and layout, lifecycle, folders, marks, keys, menus
//   F_XMLCompact_Compact.cpp  duplicate removal
//   F_XMLCompact_Dates.cpp    reception and send dates
//   F_XMLCompact_Runs.cpp     refresh and whole-archive runs
//   F_XMLCompact_Editor.cpp   the code-table record editor
class F_XMLCompact final : public VbFormOf<F_XMLCompact>
{
    Q_OBJECT
  public:
    F_XMLCompact();

    static QString Caption() { return QStringLiteral("Compattamento cartelle temporanee"); }

    // The development view of a working recordset (the list window's recordset loader, which
    // lives beside this module). Installed by the program; without one nothing is shown.
    using Rs2ListFn = std::function<void(ado::Recordset& rs, const QString& listName, int maxCol)>;
    static void setRs2List(Rs2ListFn fn);
    static void Rs2List(ado::Recordset& rs, const QString& listName, int maxCol);

    // Held by a long run for its whole length: while any is held, every command that comes
    // from the user beeps and changes nothing, and the window refuses to close. Code of the
    // run itself still calls the handlers and selects entries.
    class RunGuard
    {
      public:
        explicit RunGuard(F_XMLCompact& w);
        ~RunGuard();
        RunGuard(const RunGuard&) = delete;
        RunGuard& operator=(const RunGuard&) = delete;

      private:
        F_XMLCompact& w_;
    };
    bool running() const { return runDepth_ > 0; }
    // False when the archive could not be opened at load: the window is then not shown.
    bool ArchiveOpen() const;

    // --- controls ---
    QMenuBar* MenuBar = nullptr;
    QMenu* M0_File = nullptr;
    QAction* M_New = nullptr;
    QAction* M_SaveNew = nullptr;
    QAction* M_Save = nullptr;
    QAction* M_Info = nullptr;
    QAction* M_Close = nullptr;
    QMenu* M0_Mod = nullptr;
    QAction* M_Del = nullptr;
    QAction* M_Ripr = nullptr;
    QAction* M_Elim = nullptr;
    QAction* M_RecPrec = nullptr;
    QAction* M_RecSucc = nullptr;
    QAction* M_Prt = nullptr;

    QToolBar* Toolbar2 = nullptr;
    QAction* TB_New = nullptr;
    QAction* TB_SaveNew = nullptr;
    QAction* TB_Save = nullptr;
    QAction* TB_Elim = nullptr;
    QAction* TB_Ripr = nullptr;
    QAction* TB_Prev = nullptr;
    QAction* TB_Succ = nullptr;
    QAction* TB_Prt = nullptr;

    QLabel* Lbl_Akt = nullptr;
    QLabel* Lbl_FoldBase = nullptr; // tool tip: the selected base folder's key
    QComboBox* Cmb_FoldXML = nullptr;
    QPushButton* Cmd_NewDir = nullptr;
    QPushButton* Cmd_DelDir = nullptr;
    QLabel* Lbl_AttPass = nullptr;
    QLabel* Lbl_LastDo = nullptr;
    QLabel* Label1 = nullptr; // caption of Lst_FoldSub
    QListWidget* Lst_FoldSub = nullptr;
    QPushButton* Cmd_NewDirSub = nullptr;
    QPushButton* Cmd_DelDirSub = nullptr;
    ChkCtl Chk_ToBase;
    QPushButton* Cmd_Compact = nullptr;
    QPushButton* Cmd_AllFold = nullptr;
    QPushButton* Cmd_AllMDB = nullptr;
    QPushButton* Cmd_UpdFiles = nullptr;
    QPushButton* Cmd_OldDat = nullptr;
    QLabel* Lbl_Wait = nullptr;
    QLabel* Lbl_XMLFile = nullptr;

    QFrame* Frm_Bottom = nullptr;
    QLabel* Label3 = nullptr; // "Azienda :"
    QLabel* Lbl_Azi = nullptr;
    QLabel* Lbl_Cod = nullptr;
    TxtCtl Txt_Cod;
    QLabel* Lbl_Des = nullptr;
    TxtCtl Txt_Des;

    QStatusBar* St_Bar = nullptr;
    QLabel* Pan_Msg = nullptr; // panel 1: progress and result texts, control prompts
    QLabel* Pan_F6 = nullptr;
    QLabel* Pan_F8 = nullptr;
    QLabel* Pan_Azi = nullptr;
    QLabel* Pan_Img = nullptr;
    QLabel* Pan_Status = nullptr;

    // --- window state ---
    ado::Connection Cn_DirTmp;
    bool B_AutoRun = false;
    qint32 N_Deleted = 0;
    qint32 N_Added = 0;
    bool B_FirstAct = false;
    int N_Margin = 0; // twips
    QString Tabella, CampoCod, CampoDes;
    ado::Recordset RecCorrente; // the last row the editor showed, for RipristinaRecord

    // --- helpers ---
    void setStatus(const QString& text);
    QString status() const;
    // The selected base folder's key as Lbl_FoldBase's tool tip holds it ("" with none).
    QString BaseKey() const;
    // Selects an entry as the program does (the base folder selection runs); -1 selects none.
    void setFoldIndex(int index);
    // Selects a row of Lst_FoldSub as the program does (its Click runs).
    void setSubIndex(int index);
    // Sets Chk_ToBase from code: the Click it raises writes nothing.
    void setToBase(int value);

    // --- public operations ---
    void Check_DatRicMDB();
    static QString Mk_Cod(const QString& text) { return text; }
    void Fnd_Tab(const QString& text);

    // --- this window's handlers ---
    void Form_Resize();
    void Cmb_FoldXML_Click();
    void Cmd_NewDir_Click();
    void Cmd_NewDir_MouseUp(int button, int shift, int x, int y);
    void Cmd_DelDir_Click();
    void Cmd_NewDirSub_Click();
    void Cmd_DelDirSub_Click();
    void Lbl_AttPass_MouseUp(int button, int shift, int x, int y);
    void Lst_FoldSub_Click();
    void Chk_ToBase_Click();
    void St_Bar_PanelClick(QLabel* panel);
    void Lbl_Cod_Click();
    void M_Close_Click();
    void M_Info_Click();

    // --- duplicate removal (F_XMLCompact_Compact.cpp) ---
    void Cmd_Compact_Click();

    // --- dates (F_XMLCompact_Dates.cpp) ---
    void Cmd_OldDat_Click();
    void Cmd_OldDat_MouseUp(int button, int shift, int x, int y);

    // --- runs (F_XMLCompact_Runs.cpp) ---
    void Cmd_UpdFiles_Click();
    void Cmd_AllMDB_Click();
    void Cmd_AllFold_Click();

    // --- record editor (F_XMLCompact_Editor.cpp) ---
    // False when the archive has no table Tabella: the editor's boxes, buttons and menu
    // items are then disabled and its commands do nothing.
    bool EditorReady() const { return tabReady_; }
    void AccendiSave();
    void SpegniSave();
    bool ControllaSave() const;
    void SetSave(bool flag);
    void PulisciMaschera();
    // False when the change is still unsaved (an empty code): the command stops there.
    bool SalvaSeModificato();
    void NuovoRecord();
    void RecPrec();
    void RecSucc();
    void MostraRecord(ado::Recordset* rs);
    void CercaCodice(const QString& code);
    void EliminaRecord();
    void RipristinaRecord();
    void Toolbar2_ButtonClick(QAction* button);
    // The boxes' focus handlers and Txt_Des's change are the save binding of the control
    // library; these two do what the code box adds to it.
    void Txt_Cod_Change();
    void Txt_Cod_LostFocus();
    void Txt_Cod_KeyDown(int keyCode, int shift);
    void M_New_Click();
    void M_SaveNew_Click();
    void M_Save_Click();
    void M_Del_Click();
    void M_Ripr_Click();
    void M_Elim_Click();
    void M_RecPrec_Click();
    void M_RecSucc_Click();
    void M_Prt_Click();

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(int& cancel) override;
    void Form_KeyDown(int keyCode, int shift) override;
    void Form_KeyPress(int keyAscii) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    void buildControls();
    void connectHandlers();
    void applyMargins();
    // Runs a command that comes from the user: refused (a beep) while a run holds the guard
    // or without the archive, else run under the handler guard.
    void user(const QString& name, const std::function<void()>& body);
    void clearSelection();
    // The base folders' paths as DIRBASE holds them.
    QStringList baseFolders();
    // The editor: its boxes bound to the save state, its table looked for at load, and
    // one command by its toolbar key (menu items and keys come here too).
    void bindEditor();
    void loadEditor();
    void editorCommand(const QString& key);

    int runDepth_ = 0;
    bool tabReady_ = false;
    bool resizing_ = false;
    bool settingToBase_ = false;
    bool settingSub_ = false;
    int lastFoldIndex_ = -1;
    int lastSubRow_ = -1;
    qint32 minHeight_ = 0;
    qint32 minWidth_ = 0;
};

// True when both paths name one folder: the same canonical path, or the same device and
// inode (another spelling, a symbolic link, a bind mount).
bool SameFolder(const QString& a, const QString& b);

// The duplicate removal deletes a linked copy through this; tests put a failing removal in
// its place (as root no folder is read-only). Empty puts the real one back.
using XMLCompact_RemoveFn = std::function<bool(const QString& path, QString* error)>;
void XMLCompact_SetRemoveForTests(XMLCompact_RemoveFn fn);
