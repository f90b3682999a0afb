#include "SmtpTestServer.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace
{
const QString kScript = QStringLiteral(PLICORA_SOURCE_DIR "/tests/support/smtp_server.py");
}

bool SmtpTestServer::start(const QStringList& options)
{
    stop();
    proc_.setProgram(QStringLiteral("/usr/bin/python3"));
    proc_.setArguments(QStringList{kScript, QStringLiteral("--out"), out_.path()} + options);
    proc_.setProcessChannelMode(QProcess::SeparateChannels);
    proc_.start();
    if (!proc_.waitForStarted(10000)) {
        error_ = QStringLiteral("python3 did not start: ") + proc_.errorString();
        return false;
    }
    // The first line is the port; a server that fails prints nothing and ends.
    while (!proc_.canReadLine()) {
        if (!proc_.waitForReadyRead(20000)) {
            error_ = QString::fromUtf8(proc_.readAllStandardError());
            if (error_.isEmpty()) error_ = QStringLiteral("no port from the server");
            stop();
            return false;
        }
    }
    port_ = QString::fromLatin1(proc_.readLine()).trimmed().toInt();
    if (port_ <= 0) {
        error_ = QStringLiteral("bad port line");
        stop();
        return false;
    }
    return true;
}

void SmtpTestServer::stop()
{
    if (proc_.state() != QProcess::NotRunning) {
        proc_.terminate();
        if (!proc_.waitForFinished(5000)) {
            proc_.kill();
            proc_.waitForFinished(5000);
        }
    }
    port_ = 0;
}

QList<QJsonObject> SmtpTestServer::mails() const
{
    QList<QJsonObject> out;
    for (int n = 1;; ++n) {
        QFile f(QDir(out_.path()).filePath(QStringLiteral("mail-%1.json").arg(n)));
        if (!f.open(QIODevice::ReadOnly)) break;
        out << QJsonDocument::fromJson(f.readAll()).object();
    }
    return out;
}

QByteArray SmtpTestServer::raw(int n) const
{
    QFile f(QDir(out_.path()).filePath(QStringLiteral("mail-%1.eml").arg(n)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString SmtpTestServer::header(const QJsonObject& mail, const QString& name)
{
    for (const QJsonValue& h : mail.value(QStringLiteral("headers")).toArray()) {
        const QJsonArray pair = h.toArray();
        if (pair.at(0).toString().compare(name, Qt::CaseInsensitive) == 0) return pair.at(1).toString();
    }
    return QString();
}

bool SmtpTestServer::hasHeader(const QJsonObject& mail, const QString& name)
{
    for (const QJsonValue& h : mail.value(QStringLiteral("headers")).toArray())
        if (h.toArray().at(0).toString().compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QStringList SmtpTestServer::strings(const QJsonObject& mail, const QString& key)
{
    QStringList out;
    for (const QJsonValue& v : mail.value(key).toArray())
        out << v.toString();
    return out;
}

bool TestCertificates::openssl(const QStringList& args)
{
    QProcess p;
    p.setWorkingDirectory(dir_.path());
    p.start(QStringLiteral("openssl"), args);
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0) {
        error_ = QStringLiteral("openssl ") + args.join(u' ') + QStringLiteral(": ") +
                 QString::fromUtf8(p.readAllStandardError());
        return false;
    }
    return true;
}

bool TestCertificates::make()
{
    if (!dir_.isValid()) return false;
    QFile ext(path(QStringLiteral("server.ext")));
    if (!ext.open(QIODevice::WriteOnly)) return false;
    ext.write("basicConstraints=CA:FALSE\n"
              "keyUsage=digitalSignature,keyEncipherment\n"
              "extendedKeyUsage=serverAuth\n"
              "subjectAltName=IP:127.0.0.1,DNS:localhost\n");
    ext.close();
    const QString days = QStringLiteral("2");
    return openssl({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                    QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                    QStringLiteral("ca.key"), QStringLiteral("-out"), QStringLiteral("ca.pem"),
                    QStringLiteral("-days"), days, QStringLiteral("-subj"),
                    QStringLiteral("/CN=Plicora Test CA"), QStringLiteral("-addext"),
                    QStringLiteral("basicConstraints=critical,CA:TRUE"), QStringLiteral("-addext"),
                    QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")}) &&
           openssl({QStringLiteral("req"), QStringLiteral("-new"), QStringLiteral("-newkey"),
                    QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                    QStringLiteral("server.key"), QStringLiteral("-out"), QStringLiteral("server.csr"),
                    QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")}) &&
           openssl({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                    QStringLiteral("server.csr"), QStringLiteral("-CA"), QStringLiteral("ca.pem"),
                    QStringLiteral("-CAkey"), QStringLiteral("ca.key"), QStringLiteral("-CAcreateserial"),
                    QStringLiteral("-out"), QStringLiteral("server.pem"), QStringLiteral("-days"), days,
                    QStringLiteral("-extfile"), QStringLiteral("server.ext")}) &&
           openssl({QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                    QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                    QStringLiteral("rogue.key"), QStringLiteral("-out"), QStringLiteral("rogue.pem"),
                    QStringLiteral("-days"), days, QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                    QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost")});
}
