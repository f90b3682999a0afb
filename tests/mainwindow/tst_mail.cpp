// Mail from the main window: the direct road to a local SMTP server, its failures
// and missing settings, the desktop client road through xdg-email, the clipboard.
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Launcher.h"
#include "platform/mail/SmtpMail.h"
#include "qor/Cl_QOR.h"
#include "support/SmtpTestServer.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QJsonArray>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kMail = QStringLiteral("MailXML");
const QString kPwd = QStringLiteral("pa€ss è");
const QString kUser = QStringLiteral("studio");
const QString kCrLf = QStringLiteral("\r\n");

QString storedForm(const QString& pwd)
{
    return Qor().ToHex(Qor().PwdEncode(pwd));
}

struct Fixture {
    TestEnv env;
    QByteArray oldPath = qgetenv("PATH");
    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        IniFile::write(kIni, QStringLiteral("ParamXML"), QStringLiteral("LastCompact"),
                       QStringLiteral("10/12/2026"));
        env.dialogs().acceptOkBoxes = true;
        setProcessEndHandler([](int) {});
    }
    ~Fixture()
    {
        if (F_ZipXML::isLoaded()) F_ZipXML::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setProcessEndHandler({});
        qputenv("PATH", oldPath);
    }
    static void set(const QString& key, const QString& value) { IniFile::write(kIni, kMail, key, value); }
    F_ZipXML& window()
    {
        F_ZipXML& w = F_ZipXML::instance();
        w.Show();
        env.dialogs().calls.clear();
        env.dialogs().beeps = 0;
        return w;
    }
    // The standard direct-road settings for a server on 127.0.0.1.
    void smtpSettings(int port, int ssl, int auth)
    {
        set(QStringLiteral("Mode"), QStringLiteral("CDO"));
        set(QStringLiteral("Indir"), QStringLiteral("a@x.it; b@y.it"));
        set(QStringLiteral("Mittente"), QStringLiteral("ditta@x.it"));
        set(QStringLiteral("SMTP"), QStringLiteral("127.0.0.1"));
        set(QStringLiteral("Porta"), QString::number(port));
        set(QStringLiteral("UseSSL"), QString::number(ssl));
        set(QStringLiteral("Auth"), QString::number(auth));
        set(QStringLiteral("User"), kUser);
        set(QStringLiteral("Passwd"), storedForm(kPwd));
    }
    QString log() const { return QString::fromUtf8(TestEnv::readFile(Pth_DebugLog)); }
    // Neither the password nor any form of it in the log or in any dialog.
    void checkNoSecret()
    {
        const QByteArray p = kPwd.toUtf8();
        const QStringList forms{
            kPwd, storedForm(kPwd), Qor().PwdEncode(kPwd), QString::fromLatin1(p.toBase64()),
            QString::fromLatin1((QByteArray(1, '\0') + kUser.toUtf8() + '\0' + p).toBase64())};
        QStringList texts{log()};
        for (const auto& c : env.dialogs().calls)
            texts << c.text << c.title;
        for (const QString& t : texts)
            for (const QString& f : forms)
                QVERIFY2(!t.contains(f), qPrintable(QStringLiteral("secret form found: ") + f));
    }
};

TestCertificates& certs()
{
    static TestCertificates c;
    static bool made = c.make();
    Q_UNUSED(made);
    return c;
}

} // namespace

class TestMail : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void smtpRoad_data();
    void smtpRoad();
    void failures_data();
    void failures();
    void missingSettings_data();
    void missingSettings();
    void badStoredPassword();
    void refusedStoredForm();
    void clipboardOnFailure();
    void mapiArguments_data();
    void mapiArguments();
    void mapiExits_data();
    void mapiExits();
    void mapiNestedCall();
    void mapiMissingProgram();
    void roadChoice_data();
    void roadChoice();
    void realXdgEmail();
    void clientWait_data();
    void clientWait();
};

void TestMail::initTestCase()
{
    QVERIFY2(certs().make() || QFile::exists(certs().caFile()), qPrintable(certs().error()));
    qputenv("PLICORA_SMTP_CAFILE", certs().caFile().toLocal8Bit());
}

