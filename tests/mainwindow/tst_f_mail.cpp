// The mail settings window: load defaults, "Salva" with its keys and values, the
// stored password, presets, right clicks, the access code, focus and size.
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "mainwindow/F_Mail.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "qor/Cl_QOR.h"
#include "support/SmtpTestServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kMail = QStringLiteral("MailXML");

struct Fixture {
    TestEnv env;
    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        setProcessEndHandler([](int) {});
        IniFile::write(kIni, QStringLiteral("ParamXML"), QStringLiteral("LastCompact"),
                       QStringLiteral("10/12/2026"));
        env.dialogs().acceptOkBoxes = true;
    }
    ~Fixture()
    {
        F_Mail::unloadInstance();
        if (F_ZipXML::isLoaded()) F_ZipXML::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setProcessEndHandler({});
        setModalRunner({});
    }
    QString iniPath() const { return Folders::resolveIniPath(kIni); }
    static void set(const QString& key, const QString& value) { IniFile::write(kIni, kMail, key, value); }
    static QString get(const QString& key)
    {
        return IniFile::read(kIni, kMail, key, QStringLiteral("<none>"));
    }
    F_Mail& open()
    {
        F_Mail& w = F_Mail::instance();
        w.Show();
        return w;
    }
    F_Mail& reopen()
    {
        F_Mail::unloadInstance();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return open();
    }
    // Everything except the position line of PosFinestre.
    QString mailSection() const
    {
        const QString text = QString::fromUtf8(TestEnv::readFile(iniPath()));
        const int at = text.indexOf(QStringLiteral("[MailXML]"));
        if (at < 0) return QString();
        const int next = text.indexOf(QStringLiteral("\r\n["), at);
        return text.mid(at, next < 0 ? -1 : next - at + 2);
    }
};

} // namespace

class TestFMail : public QObject
{
    Q_OBJECT
  private slots:
    void freshFile();
    void saveWritesKeys();
    void passwordSentAndAccepted();
    void emptyPassword();
    void outlookShownAsMapi();
    void presets_data();
    void presets();
    void presetAnsweredNo();
    void rightClicks_data();
    void rightClicks();
    void accessCode_data();
    void accessCode();
    void leavingWritesNothing_data();
    void leavingWritesNothing();
    void focusSwitchesTab();
    void noShrinking();
    void clrDati();
    void openedByConfiguraMail();
    void newSettingsFolderIsPrivate();
};

void TestFMail::freshFile()
{
    Fixture fx;
    F_Mail& w = fx.open();
    QCOMPARE(w.windowTitle(), QStringLiteral("Configurazione mail per Commercialista"));
    QCOMPARE(w.SSTab1->tabText(0), QStringLiteral("Mail"));
    QCOMPARE(w.SSTab1->tabText(1), QStringLiteral("Config. Server"));
    QCOMPARE(w.SSTab1->currentIndex(), 0);
    QCOMPARE(w.Chk_Answer.Value(), 1);
    QCOMPARE(w.Chk_Copy.Value(), 0);
    QVERIFY(w.Opt_ConnM[1]->isChecked());
    QCOMPARE(w.Txt_Porta.Text(), QStringLiteral("0"));
    QVERIFY(w.Frm_Server->isEnabled());
    QCOMPARE(w.Cmb_ServerStd->count(), 4);
    QCOMPARE(w.Cmb_ServerStd->currentText(), QStringLiteral("1 | Libero"));
    QCOMPARE(w.Txt_Pwd.PasswordChar(), QStringLiteral("*"));
    QCOMPARE(w.Txt_Server.get(QStringLiteral("AllowLoCase")).toBool(), true);
}

