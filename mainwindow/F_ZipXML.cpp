#include "F_ZipXML.h"
#include "XmlListView.h"

#include "archive/M_Files.h"
#include "foundation/F_Splash.h"
#include "foundation/StartSettings.h"
#include "foundation/ListFont.h"
#include "foundation/M_MV.h"
#include "foundation/PosFinestre.h"
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
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

// The list's header: a label whose text scrolls sideways with the list's columns while
// its frame stays in place.
class HeaderLabel final : public QLabel
{
  public:
    using QLabel::QLabel;
    void setOffset(int pixels)
    {
        if (pixels == offset_) return;
        offset_ = pixels;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        drawFrame(&p);
        QRect cr = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        p.setClipRect(cr);
        // The indent a framed label gives its text, as QLabel does.
        const int indentPx =
            indent() < 0 ? (frameWidth() > 0 ? fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 : 0)
                         : indent();
        cr.setLeft(cr.left() + indentPx - offset_);
        style()->drawItemText(&p, cr, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                              isEnabled(), text(), foregroundRole());
    }

  private:
    int offset_ = 0;
};

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");

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

// The input controls size themselves as the window lays them out: a text field
// gets its design width, a check box the room of its caption.
void add(QBoxLayout* row, const TxtCtl& c, int designWidth, int stretch = 0)
{
    QWidget* w = c.widget();
    if (!w) return;
    w->setMinimumSize(designWidth, qMax(w->height(), 22));
    w->setSizePolicy(stretch > 0 ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(w, stretch);
}

void add(QBoxLayout* row, const ChkCtl& c)
{
    QWidget* w = c.widget();
    if (!w) return;
    w->setMinimumSize(w->fontMetrics().horizontalAdvance(c.Caption()) + 30, qMax(w->height(), 22));
    w->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(w);
}

QPushButton* narrow(QPushButton* b, int width)
{
    b->setFixedWidth(width);
    return b;
}

} // namespace

QString SevenZip_Path()
{
    const QString own = G_DirApp + QStringLiteral("7z");
    if (QFileInfo(own).isFile() && QFileInfo(own).isExecutable()) return own;
    return findProgram(QStringLiteral("7z"));
}

QStringList F_ZipXML::HeaderTexts()
{
    return {
        QStringLiteral("     Data Ric.    |  Nome File                                                       "
                       "      |   Data Ric.         | T.Doc |  Num. Doc            |  Data Doc. |   "
                       "Ricevente                              |   Emittente                              |  "
                       "Allegato                                     | Data Invio          |"),
        QStringLiteral("           Num. Doc. | T.Doc |     Data Ric.     |  Nome File                        "
                       "                                     |  Data Doc. |   Ricevente                      "
                       "        |   Emittente                              |  Allegato"),
        QStringLiteral(" Data Doc. |            Num. Doc. | T.Doc |     Data Ric.     |  Nome File           "
                       "                                                  |   Ricevente                      "
                       "        |   Emittente                              |  Allegato"),
        QStringLiteral("   Emittente                             |   Ricevente                              "
                       "|  Data Doc. |            Num. Doc. | T.Doc |     Data Ric.     |  Nome File         "
                       "                                                    |  Allegato"),
        QStringLiteral("   Ricevente                             |   Emittente                              "
                       "|  Data Doc. |            Num. Doc. | T.Doc |     Data Ric.     |  Nome File         "
                       "                                                    |  Allegato"),
        QStringLiteral("  Data Invio              | Data Ric. |  Data Doc. |            Num. Doc. | T.Doc |  "
                       " Emittente                              |   Ricevente                              | "
                       " Nome File                                                             |  Allegato"),
    };
}

QStringList F_ZipXML::LayoutEntries()
{
    return {QStringLiteral("Ricezione da AGYO/Altro"),
            QStringLiteral("Num. Doc."),
            QStringLiteral("Data Doc."),
            QStringLiteral("Emittente/Destin."),
            QStringLiteral("Destinatario/Emitt."),
            QStringLiteral("Data Invio a Commerc.")};
}

QStringList F_ZipXML::SearchFields()
{
    return {QStringLiteral("Tutta la riga"),
            QStringLiteral("Nome controparte"),
            QStringLiteral("Data Documento"),
            QStringLiteral("Numero Documento"),
            QStringLiteral("Tipo Documento (TD01, TD04, ...)"),
            QStringLiteral("Nome file XML")};
}

F_ZipXML::F_ZipXML()
{
    setObjectName(QStringLiteral("F_ZipXML"));
    setWindowTitle(Caption());
    setWindowIcon(QIcon(App_Logo(32)));
    buildMenus();
    buildControls();
    connectHandlers();
    setKeyPreview(true);
    // The laid-out size: the smallest the window may be made (twips, from PosFinestre_Load).
    // Every control of every list layout is still shown here, so the widest layout sets it
    // and no later layout change widens the window.
    resize(qMax(1180, minimumSizeHint().width()), 720);
}

