// Mail sending: the desktop mail client (xdg-email) or straight to an SMTP server.
#include "F_ZipXML.h"

#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Launcher.h"
#include "platform/mail/SmtpMail.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QRadioButton>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kMail = QStringLiteral("MailXML");
const QString kCrLf = QStringLiteral("\r\n");

void logLine(const QString& text)
{
    Qor().WriteLog(text, 0, Pth_DebugLog, true);
}

QString vbBool(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

// A failure inside one of the two roads: its number and description, as the
// error handlers of the roads read them.
struct MailError {
    int number;
    QString description;
};

// The window's mouse pointer shows the hourglass while this lives.
class Hourglass
{
  public:
    explicit Hourglass(QWidget* w) : w_(w) { w_->setCursor(Qt::WaitCursor); }
    ~Hourglass() { restore(); }
    void restore()
    {
        if (w_) w_->unsetCursor();
        w_ = nullptr;
    }

  private:
    QWidget* w_;
};

} // namespace

bool F_ZipXML::Do_InviaMail(const QString& T_Alleg, const QString& S_AddTxtPre, const QString& S_AddTxtPost)
{
    const bool B_Clip = Qor().IniReadInt(kMail, QStringLiteral("CopyMsg"), 0, kIni) == 1;
    logLine(QStringLiteral("  -  Do_Clip : ") + vbBool(B_Clip));

    const QString S_Dest = Qor().IniRead(kMail, QStringLiteral("Indir"), QString(), kIni);
    QString S_Obj = Qor().IniRead(kMail, QStringLiteral("Oggetto"), QString(), kIni).trimmed();
    if (!S_Obj.isEmpty()) {
        const int opt = Qor().OptSelected(Opt_AttPas, 0);
        S_Obj += QStringLiteral(" - ") +
                 (opt >= 0 && opt < Opt_AttPas.size() ? Opt_AttPas[opt]->text() : QString());
    }
    QString S_Body = Str_Par2CrLf(Qor().IniRead(kMail, QStringLiteral("TxtStd"), QString(), kIni));
    if (!S_AddTxtPre.trimmed().isEmpty()) S_Body = S_AddTxtPre + kCrLf + kCrLf + S_Body;
    if (!S_AddTxtPost.trimmed().isEmpty()) S_Body += kCrLf + kCrLf + S_AddTxtPost;
    const QString S_Firma = Str_Par2CrLf(Qor().IniRead(kMail, QStringLiteral("Firma"), QString(), kIni));
    const QString S_Mitt = Qor().IniRead(kMail, QStringLiteral("Mittente"), QString(), kIni);
    const QString S_Cc = S_Mitt.isEmpty() ? QString() : S_Mitt;
    QStringList colAttach;
    if (!T_Alleg.isEmpty()) colAttach << T_Alleg;

    bool B_Done = false;
    {
        setStatus(QStringLiteral("Invio Mail IN CORSO !!"));
        Hourglass hourglass(this);
        QCoreApplication::processEvents();
        const QString mode = Qor().IniRead(kMail, QStringLiteral("Mode"), QStringLiteral("MAPI"), kIni);
        if (mode == QStringLiteral("MAPI")) {
            logLine(QStringLiteral("  -  Do_InviaMail  Metodo : MAPI  -----"));
            B_Done = SendEMail_Client(S_Mitt, S_Dest, S_Obj, S_Body + kCrLf + S_Firma, S_Cc, QString(),
                                      colAttach, false);
            logLine(QStringLiteral("  -  Do_InviaMail  Metodo : MAPI  -----  B_Done= ") + vbBool(B_Done));
        } else {
            logLine(QStringLiteral("  -  Do_InviaMail  Metodo : CDO  -----"));
            B_Done =
                SendEmail(S_Mitt, S_Dest, S_Obj, S_Body + kCrLf + S_Firma, S_Cc, QString(), colAttach, false);
            logLine(QStringLiteral("  -  Do_InviaMail  Metodo : CDO  -----  B_Done= ") + vbBool(B_Done));
        }
        hourglass.restore();
        QCoreApplication::processEvents();
    }

    if (B_Clip) {
        QClipboard* clip = QGuiApplication::clipboard();
        clip->clear();
        clip->setText(QStringLiteral("Oggetto : ") + S_Obj + kCrLf + kCrLf + S_Body + kCrLf + S_Firma);
        MsgBox(QStringLiteral("Copiato testo messaggio in Clipboard !!") + kCrLf +
                   QStringLiteral("( Usare Ctrl-V per copiarlo nel programma di Mail )"),
               vb::OKOnly | vb::Information, windowTitle());
    }
    if (B_Done) {
        setStatus(QStringLiteral("Invio Mail completato !!"));
        if (Qor().IniRead(kMail, QStringLiteral("Mode"), QStringLiteral("MAPI"), kIni) ==
            QStringLiteral("MAPI"))
            MsgBox(QStringLiteral("COMPLETARE L'Invio Mail dalla Finestra del Client di Posta !!"),
                   vb::OKOnly, App_Title());
    } else {
        setStatus(QStringLiteral("Invio Mail CON ERRORI !!"));
        MsgBox(QStringLiteral("Invio Mail CON ERRORI !!"), vb::OKOnly | vb::Critical,
               windowTitle() + QStringLiteral(" - DO_InviaMail"));
        Beep();
    }
    return B_Done;
}

