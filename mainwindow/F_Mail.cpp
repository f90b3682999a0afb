#include "F_Mail.h"

#include "foundation/M_MV.h"
#include "foundation/PosFinestre.h"
#include "foundation/Proc_Qor.h"
#include "platform/Dialogs.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"

#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kMail = QStringLiteral("MailXML");
const QString kCrLf = QStringLiteral("\r\n");

QLabel* label(const QString& name, const QString& caption, QWidget* parent)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    return l;
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QWidget* sized(const OrdCtl& c, int width)
{
    QWidget* w = c.widget();
    if (w) w->setMinimumSize(width, qMax(w->height(), 22));
    return w;
}

// The text of a multi-line box with CR LF line ends, as the stored form expects.
QString crlfText(const QPlainTextEdit* box)
{
    QString t = box->toPlainText();
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QStringLiteral("\n"), kCrLf);
    return t;
}

} // namespace

QList<F_Mail::Preset> F_Mail::Presets()
{
    return {
        {QStringLiteral("1 | Libero"), QStringLiteral("smtp.libero.it"), QStringLiteral("25"), 0, 1},
        {QStringLiteral("2 | GMail"), QStringLiteral("smtp.gmail.com"), QStringLiteral("587"), 1, 1},
        {QStringLiteral("3 | Tiscali"), QStringLiteral("smtp.tiscali.it"), QStringLiteral("465"), 1, 1},
        {QStringLiteral("4 | FastWebNet"), QStringLiteral("smtp.fastwebnet.it"), QStringLiteral("587"), 1, 1},
    };
}

F_Mail::F_Mail()
{
    setObjectName(QStringLiteral("F_Mail"));
    setWindowTitle(Caption());
    buildControls();
    connectHandlers();
}