void F_ZipXML::buildMenus()
{
    MenuBar = new QMenuBar(this);
    MenuBar->setObjectName(QStringLiteral("MenuBar"));
    auto act = [this](QMenu* m, const QString& name, const QString& caption) {
        QAction* a = m->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    auto sep = [](QMenu* m, const QString& name) {
        QAction* a = m->addSeparator();
        a->setObjectName(name);
        return a;
    };
    M0_File = MenuBar->addMenu(QStringLiteral("&File"));
    M0_File->setObjectName(QStringLiteral("M0_File"));
    M_New = act(M0_File, QStringLiteral("M_New"), QStringLiteral("&Nuovo"));
    M_SaveNew = act(M0_File, QStringLiteral("M_SaveNew"), QStringLiteral("Sal&va e nuovo"));
    M_Save = act(M0_File, QStringLiteral("M_Save"), QStringLiteral("&Salva"));
    M_Agyo = act(M0_File, QStringLiteral("M_Agyo"), QStringLiteral("Apri Sito Agyo"));
    MXML_Sep0 = sep(M0_File, QStringLiteral("MXML_Sep0"));
    MXML_FattPass =
        act(M0_File, QStringLiteral("MXML_FattPass"), QStringLiteral("Contabilizza Fatture Passive"));
    MFile_Sep0 = sep(M0_File, QStringLiteral("MFile_Sep0"));
    M_Close = act(M0_File, QStringLiteral("M_Close"), QStringLiteral("&Chiudi"));

    M0_Mod = MenuBar->addMenu(QStringLiteral("&Modifica"));
    M0_Mod->setObjectName(QStringLiteral("M0_Mod"));
    M_Del = act(M0_Mod, QStringLiteral("M_Del"), QStringLiteral("Elimina Record"));
    M_Ripr = act(M0_Mod, QStringLiteral("M_Ripr"), QStringLiteral("Ripristina"));
    sep(M0_Mod, QStringLiteral("M_ModSep1"));
    M_Elim = act(M0_Mod, QStringLiteral("M_Elim"), QStringLiteral("Elimina"));
    sep(M0_Mod, QStringLiteral("M_ModSep2"));
    M_RecPrec = act(M0_Mod, QStringLiteral("M_RecPrec"), QStringLiteral("Record Precedente"));
    M_RecSucc = act(M0_Mod, QStringLiteral("M_RecSucc"), QStringLiteral("Record Successivo"));
    sep(M0_Mod, QStringLiteral("M_ModSep3"));
    M_Prt = act(M0_Mod, QStringLiteral("M_Prt"), QStringLiteral("Stampa"));

    M0_Help = MenuBar->addMenu(QStringLiteral("&Help"));
    M0_Help->setObjectName(QStringLiteral("M0_Help"));
    M_News = act(M0_Help, QStringLiteral("M_News"), QStringLiteral("Novità"));
    Sep_11 = sep(M0_Help, QStringLiteral("Sep_11"));
    M_Info = act(M0_Help, QStringLiteral("M_Info"), QStringLiteral("I&nformazioni su ..."));
}

void F_ZipXML::buildControls()
{
    auto* root = new QVBoxLayout(this);
    root->setMenuBar(MenuBar);
    root->setSpacing(4);

    Toolbar2 = new QToolBar(this);
    Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
    auto tb = [this](const QString& name, const QString& caption) {
        QAction* a = Toolbar2->addAction(caption);
        a->setObjectName(name);
        a->setToolTip(caption);
        return a;
    };
    TB_New = tb(QStringLiteral("TB_New"), QStringLiteral("Nuovo"));
    TB_SaveNew1 = tb(QStringLiteral("TB_SaveNew1"), QStringLiteral("Salva e nuovo"));
    TB_Save = tb(QStringLiteral("TB_Save"), QStringLiteral("Salva"));
    TB_Elim = tb(QStringLiteral("TB_Elim"), QStringLiteral("Elimina"));
    TB_Ripr = tb(QStringLiteral("TB_Ripr"), QStringLiteral("Ripristina"));
    Toolbar2->addSeparator();
    TB_Prev = tb(QStringLiteral("TB_Prev"), QStringLiteral("<"));
    TB_Succ = tb(QStringLiteral("TB_Succ"), QStringLiteral(">"));
    Toolbar2->addSeparator();
    TB_Prt = tb(QStringLiteral("TB_Prt"), QStringLiteral("Stampa Dati"));
    root->addWidget(Toolbar2);

    // Folder row.
    auto* row1 = new QHBoxLayout;
    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Cartella con XML :"), this);
    Cmb_FoldXML = new QComboBox(this);
    Cmb_FoldXML->setObjectName(QStringLiteral("Cmb_FoldXML"));
    Cmb_FoldXML->setFont(listFont(9));
    Cmb_FoldXML->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Cmb_FoldXML->setMinimumContentsLength(40);
    Cmd_NewDir =
        button(QStringLiteral("Cmd_NewDir"), QStringLiteral("+"),
               QStringLiteral("Aggiungi una cartella con gli XML - Click-DX Apre la cartella"), this);
    Cmd_DelDir = button(QStringLiteral("Cmd_DelDir"), QStringLiteral("-"),
                        QStringLiteral("Elimina la cartella attiva"), this);
    Cmd_OpenXml = button(QStringLiteral("Cmd_OpenXml"), QStringLiteral("Apri cartella"), QString(), this);
    Cmd_Temp = button(QStringLiteral("Cmd_Temp"), QStringLiteral("Gestione Cartelle XML di Transito"),
                      QString(), this);
    Cmd_Agyo = button(QStringLiteral("Cmd_Agyo"), QStringLiteral("Apri Sito AGYO"), QString(), this);
    row1->addWidget(Label1);
    row1->addWidget(Cmb_FoldXML, 1);
    row1->addWidget(narrow(Cmd_NewDir, 32));
    row1->addWidget(narrow(Cmd_DelDir, 32));
    row1->addWidget(Cmd_OpenXml);
    row1->addWidget(Cmd_Temp);
    row1->addWidget(Cmd_Agyo);
    root->addLayout(row1);

    // List row: build button, last ZIP date, reference, issued/received, layout.
    auto* row2 = new QHBoxLayout;
    Cmd_ListNew = button(QStringLiteral("Cmd_ListNew"), QStringLiteral("Vedi nuovi Files"),
                         QStringLiteral("Click-DX per elenco completo !! (Ignora la Data)"), this);
    Lbl_LastDo = label(QStringLiteral("Lbl_LastDo"), QStringLiteral("__/__/____"), this);
    Lbl_LastDo->setFrameShape(QFrame::Panel);
    Lbl_LastDo->setFrameShadow(QFrame::Sunken);
    Lbl_LastDo->setMinimumWidth(90);
    Label5 = label(QStringLiteral("Label5"), QStringLiteral("Riferimento :"), this);
    Txt_Rif = TxtCtl::create(QStringLiteral("Txt_Rif"), this,
                             QStringLiteral("Riferimento per nome file (Es.: DITTA-EMESSE)"), false);
    Frm_AttPass = new QGroupBox(this);
    Frm_AttPass->setObjectName(QStringLiteral("Frm_AttPass"));
    auto* opts = new QHBoxLayout(Frm_AttPass);
    opts->setContentsMargins(4, 0, 4, 0);
    for (const QString& caption : {QStringLiteral("Attive"), QStringLiteral("Passive")}) {
        auto* o = new QRadioButton(caption, Frm_AttPass);
        o->setObjectName(QStringLiteral("Opt_AttPas_%1").arg(Opt_AttPas.size()));
        opts->addWidget(o);
        Opt_AttPas << o;
    }
    Label7 = label(QStringLiteral("Label7"), QStringLiteral("Ordinamento"), this);
    Label7->setToolTip(QStringLiteral("Ordinamento 'Ricezione da Agyo' per Mandare via eMail"));
    Cmb_Ord = new QComboBox(this);
    Cmb_Ord->setObjectName(QStringLiteral("Cmb_Ord"));
    Chk_OrdDoc = ChkCtl::create(QStringLiteral("Chk_OrdDoc"), this, QStringLiteral("Ordine di Documento"),
                                QStringLiteral("Ordine di Documento"));
    row2->addWidget(Cmd_ListNew);
    row2->addWidget(Lbl_LastDo);
    row2->addWidget(Label5);
    add(row2, Txt_Rif, 160, 1);
    row2->addWidget(Frm_AttPass);
    row2->addWidget(Label7);
    row2->addWidget(Cmb_Ord);
    add(row2, Chk_OrdDoc);
    root->addLayout(row2);

    // The list with its header.
    Lbl_Hed = new HeaderLabel(QStringLiteral("Testata Elenco"), this);
    Lbl_Hed->setObjectName(QStringLiteral("Lbl_Hed"));
    Lbl_Hed->setToolTip(QStringLiteral("Click-Dx : Pulisce Date di Invio ai files selezionati - "
                                       "Ctrl-Click-Dx : Attiva data di Invio a Fine Mese Ricezione"));
    Lbl_Hed->setFont(listFont(8));
    Lbl_Hed->setFrameShape(QFrame::Panel);
    Lbl_Hed->setMinimumWidth(1);
    Lbl_Hed->setTextFormat(Qt::PlainText);
    root->addWidget(Lbl_Hed);
    Lbl_Wait = label(QStringLiteral("Lbl_Wait"),
                     QStringLiteral("Attendere.         Aggiornamento in corso !!"), this);
    Lbl_Wait->setVisible(false);
    root->addWidget(Lbl_Wait);
    Lst_XMLRows = new XmlList(this);
    Lst_XMLRows->setObjectName(QStringLiteral("Lst_XMLRows"));
    Lst_XML = new XmlListView(this);
    Lst_XML->setObjectName(QStringLiteral("Lst_XML"));
    Lst_XML->setFont(listFont(8));
    Lst_XML->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Lst_XML->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Lst_XML->setUniformItemSizes(true);
    Lst_XML->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Lst_XML->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The header scrolls with the list's columns: shifted left by as many pixels.
    connect(Lst_XML->horizontalScrollBar(), &QScrollBar::valueChanged, Lbl_Hed,
            [this](int offset) { static_cast<HeaderLabel*>(Lbl_Hed)->setOffset(offset); });
    {
        QItemSelectionModel* own = Lst_XML->selectionModel();
        Lst_XML->setModel(Lst_XMLRows);
        delete Lst_XML->selectionModel();
        Lst_XML->setSelectionModel(Lst_XMLRows->selection());
        Q_UNUSED(own);
    }
    {
        // Hidden during a run, the list keeps its place: the header and the bottom frame stay put.
        QSizePolicy keep = Lst_XML->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        Lst_XML->setSizePolicy(keep);
    }
    root->addWidget(Lst_XML, 1);

    // The lower controls, kept at the bottom.
    Frm_Bottom = new QFrame(this);
    Frm_Bottom->setObjectName(QStringLiteral("Frm_Bottom"));
    Frm_Bottom->setFrameShape(QFrame::StyledPanel);
    auto* bottom = new QVBoxLayout(Frm_Bottom);
    bottom->setContentsMargins(4, 4, 4, 4);

    auto* row3 = new QHBoxLayout;
    Label6 = label(QStringLiteral("Label6"), QStringLiteral("Ricerca su :"), Frm_Bottom);
    Cmb_Sel = new QComboBox(Frm_Bottom);
    Cmb_Sel->setObjectName(QStringLiteral("Cmb_Sel"));
    Cmb_Sel->setToolTip(QStringLiteral("Per Selezione PARZIALE"));
    Txt_Find =
        TxtCtl::create(QStringLiteral("Txt_Find"), Frm_Bottom, QStringLiteral("Frase da cercare"), true);
    Txt_Find.setToolTipText(QStringLiteral("Testo da cercare nell'elenco"));
    Cmd_Find =
        button(QStringLiteral("Cmd_Find"), QStringLiteral("Evidenzia righe contenenti :"),
               QStringLiteral("Ricerca la frase nell'elenco, Click-DX per vederli in elenco"), Frm_Bottom);
    Cmd_SelAll = button(QStringLiteral("Cmd_SelAll"), QStringLiteral("Seleziona Tutti"),
                        QStringLiteral("Click-Dx : DESeleziona Tutti"), Frm_Bottom);
    Cmd_SelInv = button(QStringLiteral("Cmd_SelInv"), QStringLiteral("Inverti selezione"),
                        QStringLiteral("Click-Dx per Selezionare i Documenti MAI Inviati"), Frm_Bottom);
    Cmd_Big = button(QStringLiteral("Cmd_Big"), QStringLiteral("A+"),
                     QStringLiteral("Aumenta il Carattere della Lista"), Frm_Bottom);
    Cmd_Litt = button(QStringLiteral("Cmd_Litt"), QStringLiteral("A-"),
                      QStringLiteral("Riduce il Carattere della Lista"), Frm_Bottom);
    Cmd_ViewXML = button(
        QStringLiteral("Cmd_ViewXML"), QStringLiteral("Vedi File XML"),
        QStringLiteral("Click-Dx per scegliere il programma Visualizzatore (Consigliato : iexplore.exe)"),
        Frm_Bottom);
    Cmd_DoDateSend = button(QStringLiteral("Cmd_DoDateSend"),
                            QStringLiteral("Assegna data Invio a Doc Selezionati"), QString(), Frm_Bottom);
    row3->addWidget(Label6);
    row3->addWidget(Cmb_Sel);
    add(row3, Txt_Find, 100, 1);
    row3->addWidget(Cmd_Find);
    row3->addWidget(Cmd_SelAll);
    row3->addWidget(Cmd_SelInv);
    row3->addWidget(narrow(Cmd_Big, 36));
    row3->addWidget(narrow(Cmd_Litt, 36));
    row3->addWidget(Cmd_ViewXML);
    row3->addWidget(Cmd_DoDateSend);
    bottom->addLayout(row3);

    auto* row4 = new QHBoxLayout;
    Lbl_FodZIP =
        label(QStringLiteral("Lbl_FodZIP"), QStringLiteral("Cartella Destinazione ZIP :"), Frm_Bottom);
    Txt_DirZIP = TxtCtl::create(QStringLiteral("Txt_DirZIP"), Frm_Bottom,
                                QStringLiteral("Cartella dove salvare i files ZIP"), true);
    Cmd_DirZIP = button(
        QStringLiteral("Cmd_DirZIP"), QStringLiteral("..."),
        QStringLiteral("Cambia la Cartella di Destinazione degli ZIP (Click-Dx per aprire la cartella)"),
        Frm_Bottom);
    Chk_UseSel =
        ChkCtl::create(QStringLiteral("Chk_UseSel"), Frm_Bottom, QStringLiteral("Usa nel Nome del File ZIP"),
                       QStringLiteral("Usa nel Nome del File ZIP"));
    Chk_ReSend =
        ChkCtl::create(QStringLiteral("Chk_ReSend"), Frm_Bottom, QStringLiteral("Reinvia anche già inviati"),
                       QStringLiteral("Reinvia anche già inviati"));
    Chk_Sended = ChkCtl::create(QStringLiteral("Chk_Sended"), Frm_Bottom,
                                QStringLiteral("Escludi gli Inviati"), QStringLiteral("Escludi gli Inviati"));
    Cmd_ZipSel =
        button(QStringLiteral("Cmd_ZipSel"), QStringLiteral("ZIP dei Files selezionati"),
               QStringLiteral("Click-Dx per indicare come 'Inviati' i files selezionati"), Frm_Bottom);
    Chk_DoMail = ChkCtl::create(QStringLiteral("Chk_DoMail"), Frm_Bottom, QStringLiteral("Invia Mail"),
                                QStringLiteral("Invia Mail"));
    Cmd_CfgMail =
        button(QStringLiteral("Cmd_CfgMail"), QStringLiteral("Configura Mail"), QString(), Frm_Bottom);
    row4->addWidget(Lbl_FodZIP);
    add(row4, Txt_DirZIP, 120, 1);
    row4->addWidget(narrow(Cmd_DirZIP, 32));
    add(row4, Chk_UseSel);
    add(row4, Chk_ReSend);
    add(row4, Chk_Sended);
    row4->addWidget(Cmd_ZipSel);
    add(row4, Chk_DoMail);
    row4->addWidget(Cmd_CfgMail);
    bottom->addLayout(row4);

    Lbl_RAR =
        label(QStringLiteral("Lbl_RAR"),
              QStringLiteral("ATTENZIONE !!    Manca il file 7z.EXE per generare gli ZIP  !!"), Frm_Bottom);
    Lbl_RAR->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    Lbl_RAR->setVisible(false);
    bottom->addWidget(Lbl_RAR);

    auto* row5 = new QHBoxLayout;
    Label3 = label(QStringLiteral("Label3"), QStringLiteral("Azienda :"), Frm_Bottom);
    Lbl_Azi = label(QStringLiteral("Lbl_Azi"), QString(), Frm_Bottom);
    Label2 = label(QStringLiteral("Label2"), QString(), Frm_Bottom);
    Lbl_Cod = label(QStringLiteral("Lbl_Cod"), QStringLiteral("Codice :"), Frm_Bottom);
    Txt_Cod =
        TxtCtl::create(QStringLiteral("Txt_Cod"), Frm_Bottom, QStringLiteral("Codice (F5=Lista)"), false);
    Lbl_Des = label(QStringLiteral("Lbl_Des"), QStringLiteral("Descr. :"), Frm_Bottom);
    Txt_Des =
        TxtCtl::create(QStringLiteral("Txt_Des"), Frm_Bottom, QStringLiteral("Descrizione Causale"), true);
    row5->addWidget(Label3);
    row5->addWidget(Lbl_Azi, 1);
    row5->addWidget(Label2);
    row5->addWidget(Lbl_Cod);
    add(row5, Txt_Cod, 90);
    row5->addWidget(Lbl_Des);
    add(row5, Txt_Des, 200, 2);
    bottom->addLayout(row5);
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

void F_ZipXML::connectHandlers()
{
    // Each handler runs guarded: no failure reaches the event loop.
    auto run = [this](const char* name, void (F_ZipXML::*fn)()) {
        return [this, name, fn] { Guard(QLatin1String(name), [this, fn] { (this->*fn)(); }); };
    };
    auto up = [this](QWidget* w, const char* name, void (F_ZipXML::*fn)(int, int, int, int)) {
        onMouseUp(w, [this, name, fn](int b, int s, int x, int y) {
            Guard(QLatin1String(name), [&] { (this->*fn)(b, s, x, y); });
        });
    };
    auto click = [&](QPushButton* b, const char* name, void (F_ZipXML::*fn)()) {
        connect(b, &QPushButton::clicked, this, run(name, fn));
    };

    connect(Cmb_FoldXML, &QComboBox::activated, this, run("Cmb_FoldXML_Click", &F_ZipXML::Cmb_FoldXML_Click));
    connect(Cmb_Ord, &QComboBox::currentIndexChanged, this, run("Cmb_Ord_Click", &F_ZipXML::Cmb_Ord_Click));
    for (int i = 0; i < Opt_AttPas.size(); ++i)
        connect(Opt_AttPas[i], &QRadioButton::clicked, this,
                [this, i] { Guard(QStringLiteral("Opt_AttPas_Click"), [this, i] { Opt_AttPas_Click(i); }); });

    Chk_OrdDoc.on(QStringLiteral("Click"), this,
                  [f = run("Chk_OrdDoc_Click", &F_ZipXML::Chk_OrdDoc_Click)](const QVariantList&) { f(); });
    Chk_DoMail.on(QStringLiteral("MouseUp"), this, [this](const QVariantList& a) {
        Guard(QStringLiteral("Chk_DoMail_MouseUp"), [&] {
            Chk_DoMail_MouseUp(a.value(0).toInt(), a.value(1).toInt(), a.value(2).toInt(),
                               a.value(3).toInt());
        });
    });
    // Panel 1 shows the focused field's prompt.
    for (const TxtCtl* t : {&Txt_Rif, &Txt_Find, &Txt_DirZIP, &Txt_Cod, &Txt_Des}) {
        const TxtCtl field = *t;
        field.on(QStringLiteral("GotFocus"), this, [this, field](const QVariantList&) {
            Guard(field.widget()->objectName() + QStringLiteral("_GotFocus"), [&] { Txt_GotFocus(field); });
        });
    }
    for (const ChkCtl* c : {&Chk_OrdDoc, &Chk_UseSel, &Chk_ReSend, &Chk_Sended, &Chk_DoMail}) {
        const ChkCtl box = *c;
        box.on(QStringLiteral("GotFocus"), this,
               [this, box](const QVariantList&) { setStatus(box.Prompt()); });
        // Leaving a box takes away its own prompt only: the ZIP button, disabled while it runs,
        // lends the focus to "Invia Mail", and the window may give it back only after the run
        // has written its end status there.
        box.on(QStringLiteral("LostFocus"), this, [this, box](const QVariantList&) {
            if (status() == box.Prompt()) setStatus(QString());
        });
    }
    Txt_DirZIP.on(
        QStringLiteral("LostFocus"), this,
        [f = run("Txt_DirZIP_LostFocus", &F_ZipXML::Txt_DirZIP_LostFocus)](const QVariantList&) { f(); });
    Txt_Find.on(QStringLiteral("LostFocus"), this,
                [f = run("Txt_Find_LostFocus", &F_ZipXML::Txt_Find_LostFocus)](const QVariantList&) { f(); });
    Txt_Rif.on(QStringLiteral("LostFocus"), this,
               [f = run("Txt_Rif_LostFocus", &F_ZipXML::Txt_Rif_LostFocus)](const QVariantList&) { f(); });
    for (const TxtCtl* t : {&Txt_Cod, &Txt_Des}) {
        t->on(QStringLiteral("LostFocus"), this, [this](const QVariantList&) { setStatus(QString()); });
    }

    connect(M_Agyo, &QAction::triggered, this, run("M_Agyo_Click", &F_ZipXML::M_Agyo_Click));
    connect(MXML_FattPass, &QAction::triggered, this,
            run("MXML_FattPass_Click", &F_ZipXML::MXML_FattPass_Click));
    connect(M_Close, &QAction::triggered, this, run("M_Close_Click", &F_ZipXML::M_Close_Click));
    connect(M_News, &QAction::triggered, this, run("M_News_Click", &F_ZipXML::M_News_Click));
    connect(M_Info, &QAction::triggered, this, run("M_Info_Click", &F_ZipXML::M_Info_Click));

    click(Cmd_ListNew, "Cmd_ListNew_Click", &F_ZipXML::Cmd_ListNew_Click);
    up(Cmd_ListNew, "Cmd_ListNew_MouseUp", &F_ZipXML::Cmd_ListNew_MouseUp);
    click(Cmd_Find, "Cmd_Find_Click", &F_ZipXML::Cmd_Find_Click);
    up(Cmd_Find, "Cmd_Find_MouseUp", &F_ZipXML::Cmd_Find_MouseUp);
    click(Cmd_SelAll, "Cmd_SelAll_Click", &F_ZipXML::Cmd_SelAll_Click);
    up(Cmd_SelAll, "Cmd_SelAll_MouseUp", &F_ZipXML::Cmd_SelAll_MouseUp);
    click(Cmd_SelInv, "Cmd_SelInv_Click", &F_ZipXML::Cmd_SelInv_Click);
    up(Cmd_SelInv, "Cmd_SelInv_MouseUp", &F_ZipXML::Cmd_SelInv_MouseUp);
    click(Cmd_Litt, "Cmd_Litt_Click", &F_ZipXML::Cmd_Litt_Click);
    click(Cmd_Big, "Cmd_Big_Click", &F_ZipXML::Cmd_Big_Click);
    click(Cmd_NewDir, "Cmd_NewDir_Click", &F_ZipXML::Cmd_NewDir_Click);
    up(Cmd_NewDir, "Cmd_NewDir_MouseUp", &F_ZipXML::Cmd_NewDir_MouseUp);
    click(Cmd_OpenXml, "Cmd_OpenXml_Click", &F_ZipXML::Cmd_OpenXml_Click);
    click(Cmd_Temp, "Cmd_Temp_Click", &F_ZipXML::Cmd_Temp_Click);
    click(Cmd_ViewXML, "Cmd_ViewXML_Click", &F_ZipXML::Cmd_ViewXML_Click);
    up(Cmd_ViewXML, "Cmd_ViewXML_MouseUp", &F_ZipXML::Cmd_ViewXML_MouseUp);
    click(Cmd_ZipSel, "Cmd_ZipSel_Click", &F_ZipXML::Cmd_ZipSel_Click);
    up(Cmd_ZipSel, "Cmd_ZipSel_MouseUp", &F_ZipXML::Cmd_ZipSel_MouseUp);
    click(Cmd_DoDateSend, "Cmd_DoDateSend_Click", &F_ZipXML::Cmd_DoDateSend_Click);
    up(Lbl_Hed, "Lbl_Hed_MouseUp", &F_ZipXML::Lbl_Hed_MouseUp);
    up(Lbl_LastDo, "Lbl_LastDo_MouseUp", &F_ZipXML::Lbl_LastDo_MouseUp);
    connect(Lst_XML, &QListView::doubleClicked, this, run("Lst_XML_DblClick", &F_ZipXML::Lst_XML_DblClick));
    up(Lst_XML->viewport(), "Lst_XML_MouseUp", &F_ZipXML::Lst_XML_MouseUp);
    onDblClick(Lbl_FodZIP, run("Lbl_FodZIP_DblClick", &F_ZipXML::Lbl_FodZIP_DblClick));
    connectEventHandlers();
    click(Cmd_Agyo, "Cmd_Agyo_Click", &F_ZipXML::Cmd_Agyo_Click);
    click(Cmd_CfgMail, "Cmd_CfgMail_Click", &F_ZipXML::Cmd_CfgMail_Click);
    up(Cmd_CfgMail, "Cmd_CfgMail_MouseUp", &F_ZipXML::Cmd_CfgMail_MouseUp);
    click(Cmd_DelDir, "Cmd_DelDir_Click", &F_ZipXML::Cmd_DelDir_Click);
    up(Cmd_DelDir, "Cmd_DelDir_MouseUp", &F_ZipXML::Cmd_DelDir_MouseUp);
    click(Cmd_DirZIP, "Cmd_DirZIP_Click", &F_ZipXML::Cmd_DirZIP_Click);
    up(Cmd_DirZIP, "Cmd_DirZIP_MouseUp", &F_ZipXML::Cmd_DirZIP_MouseUp);
}

// ---------------------------------------------------------------- helpers

void F_ZipXML::setStatus(const QString& text)
{
    Pan_Msg->setText(text);
}

QString F_ZipXML::status() const
{
    return Pan_Msg->text();
}

QString F_ZipXML::FolderKey() const
{
    return Qor().GetField(Lbl_LastDo->toolTip(), 1, QStringLiteral("|"), true);
}

void F_ZipXML::setFoldListIndex(int index)
{
    Cmb_FoldXML->setCurrentIndex(index);
    if (index >= 0 && index < Cmb_FoldXML->count()) Cmb_FoldXML_Click();
}

int F_ZipXML::AttPas() const
{
    return Qor().OptSelected(Opt_AttPas, 0);
}

void F_ZipXML::applyMargins()
{
    QMargins m = layout()->contentsMargins();
    m.setRight(9 + N_ExtraWidth / TwipsPerPixel);
    layout()->setContentsMargins(m);
}

// ---------------------------------------------------------------- lifecycle

void F_ZipXML::Form_Load()
{
    B_FirstAct = true;
    const QStringList hdr = HeaderTexts();
    S_HdrLayout1 = hdr[0];
    S_HdrLayout2 = hdr[1];
    S_HdrLayout3 = hdr[2];
    S_HdrLayout4 = hdr[3];
    S_HdrLayout5 = hdr[4];
    S_HdrLayout6 = hdr[5];
    Lbl_Hed->setText(Qor().Replicate(40, QStringLiteral("123456789^")));
    Lbl_Hed->setText(S_HdrLayout1);

    Chk_ReSend.setVisible(true);
    Cmd_DoDateSend->setVisible(false);

    Cmb_Ord->clear();
    Cmb_Ord->addItems(LayoutEntries());
    Cmb_Ord->setCurrentIndex(0);
    Cmb_FoldXML->clear();
    Cmb_Sel->clear();
    Cmb_Sel->addItems(SearchFields());
    Cmb_Sel->setCurrentIndex(0);

    Chk_Sended.setValue(Qor().IniReadInt(kSec, QStringLiteral("Sended"), 0, kIni));
    Txt_Rif.setText(QString());
    Lbl_LastDo->setText(QStringLiteral("__/__/____"));
    Txt_DirZIP.setText(Qor().IniRead(kSec, QStringLiteral("DirZIP"), QString(), kIni));

    // Folder keys are 32-bit: a Linux path easily gives one above 32767.
    const qint32 remembered = Qor().IniReadInt(kSec, QStringLiteral("DirID"), 0, kIni);
    int rememberedIndex = -1;
    for (int n = 0;; ++n) {
        const QString path =
            Qor().IniRead(kSec, QStringLiteral("Pth_") + QString::number(n), QString(), kIni);
        if (path.isEmpty()) break;
        Cmb_FoldXML->addItem(path);
        if (remembered > 0 && remembered == MDB_FolderKey(path)) rememberedIndex = Cmb_FoldXML->count() - 1;
    }
    Cmb_FoldXML->setCurrentIndex(-1);

    B_FullList = false;
    if (rememberedIndex >= 0) setFoldListIndex(rememberedIndex);

    Lbl_RAR->setVisible(SevenZip_Path().isEmpty());

    Pan_F6->setEnabled(false);
    Pan_F8->setEnabled(false);
    ClrCampi();

    N_ExtraWidth = Qor().LayoutFlag() ? 200 : 0;
    applyMargins();

    PosFinestre_Load(this, N_MinHeight, N_MinWidth);

    if (F_Splash::isLoaded()) {
        F_Splash::instance().hide();
        F_Splash::instance().Unload();
    }
}

void F_ZipXML::Form_Activate()
{
    if (!B_FirstAct) return;
    const QDate today = appClock().now().date();
    const QString def = today.addDays(-30).toString(QStringLiteral("dd/MM/yyyy"));
    const QString text = Qor().IniRead(kSec, QStringLiteral("LastCompact"), def, kIni);
    const QString word = Qor().GetField(text, 1, QStringLiteral(" "));
    const QDateTime last = Qor().TextToDate(word, QDateTime(QDate(1899, 12, 30), QTime(0, 0)));

    Form_Resize();
    QCoreApplication::processEvents();

    if (last.date().daysTo(today) > 3) {
        MsgBox(QStringLiteral("Passati oltre ") + QString::number(3) + QStringLiteral(" giorni.") +
                   QStringLiteral("\r\nEffettuare aggiornamento e compattamento Cartelle di Transito !!"),
               vb::OKOnly | vb::Exclamation, App_Title());
        Beep();
    }

    if (!Qor().FileExists(G_DirApp + QStringLiteral("XMLGESTALO"))) {
        MXML_FattPass->setVisible(false);
        MXML_Sep0->setVisible(false);
    }
    B_FirstAct = false;
}

void F_ZipXML::Form_Resize()
{
    if (resizing_) {
        resizing_ = false;
        return;
    }
    resizing_ = true;
    if (isMinimized()) {
        if (B_FirstAct) showNormal();
        return; // the guard stays set: the resize the change raises only clears it
    }
    if (!isMaximized() && !isFullScreen()) {
        const int minW = N_MinWidth / TwipsPerPixel;
        const int minH = N_MinHeight / TwipsPerPixel;
        if (width() < minW || height() < minH) resize(qMax(width(), minW), qMax(height(), minH));
    }
    // The header spans the window; the list and the bottom frame follow the layout,
    // with the extra room at the right.
    applyMargins();
    resizing_ = false;
}

void F_ZipXML::resizeEvent(QResizeEvent* e)
{
    VbForm::resizeEvent(e);
    if (!isUnloaded()) Guard(QStringLiteral("Form_Resize"), [this] { Form_Resize(); });
}

void F_ZipXML::changeEvent(QEvent* e)
{
    VbForm::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && !isUnloaded())
        Guard(QStringLiteral("Form_Resize"), [this] { Form_Resize(); });
}

void F_ZipXML::mouseDoubleClickEvent(QMouseEvent* e)
{
    VbForm::mouseDoubleClickEvent(e);
    Guard(QStringLiteral("Form_DblClick"), [this] { Form_DblClick(); });
}

void F_ZipXML::Form_KeyDown(int keyCode, int shift)
{
    const bool ctrlDelete = keyCode == 46 && shift == 2;
    const bool shiftF11F12 = shift == 1 && (keyCode == 122 || keyCode == 123);
    if (ctrlDelete || shiftF11F12 || keyCode == 120) Beep();
}

void F_ZipXML::Form_KeyPress(int keyAscii)
{
    if (keyAscii == 13 || keyAscii == 14) Beep();
}

void F_ZipXML::Form_Unload(int&)
{
    const QString dirZip = Txt_DirZIP.Text().trimmed();
    Qor().IniWrite(kSec, QStringLiteral("DirZIP"), dirZip, kIni);
    Qor().IniWriteVar(kSec, QStringLiteral("DirZIP"), dirZip, kIni);
    Qor().IniWriteInt(kSec, QStringLiteral("Sended"), Chk_Sended.Value(), kIni);

    const QString key = FolderKey();
    const int count = Cmb_FoldXML->count();
    for (int i = 0; i < count; ++i) {
        const QString k = QStringLiteral("Pth_") + QString::number(i);
        Qor().IniWrite(kSec, k, Cmb_FoldXML->itemText(i), kIni);
        Qor().IniWriteVar(kSec, k, Cmb_FoldXML->itemText(i), kIni);
        if (i == Cmb_FoldXML->currentIndex())
            Qor().IniWriteLng(kSec, QStringLiteral("DirID"), static_cast<qint32>(Qor().ToDouble(key)), kIni);
    }
    if (count > 0) {
        for (int n = count;; ++n) {
            const QString k = QStringLiteral("Pth_") + QString::number(n);
            if (Qor().IniRead(kSec, k, QString(), kIni).isEmpty()) break;
            Qor().IniWrite(kSec, k, QString(), kIni);
            Qor().IniWriteVar(kSec, k, QString(), kIni);
        }
    }
    PosFinestre_Save(this);
    TaskKill();
}

// ---------------------------------------------------------------- folder and layout choice

void F_ZipXML::Cmb_FoldXML_Click()
{
    const QString key = QString::number(MDB_FolderKey(Cmb_FoldXML->currentText()));
    Lbl_LastDo->setText(
        Qor().IniRead(kSec, QStringLiteral("LastZIP_") + key, QStringLiteral("__/__/____"), kIni));
    Lbl_LastDo->setToolTip(key + QStringLiteral(" | Click-Dx per Cambio Data"));
    Txt_Rif.setText(Qor().IniRead(kSec, QStringLiteral("Rif_") + key, QString(), kIni));
    int att = Qor().IniReadInt(kSec, QStringLiteral("AttPass_") + key, 0, kIni);
    if (att < 0 || att >= Opt_AttPas.size()) att = 0; // an unknown value reads as issued invoices
    Opt_AttPas[att]->setChecked(true);
    Lst_XMLRows->Clear();
    Lst_XML->setToolTip(QString());
}

void F_ZipXML::Cmb_Ord_Click()
{
    Cmb_Ord->setToolTip(QString());
    if (Cmb_Ord->currentIndex() == 1)
        Cmb_Ord->setToolTip(
            QStringLiteral("Utile per le Fatture EMESSE per verificare la continuità di numerazione"));
    else if (Cmb_Ord->currentIndex() == 5)
        Cmb_Ord->setToolTip(QStringLiteral("Per verificare la data di invio al Commercialista"));
    QCoreApplication::processEvents();
}

void F_ZipXML::Cmb_Ord_DragOver()
{
    QCoreApplication::processEvents();
}

void F_ZipXML::Chk_OrdDoc_Click()
{
    Lbl_Hed->setText(Chk_OrdDoc.Value() == 0 ? S_HdrLayout1 : S_HdrLayout2);
    QCoreApplication::processEvents();
}

void F_ZipXML::Chk_DoMail_MouseUp(int button, int, int, int)
{
    if (button == 2) Do_InviaMail(QString(), QStringLiteral("Testo Libero"), QString());
}

void F_ZipXML::ClrCampi()
{
    Txt_Cod.setEnabled(true);
    Txt_Cod.setText(QString());
    Txt_Des.setText(QString());
    Txt_Find.setText(QString());
}

void F_ZipXML::Chk_ViewXML()
{
    Cmd_ViewXML->setEnabled(Lst_XMLRows->SelCount() == 1);
}
