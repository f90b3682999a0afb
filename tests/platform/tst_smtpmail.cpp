// The SMTP transport: URL and address rules, header texts, masking, and mails
// through the local test server (TLS from the start, STARTTLS, refusals).
#include "platform/mail/SmtpMail.h"
#include "support/SmtpTestServer.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

class TstSmtpMail : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();

    void url_data();
    void url();
    void hostName_data();
    void hostName();
    void addresses_data();
    void addresses();
    void mimeType_data();
    void mimeType();
    void headerText_data();
    void headerText();
    void dateValue();
    void mask();

    void tlsFromTheStart();
    void headersAndParts();
    void sslOffTakesStartTlsWhenOffered_data();
    void sslOffTakesStartTlsWhenOffered();
    void refusedBeforeConnecting_data();
    void refusedBeforeConnecting();

  private:
    smtp::Server server(int port, int ssl) const;
    TestCertificates certs_;
};

void TstSmtpMail::initTestCase()
{
    QVERIFY2(certs_.make(), qPrintable(certs_.error()));
    qputenv("PLICORA_SMTP_CAFILE", certs_.caFile().toLocal8Bit());
}

smtp::Server TstSmtpMail::server(int port, int ssl) const
{
    smtp::Server s;
    s.host = QStringLiteral("127.0.0.1");
    s.port = port;
    s.useSsl = ssl;
    s.auth = 1;
    s.user = QStringLiteral("studio");
    s.password = QStringLiteral("pa€ss");
    s.timeoutSec = 5;
    return s;
}

void TstSmtpMail::url_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("ssl");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ssl on 465: TLS from the start") << "smtp.x.it" << 465 << 1 << "smtps://smtp.x.it:465";
    QTest::newRow("ssl on 587: STARTTLS") << "smtp.x.it" << 587 << 1 << "smtp://smtp.x.it:587";
    QTest::newRow("ssl on 25: STARTTLS") << "smtp.x.it" << 25 << 1 << "smtp://smtp.x.it:25";
    QTest::newRow("no ssl on 465: plain") << "smtp.x.it" << 465 << 0 << "smtp://smtp.x.it:465";
    QTest::newRow("no ssl on 25") << "mail.y.com" << 25 << 0 << "smtp://mail.y.com:25";
    QTest::newRow("address") << "127.0.0.1" << 2525 << 0 << "smtp://127.0.0.1:2525";
}

void TstSmtpMail::url()
{
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(int, ssl);
    QFETCH(QString, expected);
    QCOMPARE(smtp::Url(host, port, ssl), expected);
}

void TstSmtpMail::hostName_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("ok");
    QTest::newRow("name") << "smtp.gmail.com" << true;
    QTest::newRow("address") << "127.0.0.1" << true;
    QTest::newRow("one label") << "localhost" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("blank inside") << "smtp .x.it" << false;
    QTest::newRow("blank around") << " smtp.x.it" << false;
    QTest::newRow("slash") << "smtp.x.it/a" << false;
    QTest::newRow("at") << "user@smtp.x.it" << false;
    QTest::newRow("colon") << "smtp.x.it:25" << false;
    QTest::newRow("scheme") << "smtp://smtp.x.it" << false;
    QTest::newRow("line end") << "smtp.x.it\r\nRCPT" << false;
}

void TstSmtpMail::hostName()
{
    QFETCH(QString, host);
    QFETCH(bool, ok);
    QCOMPARE(smtp::IsHostName(host), ok);
}

void TstSmtpMail::addresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QStringList>("envelope");
    QTest::newRow("one") << "a@x.it" << QStringList{"a@x.it"} << QStringList{"a@x.it"};
    QTest::newRow("semicolon and blanks")
        << " a@x.it;  b@y.it " << QStringList{"a@x.it", "b@y.it"} << QStringList{"a@x.it", "b@y.it"};
    QTest::newRow("comma, empty pieces")
        << "a@x.it,,; ;b@y.it," << QStringList{"a@x.it", "b@y.it"} << QStringList{"a@x.it", "b@y.it"};
    QTest::newRow("name and address")
        << "Studio Rossi <rossi@x.it>; b@y.it" << QStringList{"Studio Rossi <rossi@x.it>", "b@y.it"}
        << QStringList{"rossi@x.it", "b@y.it"};
    QTest::newRow("empty") << "  " << QStringList{} << QStringList{};
}