void TestFMail::saveWritesKeys()
{
    Fixture fx;
    F_Mail& w = fx.open();
    w.Opt_ConnM[1]->setChecked(true);
    w.Txt_Answer->setText(QStringLiteral("Studio <studio@y.it>"));
    w.Txt_MailMitt.setText(QStringLiteral("ditta@x.it"));
    w.Chk_Copy.setValue(1);
    w.Chk_Answer.setValue(0);
    w.Txt_Oggetto->setText(QStringLiteral("Fatture XML."));
    w.Txt_TxtStd->setPlainText(QStringLiteral("Uno\nDue § tre"));
    w.Txt_Firma->setPlainText(QStringLiteral("Ditta Srl\nVia Roma"));
    w.Chk_DoCopy.setValue(1);
    w.Txt_Server.setText(QStringLiteral(" smtp.x.it "));
    w.Txt_Porta.setText(QStringLiteral(" 587,6 "));
    w.Chk_SSL.setValue(1);
    w.Chk_Auth.setValue(1);
    w.Txt_Sender.setText(QStringLiteral(" utente "));
    w.Txt_Pwd.setText(QStringLiteral(" pà€ss "));
    w.Cmd_OK_Click();
    QVERIFY(!F_Mail::isLoaded());
    const QString stored = Qor().ToHex(Qor().PwdEncode(QStringLiteral("pà€ss")));
    QCOMPARE(fx.mailSection(), QStringLiteral("[MailXML]\r\n"
                                              "Mode=CDO\r\n"
                                              "Indir=Studio <studio@y.it>\r\n"
                                              "Mittente=ditta@x.it\r\n"
                                              "MandaCopy=1\r\n"
                                              "Conferma=0\r\n"
                                              "Oggetto=Fatture XML.\r\n"
                                              "TxtStd=Uno§Due § tre\r\n"
                                              "Firma=Ditta Srl§Via Roma\r\n"
                                              "CopyMsg=1\r\n"
                                              "SMTP=smtp.x.it\r\n"
                                              "Porta=588\r\n"
                                              "UseSSL=1\r\n"
                                              "Auth=1\r\n"
                                              "User=utente\r\n"
                                              "Passwd=") +
                                   stored + QStringLiteral("\r\n"));
    // Mode 0600: read and write for the user, nothing for group and others.
    QCOMPARE(int(QFile::permissions(fx.iniPath()) & 0x0FFF),
             int(QFileDevice::ReadUser | QFileDevice::WriteUser));

    // Loaded back: line breaks, the typed "§" as a line break, the password in clear.
    F_Mail& again = fx.open();
    QCOMPARE(again.Txt_TxtStd->toPlainText(), QStringLiteral("Uno\nDue \n tre"));
    QCOMPARE(again.Txt_Firma->toPlainText(), QStringLiteral("Ditta Srl\nVia Roma"));
    QCOMPARE(again.Txt_Pwd.Text(), QStringLiteral("pà€ss"));
    QCOMPARE(again.Txt_Porta.Text(), QStringLiteral("588"));
    QCOMPARE(again.Chk_Answer.Value(), 0);
    // A second save keeps the file the owner's only.
    again.Cmd_OK_Click();
    QCOMPARE(QFile::permissions(fx.iniPath()) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
}

void TestFMail::passwordSentAndAccepted()
{
    Fixture fx;
    const QString pwd = QStringLiteral("Perché€ 1");
    SmtpTestServer srv;
    QVERIFY2(
        srv.start({QStringLiteral("--user"), QStringLiteral("studio"), QStringLiteral("--password"), pwd}),
        qPrintable(srv.error()));
    F_Mail& w = fx.open();
    w.Txt_Answer->setText(QStringLiteral("studio@y.it"));
    w.Txt_MailMitt.setText(QStringLiteral("ditta@x.it"));
    w.Txt_Server.setText(QStringLiteral("127.0.0.1"));
    w.Txt_Porta.setText(QString::number(srv.port()));
    w.Chk_Auth.setValue(1);
    w.Txt_Sender.setText(QStringLiteral("studio"));
    w.Txt_Pwd.setText(pwd);
    w.Cmd_OK_Click();
    F_ZipXML& main = F_ZipXML::instance();
    fx.env.dialogs().calls.clear();
    QVERIFY(main.Do_InviaMail(QString(), QStringLiteral("Testo Libero"), QString()));
    QCOMPARE(srv.mails().size(), 1);
    QCOMPARE(srv.mails()[0].value(QStringLiteral("auth_user")).toString(), QStringLiteral("studio"));
}

void TestFMail::emptyPassword()
{
    Fixture fx;
    fx.set(QStringLiteral("Passwd"), Qor().ToHex(Qor().PwdEncode(QStringLiteral("x"))));
    F_Mail& w = fx.open();
    w.Txt_Pwd.setText(QStringLiteral("   "));
    w.Cmd_OK_Click();
    QVERIFY(IniFile::hasKey(kIni, kMail, QStringLiteral("Passwd")));
    QCOMPARE(fx.get(QStringLiteral("Passwd")), QString());
}

void TestFMail::outlookShownAsMapi()
{
    Fixture fx;
    F_Mail& w = fx.open();
    w.Opt_ConnM[2]->click();
    QVERIFY(!w.Frm_Server->isEnabled());
    w.Cmd_OK_Click();
    QCOMPARE(fx.get(QStringLiteral("Mode")), QStringLiteral("OUTLOOK"));
    F_Mail& again = fx.open();
    QVERIFY(again.Opt_ConnM[0]->isChecked());
    QVERIFY(!again.Frm_Server->isEnabled());
    again.Opt_ConnM[1]->click();
    QVERIFY(again.Frm_Server->isEnabled());
}

void TestFMail::presets_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("ssl");
    QTest::newRow("1 Libero") << 0 << "smtp.libero.it"
                              << "25" << 0;
    QTest::newRow("2 GMail") << 1 << "smtp.gmail.com"
                             << "587" << 1;
    QTest::newRow("3 Tiscali") << 2 << "smtp.tiscali.it"
                               << "465" << 1;
    QTest::newRow("4 FastWebNet") << 3 << "smtp.fastwebnet.it"
                                  << "587" << 1;
}

