#include "SmtpMail.h"

#include "platform/DynamicLibrary.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QUrl>
#include <QUuid>

#include <curl/curl.h>

#include <memory>

namespace smtp
{

namespace
{

QString L(const char* s)
{
    return QString::fromUtf8(s);
}

bool isAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 126 || (c.unicode() < 32 && c != u'\t')) return false;
    return true;
}

// A header value never carries a line end: a CR or LF in a setting would start a
// header of its own.
QString oneLine(const QString& text)
{
    QString out = text;
    out.replace(u'\r', u' ').replace(u'\n', u' ');
    return out;
}

// One encoded word per piece of at most 45 bytes, split between characters.
QByteArray encodedWords(const QString& text)
{
    QByteArray out;
    QByteArray chunk;
    auto flush = [&] {
        if (chunk.isEmpty()) return;
        if (!out.isEmpty()) out += "\r\n ";
        out += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        QString ch(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size()) ch += text[++i];
        const QByteArray bytes = ch.toUtf8();
        if (chunk.size() + bytes.size() > 45) flush();
        chunk += bytes;
    }
    flush();
    return out;
}

// "Name <addr>" pieces for a header: names that are not ASCII go as encoded words.
QByteArray addressHeader(const QString& text)
{
    QList<QByteArray> parts;
    for (const QString& piece : SplitAddresses(oneLine(text))) {
        const int lt = piece.lastIndexOf(u'<');
        if (lt > 0 && !isAscii(piece.left(lt))) {
            parts << HeaderText(piece.left(lt).trimmed()) + " " + piece.mid(lt).toUtf8();
        } else {
            parts << piece.toUtf8();
        }
    }
    return parts.join(", ");
}

// The disposition of an attachment under its exact file name: quoted when plain,
// RFC 2231 (UTF-8, percent-encoded) otherwise.
QByteArray dispositionOf(const QString& name)
{
    bool plain = isAscii(name);
    for (QChar c : name)
        if (c == u'"' || c == u'\\') plain = false;
    if (plain) return "Content-Disposition: attachment; filename=\"" + name.toUtf8() + "\"";
    QByteArray enc;
    static const QByteArray keep = "!#$&+-.^_`|~";
    for (char b : name.toUtf8()) {
        const unsigned char u = static_cast<unsigned char>(b);
        if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || keep.contains(b))
            enc += b;
        else
            enc += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
    }
    return "Content-Disposition: attachment; filename*=UTF-8''" + enc;
}

QByteArray crlf(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return t.toUtf8();
}

QByteArray messageId(const QString& sender)
{
    QString domain = EnvelopeAddress(sender).section(u'@', 1);
    if (domain.isEmpty() || !IsHostName(domain)) domain = QStringLiteral("plicora.local");
    return "<" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@" + domain.toUtf8() + ">";
}

// libcurl, opened when the first mail goes.
struct Curl {
    decltype(&::curl_easy_init) easy_init = nullptr;
    decltype(&::curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&::curl_easy_setopt) easy_setopt = nullptr;
    decltype(&::curl_easy_perform) easy_perform = nullptr;
    decltype(&::curl_easy_strerror) easy_strerror = nullptr;
    decltype(&::curl_slist_append) slist_append = nullptr;
    decltype(&::curl_slist_free_all) slist_free_all = nullptr;
    decltype(&::curl_mime_init) mime_init = nullptr;
    decltype(&::curl_mime_free) mime_free = nullptr;
    decltype(&::curl_mime_addpart) mime_addpart = nullptr;
    decltype(&::curl_mime_data) mime_data = nullptr;
    decltype(&::curl_mime_type) mime_type = nullptr;
    decltype(&::curl_mime_encoder) mime_encoder = nullptr;
    decltype(&::curl_mime_filedata) mime_filedata = nullptr;
    decltype(&::curl_mime_filename) mime_filename = nullptr;
    decltype(&::curl_mime_headers) mime_headers = nullptr;
    QString missing; // why it cannot be used; empty when it can
};

