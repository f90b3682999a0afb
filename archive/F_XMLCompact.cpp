#include "F_XMLCompact.h"

#include "M_Files.h"
#include "M_MDB.h"
#include "foundation/F_Fold.h"
#include "foundation/F_Splash.h"
#include "foundation/ListFont.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/PosFinestre.h"
#include "foundation/Proc_Qor.h"
#include "foundation/StatusBar.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "qor/Cl_QOR.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include <sys/stat.h>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");
const QString kCrLf = QStringLiteral("\r\n");
const QString kNewDirTip = QStringLiteral("Aggiungi una cartella con gli XML - Click-DX Apre la cartella");
const QString kDelDirTip = QStringLiteral("Elimina la cartella attiva");

F_XMLCompact::Rs2ListFn& rs2ListSlot()
{
    static F_XMLCompact::Rs2ListFn fn;
    return fn;
}

QPushButton* button(const QString& name, const QString& caption, const QString& tip, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!tip.isEmpty()) b->setToolTip(tip);
    return b;
}

QLabel* label(const QString& name, const QString& caption, QWidget* parent)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

void addField(QBoxLayout* row, const OrdCtl& c, int minWidth, int stretch)
{
    QWidget* w = c.widget();
    if (!w) return;
    w->setMinimumSize(minWidth, qMax(w->height(), 22));
    w->setSizePolicy(stretch > 0 ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(w, stretch);
}

// A linked folder's row: the key right-aligned in 12 characters, "|", the path.
QString subRow(const QVariant& key, const QString& path)
{
    return PadNum(key, 12, QStringLiteral(" ")) + QStringLiteral("|") + path;
}

QString subPath(const QString& row)
{
    return Qor().GetField(row, 2, QStringLiteral("|"));
}

} // namespace