void F_Mail::buildControls()
{
    auto* root = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    root->addWidget(SSTab1, 1);

    // Tab 0: the mail itself.
    auto* tab0 = new QWidget(SSTab1);
    auto* f0 = new QGridLayout(tab0);
    Txt_Answer = new QLineEdit(tab0);
    Txt_Answer->setObjectName(QStringLiteral("Txt_Answer"));
    Txt_MailMitt =
        TxtCtl::create(QStringLiteral("Txt_MailMitt"), tab0, QStringLiteral("Posta di chi Invia"), true);
    Chk_Copy = ChkCtl::create(QStringLiteral("Chk_Copy"), tab0, QStringLiteral("Copia al Mittente"),
                              QStringLiteral("Copia del messaggio anche al Mittente"));
    Chk_Answer = ChkCtl::create(
        QStringLiteral("Chk_Answer"), tab0, QStringLiteral("Richiedi conferma di lettura"),
        QStringLiteral("Attiva il Flag per richiedere la Conferma della lettura del messaggio"));
    Lbl_Obj = label(QStringLiteral("Lbl_Obj"), QStringLiteral("Oggetto :"), tab0);
    Lbl_Obj->setToolTip(QStringLiteral("Click-Dx per Oggetto Standard"));
    Txt_Oggetto = new QLineEdit(tab0);
    Txt_Oggetto->setObjectName(QStringLiteral("Txt_Oggetto"));
    Lbl_Text = label(QStringLiteral("Lbl_Text"), QStringLiteral("Testo Standard :"), tab0);
    Lbl_Text->setToolTip(QStringLiteral("Click-Dx per Testo Standard"));
    Txt_TxtStd = new QPlainTextEdit(tab0);
    Txt_TxtStd->setObjectName(QStringLiteral("Txt_TxtStd"));
    Txt_TxtStd->setTabChangesFocus(true);
    Txt_Firma = new QPlainTextEdit(tab0);
    Txt_Firma->setObjectName(QStringLiteral("Txt_Firma"));
    Txt_Firma->setTabChangesFocus(true);
    Txt_Firma->setMaximumHeight(70);
    Chk_DoCopy = ChkCtl::create(QStringLiteral("Chk_DoCopy"), tab0,
                                QStringLiteral("Copia il messaggio nella Clipboard"),
                                QStringLiteral("Usare poi Ctrl-V, per copiarlo nel testo"));
    int r = 0;
    f0->addWidget(label(QStringLiteral("Label1"), QStringLiteral("E-Mail Commercialista :"), tab0), r, 0);
    f0->addWidget(Txt_Answer, r++, 1, 1, 2);
    f0->addWidget(label(QStringLiteral("Label2"), QStringLiteral("Mail Mittente :"), tab0), r, 0);
    f0->addWidget(sized(Txt_MailMitt, 260), r++, 1, 1, 2);
    f0->addWidget(sized(Chk_Copy, 160), r, 1);
    f0->addWidget(sized(Chk_Answer, 220), r++, 2);
    f0->addWidget(Lbl_Obj, r, 0);
    f0->addWidget(Txt_Oggetto, r++, 1, 1, 2);
    f0->addWidget(Lbl_Text, r, 0, Qt::AlignTop);
    f0->addWidget(Txt_TxtStd, r, 1, 1, 2);
    f0->setRowStretch(r++, 1);
    f0->addWidget(label(QStringLiteral("Label3"), QStringLiteral("Firma :"), tab0), r, 0, Qt::AlignTop);
    f0->addWidget(Txt_Firma, r++, 1, 1, 2);
    f0->addWidget(sized(Chk_DoCopy, 260), r++, 1, 1, 2);
    f0->setColumnStretch(2, 1);
    SSTab1->addTab(tab0, QStringLiteral("Mail"));

    // Tab 1: the road and the server.
    auto* tab1 = new QWidget(SSTab1);
    auto* v1 = new QVBoxLayout(tab1);
    Frm_Conn = new QGroupBox(QStringLiteral("Tipo Connessione "), tab1);
    Frm_Conn->setObjectName(QStringLiteral("Frm_Conn"));
    auto* connRow = new QVBoxLayout(Frm_Conn);
    for (const QString& caption :
         {QStringLiteral("MAPI Session (Thunderbird)"), QStringLiteral("Direct Session (CDO)"),
          QStringLiteral("Outlook 2007 e Succ.")}) {
        auto* o = new QRadioButton(caption, Frm_Conn);
        o->setObjectName(QStringLiteral("Opt_ConnM_%1").arg(Opt_ConnM.size()));
        connRow->addWidget(o);
        Opt_ConnM << o;
    }
    v1->addWidget(Frm_Conn);
    Frm_Server = new QGroupBox(tab1);
    Frm_Server->setObjectName(QStringLiteral("Frm_Server"));
    auto* fs = new QGridLayout(Frm_Server);
    Cmb_ServerStd = new QComboBox(Frm_Server);
    Cmb_ServerStd->setObjectName(QStringLiteral("Cmb_ServerStd"));
    Cmd_SetServer = button(QStringLiteral("Cmd_SetServer"), QStringLiteral("Assegna"), Frm_Server);
    Cmd_SetServer->setToolTip(QStringLiteral("Eventualmente rilevare dati dal programma di Posta."));
    Txt_Server = TxtCtl::create(QStringLiteral("Txt_Server"), Frm_Server,
                                QStringLiteral("Indirizzo Server Mail in Uscita"), true);
    Txt_Porta = TxtCtl::create(QStringLiteral("Txt_Porta"), Frm_Server,
                               QStringLiteral("Numero Porta sul Server"), true);
    Txt_Sender =
        TxtCtl::create(QStringLiteral("Txt_Sender"), Frm_Server, QStringLiteral("Posta di chi Invia"), true);
    Lbl_PWD = label(QStringLiteral("Lbl_PWD"), QStringLiteral("Password :"), Frm_Server);
    Txt_Pwd = TxtCtl::create(QStringLiteral("Txt_Pwd"), Frm_Server,
                             QStringLiteral("Password di Autenticazione"), true);
    Txt_Pwd.setPasswordChar(QStringLiteral("*"));
    Chk_Auth =
        ChkCtl::create(QStringLiteral("Chk_Auth"), Frm_Server, QStringLiteral("Autenticazione Necessaria"));
    Chk_SSL = ChkCtl::create(QStringLiteral("Chk_SSL"), Frm_Server, QStringLiteral("Usa SSL (Security)"));
    r = 0;
    fs->addWidget(label(QStringLiteral("Label4"), QStringLiteral("Configurazioni Standard :"), Frm_Server), r,
                  0);
    fs->addWidget(Cmb_ServerStd, r, 1);
    fs->addWidget(Cmd_SetServer, r++, 2);
    fs->addWidget(
        label(QStringLiteral("Label5"), QStringLiteral("Nome Server Posta in Uscita :"), Frm_Server), r, 0);
    fs->addWidget(sized(Txt_Server, 240), r++, 1, 1, 2);
    fs->addWidget(label(QStringLiteral("Label6"), QStringLiteral("Porta Server :"), Frm_Server), r, 0);
    fs->addWidget(sized(Txt_Porta, 80), r++, 1, Qt::AlignLeft);
    fs->addWidget(
        label(QStringLiteral("Label7"), QStringLiteral("Utente per accesso al Server :"), Frm_Server), r, 0);
    fs->addWidget(sized(Txt_Sender, 240), r++, 1, 1, 2);
    fs->addWidget(Lbl_PWD, r, 0);
    fs->addWidget(sized(Txt_Pwd, 240), r++, 1, 1, 2);
    fs->addWidget(sized(Chk_Auth, 220), r, 1);
    fs->addWidget(sized(Chk_SSL, 180), r++, 2);
    fs->setColumnStretch(1, 1);
    v1->addWidget(Frm_Server);
    v1->addStretch(1);
    SSTab1->addTab(tab1, QStringLiteral("Config. Server"));

    Frm_Bottom = new QFrame(this);
    Frm_Bottom->setObjectName(QStringLiteral("Frm_Bottom"));
    auto* bottom = new QHBoxLayout(Frm_Bottom);
    Cmd_Alleg = button(QStringLiteral("Cmd_Alleg"), QStringLiteral("..."), Frm_Bottom);
    Cmd_Alleg->setVisible(false);
    Cmd_OK = button(QStringLiteral("Cmd_OK"), QStringLiteral("Salva"), Frm_Bottom);
    Cmd_Quit = button(QStringLiteral("Cmd_Quit"), QStringLiteral("Abbandona"), Frm_Bottom);
    bottom->addWidget(Cmd_Alleg);
    bottom->addStretch(1);
    bottom->addWidget(Cmd_OK);
    bottom->addWidget(Cmd_Quit);
    root->addWidget(Frm_Bottom);

    St_Bar = new QStatusBar(this);
    St_Bar->setObjectName(QStringLiteral("St_Bar"));
    Pan_Msg = new QLabel(St_Bar);
    Pan_Msg->setObjectName(QStringLiteral("Pan_Msg"));
    St_Bar->addPermanentWidget(Pan_Msg, 1);
    root->addWidget(St_Bar);
}