void TestMail::smtpRoad_data()
{
    QTest::addColumn<QString>("kind"); // "starttls" or "plain"
    QTest::addColumn<int>("auth");
    QTest::addColumn<QString>("oggetto");
    QTest::addColumn<int>("option");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("attachment"); // file name, "" for none
    QTest::addColumn<QString>("pre");
    QTest::newRow("STARTTLS with AUTH, issued, zip with blanks, quotes, accents")
        << "starttls" << 1 << " Fatture XML. " << 0 << "Fatture XML. - Attive"
        << "a b \"c\" è_XML.ZIP"
        << "";
    QTest::newRow("plain with AUTH, received") << "plain" << 1 << "Fatture" << 1 << "Fatture - Passive"
                                               << "20261210_DITTA_123_XML.zip"
                                               << "";
    QTest::newRow("plain without AUTH, empty subject, free text") << "plain" << 0 << "  " << 0 << ""
                                                                  << ""
                                                                  << "Testo Libero";
    QTest::newRow("STARTTLS, the mail-settings free text")
        << "starttls" << 1 << "Fatture" << 0 << "Fatture - Attive"
        << ""
        << "... Testo Libero ...";
}

void TestMail::smtpRoad()
{
    QFETCH(QString, kind);
    QFETCH(int, auth);
    QFETCH(QString, oggetto);
    QFETCH(int, option);
    QFETCH(QString, subject);
    QFETCH(QString, attachment);
    QFETCH(QString, pre);
    Fixture fx;
    SmtpTestServer srv;
    QStringList opts;
    if (kind == QStringLiteral("starttls"))
        opts << QStringLiteral("--starttls") << certs().cert() << certs().key();
    if (auth) opts << QStringLiteral("--user") << kUser << QStringLiteral("--password") << kPwd;
    QVERIFY2(srv.start(opts), qPrintable(srv.error()));
    fx.smtpSettings(srv.port(), kind == QStringLiteral("starttls") ? 1 : 0, auth);
    fx.set(QStringLiteral("Oggetto"), oggetto);
    const QString longLine(1200, u'x');
    fx.set(QStringLiteral("TxtStd"), QStringLiteral("Riga € città§.punto§From here§") + longLine);
    fx.set(QStringLiteral("Firma"), QStringLiteral("Saluti§Ditta Srl"));
    QByteArray bytes;
    QString path;
    if (!attachment.isEmpty()) {
        for (int i = 0; i < 3000; ++i)
            bytes += char(i * 7);
        path = fx.env.writeFile(fx.env.work() + attachment, bytes);
    }
    F_ZipXML& w = fx.window();
    w.Opt_AttPas[option]->setChecked(true);
    QVERIFY(w.Do_InviaMail(path, pre, QString()));
    QCOMPARE(w.status(), QStringLiteral("Invio Mail completato !!"));
    QVERIFY(fx.env.dialogs().calls.isEmpty());
    QCOMPARE(fx.env.dialogs().beeps, 0);
    QVERIFY(w.cursor().shape() != Qt::WaitCursor);

    const QList<QJsonObject> mails = srv.mails();
    QCOMPARE(mails.size(), 1);
    const QJsonObject& m = mails[0];
    QCOMPARE(m.value(QStringLiteral("mail_from")).toString(), QStringLiteral("ditta@x.it"));
    QCOMPARE(SmtpTestServer::strings(m, QStringLiteral("rcpt_tos")),
             (QStringList{"a@x.it", "b@y.it", "ditta@x.it"}));
    QCOMPARE(m.value(QStringLiteral("tls")).toBool(), kind == QStringLiteral("starttls"));
    if (auth) {
        QCOMPARE(m.value(QStringLiteral("auth_user")).toString(), kUser);
        QCOMPARE(m.value(QStringLiteral("auth_tls")).toBool(), kind == QStringLiteral("starttls"));
    } else {
        QVERIFY(m.value(QStringLiteral("auth_user")).isNull());
    }
    QCOMPARE(SmtpTestServer::header(m, QStringLiteral("From")), QStringLiteral("ditta@x.it"));
    QCOMPARE(SmtpTestServer::header(m, QStringLiteral("To")), QStringLiteral("a@x.it, b@y.it"));
    QCOMPARE(SmtpTestServer::header(m, QStringLiteral("Cc")), QStringLiteral("ditta@x.it"));
    QVERIFY(!SmtpTestServer::hasHeader(m, QStringLiteral("Bcc")));
    QVERIFY(!SmtpTestServer::hasHeader(m, QStringLiteral("Disposition-Notification-To")));
    QCOMPARE(SmtpTestServer::header(m, QStringLiteral("Subject")), subject);
    QCOMPARE(SmtpTestServer::header(m, QStringLiteral("Date")),
             QString::fromLatin1(smtp::DateValue(fx.env.clock().now())));
    QVERIFY(!SmtpTestServer::header(m, QStringLiteral("Message-ID")).isEmpty());
    QString body = QStringLiteral("Riga € città\r\n.punto\r\nFrom here\r\n") + longLine;
    if (!pre.isEmpty()) body = pre + kCrLf + kCrLf + body;
    body += kCrLf + QStringLiteral("Saluti\r\nDitta Srl");
    QCOMPARE(m.value(QStringLiteral("body")).toString(), body);
    const QJsonArray att = m.value(QStringLiteral("attachments")).toArray();
    QCOMPARE(att.size(), attachment.isEmpty() ? 0 : 1);
    if (!attachment.isEmpty()) {
        QCOMPARE(att[0].toObject().value(QStringLiteral("name")).toString(), attachment);
        QCOMPARE(
            QByteArray::fromBase64(att[0].toObject().value(QStringLiteral("data")).toString().toLatin1()),
            bytes);
    }
    QVERIFY(fx.log().contains(QStringLiteral("Send_Email.LOAD_PR-INI:Passwd --> ********")));
    fx.checkNoSecret();
}