void TstSmtpMail::addresses()
{
    QFETCH(QString, text);
    QFETCH(QStringList, pieces);
    QFETCH(QStringList, envelope);
    const QStringList got = smtp::SplitAddresses(text);
    QCOMPARE(got, pieces);
    QStringList env;
    for (const QString& p : got)
        env << smtp::EnvelopeAddress(p);
    QCOMPARE(env, envelope);
}

void TstSmtpMail::mimeType_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::newRow("zip") << "a_XML.zip"
                         << "application/zip";
    QTest::newRow("ZIP") << "20240101_X_123_XML.ZIP"
                         << "application/zip";
    QTest::newRow("Zip") << "a.Zip"
                         << "application/zip";
    QTest::newRow("txt") << "a_ZIPLIST.TXT"
                         << "application/octet-stream";
    QTest::newRow("zip inside") << "a.zip.bak"
                                << "application/octet-stream";
}

void TstSmtpMail::mimeType()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QCOMPARE(smtp::MimeType(name), type);
}

void TstSmtpMail::headerText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ascii as it is") << "Fatture XML. - Attive" << QByteArray("Fatture XML. - Attive");
    QTest::newRow("line ends become blanks") << "a\r\nBcc: x@y.it" << QByteArray("a  Bcc: x@y.it");
    QTest::newRow("accent encoded") << "Città" << QByteArray("=?UTF-8?B?Q2l0dMOg?=");
}

void TstSmtpMail::headerText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(smtp::HeaderText(text), expected);
}

void TstSmtpMail::dateValue()
{
    const QDateTime t(QDate(2026, 12, 10), QTime(9, 5, 7), QTimeZone(3600));
    QCOMPARE(smtp::DateValue(t), QByteArray("Thu, 10 Dec 2026 09:05:07 +0100"));
    const QDateTime s(QDate(2026, 7, 1), QTime(23, 0), QTimeZone(-4 * 3600 - 1800));
    QCOMPARE(smtp::DateValue(s), QByteArray("Wed, 01 Jul 2026 23:00:00 -0430"));
}

void TstSmtpMail::mask()
{
    const QString pwd = QStringLiteral("s3gr€to");
    const QString plain = QString::fromLatin1((QByteArray("\0studio\0", 8) + pwd.toUtf8()).toBase64());
    const QString login = QString::fromLatin1(pwd.toUtf8().toBase64());
    const QString text = QStringLiteral("535 %1 | AUTH PLAIN %2 | %3 | STORED").arg(pwd, plain, login);
    const QString masked = smtp::Mask(text, QStringLiteral("studio"), {pwd, QStringLiteral("STORED")});
    QCOMPARE(masked, QStringLiteral("535 **** | AUTH PLAIN **** | **** | ****"));
    QCOMPARE(smtp::Mask(QStringLiteral("nothing"), QStringLiteral("u"), {QString()}),
             QStringLiteral("nothing"));
}

void TstSmtpMail::tlsFromTheStart()
{
    SmtpTestServer srv;
    QVERIFY2(srv.start({QStringLiteral("--tls"), certs_.cert(), certs_.key(), QStringLiteral("--user"),
                        QStringLiteral("studio"), QStringLiteral("--password"), QStringLiteral("pa€ss")}),
             qPrintable(srv.error()));
    smtp::Server s = server(srv.port(), 1);
    s.implicitTls = true;
    smtp::Mail m;
    m.sender = QStringLiteral("ditta@x.it");
    m.recipient = QStringLiteral("studio@y.it");
    m.subject = QStringLiteral("Prova");
    m.body = QStringLiteral("Testo");
    int ticks = 0;
    smtp::Options o;
    o.onProgress = [&] { ++ticks; };
    const smtp::Result r = smtp::Send(s, m, o);
    QVERIFY2(r.ok, qPrintable(r.description));
    QVERIFY(ticks > 0);
    const QList<QJsonObject> mails = srv.mails();
    QCOMPARE(mails.size(), 1);
    QCOMPARE(mails[0].value(QStringLiteral("tls")).toBool(), true);
    QCOMPARE(mails[0].value(QStringLiteral("auth_tls")).toBool(), true);
    QCOMPARE(mails[0].value(QStringLiteral("auth_user")).toString(), QStringLiteral("studio"));

    // The same server without TLS asked for: curl talks plain SMTP to a TLS port and fails.
    smtp::Server clear = server(srv.port(), 0);
    clear.timeoutSec = 2;
    QVERIFY(!smtp::Send(clear, m).ok);
    QCOMPARE(srv.mails().size(), 1);
}