const Curl& lib()
{
    static const Curl api = [] {
        Curl c;
        static DynamicLibrary so({"libcurl.so.4", "libcurl-gnutls.so.4"});
        const bool all = so.isLoaded() &&
                         so.resolve(c.easy_init, "curl_easy_init") &&
                         so.resolve(c.easy_cleanup, "curl_easy_cleanup") &&
                         so.resolve(c.easy_setopt, "curl_easy_setopt") &&
                         so.resolve(c.easy_perform, "curl_easy_perform") &&
                         so.resolve(c.easy_strerror, "curl_easy_strerror") &&
                         so.resolve(c.slist_append, "curl_slist_append") &&
                         so.resolve(c.slist_free_all, "curl_slist_free_all") &&
                         so.resolve(c.mime_init, "curl_mime_init") &&
                         so.resolve(c.mime_free, "curl_mime_free") &&
                         so.resolve(c.mime_addpart, "curl_mime_addpart") &&
                         so.resolve(c.mime_data, "curl_mime_data") &&
                         so.resolve(c.mime_type, "curl_mime_type") &&
                         so.resolve(c.mime_encoder, "curl_mime_encoder") &&
                         so.resolve(c.mime_filedata, "curl_mime_filedata") &&
                         so.resolve(c.mime_filename, "curl_mime_filename") &&
                         so.resolve(c.mime_headers, "curl_mime_headers");
        if (!all) c.missing = so.errorString();
        return c;
    }();
    return api;
}

struct Slist {
    curl_slist* p = nullptr;
    ~Slist()
    {
        if (p) lib().slist_free_all(p);
    }
    void add(const QByteArray& line) { p = lib().slist_append(p, line.constData()); }
};

int progressHook(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* o = static_cast<const Options*>(user);
    if (o && o->onProgress) o->onProgress();
    return 0;
}

Result refuse(int code, const QString& text)
{
    return Result{false, code, text};
}

} // namespace

QString Url(const QString& host, int port, int useSsl)
{
    const QString scheme = (useSsl != 0 && port == 465) ? QStringLiteral("smtps") : QStringLiteral("smtp");
    QUrl u;
    u.setScheme(scheme);
    u.setHost(host);
    u.setPort(port);
    return u.toString(QUrl::FullyEncoded);
}

bool IsHostName(const QString& host)
{
    if (host.isEmpty() || host.trimmed() != host) return false;
    static const QRegularExpression bad(QStringLiteral("[\\s/@:?#\\[\\]\\\\%]"));
    if (bad.match(host).hasMatch()) return false;
    QUrl u;
    u.setScheme(QStringLiteral("smtp"));
    u.setHost(host, QUrl::StrictMode);
    return u.isValid() && !u.host().isEmpty();
}

QStringList SplitAddresses(const QString& text)
{
    QStringList out;
    static const QRegularExpression sep(QStringLiteral("[,;]"));
    for (const QString& piece : text.split(sep)) {
        const QString t = piece.trimmed();
        if (!t.isEmpty()) out << t;
    }
    return out;
}

QString EnvelopeAddress(const QString& piece)
{
    const QString t = piece.trimmed();
    const int lt = t.lastIndexOf(u'<');
    const int gt = t.lastIndexOf(u'>');
    if (lt >= 0 && gt > lt) return t.mid(lt + 1, gt - lt - 1).trimmed();
    return t;
}

Result CheckAttachment(const QString& path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return refuse(ErrAttachment, L("Allegato non trovato o non leggibile (%1)").arg(path));
    return Result{true, 0, {}};
}

QString MimeType(const QString& fileName)
{
    return fileName.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)
               ? QStringLiteral("application/zip")
               : QStringLiteral("application/octet-stream");
}

QByteArray HeaderText(const QString& text)
{
    const QString t = oneLine(text);
    if (isAscii(t)) return t.toUtf8();
    return encodedWords(t);
}