bool SameFolder(const QString& a, const QString& b)
{
    if (a.trimmed().isEmpty() || b.trimmed().isEmpty()) return false;
    if (Qor().PathSlash(a) == Qor().PathSlash(b)) return true;
    const QString ca = QFileInfo(a).canonicalFilePath(), cb = QFileInfo(b).canonicalFilePath();
    if (!ca.isEmpty() && ca == cb) return true;
    struct stat sa {
    };
    struct stat sb {
    };
    const QByteArray pa = QFile::encodeName(a), pb = QFile::encodeName(b);
    if (::stat(pa.constData(), &sa) != 0 || ::stat(pb.constData(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// ---------------------------------------------------------------- run guard and development view

F_XMLCompact::RunGuard::RunGuard(F_XMLCompact& w) : w_(w)
{
    ++w_.runDepth_;
}

F_XMLCompact::RunGuard::~RunGuard()
{
    --w_.runDepth_;
}

void F_XMLCompact::setRs2List(Rs2ListFn fn)
{
    rs2ListSlot() = std::move(fn);
}

void F_XMLCompact::Rs2List(ado::Recordset& rs, const QString& listName, int maxCol)
{
    if (rs2ListSlot()) rs2ListSlot()(rs, listName, maxCol);
}

bool F_XMLCompact::ArchiveOpen() const
{
    return Cn_DirTmp.State() == ado::adStateOpen;
}

// ---------------------------------------------------------------- construction

F_XMLCompact::F_XMLCompact()
{
    setObjectName(QStringLiteral("F_XMLCompact"));
    setWindowTitle(Caption());
    setWindowIcon(QIcon(App_Logo(32)));
    buildMenus();
    buildControls();
    connectHandlers();
    setKeyPreview(true);
    resize(760, 560);
}

void F_XMLCompact::buildMenus()
{
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    auto act = [](QMenu* m, const QString& name, const QString& caption) {
        QAction* a = m->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    M0_File = MenuBar->addMenu(QStringLiteral("&File"));
    M0_File->setObjectName(QStringLiteral("M0_File"));
    M_New = act(M0_File, QStringLiteral("M_New"), QStringLiteral("&Nuovo"));
    M_SaveNew = act(M0_File, QStringLiteral("M_SaveNew"), QStringLiteral("Sal&va e nuovo"));
    M_Save = act(M0_File, QStringLiteral("M_Save"), QStringLiteral("&Salva"));
    M0_File->addSeparator()->setObjectName(QStringLiteral("MFile_Sep0"));
    M_Info = act(M0_File, QStringLiteral("M_Info"), QStringLiteral("I&nformazioni su ..."));
    M0_File->addSeparator()->setObjectName(QStringLiteral("MFile_Sep1"));
    M_Close = act(M0_File, QStringLiteral("M_Close"), QStringLiteral("&Chiudi"));

    M0_Mod = MenuBar->addMenu(QStringLiteral("&Modifica"));
    M0_Mod->setObjectName(QStringLiteral("M0_Mod"));
    M_Del = act(M0_Mod, QStringLiteral("M_Del"), QStringLiteral("Elimina Record"));
    M_Ripr = act(M0_Mod, QStringLiteral("M_Ripr"), QStringLiteral("Ripristina"));
    M0_Mod->addSeparator();
    M_Elim = act(M0_Mod, QStringLiteral("M_Elim"), QStringLiteral("Elimina"));
    M0_Mod->addSeparator();
    M_RecPrec = act(M0_Mod, QStringLiteral("M_RecPrec"), QStringLiteral("Record Precedente"));
    M_RecSucc = act(M0_Mod, QStringLiteral("M_RecSucc"), QStringLiteral("Record Successivo"));
    M0_Mod->addSeparator();
    M_Prt = act(M0_Mod, QStringLiteral("M_Prt"), QStringLiteral("Stampa"));
}

void F_XMLCompact::buildControls()
{
    auto* root = new QVBoxLayout(this);
    root->setMenuBar(MenuBar);
    root->setSpacing(4);

    Toolbar2 = new QToolBar(this);
    Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
    auto tb = [this](const QString& key, const QString& caption, const QString& tip) {
        QAction* a = Toolbar2->addAction(caption);
        a->setObjectName(key);
        a->setToolTip(tip);
        return a;
    };
    TB_New = tb(QStringLiteral("TB_New"), QStringLiteral("Nuovo"), QStringLiteral("Nuovo"));
    TB_SaveNew = tb(QStringLiteral("TB_SaveNew"), QStringLiteral("Salva e nuovo"),
                    QStringLiteral("Salva e prepara la maschera per un nuovo elemento"));
    TB_Save = tb(QStringLiteral("TB_Save"), QStringLiteral("Salva"), QStringLiteral("Salva"));
    TB_Elim = tb(QStringLiteral("TB_Elim"), QStringLiteral("Elimina"), QStringLiteral("Elimina"));
    TB_Ripr = tb(QStringLiteral("TB_Ripr"), QStringLiteral("Ripristina"), QStringLiteral("Ripristina"));
    Toolbar2->addSeparator();
    TB_Prev = tb(QStringLiteral("TB_Prev"), QStringLiteral("<"), QStringLiteral("Elemento precedente"));
    TB_Succ = tb(QStringLiteral("TB_Succ"), QStringLiteral(">"), QStringLiteral("Elemento successivo"));
    Toolbar2->addSeparator();
    TB_Prt = tb(QStringLiteral("TB_Prt"), QStringLiteral("Stampa"), QStringLiteral("Stampa Dati"));
    root->addWidget(Toolbar2);

    // The folder area.
    Lbl_Akt = label(QStringLiteral("Lbl_Akt"), QString(), this);
    Lbl_Akt->setFrameShape(QFrame::StyledPanel);
    auto* akt = new QVBoxLayout(Lbl_Akt);

    auto* row1 = new QHBoxLayout;
    Lbl_FoldBase = label(QStringLiteral("Lbl_FoldBase"), QStringLiteral("Cartella Base con XML :"), Lbl_Akt);
    Cmb_FoldXML = new QComboBox(Lbl_Akt);
    Cmb_FoldXML->setObjectName(QStringLiteral("Cmb_FoldXML"));
    Cmb_FoldXML->setFont(listFont(9));
    Cmb_FoldXML->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Cmb_FoldXML->setMinimumContentsLength(40);
    Cmd_NewDir = button(QStringLiteral("Cmd_NewDir"), QStringLiteral("+"), kNewDirTip, Lbl_Akt);
    Cmd_DelDir = button(QStringLiteral("Cmd_DelDir"), QStringLiteral("-"), kDelDirTip, Lbl_Akt);
    Cmd_NewDir->setFixedWidth(32);
    Cmd_DelDir->setFixedWidth(32);
    row1->addWidget(Lbl_FoldBase);
    row1->addWidget(Cmb_FoldXML, 1);
    row1->addWidget(Cmd_NewDir);
    row1->addWidget(Cmd_DelDir);
    akt->addLayout(row1);

    auto* row2 = new QHBoxLayout;
    Lbl_AttPass = label(QStringLiteral("Lbl_AttPass"), QString(), Lbl_Akt);
    Lbl_AttPass->setToolTip(QStringLiteral("Click-Dx per Cambio Status"));
    Lbl_AttPass->setFrameShape(QFrame::Panel);
    Lbl_AttPass->setFrameShadow(QFrame::Sunken);
    Lbl_AttPass->setMinimumWidth(80);
    Lbl_LastDo = label(QStringLiteral("Lbl_LastDo"), QString(), Lbl_Akt);
    Lbl_LastDo->setFrameShape(QFrame::Panel);
    Lbl_LastDo->setFrameShadow(QFrame::Sunken);
    Lbl_LastDo->setMinimumWidth(90);
    row2->addWidget(Lbl_AttPass);
    row2->addWidget(Lbl_LastDo);
    row2->addStretch(1);
    akt->addLayout(row2);

    auto* row3 = new QHBoxLayout;
    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Cartelle collegate da compattare :"), Lbl_Akt);
    Cmd_NewDirSub = button(QStringLiteral("Cmd_NewDirSub"), QStringLiteral("+"), kNewDirTip, Lbl_Akt);
    Cmd_DelDirSub = button(QStringLiteral("Cmd_DelDirSub"), QStringLiteral("-"), kDelDirTip, Lbl_Akt);
    Cmd_NewDirSub->setFixedWidth(32);
    Cmd_DelDirSub->setFixedWidth(32);
    Chk_ToBase =
        ChkCtl::create(QStringLiteral("Chk_ToBase"), Lbl_Akt, QStringLiteral("Trasferisci a Cartella Base"));
    row3->addWidget(Label1);
    row3->addStretch(1);
    if (QWidget* w = Chk_ToBase.widget()) {
        w->setMinimumSize(w->fontMetrics().horizontalAdvance(Chk_ToBase.Caption()) + 30,
                          qMax(w->height(), 22));
        w->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        row3->addWidget(w);
    }
    row3->addWidget(Cmd_NewDirSub);
    row3->addWidget(Cmd_DelDirSub);
    akt->addLayout(row3);

    Lst_FoldSub = new QListWidget(Lbl_Akt);
    Lst_FoldSub->setObjectName(QStringLiteral("Lst_FoldSub"));
    Lst_FoldSub->setFont(listFont(9));
    Lst_FoldSub->setSelectionMode(QAbstractItemView::SingleSelection);
    akt->addWidget(Lst_FoldSub, 1);

    auto* row4 = new QHBoxLayout;
    Lbl_Wait = label(QStringLiteral("Lbl_Wait"), QStringLiteral("ATTENDERE !!"), Lbl_Akt);
    QFont bold = Lbl_Wait->font();
    bold.setBold(true);
    Lbl_Wait->setFont(bold);
    Lbl_Wait->setVisible(false);
    Lbl_XMLFile = label(QStringLiteral("Lbl_XMLFile"), QString(), Lbl_Akt);
    Lbl_XMLFile->setTextFormat(Qt::PlainText);
    row4->addWidget(Lbl_Wait);
    row4->addWidget(Lbl_XMLFile, 1);
    akt->addLayout(row4);
    root->addWidget(Lbl_Akt, 1);

    // Commands and the editor.
    Frm_Bottom = new QFrame(this);
    Frm_Bottom->setObjectName(QStringLiteral("Frm_Bottom"));
    Frm_Bottom->setFrameShape(QFrame::StyledPanel);
    auto* bottom = new QVBoxLayout(Frm_Bottom);
    auto* cmds1 = new QHBoxLayout;
    Cmd_Compact = button(QStringLiteral("Cmd_Compact"), QStringLiteral("Compatta Cartelle Collegate"),
                         QString(), Frm_Bottom);
    Cmd_AllFold = button(QStringLiteral("Cmd_AllFold"),
                         QStringLiteral("Compatta TUTTE le cartelle collegate"), QString(), Frm_Bottom);
    Cmd_AllMDB = button(QStringLiteral("Cmd_AllMDB"), QStringLiteral("Aggiorna MDB per TUTTE le Cartelle"),
                        QString(), Frm_Bottom);
    cmds1->addWidget(Cmd_Compact);
    cmds1->addWidget(Cmd_AllFold);
    cmds1->addWidget(Cmd_AllMDB);
    bottom->addLayout(cmds1);
    auto* cmds2 = new QHBoxLayout;
    Cmd_UpdFiles =
        button(QStringLiteral("Cmd_UpdFiles"),
               QStringLiteral("Aggiorna Files delle Cartelle Base con XML su MDB"), QString(), Frm_Bottom);
    Cmd_UpdFiles->setVisible(false);
    Cmd_OldDat = button(QStringLiteral("Cmd_OldDat"), QStringLiteral("Assegna Data Invio ai files 'vecchi'"),
                        QString(), Frm_Bottom);
    cmds2->addWidget(Cmd_UpdFiles);
    cmds2->addWidget(Cmd_OldDat);
    bottom->addLayout(cmds2);

    auto* rowAzi = new QHBoxLayout;
    Label3 = label(QStringLiteral("Label3"), QStringLiteral("Azienda :"), Frm_Bottom);
    Lbl_Azi = label(QStringLiteral("Lbl_Azi"), QString(), Frm_Bottom);
    Lbl_Azi->setFrameShape(QFrame::Panel);
    Lbl_Azi->setFrameShadow(QFrame::Sunken);
    rowAzi->addWidget(Label3);
    rowAzi->addWidget(Lbl_Azi, 1);
    bottom->addLayout(rowAzi);

    auto* rowEd = new QHBoxLayout;
    Lbl_Cod = label(QStringLiteral("Lbl_Cod"), QStringLiteral("Codice :"), Frm_Bottom);
    Txt_Cod =
        TxtCtl::create(QStringLiteral("Txt_Cod"), Frm_Bottom, QStringLiteral("Codice (F5=Lista)"), false);
    Lbl_Des = label(QStringLiteral("Lbl_Des"), QStringLiteral("Descrizione :"), Frm_Bottom);
    Txt_Des =
        TxtCtl::create(QStringLiteral("Txt_Des"), Frm_Bottom, QStringLiteral("Descrizione Causale"), true);
    rowEd->addWidget(Lbl_Cod);
    addField(rowEd, Txt_Cod, 90, 0);
    rowEd->addWidget(Lbl_Des);
    addField(rowEd, Txt_Des, 200, 1);
    bottom->addLayout(rowEd);
    root->addWidget(Frm_Bottom);

    const StatusPanels panels = MakeStatusPanels(this);
    St_Bar = panels.St_Bar;
    Pan_Msg = panels.Pan_Msg;
    Pan_F6 = panels.Pan_F6;
    Pan_F8 = panels.Pan_F8;
    Pan_Azi = panels.Pan_Azi;
    Pan_Img = panels.Pan_Img;
    Pan_Status = panels.Pan_Status;
    root->addWidget(St_Bar);
}

void F_XMLCompact::user(const QString& name, const std::function<void()>& body)
{
    if (running() || !ArchiveOpen()) {
        Beep();
        return;
    }
    Guard(name, body);
}

void F_XMLCompact::connectHandlers()
{
    auto run = [this](const char* name, void (F_XMLCompact::*fn)()) {
        return [this, name, fn] { user(QLatin1String(name), [this, fn] { (this->*fn)(); }); };
    };
    auto up = [this](QWidget* w, const char* name, void (F_XMLCompact::*fn)(int, int, int, int)) {
        onMouseUp(w, [this, name, fn](int b, int s, int x, int y) {
            user(QLatin1String(name), [&] { (this->*fn)(b, s, x, y); });
        });
    };
    auto click = [&](QPushButton* b, const char* name, void (F_XMLCompact::*fn)()) {
        connect(b, &QPushButton::clicked, this, run(name, fn));
    };
    auto menu = [&](QAction* a, const char* name, void (F_XMLCompact::*fn)()) {
        connect(a, &QAction::triggered, this, run(name, fn));
    };

    // A selection the user makes while a run holds the guard is put back.
    connect(Cmb_FoldXML, &QComboBox::activated, this, [this](int index) {
        if (running() || !ArchiveOpen()) {
            const QSignalBlocker block(Cmb_FoldXML);
            Cmb_FoldXML->setCurrentIndex(lastFoldIndex_);
            Beep();
            return;
        }
        lastFoldIndex_ = index;
        Guard(QStringLiteral("Cmb_FoldXML_Click"), [this] { Cmb_FoldXML_Click(); });
    });
    connect(Lst_FoldSub, &QListWidget::currentRowChanged, this, [this](int row) {
        if (settingSub_) return;
        if (running() || !ArchiveOpen()) {
            const QSignalBlocker block(Lst_FoldSub);
            settingSub_ = true;
            Lst_FoldSub->setCurrentRow(lastSubRow_);
            settingSub_ = false;
            Beep();
            return;
        }
        lastSubRow_ = row;
        Guard(QStringLiteral("Lst_FoldSub_Click"), [this] { Lst_FoldSub_Click(); });
    });
    Chk_ToBase.on(QStringLiteral("Click"), this, [this](const QVariantList&) {
        if (settingToBase_) return;
        if (running() || !ArchiveOpen()) {
            // The box goes back to the mark the list holds.
            Guard(QStringLiteral("Lst_FoldSub_Click"), [this] { Lst_FoldSub_Click(); });
            Beep();
            return;
        }
        Guard(QStringLiteral("Chk_ToBase_Click"), [this] { Chk_ToBase_Click(); });
    });
    Chk_ToBase.on(QStringLiteral("GotFocus"), this,
                  [this](const QVariantList&) { setStatus(Chk_ToBase.Prompt()); });
    Chk_ToBase.on(QStringLiteral("LostFocus"), this, [this](const QVariantList&) { setStatus(QString()); });

    click(Cmd_NewDir, "Cmd_NewDir_Click", &F_XMLCompact::Cmd_NewDir_Click);
    up(Cmd_NewDir, "Cmd_NewDir_MouseUp", &F_XMLCompact::Cmd_NewDir_MouseUp);
    click(Cmd_DelDir, "Cmd_DelDir_Click", &F_XMLCompact::Cmd_DelDir_Click);
    click(Cmd_NewDirSub, "Cmd_NewDirSub_Click", &F_XMLCompact::Cmd_NewDirSub_Click);
    click(Cmd_DelDirSub, "Cmd_DelDirSub_Click", &F_XMLCompact::Cmd_DelDirSub_Click);
    up(Lbl_AttPass, "Lbl_AttPass_MouseUp", &F_XMLCompact::Lbl_AttPass_MouseUp);
    click(Cmd_Compact, "Cmd_Compact_Click", &F_XMLCompact::Cmd_Compact_Click);
    click(Cmd_AllFold, "Cmd_AllFold_Click", &F_XMLCompact::Cmd_AllFold_Click);
    click(Cmd_AllMDB, "Cmd_AllMDB_Click", &F_XMLCompact::Cmd_AllMDB_Click);
    click(Cmd_UpdFiles, "Cmd_UpdFiles_Click", &F_XMLCompact::Cmd_UpdFiles_Click);
    click(Cmd_OldDat, "Cmd_OldDat_Click", &F_XMLCompact::Cmd_OldDat_Click);
    up(Cmd_OldDat, "Cmd_OldDat_MouseUp", &F_XMLCompact::Cmd_OldDat_MouseUp);
    onClick(Lbl_Cod, run("Lbl_Cod_Click", &F_XMLCompact::Lbl_Cod_Click));
    for (QLabel* p : {Pan_Msg, Pan_F6, Pan_F8, Pan_Azi, Pan_Img, Pan_Status})
        onClick(
            p, [this, p] { user(QStringLiteral("St_Bar_PanelClick"), [this, p] { St_Bar_PanelClick(p); }); });

    menu(M_New, "M_New_Click", &F_XMLCompact::M_New_Click);
    menu(M_SaveNew, "M_SaveNew_Click", &F_XMLCompact::M_SaveNew_Click);
    menu(M_Save, "M_Save_Click", &F_XMLCompact::M_Save_Click);
    menu(M_Info, "M_Info_Click", &F_XMLCompact::M_Info_Click);
    menu(M_Close, "M_Close_Click", &F_XMLCompact::M_Close_Click);
    menu(M_Del, "M_Del_Click", &F_XMLCompact::M_Del_Click);
    menu(M_Ripr, "M_Ripr_Click", &F_XMLCompact::M_Ripr_Click);
    menu(M_Elim, "M_Elim_Click", &F_XMLCompact::M_Elim_Click);
    menu(M_RecPrec, "M_RecPrec_Click", &F_XMLCompact::M_RecPrec_Click);
    menu(M_RecSucc, "M_RecSucc_Click", &F_XMLCompact::M_RecSucc_Click);
    menu(M_Prt, "M_Prt_Click", &F_XMLCompact::M_Prt_Click);
    connect(Toolbar2, &QToolBar::actionTriggered, this, [this](QAction* a) {
        user(QStringLiteral("Toolbar2_ButtonClick"), [this, a] { Toolbar2_ButtonClick(a); });
    });

    // The editor's boxes; their handlers come with the editor.
    bindEditor();
    Txt_Cod.on(QStringLiteral("KeyDown"), this, [this](const QVariantList& a) {
        user(QStringLiteral("Txt_Cod_KeyDown"),
             [&] { Txt_Cod_KeyDown(a.value(0).toInt(), a.value(1).toInt()); });
    });
}

// ---------------------------------------------------------------- helpers

void F_XMLCompact::setStatus(const QString& text)
{
    Pan_Msg->setText(text);
}

QString F_XMLCompact::status() const
{
    return Pan_Msg->text();
}

QString F_XMLCompact::BaseKey() const
{
    return Qor().GetField(Lbl_FoldBase->toolTip(), 1, QStringLiteral("|"), true);
}

void F_XMLCompact::setFoldIndex(int index)
{
    {
        const QSignalBlocker block(Cmb_FoldXML);
        Cmb_FoldXML->setCurrentIndex(index);
    }
    lastFoldIndex_ = Cmb_FoldXML->currentIndex();
    if (lastFoldIndex_ >= 0)
        Cmb_FoldXML_Click();
    else
        clearSelection();
}

void F_XMLCompact::setSubIndex(int index)
{
    {
        const QSignalBlocker block(Lst_FoldSub);
        settingSub_ = true;
        Lst_FoldSub->setCurrentRow(index);
        settingSub_ = false;
    }
    lastSubRow_ = Lst_FoldSub->currentRow();
    if (lastSubRow_ >= 0) Lst_FoldSub_Click();
}

void F_XMLCompact::setToBase(int value)
{
    settingToBase_ = true;
    Chk_ToBase.setValue(value);
    settingToBase_ = false;
}

// No base folder left: nothing may act on the removed one.
void F_XMLCompact::clearSelection()
{
    Lbl_FoldBase->setToolTip(QString());
    {
        const QSignalBlocker block(Lst_FoldSub);
        Lst_FoldSub->clear();
    }
    lastSubRow_ = -1;
    Lbl_AttPass->setText(QString());
    Lbl_LastDo->setText(QString());
    setToBase(0);
}

QStringList F_XMLCompact::baseFolders()
{
    QStringList out;
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT des_cartella FROM DIRBASE"), Cn_DirTmp, ado::adOpenStatic,
            ado::adLockReadOnly);
    while (!rs.EOF_()) {
        out << ado::ValueText(rs[0].Value()).trimmed();
        rs.MoveNext();
    }
    rs.Close();
    for (int i = 0; i < Cmb_FoldXML->count(); ++i)
        out << Cmb_FoldXML->itemText(i);
    return out;
}

void F_XMLCompact::applyMargins()
{
    QMargins m = layout()->contentsMargins();
    m.setRight(9 + N_Margin / TwipsPerPixel);
    layout()->setContentsMargins(m);
}

// ---------------------------------------------------------------- lifecycle

void F_XMLCompact::Form_Load()
{
    Tabella = QStringLiteral("TAB");
    CampoCod = QStringLiteral("cod_");
    CampoDes = QStringLiteral("des_");
    B_FirstAct = true;
    B_AutoRun = false;

    if (B_Develop) Cmd_UpdFiles->setVisible(true);

    Pan_F6->setEnabled(false);
    Pan_F8->setEnabled(false);
    Pan_Azi->setText(QString()); // the company code comes with the ERP-integrated mode

    PulisciMaschera();

    try {
        Cn_DirTmp.Open(MDB_OpenConn(Pth_DirTmpMDB));
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM DIRBASE ORDER BY des_cartella"), Cn_DirTmp, ado::adOpenStatic,
                ado::adLockReadOnly);
        while (!rs.EOF_()) {
            Cmb_FoldXML->addItem(ado::ValueText(rs["des_cartella"].Value()).trimmed());
            rs.MoveNext();
        }
        rs.Close();
    } catch (const std::exception& e) {
        const auto* adoError = dynamic_cast<const ado::Error*>(&e);
        const QString why = adoError ? adoError->Description() : QString::fromUtf8(e.what());
        Qor().WriteLog(QStringLiteral("*** ERRORE apertura archivio ") + Pth_DirTmpMDB +
                           QStringLiteral(" : ") + why,
                       0, Pth_DebugLog, true);
        MsgBox(QStringLiteral("ERRORE apertura archivio :") + kCrLf + Pth_DirTmpMDB + kCrLf + kCrLf + why +
                   kCrLf + kCrLf + MDB_SupportNotice(),
               vb::OKOnly | vb::Critical, Caption());
        if (Cn_DirTmp.State() == ado::adStateOpen) Cn_DirTmp.Close();
        Cmb_FoldXML->clear();
    }
    {
        const QSignalBlocker block(Cmb_FoldXML);
        Cmb_FoldXML->setCurrentIndex(-1);
    }

    SpegniSave();
    TB_Ripr->setEnabled(false);
    TB_Elim->setEnabled(false);
    Pan_Status->setText(QStringLiteral("Inizio Inserimento.."));
    loadEditor();

    N_Margin = Qor().LayoutFlag() ? 200 : 0;
    applyMargins();

    PosFinestre_Load(this, minHeight_, minWidth_);
}

void F_XMLCompact::Form_Activate()
{
    // Without the archive no handler may run: the window goes at once.
    if (!ArchiveOpen()) {
        Unload();
        return;
    }
    if (!B_FirstAct) return;
    if (Cmb_FoldXML->count() > 0) setFoldIndex(0);
    B_FirstAct = false;
}

void F_XMLCompact::Form_Resize()
{
    if (resizing_) return;
    resizing_ = true;
    if (isMinimized()) {
        if (B_FirstAct) showNormal();
        resizing_ = false;
        return;
    }
    // The folder area and the bottom frame follow the layout; the margin stays at the right.
    applyMargins();
    resizing_ = false;
}

void F_XMLCompact::resizeEvent(QResizeEvent* e)
{
    VbForm::resizeEvent(e);
    if (!isUnloaded()) Guard(QStringLiteral("Form_Resize"), [this] { Form_Resize(); });
}

void F_XMLCompact::changeEvent(QEvent* e)
{
    VbForm::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && !isUnloaded())
        Guard(QStringLiteral("Form_Resize"), [this] { Form_Resize(); });
}

void F_XMLCompact::Form_Unload(int& cancel)
{
    if (running()) {
        Beep();
        cancel = 1;
        return;
    }
    PosFinestre_Save(this);
    if (Cn_DirTmp.State() == ado::adStateOpen) Cn_DirTmp.Close();
}

bool F_XMLCompact::eventFilter(QObject* watched, QEvent* event)
{
    // During a run the keys of this window change nothing.
    if (running() && event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) Beep();
        return true;
    }
    return VbForm::eventFilter(watched, event);
}

void F_XMLCompact::Form_KeyDown(int keyCode, int shift)
{
    if (!ArchiveOpen()) return;
    if (keyCode == 46 && shift == 2) {
        Beep();
        M_Del_Click();
    } else if (shift == 1 && keyCode == 122) {
        Beep();
        M_SaveNew_Click();
    } else if (shift == 1 && keyCode == 123) {
        Beep();
        M_Save_Click();
    } else if (keyCode == 120) {
        Beep();
    }
}

void F_XMLCompact::Form_KeyPress(int keyAscii)
{
    if (keyAscii == 13 || keyAscii == 14) Beep();
}

// ---------------------------------------------------------------- base folders

void F_XMLCompact::Cmb_FoldXML_Click()
{
    const QString key = QString::number(MDB_FolderKey(Cmb_FoldXML->currentText()));
    Lbl_FoldBase->setToolTip(key);
    Lbl_AttPass->setText(Qor().IniReadInt(kSec, QStringLiteral("AttPass_") + key, 0, kIni) == 0
                             ? QStringLiteral("Attive")
                             : QStringLiteral("Passive"));
    Lbl_LastDo->setText(Qor().IniRead(kSec, QStringLiteral("LastZIP_") + key, QString(), kIni));

    {
        const QSignalBlocker block(Lst_FoldSub);
        Lst_FoldSub->clear();
    }
    lastSubRow_ = -1;
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM DIRSUB WHERE cod_firma_base=? ORDER BY des_cartella"), Cn_DirTmp,
            ado::adOpenStatic, ado::adLockReadOnly, QVariantList{key.toLongLong()});
    while (!rs.EOF_()) {
        Lst_FoldSub->addItem(subRow(rs["cod_firma"].Value(), ado::ValueText(rs["des_cartella"].Value())));
        rs.MoveNext();
    }
    rs.Close();
    setToBase(0);
}