void TestMail::failures_data()
{
    QTest::addColumn<QString>("behaviour");
    QTest::addColumn<int>("ssl");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("description");
    QTest::newRow("no listener") << "none" << 0 << "SEND" << 7
                                 << "Connessione al server di posta non riuscita";
    QTest::newRow("closed at once") << "close" << 0 << "SEND" << 56
                                    << "Il server di posta ha rifiutato o interrotto l'invio";
    QTest::newRow("silence") << "silent" << 0 << "SEND" << 28
                             << "Il server di posta non risponde (tempo scaduto)";
    QTest::newRow("no STARTTLS with SSL asked")
        << "plain" << 1 << "SEND" << 64 << "Il server di posta non offre la connessione sicura (STARTTLS)";
    QTest::newRow("untrusted certificate")
        << "rogue" << 1 << "SEND" << 60 << "Certificato del server di posta non valido";
    QTest::newRow("wrong credentials")
        << "wrongpass" << 1 << "SEND" << 67 << "Accesso negato dal server di posta: utente o password errati";
    QTest::newRow("refused recipient")
        << "refuse" << 1 << "SEND" << 55 << "Il server di posta ha rifiutato o interrotto l'invio";
    QTest::newRow("vanished attachment")
        << "vanished" << 1 << "ATTACH" << 1002 << "Allegato non trovato o non leggibile";
    QTest::newRow("server not a host name")
        << "badhost" << 1 << "LOAD_FLDS" << 1001 << "Nome del server di posta non valido";
}