void TestFMail::presets()
{
    QFETCH(int, index);
    QFETCH(QString, host);
    QFETCH(QString, port);
    QFETCH(int, ssl);
    Fixture fx;
    F_Mail& w = fx.open();
    w.Txt_Sender.setText(QStringLiteral("utente"));
    w.Txt_Pwd.setText(QStringLiteral("segreto"));
    w.Cmb_ServerStd->setCurrentIndex(index);
    fx.env.dialogs().answer(vb::Yes);
    w.Cmd_SetServer_Click();
    const auto& call = fx.env.dialogs().calls.at(0);
    QCOMPARE(call.text, QStringLiteral("Confermi importazioni parametri standard ?\r\n") +
                            w.Cmb_ServerStd->currentText());
    QCOMPARE(call.title, F_Mail::Caption());
    QCOMPARE(call.buttons(), int(vb::YesNo));
    QCOMPARE(call.icon(), int(vb::Question));
    QCOMPARE(w.Txt_Server.Text(), host);
    QCOMPARE(w.Txt_Porta.Text(), port);
    QCOMPARE(w.Chk_SSL.Value(), ssl);
    QCOMPARE(w.Chk_Auth.Value(), 1);
    QCOMPARE(w.Txt_Sender.Text(), QStringLiteral("utente"));
    QCOMPARE(w.Txt_Pwd.Text(), QStringLiteral("segreto"));
}

void TestFMail::presetAnsweredNo()
{
    Fixture fx;
    F_Mail& w = fx.open();
    w.Txt_Server.setText(QStringLiteral("mio.server.it"));
    w.Cmb_ServerStd->setCurrentIndex(1);
    fx.env.dialogs().answer(vb::No);
    w.Cmd_SetServer_Click();
    QCOMPARE(fx.env.dialogs().beeps, 1);
    QCOMPARE(w.Txt_Server.Text(), QStringLiteral("mio.server.it"));
    QCOMPARE(w.Txt_Porta.Text(), QStringLiteral("0"));
    QCOMPARE(w.Chk_SSL.Value(), 0);
}