void F_XMLCompact::Cmd_NewDir_Click()
{
    if (!F_Fold::Choose(QStringLiteral("DirBase"), this)) return;
    QString folder = Qor().IniRead(QStringLiteral("Fold_Folders"), QStringLiteral("DirBase"), G_DirApp, kIni);
    if (folder.trimmed().isEmpty()) return;
    folder = Qor().PathSlash(folder);
    // Listed already, under this or another spelling of the same folder.
    for (int i = 0; i < Cmb_FoldXML->count(); ++i)
        if (SameFolder(Cmb_FoldXML->itemText(i), folder)) return;

    // Two paths can share a checksum: the other folder's row must stay its own.
    const qint32 key = MDB_FolderKey(folder);
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM DIRBASE WHERE cod_firma=?"), Cn_DirTmp, ado::adOpenKeyset,
            ado::adLockOptimistic, QVariantList{qint64(key)});
    for (; !rs.EOF_(); rs.MoveNext()) {
        const QString other = ado::ValueText(rs["des_cartella"].Value()).trimmed();
        if (!other.isEmpty() && Qor().PathSlash(other) != folder) {
            rs.Close();
            MsgBox(QStringLiteral("Chiave già usata dalla cartella :") + kCrLf + other + kCrLf + kCrLf +
                       QStringLiteral("Cartella non aggiunta !!"),
                   vb::OKOnly | vb::Critical, Caption());
            Beep();
            return;
        }
    }
    if (rs.RecordCount() > 0) {
        rs.MoveFirst();
    } else {
        rs.AddNew();
        rs["cod_firma"] = key;
    }
    rs["des_cartella"] = folder;
    rs.Update();
    rs.Close();

    Cmb_FoldXML->addItem(folder);
    setFoldIndex(Cmb_FoldXML->count() - 1);
}