void TestMail::failures()
{
    QFETCH(QString, behaviour);
    QFETCH(int, ssl);
    QFETCH(QString, label);
    QFETCH(int, code);
    QFETCH(QString, description);
    Fixture fx;
    SmtpTestServer srv;
    const QStringList tls{QStringLiteral("--starttls"), certs().cert(), certs().key()};
    const QStringList user{QStringLiteral("--user"), kUser, QStringLiteral("--password"), kPwd};
    QStringList opts;
    if (behaviour == QStringLiteral("close"))
        opts << QStringLiteral("--close");
    else if (behaviour == QStringLiteral("silent"))
        opts << QStringLiteral("--silent");
    else if (behaviour == QStringLiteral("rogue"))
        opts << QStringLiteral("--starttls") << certs().rogueCert() << certs().rogueKey() << user;
    else if (behaviour == QStringLiteral("wrongpass"))
        opts << tls << QStringLiteral("--user") << kUser << QStringLiteral("--password")
             << QStringLiteral("altra");
    else if (behaviour == QStringLiteral("refuse"))
        opts << tls << user << QStringLiteral("--refuse") << QStringLiteral("b@y.it");
    else if (behaviour != QStringLiteral("plain"))
        opts << tls << user;
    QVERIFY2(srv.start(opts), qPrintable(srv.error()));
    int port = srv.port();
    if (behaviour == QStringLiteral("none")) srv.stop();
    fx.smtpSettings(port, ssl, 1);
    if (behaviour == QStringLiteral("badhost")) fx.set(QStringLiteral("SMTP"), QStringLiteral("smtp x.it"));
    QString path;
    if (behaviour == QStringLiteral("vanished")) {
        path = fx.env.writeFile(fx.env.work() + QStringLiteral("a_XML.ZIP"), "PK");
        QFile::remove(path);
    }
    F_ZipXML& w = fx.window();
    w.N_MailTimeout = 2;
    QVERIFY(!w.Do_InviaMail(path, QString(), QString()));
    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls.size(), 2);
    const QString head = label + QStringLiteral(" - ") + QString::number(code) + QStringLiteral(": ") + kCrLf;
    QVERIFY2(calls[0].text.startsWith(head + description), qPrintable(calls[0].text));
    QCOMPARE(calls[0].title, QStringLiteral("M_MV.SendEmail - ") + label);
    QCOMPARE(calls[0].icon(), int(vb::Critical));
    QCOMPARE(calls[1].text, QStringLiteral("Invio Mail CON ERRORI !!"));
    QCOMPARE(calls[1].title, F_ZipXML::Caption() + QStringLiteral(" - DO_InviaMail"));
    QCOMPARE(calls[1].icon(), int(vb::Critical));
    QCOMPARE(fx.env.dialogs().beeps, 1);
    QCOMPARE(w.status(), QStringLiteral("Invio Mail CON ERRORI !!"));
    QVERIFY(w.cursor().shape() != Qt::WaitCursor);
    QCOMPARE(srv.mails().size(), 0);
    fx.checkNoSecret();
}

void TestMail::missingSettings_data()
{
    QTest::addColumn<QStringList>("blank"); // keys written ""
    QTest::addColumn<QString>("port");
    QTest::addColumn<QStringList>("lines");
    const QString server = QStringLiteral("Nome SERVER mail MANCANTE in Parametri");
    const QString port = QStringLiteral("NUMERO PORTA Server mail MANCANTE in Parametri");
    const QString user = QStringLiteral("NOME UTENTE Accesso al Server di Posta MANCANTE in Parametri");
    const QString pwd = QStringLiteral("PASSWORD MANCANTE in Parametri");
    const QString from = QStringLiteral("INDIRIZZO MITTENTE MANCANTE in Parametri");
    const QString to = QStringLiteral("INDIRIZZO DESTINATARIO MANCANTE in Parametri");
    QTest::newRow("server") << QStringList{"SMTP"} << "25" << QStringList{server};
    QTest::newRow("port 0") << QStringList{} << "0" << QStringList{port};
    QTest::newRow("port not a number") << QStringList{} << "abc" << QStringList{port};
    QTest::newRow("port too high") << QStringList{} << "70000" << QStringList{port};
    QTest::newRow("user") << QStringList{"User"} << "25" << QStringList{user};
    QTest::newRow("password") << QStringList{"Passwd"} << "25" << QStringList{pwd};
    QTest::newRow("sender") << QStringList{"Mittente"} << "25" << QStringList{from};
    QTest::newRow("recipient") << QStringList{"Indir"} << "25" << QStringList{to};
    QTest::newRow("all together") << QStringList{"SMTP", "User", "Passwd", "Mittente", "Indir"} << "0"
                                  << QStringList{server, port, user, pwd, from, to};
}

void TestMail::missingSettings()
{
    QFETCH(QStringList, blank);
    QFETCH(QString, port);
    QFETCH(QStringList, lines);
    Fixture fx;
    fx.smtpSettings(25, 0, 1);
    fx.set(QStringLiteral("Porta"), port);
    for (const QString& k : blank)
        fx.set(k, QString());
    fx.env.launcher().starts.clear();
    F_ZipXML& w = fx.window();
    QVERIFY(!w.Do_InviaMail(QString(), QString(), QString()));
    QStringList texts = fx.env.dialogs().messages();
    const bool pwdBlank = blank.contains(QStringLiteral("Passwd"));
    if (pwdBlank) {
        QVERIFY(texts.value(0).startsWith(QStringLiteral("PASSWORD NON correttamente codificata")));
        texts.removeFirst();
    }
    QCOMPARE(texts.size(), 2);
    QCOMPARE(texts[0], lines.join(kCrLf) + kCrLf);
    QCOMPARE(fx.env.dialogs().calls[pwdBlank ? 1 : 0].title, QStringLiteral("M_MV.SendEmail"));
    QCOMPARE(texts[1], QStringLiteral("Invio Mail CON ERRORI !!"));
    QCOMPARE(fx.env.dialogs().beeps, pwdBlank ? 3 : 2);
    QVERIFY(!fx.log().contains(QStringLiteral("     SEND ")));
    fx.checkNoSecret();
}