void F_Mail::connectHandlers()
{
    auto run = [this](const char* name, void (F_Mail::*fn)()) {
        return [this, name, fn] { Guard(QLatin1String(name), [this, fn] { (this->*fn)(); }); };
    };
    auto up = [this](QWidget* w, const char* name, void (F_Mail::*fn)(int, int, int, int)) {
        onMouseUp(w, [this, name, fn](int b, int s, int x, int y) {
            Guard(QLatin1String(name), [&] { (this->*fn)(b, s, x, y); });
        });
    };
    connect(Cmd_OK, &QPushButton::clicked, this, run("Cmd_OK_Click", &F_Mail::Cmd_OK_Click));
    connect(Cmd_Quit, &QPushButton::clicked, this, run("Cmd_Quit_Click", &F_Mail::Cmd_Quit_Click));
    connect(Cmd_SetServer, &QPushButton::clicked, this,
            run("Cmd_SetServer_Click", &F_Mail::Cmd_SetServer_Click));
    for (int i = 0; i < Opt_ConnM.size(); ++i)
        connect(Opt_ConnM[i], &QRadioButton::clicked, this,
                [this, i] { Guard(QStringLiteral("Opt_ConnM_Click"), [this, i] { Opt_ConnM_Click(i); }); });
    up(Lbl_Obj, "Lbl_Obj_MouseUp", &F_Mail::Lbl_Obj_MouseUp);
    up(Lbl_Text, "Lbl_Text_MouseUp", &F_Mail::Lbl_Text_MouseUp);
    up(Lbl_PWD, "Lbl_PWD_MouseUp", &F_Mail::Lbl_PWD_MouseUp);

    // The Qt text boxes of the first tab bring it forward when they get the focus.
    for (QWidget* w : {static_cast<QWidget*>(Txt_Answer), static_cast<QWidget*>(Txt_Oggetto),
                       static_cast<QWidget*>(Txt_TxtStd), static_cast<QWidget*>(Txt_Firma)})
        w->installEventFilter(this);
    // Input controls: their tab first, then their prompt in panel 1.
    auto prompted = [this](const OrdCtl& c, int tab) {
        const OrdCtl ctl = c;
        ctl.on(QStringLiteral("GotFocus"), this, [this, ctl, tab](const QVariantList&) {
            if (tab >= 0) SSTab1->setCurrentIndex(tab);
            Pan_Msg->setText(ctl.Prompt());
        });
        ctl.on(QStringLiteral("LostFocus"), this, [this](const QVariantList&) { Pan_Msg->clear(); });
    };
    prompted(Txt_MailMitt, -1);
    prompted(Chk_Copy, 0);
    prompted(Chk_Answer, -1);
    prompted(Chk_DoCopy, -1);
    prompted(Txt_Server, 1);
    prompted(Txt_Porta, 1);
    prompted(Txt_Sender, 1);
    prompted(Txt_Pwd, 1);
}