void F_XMLCompact::Cmd_NewDir_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const QString folder = Cmb_FoldXML->currentText().trimmed();
    if (folder.isEmpty()) return;
    if (!launcher().openFolder(folder)) {
        MsgBox(QStringLiteral("Impossibile aprire la cartella :") + kCrLf + folder, vb::OKOnly | vb::Critical,
               Caption());
    }
}

void F_XMLCompact::Cmd_DelDir_Click()
{
    if (Cmb_FoldXML->count() == 0) {
        Beep();
        return;
    }
    const QString folder = Cmb_FoldXML->currentText();
    if (folder.trimmed().isEmpty() || Cmb_FoldXML->currentIndex() < 0) {
        MsgBox(QStringLiteral("Nessuna Cartella Selezionata !!"), vb::OKOnly | vb::Critical, Caption());
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi eliminazione dall'elenco della cartella :") + kCrLf + folder + kCrLf +
                   kCrLf + QStringLiteral("( Questo eliminarà anche le sottocartelle d i files dall'MDB )") +
                   kCrLf + kCrLf + QStringLiteral("PROSEGUO ??"),
               vb::YesNo | vb::Question, Caption()) != vb::Yes) {
        Beep();
        return;
    }
    const qint64 key = MDB_FolderKey(folder);
    Cn_DirTmp.Execute(QStringLiteral("DELETE FROM DIRSUB WHERE cod_firma_base=?"), {key});
    Cn_DirTmp.Execute(QStringLiteral("DELETE FROM DIRBASE WHERE cod_firma=?"), {key});
    {
        const QSignalBlocker block(Cmb_FoldXML);
        Cmb_FoldXML->removeItem(Cmb_FoldXML->currentIndex());
    }
    setFoldIndex(Cmb_FoldXML->count() > 0 ? 0 : -1);
}