void TestMail::badStoredPassword()
{
    Fixture fx;
    fx.smtpSettings(25, 0, 1);
    fx.set(QStringLiteral("Passwd"), QStringLiteral("XYZ"));
    F_ZipXML& w = fx.window();
    QVERIFY(!w.Do_InviaMail(QString(), QString(), QString()));
    const QStringList texts = fx.env.dialogs().messages();
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts[0],
             QStringLiteral("PASSWORD NON correttamente codificata in : QOR_PLCR.INI\r\nViene annullata per "
                            "poterla reinserire correttametne in 'Configura Mail'"));
    QCOMPARE(fx.env.dialogs().calls[0].title, QStringLiteral("M_MV.SendEmail"));
    QCOMPARE(texts[1], QStringLiteral("PASSWORD MANCANTE in Parametri\r\n"));
    QVERIFY(IniFile::hasKey(kIni, kMail, QStringLiteral("Passwd")));
    QCOMPARE(IniFile::read(kIni, kMail, QStringLiteral("Passwd"), QStringLiteral("<none>")), QString());
    QVERIFY(fx.log().contains(QStringLiteral("Send_Email.LOAD_PR-INI:Passwd --> ********")));
    QVERIFY(!fx.log().contains(QStringLiteral("XYZ")));
}

void TestMail::refusedStoredForm()
{
    // Hexadecimal, but not a stored form: the password is empty, the key stays.
    Fixture fx;
    fx.smtpSettings(25, 0, 1);
    fx.set(QStringLiteral("Passwd"), QStringLiteral("0123"));
    F_ZipXML& w = fx.window();
    QVERIFY(!w.Do_InviaMail(QString(), QString(), QString()));
    QCOMPARE(fx.env.dialogs().messages(), (QStringList{QStringLiteral("PASSWORD MANCANTE in Parametri\r\n"),
                                                       QStringLiteral("Invio Mail CON ERRORI !!")}));
    QCOMPARE(IniFile::read(kIni, kMail, QStringLiteral("Passwd"), QString()), QStringLiteral("0123"));
}

void TestMail::clipboardOnFailure()
{
    Fixture fx;
    fx.smtpSettings(0, 0, 1);
    fx.set(QStringLiteral("CopyMsg"), QStringLiteral("1"));
    fx.set(QStringLiteral("Oggetto"), QStringLiteral("Fatture"));
    fx.set(QStringLiteral("TxtStd"), QStringLiteral("Uno§Due"));
    fx.set(QStringLiteral("Firma"), QStringLiteral("Firma"));
    F_ZipXML& w = fx.window();
    QVERIFY(!w.Do_InviaMail(QString(), QStringLiteral("Testo Libero"), QString()));
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("Oggetto : Fatture - Attive\r\n\r\nTesto Libero\r\n\r\nUno\r\nDue\r\nFirma"));
    const QStringList texts = fx.env.dialogs().messages();
    QCOMPARE(texts.size(), 3);
    QCOMPARE(texts[1],
             QStringLiteral("Copiato testo messaggio in Clipboard !!\r\n( Usare Ctrl-V per copiarlo nel "
                            "programma di Mail )"));
    QCOMPARE(fx.env.dialogs().calls[1].icon(), int(vb::Information));
    QCOMPARE(fx.env.dialogs().calls[1].title, F_ZipXML::Caption());
    QCOMPARE(texts[2], QStringLiteral("Invio Mail CON ERRORI !!"));
    QVERIFY(w.cursor().shape() != Qt::WaitCursor);
    QVERIFY(fx.log().contains(QStringLiteral("  -  Do_Clip : True")));
}