bool F_Mail::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn &&
        (watched == Txt_Answer || watched == Txt_Oggetto || watched == Txt_TxtStd || watched == Txt_Firma))
        SSTab1->setCurrentIndex(0);
    return VbForm::eventFilter(watched, event);
}

void F_Mail::ClrDati()
{
    Txt_Answer->clear();
    Txt_Oggetto->clear();
    Txt_TxtStd->clear();
    Txt_Firma->clear();
    Txt_Server.setText(QString());
    Txt_Porta.setText(QString());
    Txt_Sender.setText(QString());
    Txt_Pwd.setText(QString());
    Chk_Copy.setValue(0);
    Chk_SSL.setValue(0);
    Chk_Auth.setValue(0);
}

void F_Mail::Form_Load()
{
    SSTab1->setCurrentIndex(0);
    ClrDati();
    for (const Preset& p : Presets())
        Cmb_ServerStd->addItem(p.entry);
    Cmb_ServerStd->setCurrentIndex(0);

    const Cl_QOR& q = Qor();
    const QString mode = q.IniRead(kMail, QStringLiteral("Mode"), QStringLiteral("CDO"), kIni);
    Txt_Answer->setText(q.IniRead(kMail, QStringLiteral("Indir"), QString(), kIni));
    Txt_MailMitt.setText(q.IniRead(kMail, QStringLiteral("Mittente"), QString(), kIni));
    Chk_Copy.setValue(q.IniReadInt(kMail, QStringLiteral("MandaCopy"), 0, kIni));
    Chk_Answer.setValue(q.IniReadInt(kMail, QStringLiteral("Conferma"), 1, kIni));
    Txt_Oggetto->setText(q.IniRead(kMail, QStringLiteral("Oggetto"), QString(), kIni));
    Txt_TxtStd->setPlainText(Str_Par2CrLf(q.IniRead(kMail, QStringLiteral("TxtStd"), QString(), kIni)));
    Txt_Firma->setPlainText(Str_Par2CrLf(q.IniRead(kMail, QStringLiteral("Firma"), QString(), kIni)));
    Chk_DoCopy.setValue(q.IniReadInt(kMail, QStringLiteral("CopyMsg"), 0, kIni));
    Txt_Server.setText(q.IniRead(kMail, QStringLiteral("SMTP"), QString(), kIni));
    Txt_Porta.setText(q.IniRead(kMail, QStringLiteral("Porta"), QStringLiteral("0"), kIni));
    Chk_SSL.setValue(q.IniReadInt(kMail, QStringLiteral("UseSSL"), 0, kIni));
    Chk_Auth.setValue(q.IniReadInt(kMail, QStringLiteral("Auth"), 0, kIni));
    Txt_Sender.setText(q.IniRead(kMail, QStringLiteral("User"), QString(), kIni));
    const QString stored = q.IniRead(kMail, QStringLiteral("Passwd"), QString(), kIni).trimmed();
    Txt_Pwd.setText(stored.isEmpty() ? QString() : q.PwdDecode(Hex2Str(stored)));

    const int opt = mode == QStringLiteral("CDO") ? 1 : 0;
    Opt_ConnM[opt]->setChecked(true);
    Opt_ConnM_Click(opt);

    adjustSize();
    PosFinestre_Load(this, N_MinHeight, N_MinWidth);
    // Never smaller than laid out; the layouts give the growth to the body text.
    setMinimumSize(qMax(N_MinWidth / TwipsPerPixel, minimumSizeHint().width()),
                   qMax(N_MinHeight / TwipsPerPixel, minimumSizeHint().height()));
}

void F_Mail::Form_Unload(int&)
{
    PosFinestre_Save(this);
}

void F_Mail::Opt_ConnM_Click(int index)
{
    Frm_Server->setEnabled(index == 1);
}