// ---------------------------------------------------------------- linked folders

void F_XMLCompact::Cmd_NewDirSub_Click()
{
    const QString base = BaseKey();
    if (Cmb_FoldXML->currentIndex() < 0 || base.isEmpty()) {
        Beep();
        return;
    }
    if (!F_Fold::Choose(QStringLiteral("DirSub"), this)) return;
    QString folder = Qor().IniRead(QStringLiteral("Fold_Folders"), QStringLiteral("DirSub"), QString(), kIni);
    if (folder.trimmed().isEmpty()) return;
    folder = Qor().PathSlash(folder);
    for (int i = 0; i < Lst_FoldSub->count(); ++i)
        if (Qor().PathSlash(subPath(Lst_FoldSub->item(i)->text())) == folder) return;

    // The duplicate removal deletes a linked folder's archived files: a base folder, under
    // any spelling, is never one.
    for (const QString& b : baseFolders()) {
        if (SameFolder(b, folder)) {
            MsgBox(QStringLiteral("Cartella Base non ammessa come cartella collegata !!"),
                   vb::OKOnly | vb::Critical, Caption());
            Beep();
            return;
        }
    }

    const qint64 baseKey = base.toLongLong();
    const qint32 key = MDB_FolderKey(folder);
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM DIRSUB WHERE cod_firma_base=? AND cod_firma=?"), Cn_DirTmp,
            ado::adOpenKeyset, ado::adLockOptimistic, QVariantList{baseKey, qint64(key)});
    for (; !rs.EOF_(); rs.MoveNext()) {
        const QString other = ado::ValueText(rs["des_cartella"].Value()).trimmed();
        if (!other.isEmpty() && Qor().PathSlash(other) != folder) {
            rs.Close();
            MsgBox(QStringLiteral("Chiave già usata dalla cartella :") + kCrLf + other + kCrLf + kCrLf +
                       QStringLiteral("Cartella non aggiunta !!"),
                   vb::OKOnly | vb::Critical, Caption());
            Beep();
            return;
        }
    }
    if (rs.RecordCount() > 0) {
        rs.MoveFirst();
    } else {
        rs.AddNew();
        rs["cod_firma_base"] = baseKey;
        rs["cod_firma"] = key;
        rs["num_cartella"] = 1;
    }
    rs["des_cartella"] = folder;
    rs.Update();
    rs.Close();

    Lst_FoldSub->addItem(subRow(key, folder));
    setSubIndex(Lst_FoldSub->count() - 1);
}