// The desktop mail client stands in for the MAPI session: it is there when
// xdg-email is on PATH.
bool F_ZipXML::MapiLogOn()
{
    if (B_MapiNewSession) {
        MsgBox(QStringLiteral("Sessione già creata."), vb::OKOnly, App_Title());
        return false;
    }
    if (findProgram(QStringLiteral("xdg-email")).isEmpty()) return false;
    B_MapiNewSession = true;
    return true;
}

void F_ZipXML::MapiLogOff()
{
    B_MapiNewSession = false;
}

bool F_ZipXML::SendEMail_Client(QString strSender, QString strRecipient, QString strSubject, QString strBody,
                                QString strCc, QString strBcc, QStringList colAttachments, bool reqAnswer)
{
    Q_UNUSED(strSender);
    Q_UNUSED(reqAnswer); // the desktop client asks for no read receipt from outside
    const QString savedDir = QDir::currentPath();
    for (int n = 0; n < colAttachments.size(); ++n)
        logLine(QStringLiteral("Allegato ") + QString::number(n) + QStringLiteral(" : ") + colAttachments[n]);
    logLine(QStringLiteral("     LogOn via SendEmail_Client"));
    if (!MapiLogOn()) {
        MsgBox(QStringLiteral("LogOn ai messaggi NON riuscito !!"), vb::OKOnly | vb::Critical,
               QStringLiteral("SendEMail_Client"));
        QDir::setCurrent(savedDir);
        return false;
    }
    logLine(QStringLiteral("     LogOn via SendEmail_Client  EFFETTUATO"));

    bool result = false;
    QString label;
    try {
        // xdg-email refuses an option with an empty text, so such options stay out;
        // it writes each LF of the body as CR LF, so a CR would double.
        QStringList args{QStringLiteral("--utf8")};
        if (!strSubject.isEmpty()) args << QStringLiteral("--subject") << strSubject;
        QString body = strBody;
        body.replace(kCrLf, QStringLiteral("\n")).replace(u'\r', u'\n');
        if (!body.isEmpty()) args << QStringLiteral("--body") << body;
        for (const QString& a : smtp::SplitAddresses(strCc))
            args << QStringLiteral("--cc") << a;
        for (const QString& a : smtp::SplitAddresses(strBcc))
            args << QStringLiteral("--bcc") << a;
        label = QStringLiteral("ATTACH");
        for (const QString& path : colAttachments) {
            // A mail that should carry the archive never goes without it.
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                throw MailError{53, QStringLiteral("Allegato non trovato o non leggibile : ") + path};
            args << QStringLiteral("--attach") << path;
        }
        for (const QString& a : smtp::SplitAddresses(strRecipient))
            args << QStringLiteral("--to") << a;
        label = QStringLiteral("SEND");
        logLine(QStringLiteral("     SEND "));
        // xdg-email hands the mail over and ends, but a mail client that was not running yet
        // may keep it until the client is closed: the window stays painted meanwhile. Only an
        // ordinary end with 0 is a hand-over; a killed xdg-email gives -1.
        const Launcher::Result r = launcher().runAndWaitLive(findProgram(QStringLiteral("xdg-email")), args);
        if (!r.started || r.exitCode != 0)
            throw MailError{32002, QStringLiteral("xdg-email : codice ") + QString::number(r.exitCode)};
        logLine(QStringLiteral("     Dopo SEND"));
        result = true;
        logLine(QStringLiteral("     Dopo SEND 2 - Risultato : ") + vbBool(result));
    } catch (const MailError& e) {
        logLine(QStringLiteral("  *****  SendEMail_Client.ERRORE ") + QString::number(e.number) +
                QStringLiteral(" : ") + e.description);
        logLine(QStringLiteral("  *****                          Lbl_Err= '") + label + u'\'');
        const QString title = QStringLiteral("SendEMail_Client : [") + label + u']';
        if (e.number == 32002)
            MsgBox(QStringLiteral("Errore collegandosi al Mail Provider !!"), vb::OKOnly | vb::Critical,
                   title);
        else
            MsgBox(e.description, vb::OKOnly | vb::Critical, title);
    }
    label = QStringLiteral("LOGOFF");
    logLine(QStringLiteral("     LogOff"));
    MapiLogOff();
    label = QStringLiteral("CHDIR");
    logLine(QStringLiteral("     ChDir  :  >") + savedDir + QStringLiteral("<  App.Dir:") + G_DirApp);
    QDir::setCurrent(savedDir);
    logLine(QStringLiteral("     Esco da SendEmail_Client : ") + vbBool(result));
    return result;
}