void TstSmtpMail::headersAndParts()
{
    SmtpTestServer srv;
    QVERIFY2(srv.start({QStringLiteral("--starttls"), certs_.cert(), certs_.key()}), qPrintable(srv.error()));
    QTemporaryDir dir;
    QStringList paths;
    const QList<QPair<QString, QByteArray>> files{
        {QStringLiteral("a b \"c\" è.ZIP"), QByteArray("PK\x03\x04\x00\xff binary", 13)},
        {QStringLiteral("lista.txt"), QByteArray("riga 1\r\nriga 2\r\n")},
    };
    for (const auto& [name, bytes] : files) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        paths << f.fileName();
    }
    smtp::Server s = server(srv.port(), 1);
    s.auth = 0;
    smtp::Mail m;
    m.sender = QStringLiteral("Ditta Srl <ditta@x.it>");
    m.recipient = QStringLiteral("Studio Città <studio@y.it>");
    m.cc = QStringLiteral("copia@x.it");
    m.bcc = QStringLiteral("nascosto@z.it");
    m.subject = QStringLiteral("Fatture € città\r\nBcc: spia@z.it");
    m.body = QStringLiteral("Riga\n.punto\r\nFrom here");
    m.attachments = paths;
    m.readReceipt = true;
    smtp::Options o;
    o.now = [] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0), QTimeZone(3600)); };
    const smtp::Result r = smtp::Send(s, m, o);
    QVERIFY2(r.ok, qPrintable(r.description));
    const QList<QJsonObject> mails = srv.mails();
    QCOMPARE(mails.size(), 1);
    const QJsonObject& got = mails[0];
    QCOMPARE(got.value(QStringLiteral("mail_from")).toString(), QStringLiteral("ditta@x.it"));
    QCOMPARE(SmtpTestServer::strings(got, QStringLiteral("rcpt_tos")),
             (QStringList{"studio@y.it", "copia@x.it", "nascosto@z.it"}));
    QCOMPARE(got.value(QStringLiteral("tls")).toBool(), true);
    QCOMPARE(SmtpTestServer::header(got, QStringLiteral("From")), QStringLiteral("Ditta Srl <ditta@x.it>"));
    QCOMPARE(SmtpTestServer::header(got, QStringLiteral("To")), QStringLiteral("Studio Città <studio@y.it>"));
    QCOMPARE(SmtpTestServer::header(got, QStringLiteral("Subject")),
             QStringLiteral("Fatture € città  Bcc: spia@z.it"));
    QVERIFY(!SmtpTestServer::hasHeader(got, QStringLiteral("Bcc")));
    QCOMPARE(SmtpTestServer::header(got, QStringLiteral("Date")),
             QStringLiteral("Thu, 10 Dec 2026 09:00:00 +0100"));
    QCOMPARE(SmtpTestServer::header(got, QStringLiteral("Disposition-Notification-To")),
             QStringLiteral("Ditta Srl <ditta@x.it>"));
    QVERIFY(SmtpTestServer::header(got, QStringLiteral("Message-ID")).endsWith(QStringLiteral("@x.it>")));
    QCOMPARE(got.value(QStringLiteral("body")).toString(), QStringLiteral("Riga\r\n.punto\r\nFrom here"));
    const QJsonArray att = got.value(QStringLiteral("attachments")).toArray();
    QCOMPARE(att.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QJsonObject a = att[i].toObject();
        QCOMPARE(a.value(QStringLiteral("name")).toString(), files[i].first);
        QCOMPARE(QByteArray::fromBase64(a.value(QStringLiteral("data")).toString().toLatin1()),
                 files[i].second);
    }
    QCOMPARE(att[0].toObject().value(QStringLiteral("content_type")).toString(),
             QStringLiteral("application/zip"));
    QCOMPARE(att[1].toObject().value(QStringLiteral("content_type")).toString(),
             QStringLiteral("application/octet-stream"));
    // Every header line of the raw message ends where it should.
    const QByteArray raw = srv.raw(1);
    QVERIFY(!raw.contains("\nBcc:"));
}