void F_XMLCompact::Cmd_DelDirSub_Click()
{
    const int row = Lst_FoldSub->currentRow();
    if (Lst_FoldSub->count() == 0 || row < 0) {
        Beep();
        return;
    }
    const QString text = Lst_FoldSub->item(row)->text();
    if (text.trimmed().isEmpty()) {
        MsgBox(QStringLiteral("Nessuna Cartella Selezionata !!"), vb::OKOnly | vb::Critical, Caption());
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi eliminazione dall'elenco della cartella :") + kCrLf + text + kCrLf +
                   kCrLf + QStringLiteral("PROSEGUO ??"),
               vb::YesNo | vb::Question, Caption()) != vb::Yes) {
        Beep();
        return;
    }
    const QVariantList pair{BaseKey().toLongLong(),
                            qint64(Qor().ToDouble(Qor().GetField(text, 1, QStringLiteral("|"), true)))};
    if (B_Develop) {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM DIRSUB WHERE cod_firma_base=? AND cod_firma=?"), Cn_DirTmp,
                ado::adOpenStatic, ado::adLockReadOnly, pair);
        Rs2List(rs, QStringLiteral("DirDaEliminare"), 0);
        rs.Close();
    }
    // Every row of the pair goes: one left behind would bring the folder back. A row gone
    // meanwhile leaves nothing to delete.
    Cn_DirTmp.Execute(QStringLiteral("DELETE FROM DIRSUB WHERE cod_firma_base=? AND cod_firma=?"), pair);
    {
        const QSignalBlocker block(Lst_FoldSub);
        settingSub_ = true;
        delete Lst_FoldSub->takeItem(row);
        settingSub_ = false;
    }
    lastSubRow_ = -1;
    if (Lst_FoldSub->count() > 0)
        setSubIndex(0);
    else
        setToBase(0);
}