void TestFMail::rightClicks_data()
{
    QTest::addColumn<QString>("which"); // "obj" or "text"
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("answer"); // 0: no question expected
    QTest::addColumn<bool>("replaced");
    QTest::newRow("subject empty") << "obj"
                                   << " " << 0 << true;
    QTest::newRow("subject filled, Yes") << "obj"
                                         << "Mio" << int(vb::Yes) << true;
    QTest::newRow("subject filled, No") << "obj"
                                        << "Mio" << int(vb::No) << false;
    QTest::newRow("body empty") << "text"
                                << "" << 0 << true;
    QTest::newRow("body filled, Yes") << "text"
                                      << "Mio\ntesto" << int(vb::Yes) << true;
    QTest::newRow("body filled, No") << "text"
                                     << "Mio\ntesto" << int(vb::No) << false;
}

void TestFMail::rightClicks()
{
    QFETCH(QString, which);
    QFETCH(QString, before);
    QFETCH(int, answer);
    QFETCH(bool, replaced);
    Fixture fx;
    F_Mail& w = fx.open();
    const bool obj = which == QStringLiteral("obj");
    if (obj)
        w.Txt_Oggetto->setText(before);
    else
        w.Txt_TxtStd->setPlainText(before);
    if (answer) fx.env.dialogs().answer(answer);
    w.Lbl_Obj_MouseUp(1, 0, 0, 0); // the left button does nothing
    w.Lbl_Text_MouseUp(1, 0, 0, 0);
    if (obj)
        w.Lbl_Obj_MouseUp(2, 0, 0, 0);
    else
        w.Lbl_Text_MouseUp(2, 0, 0, 0);
    QCOMPARE(fx.env.dialogs().calls.size(), answer ? 1 : 0);
    if (answer) {
        QCOMPARE(fx.env.dialogs().calls[0].text,
                 obj ? QStringLiteral("Sostituisco l'Oggetto presente con lo Standard ?")
                     : QStringLiteral("Sostituisco il testo presente con lo Standard ?"));
        QCOMPARE(fx.env.dialogs().calls[0].title, F_Mail::Caption());
    }
    const QString standard =
        obj ? QStringLiteral("Fatture XML.")
            : QStringLiteral("In allegato il file ZIP contenente i files XML delle fatture.\nDal "
                             "nome dell'Allegato ZIP si identificano quelle emesse o quelle ricevute.");
    const QString now = obj ? w.Txt_Oggetto->text() : w.Txt_TxtStd->toPlainText();
    QCOMPARE(now, replaced ? standard : before);
}

void TestFMail::accessCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("shown");
    QTest::newRow("right") << F_Mail::AccessCode() << true;
    QTest::newRow("wrong") << "X" << false;
    QTest::newRow("cancelled") << "" << false;
}

void TestFMail::accessCode()
{
    QFETCH(QString, code);
    QFETCH(bool, shown);
    Fixture fx;
    F_Mail& w = fx.open();
    w.Txt_Pwd.setText(QStringLiteral("segreto€"));
    fx.env.dialogs().answerInput(code);
    w.Lbl_PWD_MouseUp(2, 0, 0, 0);
    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls[0].kind, QStringLiteral("input"));
    QCOMPARE(calls[0].text, QStringLiteral("Password :"));
    QCOMPARE(calls[0].title, QStringLiteral("Per verifica Password"));
    QCOMPARE(calls.size(), shown ? 2 : 1);
    if (shown) {
        QCOMPARE(calls[1].text, QStringLiteral("segreto€"));
        QCOMPARE(calls[1].icon(), 0);
    }
    QCOMPARE(fx.env.dialogs().beeps, shown ? 0 : 1);
}

void TestFMail::leavingWritesNothing_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Abbandona") << false;
    QTest::newRow("close box") << true;
}

