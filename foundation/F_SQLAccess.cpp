#include "F_SQLAccess.h"

#include "StartSettings.h"
#include "ModRegistro.h"
#include "PosFinestre.h"
#include "Proc_MV.h"
#include "StatusBar.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace
{
const QString kMarvo = QStringLiteral("MARVO_Z.INI");
const QString kLogin = QStringLiteral("Login");

QString backupPath()
{
    return G_DirApp + QStringLiteral("SQLOG_BACK.INI");
}
} // namespace

F_SQLAccess::F_SQLAccess()
{
    setObjectName(QStringLiteral("F_SQLAccess"));
    setWindowTitle(QStringLiteral("SQL Access Credentials"));
    setWindowFlags(Qt::Dialog);
    setKeyPreview(true);

    auto* v = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    Lbl_Srv = new QLabel(QStringLiteral("Nome Server :"), this);
    Lbl_Srv->setObjectName(QStringLiteral("Lbl_Srv"));
    Lbl_Srv->setToolTip(QStringLiteral("Click per leggere il Server dal Registry"));
    Txt_Server = TxtCtl::create(QStringLiteral("Txt_Server"), this,
                                QStringLiteral("Nome macchina con SQL installato."), true);
    Txt_User = TxtCtl::create(QStringLiteral("Txt_User"), this, QStringLiteral("Utente di SQL."), true);
    Txt_Pwd = TxtCtl::create(QStringLiteral("Txt_Pwd"), this, QStringLiteral("Password Utente."), true);
    // The server name in a fixed-pitch font ("Lucida Console" on Windows): the system's own.
    Txt_Server.put(QStringLiteral("Font"), QFontDatabase::systemFont(QFontDatabase::FixedFont));
    g->addWidget(Lbl_Srv, 0, 0);
    g->addWidget(Txt_Server.widget(), 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Utente (sa) :"), this), 1, 0);
    g->addWidget(Txt_User.widget(), 1, 1);
    g->addWidget(new QLabel(QStringLiteral("Password Utente :"), this), 2, 0);
    g->addWidget(Txt_Pwd.widget(), 2, 1);
    v->addLayout(g);

    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    Cmd_Save = button("Cmd_Save", "Salva e chiudi");
    Cmd_Quit = button("Cmd_Quit", "Abbandona");
    Cmd_Restore = button("Cmd_Restore", "Ripristina da Backup");
    Cmd_ShowChar = button("Cmd_ShowChar", "Mostra caratteri");
    auto* h = new QHBoxLayout;
    for (QPushButton* b : {Cmd_Save, Cmd_Quit, Cmd_Restore, Cmd_ShowChar})
        h->addWidget(b);
    v->addLayout(h);

    St_Bar = new QStatusBar(this);
    St_Bar->setObjectName(QStringLiteral("St_Bar"));
    Pan_Msg = new QLabel(St_Bar);
    Pan_Msg->setObjectName(QStringLiteral("Pan_Msg"));
    St_Bar->addPermanentWidget(Pan_Msg, 1);
    for (const char* t : {"NUM", "CAPS", "INS"})
        St_Bar->addPermanentWidget(new QLabel(QString::fromLatin1(t), St_Bar));
    Pan_Time = new QLabel(St_Bar);
    Pan_Time->setObjectName(QStringLiteral("Pan_Time"));
    Pan_Date = new QLabel(St_Bar);
    Pan_Date->setObjectName(QStringLiteral("Pan_Date"));
    St_Bar->addPermanentWidget(Pan_Time);
    St_Bar->addPermanentWidget(Pan_Date);
    StartClock(Pan_Time, Pan_Date);
    v->addWidget(St_Bar);

    connect(Cmd_Save, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_Save_Click"), [this] { Cmd_Save_Click(); }); });
    connect(Cmd_Quit, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_Quit_Click"), [this] { Cmd_Quit_Click(); }); });
    connect(Cmd_Restore, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_Restore_Click"), [this] { Cmd_Restore_Click(); }); });
    connect(Cmd_ShowChar, &QPushButton::clicked, this,
            [this] { Guard(QStringLiteral("Cmd_ShowChar_Click"), [this] { Cmd_ShowChar_Click(); }); });
    onClick(Lbl_Srv, [this] { Guard(QStringLiteral("Lbl_Srv_Click"), [this] { Lbl_Srv_Click(); }); });
    Txt_Server.on(QStringLiteral("GotFocus"), this, [this](const QVariantList&) {
        Txt_Server.setMskModified(false);
        Pan_Msg->setText(Txt_Server.Prompt());
    });
    Txt_Server.on(QStringLiteral("LostFocus"), this, [this](const QVariantList&) { Pan_Msg->clear(); });
}

QString F_SQLAccess::StripQuotes(const QString& text)
{
    QString t = text;
    if (t.startsWith(QLatin1Char('\''))) t = t.mid(1);
    if (t.endsWith(QLatin1Char('\''))) t = Qor().CutRight(t, 1);
    return t;
}

void F_SQLAccess::Form_Load()
{
    Txt_Server.setText(QString());
    Txt_User.setText(QString());
    Txt_Pwd.setText(QString());
    firstActivation_ = true;
    PosFinestre_Load(this);
}

void F_SQLAccess::Form_Activate()
{
    if (!firstActivation_) return;
    firstActivation_ = false;
    const QString server = Qor().IniRead(kLogin, QStringLiteral("Server"), QString(), kMarvo);
    if (!server.isEmpty()) {
        Txt_Server.setText(StripQuotes(server));
        // A present but empty key reads "": the window's defaults apply to it too.
        const QString user = Qor().IniRead(kLogin, QStringLiteral("UserId"), QString(), kMarvo);
        Txt_User.setText(user.isEmpty() ? QStringLiteral("sa") : user);
        Txt_Pwd.setText(Qor().IniRead(kLogin, QStringLiteral("UserPwd"), QString(), kMarvo));
        return;
    }
    if (Qor().FileExists(Reg_SysFolder(0, true) + kMarvo)) return;
    if (Qor().FileExists(backupPath()) &&
        MsgBox(kMarvo + QStringLiteral(" Inesistente o vuoto !!\r\n\r\nRipristino dal Backup ??"),
               vb::YesNo | vb::Question, windowTitle()) == vb::Yes)
        Cmd_Restore_Click();
}

void F_SQLAccess::Cmd_Save_Click()
{
    isQuit_ = false;
    Qor().IniWrite(kLogin, QStringLiteral("Server"), Txt_Server.Text(), kMarvo);
    Qor().IniWrite(kLogin, QStringLiteral("UserId"), Txt_User.Text(), kMarvo);
    Qor().IniWrite(kLogin, QStringLiteral("UserPwd"), Txt_Pwd.Text(), kMarvo);
    hide();
}

void F_SQLAccess::Cmd_Quit_Click()
{
    isQuit_ = true;
    hide();
}

void F_SQLAccess::Cmd_Restore_Click()
{
    const QString path = backupPath();
    if (!Qor().FileExists(path, 1)) {
        MsgBox(QStringLiteral("File di Backup Password Inesistente o Vuoto !!"), vb::OKOnly | vb::Critical,
               windowTitle());
        Beep();
        return;
    }
    const QString server = Qor().IniRead(kLogin, QStringLiteral("Server"), QString(), path);
    const QString user = Qor().IniRead(kLogin, QStringLiteral("UserId"), QString(), path);
    Txt_Server.setText(StripQuotes(server.isEmpty() ? QStringLiteral("(locale)") : server));
    Txt_User.setText(user.isEmpty() ? QStringLiteral("sa") : user);
    Txt_Pwd.setText(Qor().IniRead(kLogin, QStringLiteral("UserPwd"), QString(), path));
}

void F_SQLAccess::Cmd_ShowChar_Click()
{
    Txt_Pwd.setPasswordChar(Txt_Pwd.PasswordChar().isEmpty() ? QStringLiteral("#") : QString());
}

void F_SQLAccess::Lbl_Srv_Click()
{
    QString server;
    try {
        server = Reg_GetDBServer();
    } catch (...) {
        // Registry trouble only means no server to offer.
    }
    if (!server.isEmpty())
        Txt_Server.setText(server);
    else
        Beep();
}

void F_SQLAccess::Form_KeyPress(int keyAscii)
{
    Q_UNUSED(keyAscii); // Enter is swallowed by the form's key handling and does nothing else
}

void F_SQLAccess::Form_Unload(int&)
{
    PosFinestre_Save(this);
}