// ---------------------------------------------------------------- kind and transfer marks

void F_XMLCompact::Lbl_AttPass_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const QString key = BaseKey();
    if (Cmb_FoldXML->currentIndex() < 0 || key.isEmpty()) {
        Beep();
        return;
    }
    // Any stored value other than 0 reads as received: the switch always goes to the other kind.
    const int now = Qor().IniReadInt(kSec, QStringLiteral("AttPass_") + key, 0, kIni);
    const int next = now == 0 ? 1 : 0;
    if (MsgBox(QStringLiteral("Confermi cambio Status cartella ?"), vb::YesNo | vb::Question, Caption()) ==
        vb::Yes) {
        Qor().IniWriteInt(kSec, QStringLiteral("AttPass_") + key, next, kIni);
        Cn_DirTmp.Execute(QStringLiteral("UPDATE DIRBASE SET flg_tipo_cartella=? WHERE cod_firma=?"),
                          {next == 0 ? QStringLiteral("E") : QStringLiteral("R"), key.toLongLong()});
    } else {
        Beep();
    }
    Cmb_FoldXML_Click();
}

void F_XMLCompact::Lst_FoldSub_Click()
{
    const int row = Lst_FoldSub->currentRow();
    if (row < 0) {
        setToBase(0);
        return;
    }
    const QString list = Qor().IniRead(kSec, QStringLiteral("Trv_") + BaseKey(), QString(), kIni);
    const QString item = Qor().GetField(Lst_FoldSub->item(row)->text(), 1, QStringLiteral("|"));
    setToBase(list.contains(QStringLiteral("|") + item + QStringLiteral("|")) ? 1 : 0);
}