void TestFMail::leavingWritesNothing()
{
    QFETCH(bool, closeBox);
    Fixture fx;
    fx.set(QStringLiteral("Mode"), QStringLiteral("MAPI"));
    fx.set(QStringLiteral("Oggetto"), QStringLiteral("Vecchio"));
    F_Mail& w = fx.open();
    F_Mail::unloadInstance(); // the position line is written once
    F_Mail& again = fx.open();
    const QByteArray before = TestEnv::readFile(fx.iniPath());
    again.Txt_Oggetto->setText(QStringLiteral("Nuovo"));
    again.Opt_ConnM[1]->click();
    if (closeBox)
        again.close();
    else
        again.Cmd_Quit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!F_Mail::isLoaded());
    QCOMPARE(TestEnv::readFile(fx.iniPath()), before);
    Q_UNUSED(w);
}

void TestFMail::focusSwitchesTab()
{
    Fixture fx;
    F_Mail& w = fx.open();
    QApplication::setActiveWindow(&w);
    w.Txt_Server.widget()->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(w.SSTab1->currentIndex(), 1);
    QTRY_COMPARE(w.Pan_Msg->text(), QStringLiteral("Indirizzo Server Mail in Uscita"));
    w.Txt_Oggetto->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(w.SSTab1->currentIndex(), 0);
    QTRY_COMPARE(w.Pan_Msg->text(), QString());
    w.Txt_MailMitt.widget()->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(w.Pan_Msg->text(), QStringLiteral("Posta di chi Invia"));
    w.Txt_Pwd.widget()->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(w.SSTab1->currentIndex(), 1);
    QTRY_COMPARE(w.Pan_Msg->text(), QStringLiteral("Password di Autenticazione"));
}

void TestFMail::noShrinking()
{
    Fixture fx;
    F_Mail& w = fx.open();
    const QSize loaded = w.size();
    w.resize(loaded.width() / 2, loaded.height() / 2);
    QVERIFY(w.width() >= loaded.width() * 0.95);
    QVERIFY(w.height() >= loaded.height() * 0.95);
    const int bodyHeight = w.Txt_TxtStd->height();
    w.resize(loaded.width() + 200, loaded.height() + 200);
    QTRY_VERIFY(w.Txt_TxtStd->height() > bodyHeight);
}

void TestFMail::clrDati()
{
    Fixture fx;
    fx.set(QStringLiteral("Mode"), QStringLiteral("CDO"));
    fx.set(QStringLiteral("Mittente"), QStringLiteral("ditta@x.it"));
    fx.set(QStringLiteral("SMTP"), QStringLiteral("smtp.x.it"));
    fx.set(QStringLiteral("MandaCopy"), QStringLiteral("1"));
    fx.set(QStringLiteral("CopyMsg"), QStringLiteral("1"));
    F_Mail& w = fx.open();
    w.ClrDati();
    QCOMPARE(w.Txt_Server.Text(), QString());
    QCOMPARE(w.Chk_Copy.Value(), 0);
    QCOMPARE(w.Txt_MailMitt.Text(), QStringLiteral("ditta@x.it"));
    QCOMPARE(w.Chk_DoCopy.Value(), 1);
    QCOMPARE(w.Chk_Answer.Value(), 1);
    QVERIFY(w.Opt_ConnM[1]->isChecked());
}

void TestFMail::openedByConfiguraMail()
{
    Fixture fx;
    F_ZipXML& main = F_ZipXML::instance();
    main.Show();
    bool seen = false;
    setModalRunner([&](VbForm& form) {
        seen = form.objectName() == QStringLiteral("F_Mail");
        static_cast<F_Mail&>(form).Cmd_Quit_Click();
    });
    main.Cmd_CfgMail_Click();
    QVERIFY(seen);
    QVERIFY(!F_Mail::isLoaded());
}

void TestFMail::newSettingsFolderIsPrivate()
{
    Fixture fx;
    const QByteArray old = qgetenv("PLICORA_WINDIR");
    const QString fresh = fx.env.root() + QStringLiteral("new/win/");
    qputenv("PLICORA_WINDIR", QFile::encodeName(fresh));
    QCOMPARE(Folders::windowsDir(), fresh);
    QCOMPARE(int(QFile::permissions(fresh) & 0x0FFF),
             int(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser));
    qputenv("PLICORA_WINDIR", old);
}

QTEST_MAIN(TestFMail)
#include "tst_f_mail.moc"
