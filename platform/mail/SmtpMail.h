#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// Sending one mail straight to an SMTP server (libcurl): the direct road of the
// mail step. Nothing here shows anything; the caller reports the outcome.
namespace smtp
{

// Where and how to connect.
struct Server {
    QString host;
    int port = 0;
    int useSsl = 0; // != 0: TLS, never a word in clear; 0: STARTTLS when the server offers it
    int auth = 0;   // != 0: AUTH with user and password
    QString user;
    QString password;
    int timeoutSec = 45; // bounds the connection and each server reply
    // TLS from the start whatever the port (the port decides otherwise: 465 only).
    bool implicitTls = false;
};

// What to send. Address texts may hold several addresses split at "," or ";",
// each either "addr" or "Name <addr>".
struct Mail {
    QString sender;
    QString recipient;
    QString cc;
    QString bcc;
    QString subject;
    QString body;
    QStringList attachments; // file paths
    bool readReceipt = false;
};

// Own codes, for refusals before any connection (curl's codes stay below 1000).
enum : int {
    ErrBadServer = 1001,
    ErrAttachment = 1002,
    ErrNoSender = 1003,
    ErrNoRecipient = 1004,
    ErrBadAddress = 1005, // an address text holding a NUL
};

struct Result {
    bool ok = false;
    int code = 0;        // 0 on success; curl's code or one of the own codes above
    QString description; // Italian, with the detail in brackets; secrets masked
};

// Hooks a caller may give: the clock of the Date header and a call made while the
// transfer runs (the window is repainted from there).
struct Options {
    std::function<QDateTime()> now;
    std::function<void()> onProgress;
};

Result Send(const Server& server, const Mail& mail, const Options& options = {});

// --- the pieces, open to callers and tests ---

// "smtps://host:port" with SSL on port 465, "smtp://host:port" otherwise.
QString Url(const QString& host, int port, int useSsl);
// A host name or address that can stand in a URL: no blanks, "/", "@", ":" etc.
bool IsHostName(const QString& host);
// Address text split at "," and ";", blanks trimmed, empty pieces dropped.
QStringList SplitAddresses(const QString& text);
// "Name <addr>" gives addr; a bare address is given trimmed.
QString EnvelopeAddress(const QString& piece);
// The refusal for a path that is missing or cannot be read; ok otherwise.
Result CheckAttachment(const QString& path);
// "application/zip" for ".zip" in any case, else "application/octet-stream".
QString MimeType(const QString& fileName);
// RFC 2047 encoded words when the text is not plain ASCII; CR and LF become blanks.
QByteArray HeaderText(const QString& text);
// The Date header's value for a local time ("Thu, 10 Dec 2026 09:00:00 +0100").
QByteArray DateValue(const QDateTime& when);
// Italian description of a curl code, without the detail.
QString Description(int code);
// Every secret (and its base64 AUTH forms) replaced by "****".
QString Mask(const QString& text, const QString& user, const QStringList& secrets);

} // namespace smtp

// The extra CA file that the environment names (PLICORA_SMTP_CAFILE), "" when none.
QString SmtpCaFile();