// SSL off with a login (port 25, SSL 0, authentication on): the login goes under
// STARTTLS when the server offers it, in clear only to a server without it.
void TstSmtpMail::sslOffTakesStartTlsWhenOffered_data()
{
    QTest::addColumn<bool>("offered");
    QTest::newRow("STARTTLS offered") << true;
    QTest::newRow("no STARTTLS") << false;
}

void TstSmtpMail::sslOffTakesStartTlsWhenOffered()
{
    QFETCH(bool, offered);
    SmtpTestServer srv;
    QStringList args{QStringLiteral("--user"), QStringLiteral("studio"), QStringLiteral("--password"),
                     QStringLiteral("pa€ss")};
    if (offered) args << QStringLiteral("--starttls") << certs_.cert() << certs_.key();
    QVERIFY2(srv.start(args), qPrintable(srv.error()));
    smtp::Mail m;
    m.sender = QStringLiteral("ditta@x.it");
    m.recipient = QStringLiteral("studio@y.it");
    m.subject = QStringLiteral("Prova");
    m.body = QStringLiteral("Testo");
    const smtp::Result r = smtp::Send(server(srv.port(), 0), m);
    QVERIFY2(r.ok, qPrintable(r.description));
    const QList<QJsonObject> mails = srv.mails();
    QCOMPARE(mails.size(), 1);
    QCOMPARE(mails[0].value(QStringLiteral("tls")).toBool(), offered);
    QCOMPARE(mails[0].value(QStringLiteral("auth_tls")).toBool(), offered);
    QCOMPARE(mails[0].value(QStringLiteral("auth_user")).toString(), QStringLiteral("studio"));
}

void TstSmtpMail::refusedBeforeConnecting_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QString>("recipient");
    QTest::addColumn<QString>("attachment");
    QTest::addColumn<int>("code");
    QTest::newRow("server with a blank") << "smtp x.it"
                                         << "a@x.it"
                                         << "b@y.it"
                                         << "" << int(smtp::ErrBadServer);
    QTest::newRow("server with a colon") << "127.0.0.1:25"
                                         << "a@x.it"
                                         << "b@y.it"
                                         << "" << int(smtp::ErrBadServer);
    QTest::newRow("no sender") << "127.0.0.1"
                               << " "
                               << "b@y.it"
                               << "" << int(smtp::ErrNoSender);
    QTest::newRow("no recipient") << "127.0.0.1"
                                  << "a@x.it"
                                  << " ; "
                                  << "" << int(smtp::ErrNoRecipient);
    const QString nul(QChar(0));
    QTest::newRow("NUL in the sender") << "127.0.0.1"
                                       << "a@x.it" + nul + "altro"
                                       << "b@y.it"
                                       << "" << int(smtp::ErrBadAddress);
    QTest::newRow("NUL in a recipient") << "127.0.0.1"
                                        << "a@x.it"
                                        << "c@z.it; b@y.it" + nul + ".evil"
                                        << "" << int(smtp::ErrBadAddress);
    QTest::newRow("missing attachment") << "127.0.0.1"
                                        << "a@x.it"
                                        << "b@y.it"
                                        << "missing.zip" << int(smtp::ErrAttachment);
}

void TstSmtpMail::refusedBeforeConnecting()
{
    QFETCH(QString, host);
    QFETCH(QString, sender);
    QFETCH(QString, recipient);
    QFETCH(QString, attachment);
    QFETCH(int, code);
    // A server that would take the mail: nothing may reach it.
    SmtpTestServer srv;
    QVERIFY2(srv.start(), qPrintable(srv.error()));
    smtp::Server s = server(srv.port(), 0);
    s.host = host;
    smtp::Mail m;
    m.sender = sender;
    m.recipient = recipient;
    QTemporaryDir dir;
    if (!attachment.isEmpty()) m.attachments << dir.filePath(attachment);
    const smtp::Result r = smtp::Send(s, m);
    QVERIFY(!r.ok);
    QCOMPARE(r.code, code);
    QVERIFY(!r.description.isEmpty());
    QCOMPARE(srv.mails().size(), 0);
}

QTEST_GUILESS_MAIN(TstSmtpMail)
#include "tst_smtpmail.moc"