bool F_ZipXML::SendEmail(QString strSender, QString strRecipient, QString strSubject, QString strBody,
                         QString strCc, QString strBcc, QStringList colAttachments, bool reqAnswer)
{
    QString label;
    QString stored;
    QString password;
    QString user;
    auto mask = [&](const QString& text) { return smtp::Mask(text, user, {password, stored.trimmed()}); };
    try {
        logLine(QStringLiteral("     ===  SendEmail - CDO "));
        auto logged = [&](const QString& value) {
            logLine(QStringLiteral("Send_Email.") + label + QStringLiteral(" --> ") + value);
        };
        label = QStringLiteral("LOAD_PR-INI:ServerSMTP");
        const QString server = Qor().IniRead(kMail, QStringLiteral("SMTP"), QString(), kIni);
        logged(server);
        label = QStringLiteral("LOAD_PR-INI:Porta");
        int port = Qor().IniReadInt(kMail, QStringLiteral("Porta"), 0, kIni);
        if (port < 1 || port > 65535) port = 0;
        logged(QString::number(port));
        label = QStringLiteral("LOAD_PR-INI:Mittente");
        user = Qor().IniRead(kMail, QStringLiteral("User"), QString(), kIni);
        logged(user);
        label = QStringLiteral("LOAD_PR-INI:Passwd");
        stored = Qor().IniRead(kMail, QStringLiteral("Passwd"), QString(), kIni);
        // The stored form gives the password back: it never goes to the log.
        logged(stored.isEmpty() ? QString() : QStringLiteral("********"));
        if (IsHexStr(stored)) {
            QString hex = stored.trimmed();
            if (hex.size() % 2) hex.prepend(u'0');
            password = Qor().PwdDecode(Hex2Str(hex));
        } else {
            MsgBox(QStringLiteral("PASSWORD NON correttamente codificata in : QOR_PLCR.INI") + kCrLf +
                       QStringLiteral(
                           "Viene annullata per poterla reinserire correttametne in 'Configura Mail'"),
                   vb::OKOnly | vb::Critical, QStringLiteral("M_MV.SendEmail"));
            Beep();
            password.clear();
            Qor().IniWrite(kMail, QStringLiteral("Passwd"), QString(), kIni);
        }
        label = QStringLiteral("LOAD_PR-INI:UseSSL");
        const int useSsl = Qor().IniReadInt(kMail, QStringLiteral("UseSSL"), 0, kIni);
        logged(QString::number(useSsl));
        label = QStringLiteral("LOAD_PR-INI:Auth");
        const int auth = Qor().IniReadInt(kMail, QStringLiteral("Auth"), 0, kIni);
        logged(QString::number(auth));

        label = QStringLiteral("CHECK_PR-INI ");
        QString missing;
        if (server.isEmpty()) missing += QStringLiteral("Nome SERVER mail MANCANTE in Parametri") + kCrLf;
        if (port == 0) missing += QStringLiteral("NUMERO PORTA Server mail MANCANTE in Parametri") + kCrLf;
        if (user.isEmpty())
            missing += QStringLiteral("NOME UTENTE Accesso al Server di Posta MANCANTE in Parametri") + kCrLf;
        if (password.isEmpty()) missing += QStringLiteral("PASSWORD MANCANTE in Parametri") + kCrLf;
        // A mail with no sender or nobody to go to is not sent either.
        if (smtp::SplitAddresses(strSender).isEmpty())
            missing += QStringLiteral("INDIRIZZO MITTENTE MANCANTE in Parametri") + kCrLf;
        if (smtp::SplitAddresses(strRecipient).isEmpty())
            missing += QStringLiteral("INDIRIZZO DESTINATARIO MANCANTE in Parametri") + kCrLf;
        if (!missing.isEmpty()) {
            MsgBox(missing, vb::OKOnly | vb::Critical, QStringLiteral("M_MV.SendEmail"));
            Beep();
            return false;
        }

        label = QStringLiteral("LOAD_FLDS");
        smtp::Server cfg;
        cfg.host = server;
        cfg.port = port;
        cfg.useSsl = useSsl;
        cfg.auth = auth;
        cfg.user = user;
        cfg.password = password;
        cfg.timeoutSec = N_MailTimeout;
        if (!smtp::IsHostName(server))
            throw MailError{smtp::ErrBadServer,
                            QStringLiteral("Nome del server di posta non valido (") + server + u')'};

        label = QStringLiteral("CONFIG");
        smtp::Mail mail;
        mail.recipient = strRecipient;
        mail.sender = strSender;
        mail.subject = strSubject;
        mail.body = strBody;
        mail.readReceipt = reqAnswer;
        label = QStringLiteral("ATTACH");
        for (const QString& path : colAttachments) {
            const smtp::Result r = smtp::CheckAttachment(path);
            if (!r.ok) throw MailError{r.code, r.description};
            mail.attachments << path;
        }
        label = QStringLiteral("CC");
        if (!strCc.isEmpty()) mail.cc = strCc;
        label = QStringLiteral("BCC");
        if (!strBcc.isEmpty()) mail.bcc = strBcc;

        label = QStringLiteral("SEND");
        logLine(QStringLiteral("     SEND "));
        smtp::Options options;
        options.now = [] { return appClock().now(); };
        // The window is repainted while the server is talked to; no input is taken.
        options.onProgress = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
        const smtp::Result r = smtp::Send(cfg, mail, options);
        if (!r.ok) throw MailError{r.code, r.description};
        logLine(QStringLiteral("     Dopo SEND "));
        label = QStringLiteral("END_SEND");
        logLine(QStringLiteral("     Esco da SendEmail - RDO"));
        return true;
    } catch (const MailError& e) {
        const QString description = mask(e.description);
        logLine(QStringLiteral("  *****  SendEmail.ERRORE ") + QString::number(e.number) +
                QStringLiteral(" : ") + description + QStringLiteral("  Lbl_Err= '") + label + u'\'');
        MsgBox(label + QStringLiteral(" - ") + QString::number(e.number) + QStringLiteral(": ") + kCrLf +
                   description,
               vb::OKOnly | vb::Critical, QStringLiteral("M_MV.SendEmail - ") + label);
        return false;
    }
}