void TestMail::mapiArguments_data()
{
    QTest::addColumn<QString>("oggetto");
    QTest::addColumn<QString>("txtStd");
    QTest::addColumn<QString>("firma");
    QTest::addColumn<QString>("mittente");
    QTest::addColumn<bool>("attach");
    QTest::addColumn<QStringList>("expected"); // "<path>" stands for the attachment
    QTest::newRow("everything") << "Fatture"
                                << "Uno§Due"
                                << "Ciao"
                                << "ditta@x.it" << true
                                << QStringList{"--utf8",         "--subject", "Fatture - Attive", "--body",
                                               "Uno\nDue\nCiao", "--cc",      "ditta@x.it",       "--attach",
                                               "<path>",         "--to",      "a@x.it",           "--to",
                                               "b@y.it"};
    QTest::newRow("no subject, copy or attachment")
        << ""
        << "Testo"
        << ""
        << "" << false << QStringList{"--utf8", "--body", "Testo\n", "--to", "a@x.it", "--to", "b@y.it"};
}

void TestMail::mapiArguments()
{
    QFETCH(QString, oggetto);
    QFETCH(QString, txtStd);
    QFETCH(QString, firma);
    QFETCH(QString, mittente);
    QFETCH(bool, attach);
    QFETCH(QStringList, expected);
    Fixture fx;
    fx.set(QStringLiteral("Indir"), QStringLiteral("a@x.it; b@y.it"));
    fx.set(QStringLiteral("Oggetto"), oggetto);
    fx.set(QStringLiteral("TxtStd"), txtStd);
    fx.set(QStringLiteral("Firma"), firma);
    fx.set(QStringLiteral("Mittente"), mittente);
    QString path;
    if (attach) path = fx.env.writeFile(fx.env.work() + QStringLiteral("a 'b' \"c\"_XML.ZIP"), "PK");
    expected.replaceInStrings(QStringLiteral("<path>"), path);
    const QString before = QDir::currentPath();
    F_ZipXML& w = fx.window();
    fx.env.launcher().onRun = [&](const QString&, const QStringList&, const QString&) {
        QDir::setCurrent(QDir::tempPath()); // the client may wander off
        return Launcher::Result{true, 0, {}, {}};
    };
    QVERIFY(w.Do_InviaMail(path, QString(), QString()));
    QCOMPARE(fx.env.launcher().starts.size(), 1);
    QVERIFY(fx.env.launcher().starts[0].program.endsWith(QStringLiteral("/xdg-email")));
    QCOMPARE(fx.env.launcher().starts[0].args, expected);
    QCOMPARE(QDir::currentPath(), before);
    QCOMPARE(fx.env.dialogs().messages(),
             QStringList{QStringLiteral("COMPLETARE L'Invio Mail dalla Finestra del Client di Posta !!")});
    QCOMPARE(fx.env.dialogs().calls[0].icon(), 0);
    QCOMPARE(w.status(), QStringLiteral("Invio Mail completato !!"));
    QVERIFY(!w.B_MapiNewSession);
}

void TestMail::mapiExits_data()
{
    QTest::addColumn<bool>("started");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("vanished");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("messages");
    const QString provider = QStringLiteral("Errore collegandosi al Mail Provider !!");
    const QString errors = QStringLiteral("Invio Mail CON ERRORI !!");
    QTest::newRow("exit 0") << true << 0 << false << true
                            << QStringList{QStringLiteral(
                                   "COMPLETARE L'Invio Mail dalla Finestra del Client di Posta !!")};
    for (int code : {1, 2, 3})
        QTest::addRow("exit %d", code) << true << code << false << false << QStringList{provider, errors};
    QTest::newRow("no start") << false << -1 << false << false << QStringList{provider, errors};
    QTest::newRow("vanished attachment") << true << 0 << true << false << QStringList{QString(), errors};
}

