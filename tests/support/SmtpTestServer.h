#pragma once
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The local SMTP server of smtp_server.py, started with /usr/bin/python3. It picks
// its own port and tells it; every mail it takes is read back as the JSON it wrote
// (envelope, AUTH user, TLS, decoded headers, body, attachments).
class SmtpTestServer
{
  public:
    SmtpTestServer() = default;
    ~SmtpTestServer() { stop(); }
    SmtpTestServer(const SmtpTestServer&) = delete;
    SmtpTestServer& operator=(const SmtpTestServer&) = delete;

    // Options as smtp_server.py takes them ("--starttls", cert, key, "--user", ...).
    // Returns false (and the reason in error()) when the server did not come up.
    bool start(const QStringList& options = {});
    void stop();
    int port() const { return port_; }
    QString error() const { return error_; }

    // Mails received so far, in order.
    QList<QJsonObject> mails() const;
    // Raw bytes of mail n (from 1).
    QByteArray raw(int n) const;

    // Value of the first header of that name (case-insensitive), null when absent.
    static QString header(const QJsonObject& mail, const QString& name);
    static bool hasHeader(const QJsonObject& mail, const QString& name);
    static QStringList strings(const QJsonObject& mail, const QString& key);

  private:
    QProcess proc_;
    QTemporaryDir out_;
    int port_ = 0;
    QString error_;
};

// A test CA and certificates made with openssl in a folder of their own:
// ca.pem (the CA), server.pem/server.key (signed by the CA, for 127.0.0.1 and
// localhost) and rogue.pem/rogue.key (self-signed, trusted by nobody).
class TestCertificates
{
  public:
    bool make();
    QString error() const { return error_; }
    QString caFile() const { return path(QStringLiteral("ca.pem")); }
    QString cert() const { return path(QStringLiteral("server.pem")); }
    QString key() const { return path(QStringLiteral("server.key")); }
    QString rogueCert() const { return path(QStringLiteral("rogue.pem")); }
    QString rogueKey() const { return path(QStringLiteral("rogue.key")); }

  private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    bool openssl(const QStringList& args);
    QTemporaryDir dir_;
    QString error_;
};