void F_XMLCompact::Chk_ToBase_Click()
{
    const int row = Lst_FoldSub->currentRow();
    const QString key = BaseKey();
    if (row < 0 || key.isEmpty()) {
        setToBase(0);
        Beep();
        return;
    }
    const QString name = QStringLiteral("Trv_") + key;
    QString list = Qor().IniRead(kSec, name, QString(), kIni);
    const QString item = Qor().GetField(Lst_FoldSub->item(row)->text(), 1, QStringLiteral("|"));
    const QString mark = QStringLiteral("|") + item + QStringLiteral("|");
    if (Chk_ToBase.ticked()) {
        if (!list.contains(mark)) list = list.isEmpty() ? mark : list + item + QStringLiteral("|");
    } else {
        list = Qor().Replace(list, mark, QStringLiteral("|"));
    }
    Qor().IniWrite(kSec, name, list, kIni);
}

// ---------------------------------------------------------------- panels and menus

void F_XMLCompact::St_Bar_PanelClick(QLabel* panel)
{
    QWidget* focus = QApplication::focusWidget();
    QWidget* cod = Txt_Cod.widget();
    const bool inCod = focus && cod && (focus == cod || cod->isAncestorOf(focus));
    if (panel == Pan_F6 && inCod)
        Txt_Cod_KeyDown(117, 0);
    else
        Beep();
}

void F_XMLCompact::Lbl_Cod_Click()
{
    Txt_Cod_KeyDown(117, 0);
}

void F_XMLCompact::M_Close_Click()
{
    Unload();
}

void F_XMLCompact::M_Info_Click()
{
    const int year = appClock().now().date().year();
    MsgBox(App_Title() + kCrLf + kCrLf + Caption() + kCrLf + kCrLf + QStringLiteral("(C) 2019 - ") +
               QString::number(year),
           vb::OKOnly | vb::Information, Caption());
}