void TestMail::mapiExits()
{
    QFETCH(bool, started);
    QFETCH(int, exitCode);
    QFETCH(bool, vanished);
    QFETCH(bool, ok);
    QFETCH(QStringList, messages);
    Fixture fx;
    fx.set(QStringLiteral("Mode"), QStringLiteral("MAPI"));
    fx.set(QStringLiteral("Indir"), QStringLiteral("a@x.it"));
    QString path = fx.env.writeFile(fx.env.work() + QStringLiteral("a_XML.ZIP"), "PK");
    if (vanished) QFile::remove(path);
    F_ZipXML& w = fx.window();
    fx.env.launcher().onRun = [&](const QString&, const QStringList&, const QString&) {
        return Launcher::Result{started, exitCode, {}, {}};
    };
    QCOMPARE(w.Do_InviaMail(path, QString(), QString()), ok);
    const QStringList texts = fx.env.dialogs().messages();
    QCOMPARE(texts.size(), messages.size());
    if (vanished) {
        QCOMPARE(texts[0], QStringLiteral("Allegato non trovato o non leggibile : ") + path);
        QCOMPARE(fx.env.dialogs().calls[0].title, QStringLiteral("SendEMail_Client : [ATTACH]"));
        QVERIFY(fx.env.launcher().starts.isEmpty());
    } else {
        QCOMPARE(texts, messages);
    }
    if (!ok) {
        if (!vanished) {
            QCOMPARE(fx.env.dialogs().calls[0].title, QStringLiteral("SendEMail_Client : [SEND]"));
            QVERIFY(fx.log().contains(QStringLiteral("SendEMail_Client.ERRORE 32002 : xdg-email : codice ") +
                                      QString::number(exitCode)));
        }
        QCOMPARE(fx.env.dialogs().beeps, 1);
        QCOMPARE(w.status(), QStringLiteral("Invio Mail CON ERRORI !!"));
    }
    QVERIFY(!w.B_MapiNewSession);
    QVERIFY(w.cursor().shape() != Qt::WaitCursor);
}

void TestMail::mapiNestedCall()
{
    Fixture fx;
    fx.set(QStringLiteral("Indir"), QStringLiteral("a@x.it"));
    F_ZipXML& w = fx.window();
    bool inner = true;
    fx.env.launcher().onRun = [&](const QString&, const QStringList&, const QString&) {
        inner = w.Do_InviaMail(QString(), QStringLiteral("Testo Libero"), QString());
        return Launcher::Result{true, 0, {}, {}};
    };
    QVERIFY(w.Do_InviaMail(QString(), QString(), QString()));
    QVERIFY(!inner);
    const QStringList texts = fx.env.dialogs().messages();
    QCOMPARE(texts.mid(0, 3), (QStringList{QStringLiteral("Sessione già creata."),
                                           QStringLiteral("LogOn ai messaggi NON riuscito !!"),
                                           QStringLiteral("Invio Mail CON ERRORI !!")}));
    QCOMPARE(fx.env.dialogs().calls[1].title, QStringLiteral("SendEMail_Client"));
    QVERIFY(!w.B_MapiNewSession);
}

void TestMail::mapiMissingProgram()
{
    Fixture fx;
    qputenv("PATH", QFile::encodeName(fx.env.work()));
    F_ZipXML& w = fx.window();
    QVERIFY(!w.Do_InviaMail(QString(), QString(), QString()));
    QCOMPARE(fx.env.dialogs().messages(), (QStringList{QStringLiteral("LogOn ai messaggi NON riuscito !!"),
                                                       QStringLiteral("Invio Mail CON ERRORI !!")}));
    QVERIFY(fx.env.launcher().starts.isEmpty());
}

void TestMail::roadChoice_data()
{
    QTest::addColumn<QString>("mode"); // "<absent>" for no key
    QTest::addColumn<bool>("desktop");
    QTest::newRow("absent") << "<absent>" << true;
    QTest::newRow("MAPI") << "MAPI" << true;
    QTest::newRow("mapi") << "mapi" << false;
    QTest::newRow("CDO") << "CDO" << false;
    QTest::newRow("OUTLOOK") << "OUTLOOK" << false;
}

void TestMail::roadChoice()
{
    QFETCH(QString, mode);
    QFETCH(bool, desktop);
    Fixture fx;
    if (mode != QStringLiteral("<absent>")) fx.set(QStringLiteral("Mode"), mode);
    fx.set(QStringLiteral("Indir"), QStringLiteral("a@x.it"));
    F_ZipXML& w = fx.window();
    w.Do_InviaMail(QString(), QString(), QString());
    QCOMPARE(fx.env.launcher().starts.size(), desktop ? 1 : 0);
    QCOMPARE(fx.log().contains(QStringLiteral("Do_InviaMail  Metodo : MAPI")), desktop);
    QCOMPARE(fx.log().contains(QStringLiteral("Do_InviaMail  Metodo : CDO")), !desktop);
}