QByteArray DateValue(const QDateTime& when)
{
    const QLocale c = QLocale::c();
    const int off = when.offsetFromUtc() / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(off < 0 ? QStringLiteral("-") : QStringLiteral("+"))
                             .arg(qAbs(off) / 60, 2, 10, QLatin1Char('0'))
                             .arg(qAbs(off) % 60, 2, 10, QLatin1Char('0'));
    return (c.toString(when, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss")) + u' ' + zone).toLatin1();
}

QString Description(int code)
{
    switch (code) {
    case CURLE_OK:
        return {};
    case CURLE_COULDNT_RESOLVE_HOST:
        return L("Server di posta non trovato");
    case CURLE_COULDNT_CONNECT:
        return L("Connessione al server di posta non riuscita");
    case CURLE_OPERATION_TIMEDOUT:
        return L("Il server di posta non risponde (tempo scaduto)");
    case CURLE_SSL_CONNECT_ERROR:
        return L("Connessione sicura non riuscita");
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
        return L("Il server di posta ha rifiutato o interrotto l'invio");
    case CURLE_PEER_FAILED_VERIFICATION:
        return L("Certificato del server di posta non valido");
    case CURLE_USE_SSL_FAILED:
        return L("Il server di posta non offre la connessione sicura (STARTTLS)");
    case CURLE_LOGIN_DENIED:
        return L("Accesso negato dal server di posta: utente o password errati");
    default:
        return L("Errore nell'invio della mail");
    }
}

QString Mask(const QString& text, const QString& user, const QStringList& secrets)
{
    QString out = text;
    QStringList all;
    for (const QString& s : secrets) {
        if (s.isEmpty()) continue;
        const QByteArray b = s.toUtf8();
        all << s << QString::fromLatin1(b.toBase64());
        // AUTH PLAIN sends "\0user\0password" (and some clients "user\0user\0password").
        const QByteArray u = user.toUtf8();
        all << QString::fromLatin1((QByteArray(1, '\0') + u + '\0' + b).toBase64());
        all << QString::fromLatin1((u + '\0' + u + '\0' + b).toBase64());
    }
    // Longer forms first, so a short secret inside a long one does not leave a tail.
    std::sort(all.begin(), all.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    for (const QString& s : all)
        out.replace(s, QStringLiteral("****"));
    return out;
}

Result Send(const Server& server, const Mail& mail, const Options& options)
{
    // Refusals before any connection.
    if (!IsHostName(server.host))
        return refuse(ErrBadServer, L("Nome del server di posta non valido (%1)").arg(server.host));
    // A NUL would cut the address short where libcurl takes it as a C string: the mail
    // would go from or to another address than the settings hold.
    for (const QString& text : {mail.sender, mail.recipient, mail.cc, mail.bcc})
        if (text.contains(QChar(0)))
            return refuse(ErrBadAddress,
                          L("Indirizzo di posta non valido (%1)").arg(oneLine(text).replace(QChar(0), u' ')));
    const QString from = EnvelopeAddress(oneLine(mail.sender));
    if (from.isEmpty()) return refuse(ErrNoSender, L("Indirizzo del mittente mancante"));
    QStringList rcpt;
    for (const QString& list : {mail.recipient, mail.cc, mail.bcc})
        for (const QString& piece : SplitAddresses(oneLine(list)))
            rcpt << EnvelopeAddress(piece);
    rcpt.removeAll(QString());
    if (SplitAddresses(oneLine(mail.recipient)).isEmpty() || rcpt.isEmpty())
        return refuse(ErrNoRecipient, L("Indirizzo del destinatario mancante"));
    for (const QString& path : mail.attachments) {
        const Result r = CheckAttachment(path);
        if (!r.ok) return r;
    }

    if (!lib().missing.isEmpty())
        return refuse(CURLE_FAILED_INIT, L("Libreria per la posta (libcurl) non disponibile: %1").arg(lib().missing));
    std::unique_ptr<CURL, decltype(Curl::easy_cleanup)> curl(lib().easy_init(), lib().easy_cleanup);
    if (!curl) return refuse(CURLE_FAILED_INIT, Description(CURLE_FAILED_INIT));
    CURL* c = curl.get();
    char errbuf[CURL_ERROR_SIZE] = {0};

    QString link = Url(server.host, server.port, server.useSsl);
    const bool implicit = server.useSsl != 0 && (server.port == 465 || server.implicitTls);
    if (implicit && link.startsWith(QStringLiteral("smtp:"))) link.insert(4, u's');
    const QByteArray url = link.toUtf8();
    lib().easy_setopt(c, CURLOPT_URL, url.constData());
    lib().easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    lib().easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    lib().easy_setopt(c, CURLOPT_ERRORBUFFER, errbuf);
    lib().easy_setopt(c, CURLOPT_VERBOSE, 0L);
    // With SSL off the login still goes under STARTTLS when the server offers it; only a
    // server without it gets the clear login the settings ask for.
    if (!implicit)
        lib().easy_setopt(c, CURLOPT_USE_SSL,
                          static_cast<long>(server.useSsl != 0 ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    lib().easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    lib().easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    // An extra CA file goes in CAINFO; the system store stays reachable through CAPATH.
    const QByteArray caFile = SmtpCaFile().toLocal8Bit();
    if (!caFile.isEmpty()) {
        lib().easy_setopt(c, CURLOPT_CAINFO, caFile.constData());
        if (QFileInfo(QStringLiteral("/etc/ssl/certs")).isDir())
            lib().easy_setopt(c, CURLOPT_CAPATH, "/etc/ssl/certs");
    }
    const QByteArray user = server.user.toUtf8();
    const QByteArray pass = server.password.toUtf8();
    if (server.auth != 0) {
        lib().easy_setopt(c, CURLOPT_USERNAME, user.constData());
        lib().easy_setopt(c, CURLOPT_PASSWORD, pass.constData());
    }
    const long timeout = qMax(1, server.timeoutSec);
    lib().easy_setopt(c, CURLOPT_CONNECTTIMEOUT, timeout);
    lib().easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeout);
    // A transfer that stalls is cut after the same time.
    lib().easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    lib().easy_setopt(c, CURLOPT_LOW_SPEED_TIME, timeout);

    const QByteArray fromArg = "<" + from.toUtf8() + ">";
    lib().easy_setopt(c, CURLOPT_MAIL_FROM, fromArg.constData());
    Slist rcptList;
    for (const QString& r : rcpt)
        rcptList.add("<" + r.toUtf8() + ">");
    lib().easy_setopt(c, CURLOPT_MAIL_RCPT, rcptList.p);

    Slist headers;
    headers.add("From: " + addressHeader(mail.sender));
    headers.add("To: " + addressHeader(mail.recipient));
    if (!SplitAddresses(mail.cc).isEmpty()) headers.add("Cc: " + addressHeader(mail.cc));
    headers.add("Subject: " + HeaderText(mail.subject));
    headers.add("Date: " + DateValue(options.now ? options.now() : QDateTime::currentDateTime()));
    headers.add("Message-ID: " + messageId(mail.sender));
    headers.add("MIME-Version: 1.0");
    if (mail.readReceipt) headers.add("Disposition-Notification-To: " + addressHeader(mail.sender));
    lib().easy_setopt(c, CURLOPT_HTTPHEADER, headers.p);

    std::unique_ptr<curl_mime, decltype(Curl::mime_free)> mime(lib().mime_init(c), lib().mime_free);
    curl_mimepart* text = lib().mime_addpart(mime.get());
    const QByteArray body = crlf(mail.body);
    lib().mime_data(text, body.constData(), static_cast<size_t>(body.size()));
    lib().mime_type(text, "text/plain; charset=UTF-8");
    lib().mime_encoder(text, "quoted-printable");
    for (const QString& path : mail.attachments) {
        const QString name = QFileInfo(path).fileName();
        curl_mimepart* part = lib().mime_addpart(mime.get());
        const QByteArray local = QFile::encodeName(path);
        if (lib().mime_filedata(part, local.constData()) != CURLE_OK)
            return refuse(ErrAttachment, L("Allegato non trovato o non leggibile (%1)").arg(path));
        lib().mime_filename(part, nullptr);
        lib().mime_type(part, MimeType(name).toLatin1().constData());
        lib().mime_encoder(part, "base64");
        // The part owns its header list from here.
        lib().mime_headers(part, lib().slist_append(nullptr, dispositionOf(name).constData()), 1);
    }
    lib().easy_setopt(c, CURLOPT_MIMEPOST, mime.get());

    lib().easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    lib().easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &progressHook);
    lib().easy_setopt(c, CURLOPT_XFERINFODATA, const_cast<Options*>(&options));

    const CURLcode rc = lib().easy_perform(c);
    if (rc == CURLE_OK) return Result{true, 0, {}};
    QString detail = QString::fromUtf8(errbuf).trimmed();
    if (detail.isEmpty()) detail = QString::fromUtf8(lib().easy_strerror(rc));
    detail = Mask(detail, server.user, {server.password});
    return Result{false, static_cast<int>(rc), Description(rc) + QStringLiteral(" (") + detail + u')'};
}

} // namespace smtp

QString SmtpCaFile()
{
    return qEnvironmentVariable("PLICORA_SMTP_CAFILE");
}