void F_Mail::Cmd_OK_Click()
{
    const Cl_QOR& q = Qor();
    const int opt = q.OptSelected(Opt_ConnM, 0);
    const QString mode = opt == 1   ? QStringLiteral("CDO")
                         : opt == 2 ? QStringLiteral("OUTLOOK")
                                    : QStringLiteral("MAPI");
    q.IniWrite(kMail, QStringLiteral("Mode"), mode, kIni);
    q.IniWrite(kMail, QStringLiteral("Indir"), Txt_Answer->text(), kIni);
    q.IniWrite(kMail, QStringLiteral("Mittente"), Txt_MailMitt.Text(), kIni);
    q.IniWriteInt(kMail, QStringLiteral("MandaCopy"), Chk_Copy.Value(), kIni);
    q.IniWriteInt(kMail, QStringLiteral("Conferma"), Chk_Answer.Value(), kIni);
    q.IniWrite(kMail, QStringLiteral("Oggetto"), Txt_Oggetto->text(), kIni);
    q.IniWrite(kMail, QStringLiteral("TxtStd"), Str_CrLf2Par(crlfText(Txt_TxtStd)), kIni);
    q.IniWrite(kMail, QStringLiteral("Firma"), Str_CrLf2Par(crlfText(Txt_Firma)), kIni);
    q.IniWriteInt(kMail, QStringLiteral("CopyMsg"), Chk_DoCopy.Value(), kIni);
    q.IniWrite(kMail, QStringLiteral("SMTP"), Txt_Server.Text().trimmed(), kIni);
    q.IniWriteInt(kMail, QStringLiteral("Porta"),
                  static_cast<int>(std::lround(q.ToDouble(Txt_Porta.Text().trimmed()))), kIni);
    q.IniWriteInt(kMail, QStringLiteral("UseSSL"), Chk_SSL.Value(), kIni);
    q.IniWriteInt(kMail, QStringLiteral("Auth"), Chk_Auth.Value(), kIni);
    q.IniWrite(kMail, QStringLiteral("User"), Txt_Sender.Text().trimmed(), kIni);
    q.IniWrite(kMail, QStringLiteral("Passwd"), q.ToHex(q.PwdEncode(Txt_Pwd.Text().trimmed())), kIni);
    // The file holds the password's stored form: the owner's only.
    QFile::setPermissions(Folders::resolveIniPath(kIni), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    setModalResult(Accepted);
    Unload();
}

void F_Mail::Cmd_Quit_Click()
{
    Unload();
}

void F_Mail::Cmd_SetServer_Click()
{
    const QString entry = Cmb_ServerStd->currentText();
    if (MsgBox(QStringLiteral("Confermi importazioni parametri standard ?") + kCrLf + entry,
               vb::YesNo | vb::Question, windowTitle()) != vb::Yes) {
        Beep();
        return;
    }
    const int n = Qor().GetField(entry, 1, QStringLiteral("|"), true).toInt();
    const QList<Preset> presets = Presets();
    if (n < 1 || n > presets.size()) return;
    const Preset& p = presets[n - 1];
    Txt_Server.setText(p.host);
    Txt_Porta.setText(p.port);
    Chk_SSL.setValue(p.ssl);
    Chk_Auth.setValue(p.auth);
}

void F_Mail::Lbl_Obj_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    if (!Txt_Oggetto->text().trimmed().isEmpty() &&
        MsgBox(QStringLiteral("Sostituisco l'Oggetto presente con lo Standard ?"), vb::YesNo | vb::Question,
               windowTitle()) != vb::Yes)
        return;
    Txt_Oggetto->setText(QStringLiteral("Fatture XML."));
}

void F_Mail::Lbl_Text_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    if (!Txt_TxtStd->toPlainText().trimmed().isEmpty() &&
        MsgBox(QStringLiteral("Sostituisco il testo presente con lo Standard ?"), vb::YesNo | vb::Question,
               windowTitle()) != vb::Yes)
        return;
    Txt_TxtStd->setPlainText(
        QStringLiteral("In allegato il file ZIP contenente i files XML delle fatture.") + kCrLf +
        QStringLiteral("Dal nome dell'Allegato ZIP si identificano quelle emesse o quelle ricevute."));
}

void F_Mail::Lbl_PWD_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const QString code =
        dialogs().inputBox(QStringLiteral("Password :"), QStringLiteral("Per verifica Password"), QString());
    if (code == AccessCode())
        MsgBox(Txt_Pwd.Text(), vb::OKOnly, App_Title());
    else
        Beep();
}