void TestMail::realXdgEmail()
{
    Fixture fx;
    const QString bin = fx.env.work() + QStringLiteral("bin/");
    const QString record = fx.env.work() + QStringLiteral("mailto.txt");
    const QString hook =
        fx.env.writeFile(bin + QStringLiteral("xdg-email-hook.sh"),
                         QByteArray("#!/bin/sh\nprintf '%s' \"$1\" > '") + record.toUtf8() + "'\n");
    QFile::setPermissions(hook, QFile::permissions(hook) | QFileDevice::ExeOwner);
    qputenv("PATH", QFile::encodeName(bin) + ":" + fx.oldPath);
    fx.set(QStringLiteral("Indir"), QStringLiteral("a@x.it"));
    fx.set(QStringLiteral("Mittente"), QStringLiteral("ditta@x.it"));
    fx.set(QStringLiteral("Oggetto"), QStringLiteral("Fatture"));
    fx.set(QStringLiteral("TxtStd"), QStringLiteral("Uno§Due"));
    fx.set(QStringLiteral("Firma"), QStringLiteral("Ciao"));
    const QString path = fx.env.writeFile(fx.env.work() + QStringLiteral("a_XML.ZIP"), "PK");
    F_ZipXML& w = fx.window();
    fx.env.launcher().onRun = &RecordingLauncher::runForReal;
    QVERIFY(w.Do_InviaMail(path, QString(), QString()));
    const QString mailto = QString::fromUtf8(TestEnv::readFile(record));
    QVERIFY2(mailto.startsWith(QStringLiteral("mailto:?")), qPrintable(mailto));
    QVERIFY2(mailto.contains(QStringLiteral("subject=Fatture%20-%20Attive")), qPrintable(mailto));
    QVERIFY2(mailto.contains(QStringLiteral("body=Uno%0D%0ADue%0D%0ACiao")), qPrintable(mailto));
    QVERIFY2(mailto.contains(QStringLiteral("cc=ditta@x.it")), qPrintable(mailto));
    QVERIFY2(mailto.contains(QStringLiteral("to=a@x.it")), qPrintable(mailto));
    QVERIFY2(mailto.contains(QStringLiteral("attach=") + QString(path).replace(u'_', QStringLiteral("%5F"))),
             qPrintable(mailto));
}

void TestMail::clientWait_data()
{
    QTest::addColumn<QByteArray>("script"); // the stand-in xdg-email, after it read its input
    QTest::addColumn<bool>("ok");
    QTest::newRow("client kept open a while") << QByteArray("sleep 1\n") << true;
    QTest::newRow("killed while the client is open") << QByteArray("sleep 1\nkill -9 $$\n") << false;
}

// A mail client that keeps xdg-email waiting: the window's events run meanwhile, and only
// an ordinary end with 0 counts as handed over.
void TestMail::clientWait()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, ok);
    Fixture fx;
    const QString bin = fx.env.work() + QStringLiteral("bin/");
    const QString ended = fx.env.work() + QStringLiteral("ended");
    const QString program =
        fx.env.writeFile(bin + QStringLiteral("xdg-email"),
                         "#!/bin/sh\ncat >/dev/null\n" + script + "touch '" + ended.toUtf8() + "'\n");
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
    qputenv("PATH", QFile::encodeName(bin) + ":" + fx.oldPath);
    fx.set(QStringLiteral("Indir"), QStringLiteral("a@x.it"));
    F_ZipXML& w = fx.window();
    fx.env.launcher().onRun = [](const QString& p, const QStringList& a, const QString& d) {
        return runProcessAndWaitLive(p, a, d);
    };
    bool tickedWhileWaiting = false;
    QTimer::singleShot(400, &w, [&] { tickedWhileWaiting = !QFileInfo::exists(ended); });
    QCOMPARE(w.Do_InviaMail(QString(), QString(), QString()), ok);
    QVERIFY(tickedWhileWaiting);
    QCOMPARE(w.status(),
             ok ? QStringLiteral("Invio Mail completato !!") : QStringLiteral("Invio Mail CON ERRORI !!"));
    if (!ok)
        QVERIFY(fx.log().contains(QStringLiteral("SendEMail_Client.ERRORE 32002 : xdg-email : codice -1")));
}

QTEST_MAIN(TestMail)
#include "tst_mail.moc"
