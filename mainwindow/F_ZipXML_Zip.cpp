// ZIP creation.
#include "F_ZipXML.h"

#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "foundation/Proc_Qor_Files.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include <filesystem>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");
const QString kCrLf = QStringLiteral("\r\n");

void logLine(const QString& text)
{
    Qor().WriteLog(text, 0, Pth_DebugLog, true);
}

// A line of the list file: no time in front.
void listLine(const QString& text, const QString& listPath)
{
    Qor().WriteLog(text, 0, listPath, false);
}

// One argument as a reader of the log would type it: in double quotes when it holds
// blanks or quotes.
QString shown(const QString& arg)
{
    if (!arg.contains(QLatin1Char(' ')) && !arg.contains(QLatin1Char('"')) &&
        !arg.contains(QLatin1Char('\'')))
        return arg;
    QString q = arg;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString commandText(const QString& program, const QStringList& args)
{
    QStringList parts{shown(program)};
    for (const QString& a : args)
        parts << shown(a);
    return parts.join(QLatin1Char(' '));
}

// The line of 7z's output that says what went wrong: the last one with the system's error
// ("errno=28 : No space left on device"), else its last line.
QString errorLine(const QByteArray& output)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(
        QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    for (auto it = lines.crbegin(); it != lines.crend(); ++it)
        if (it->contains(QStringLiteral("errno="))) return it->trimmed();
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

bool isZipFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    return f.read(2) == "PK";
}

// A counted row, taken once: what is packed, listed and stamped comes from here.
struct Counted {
    QString row;
    QString path;
    QString name;
    bool sent = false;
};

} // namespace

Launcher::Result F_ZipXML::ShellAndWait(const QString& program, const QStringList& args, int, const QString&)
{
    if (program.isEmpty()) return Launcher::Result{};
    return launcher().runAndWait(program, args);
}

void F_ZipXML::Cmd_ZipSel_Click()
{
    const QString title = windowTitle();
    const int stop = vb::OKOnly | vb::Critical;
    if (!Lbl_RAR->isHidden()) {
        MsgBox(QStringLiteral("IMPOSSIBILI COMPATTARE !!") + kCrLf +
                   QStringLiteral("Manca il file 7Z.EXE !!"),
               stop, title);
        Beep();
        return;
    }
    if (Lst_XMLRows->ListCount() == 0) {
        MsgBox(QStringLiteral("Elenco vuoto !!"), stop, title);
        Beep();
        return;
    }
    if (Lst_XMLRows->SelCount() == 0) {
        MsgBox(QStringLiteral("Nessun elemento Selezionato !!"), stop, title);
        Beep();
        return;
    }

    // Disabled, the button passes the focus on to "Invia Mail", where the next Space would
    // tick it: the focus comes back with the button.
    const bool hadFocus = focusWidget() == Cmd_ZipSel;
    Cmd_ZipSel->setEnabled(false);
    // Every way out gives both controls back.
    struct GiveBack {
        F_ZipXML* w;
        bool focus;
        void now()
        {
            w->Cmd_ZipSel->setEnabled(true);
            w->Cmb_FoldXML->setEnabled(true);
            if (focus && !w->isUnloaded()) w->Cmd_ZipSel->setFocus(Qt::OtherFocusReason);
        }
        ~GiveBack() { now(); }
    } giveBack{this, hadFocus};

    const QString folder = Cmb_FoldXML->currentText();
    const qint32 folderKey = MDB_FolderKey(folder);

    ado::Connection cn;
    const bool haveArchive = Qor().FileExists(Pth_DirTmpMDB);
    try {
        if (haveArchive) {
            cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
            ado::Recordset rs;
            rs.Open(QStringLiteral("SELECT * FROM DIRBASE WHERE cod_firma=?"), cn, ado::adOpenStatic,
                    ado::adLockReadOnly, QVariantList{folderKey});
            const bool found = !(rs.BOF() && rs.EOF_());
            rs.Close();
            if (!found && MsgBox(QStringLiteral("Cartella non trovata tra quelle Base.") + kCrLf +
                                     QStringLiteral("Proseguo ugiualmente ?"),
                                 vb::YesNo | vb::Question, App_Title()) == vb::No) {
                cn.Close();
                return;
            }
        }
    } catch (const ado::Error& e) {
        logLine(QStringLiteral("XML-ZIP ERRORE Archivio : ") + e.Description());
        MsgBox(e.Description(), stop, title);
        Beep();
        return;
    }

    const bool doMail = Chk_DoMail.ticked();
    const bool reSend = Chk_ReSend.ticked();

    QList<Counted> counted;
    QString datePart, lastDocDate, rowsBlock;
    for (int i = 0; i < Lst_XMLRows->ListCount(); ++i) {
        if (!Lst_XMLRows->Selected(i) || Lst_XMLRows->FilePath(i).isEmpty()) continue;
        const bool sent = !Lst_XMLRows->Field(i, 10).isEmpty();
        if (sent && !reSend) continue;
        const QString row = Lst_XMLRows->List(i);
        const QString doc = Qor().TrChars(Lst_XMLRows->Field(i, 6), QStringLiteral("-"), QString());
        if (doc > lastDocDate) lastDocDate = doc;
        const QString received = Qor().GetField(row, 1, QStringLiteral(" "), true);
        if (received > datePart) datePart = received;
        counted << Counted{row, Lst_XMLRows->FilePath(i), Lst_XMLRows->FileName(i), sent};
        rowsBlock += row + kCrLf;
    }
    if (counted.isEmpty()) {
        MsgBox(QStringLiteral("NESSUN file Selezionato deve essere ancora Spedito !!"), stop, title);
        Beep();
        return;
    }

    // A malformed document date (no month 01..12) gives the text without month and year.
    QString mailText;
    bool okMonth = false;
    const int month = lastDocDate.mid(4, 2).toInt(&okMonth);
    if (lastDocDate.size() >= 6 && okMonth && month >= 1 && month <= 12)
        mailText = Qor().MonthName(month) + QLatin1Char(' ') + lastDocDate.left(4);
    mailText += kCrLf + kCrLf + QStringLiteral("- N. ") + QString::number(counted.size()) +
                QStringLiteral(" Documenti inviati in allegato.");

    const QString dirZip = Txt_DirZIP.Text().trimmed();
    const QString zipFolder = Qor().PathSlash(dirZip.isEmpty() ? G_DirApp : dirZip);
    QString refPart = Txt_Rif.Text().trimmed();
    const QString find = Qor().TrChars(Txt_Find.Text().trimmed(), QStringLiteral("/ "), QStringLiteral("-"));
    if (Chk_UseSel.ticked() && !find.isEmpty()) refPart += QLatin1Char('_') + find;
    logLine(QStringLiteral("  T_Zip 0 : ") + refPart);
    const QString keyText = FolderKey();
    const QString stem = datePart + QLatin1Char('_') + refPart + QLatin1Char('_') + keyText;
    QString zipName = stem + QStringLiteral("_XML.ZIP");
    const QString listName = stem + QStringLiteral("_ZIPLIST.TXT");
    logLine(QStringLiteral("  T_Pth 1 : ") + zipFolder);
    logLine(QStringLiteral("  T_Zip 1 : ") + zipName);

    const int answer = MsgBox(QStringLiteral("Confermi la generazione del file :") + kCrLf + zipName + kCrLf +
                                  kCrLf + QStringLiteral("( ") + QString::number(Lst_XMLRows->SelCount()) +
                                  QStringLiteral(" Documenti Selezionati )") + kCrLf + kCrLf +
                                  QStringLiteral("SI     :  Genera ed Invia") + kCrLf +
                                  QStringLiteral("NO  :  Cambia Nome File ed invia") + kCrLf +
                                  QStringLiteral("ANNULLA : Rinuncia all'Invio"),
                              vb::YesNoCancel | vb::Question, title);
    if (answer == vb::Cancel) {
        Beep();
        return;
    }
    if (answer == vb::No) {
        for (;;) {
            const QString typed = dialogs().inputBox(QStringLiteral("Nuovo nome File :") + kCrLf +
                                                         QStringLiteral("(Vuoto per Abbandonare !!)"),
                                                     QStringLiteral("Nuovo nome File Allegato"), zipName);
            if (typed.isEmpty()) {
                MsgBox(QStringLiteral("ABBANDONO Invio File !!"), stop, title);
                Beep();
                return;
            }
            if (MsgBox(QStringLiteral("Confermi nuovo nome ?") + kCrLf + typed, vb::YesNo | vb::Question,
                       title) == vb::Yes) {
                zipName = typed;
                break;
            }
        }
    }

    setStatus(QStringLiteral("Compilazione File ZIP in corso ... ") + zipName);
    QCoreApplication::processEvents();
    const QString zipPath = zipFolder + zipName;
    const QString listPath = zipFolder + listName;
    // Only an archive is replaced: a typed name may point at any file.
    if (QFileInfo::exists(zipPath) && !isZipFile(zipPath)) {
        MsgBox(QStringLiteral("IL FILE ESISTE E NON E' UNO ZIP !!") + kCrLf + zipPath, stop, title);
        Beep();
        return;
    }

    // 7-Zip writes beside the final name and the archive takes that name, in place of an
    // earlier one, only when every file is in: a failed run leaves the earlier archive as it
    // was. The ".zip" ending keeps 7-Zip from adding its own.
    const QString tmpPath = zipPath + QStringLiteral(".tmp.zip");
    QFile::remove(tmpPath);
    const QString program = SevenZip_Path();
    // "-l": a listed file that is a symbolic link goes in with the bytes it points to, under
    // its listed name, not as the link.
    const QStringList prefix{QStringLiteral("a"),
                             QStringLiteral("-tzip"),
                             QStringLiteral("-y"),
                             QStringLiteral("-bd"),
                             QStringLiteral("-spd"),
                             QStringLiteral("-l"),
                             QStringLiteral("--"),
                             tmpPath};
    logLine(QStringLiteral("XML-ZIP Shell-00 : ") + commandText(program, prefix));

    bool packed = true;
    for (const Counted& c : counted) {
        const QStringList args = prefix + QStringList{c.path};
        logLine(QStringLiteral("---XML-ZIP T_Cmd : ") + commandText(program, args));
        const Launcher::Result r = ShellAndWait(program, args, 2, QStringLiteral("Comp.XML"));
        if (r.started && r.exitCode == 0) continue;
        packed = false;
        // The cause may be the ZIP folder or the disk, not the file: 7z's own words say which.
        const QString cause = r.started ? errorLine(r.output) : r.error;
        logLine(QStringLiteral("---XML-ZIP ERRORE : ") + QString::number(r.exitCode) + QStringLiteral(" : ") +
                cause);
        QFile::remove(tmpPath);
        MsgBox(QStringLiteral("ERRORE nella creazione del File ZIP !!") + kCrLf +
                   QStringLiteral("File non compattato : ") + c.path + kCrLf +
                   (r.started ? QStringLiteral("( 7z : codice ") + QString::number(r.exitCode) +
                                    QStringLiteral(" )")
                              : QStringLiteral("( 7z non avviato )")) +
                   (cause.isEmpty() ? QString() : kCrLf + cause),
               stop, title);
        Beep();
        break;
    }
    if (packed) {
        // One step that replaces an earlier archive: there is never a moment without one.
        std::error_code ec;
        std::filesystem::rename(QFile::encodeName(tmpPath).constData(),
                                QFile::encodeName(zipPath).constData(), ec);
        if (ec) {
            packed = false;
            QFile::remove(tmpPath);
            MsgBox(QStringLiteral("ERRORE nella creazione del File ZIP !!") + kCrLf + zipPath + kCrLf +
                       QString::fromLocal8Bit(ec.message()),
                   stop, title);
            Beep();
        }
    }

    bool mailFlag = false;
    bool mailSent = false;
    if (packed) {
        setStatus(QStringLiteral("TERMINE Creazione File ZIP con XML selezionati !!"));
        Beep();
        const QString now = appClock().now().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
        if (B_Develop && !rowsBlock.isEmpty()) {
            const QString hed = Lbl_Hed->text();
            listLine(QStringLiteral("=====   Files inviati il ") + now + QStringLiteral(" ====="), listPath);
            listLine(Qor().Replicate(50, QStringLiteral("=")), listPath);
            listLine(hed, listPath);
            listLine(Qor().Replicate(static_cast<int>(hed.size()), QStringLiteral("-")), listPath);
            listLine(rowsBlock, listPath);
            listLine(Qor().Replicate(50, QStringLiteral("=")), listPath);
            Shell_ViewFile(G_PgmVisualizzatore, listPath);
        }

        if (MsgBox(QStringLiteral("Definitiva ?"), vb::YesNo | vb::Question, title) == vb::Yes) {
            // The send dates go first, in one transaction; the list file and the folder's last
            // ZIP date tell of a sending only once the archive holds it, so a failed commit
            // writes neither.
            bool stamped = true;
            if (haveArchive) {
                // The row the list reads back: by folder and name, the first one.
                const QDateTime today(appClock().now().date(), QTime(0, 0));
                try {
                    cn.BeginTrans();
                    for (const Counted& c : counted) {
                        if (c.sent) continue;
                        MDB_SetDatSend(cn, folderKey, c.name, today);
                    }
                    cn.CommitTrans();
                } catch (const ado::Error& e) {
                    stamped = false;
                    try {
                        cn.RollbackTrans();
                    } catch (const ado::Error&) {
                    }
                    logLine(QStringLiteral("XML-ZIP ERRORE Archivio : ") + e.Description());
                    MsgBox(e.Description(), stop, title);
                    Beep();
                }
            }

            if (stamped && !rowsBlock.isEmpty()) {
                listLine(QStringLiteral("=====   Files inviati il ") + now, listPath);
                listLine(Qor().Replicate(40, QStringLiteral("=")), listPath);
                listLine(rowsBlock, listPath);
                listLine(Qor().Replicate(40, QStringLiteral("=")), listPath);
                Shell_ViewFile(G_PgmVisualizzatore, listPath);
            }

            // The folder's last ZIP date only moves forward.
            const QString dateText = datePart.left(4) + QLatin1Char('/') + datePart.mid(4, 2) +
                                     QLatin1Char('/') + datePart.mid(6, 2);
            const QDate zipDate = QDate::fromString(datePart, QStringLiteral("yyyyMMdd"));
            const QDateTime shownDate = Qor().TextToDate(Lbl_LastDo->text().trimmed());
            if (stamped && !(shownDate.isValid() && zipDate.isValid() && shownDate.date() > zipDate)) {
                Lbl_LastDo->setText(dateText);
                const QString key = QStringLiteral("LastZIP_") + QString::number(folderKey);
                Qor().IniWrite(kSec, key, Lbl_LastDo->text(), kIni);
                Qor().IniWriteVar(kSec, key, Lbl_LastDo->text(), kIni);
            }
            if (cn.State() == ado::adStateOpen) cn.Close();
            Cmd_ListNew_Click();
            mailFlag = true;
        } else if (doMail) {
            mailFlag = MsgBox(QStringLiteral("Invio ugualmente la Mail ?"), vb::YesNo | vb::Question,
                              title) == vb::Yes;
        }

        if (!zipName.isEmpty() && mailFlag && doMail) {
            if (QFileInfo::exists(zipPath)) {
                setStatus(QStringLiteral("Invio Mail  File ZIP in corso ... (") + zipPath +
                          QStringLiteral(")"));
                QCoreApplication::processEvents();
                logLine(QStringLiteral("File Allegato : ") + zipPath);
                mailSent = Do_InviaMail(zipPath, mailText, QString());
            } else {
                MsgBox(QStringLiteral(" File INESISTENTE !!") + kCrLf + zipPath, stop, title);
                Beep();
            }
        }
    }
    if (cn.State() == ado::adStateOpen) cn.Close();

    giveBack.now(); // before the last message: leaving "Invia Mail" clears panel 1
    setStatus(QStringLiteral("Termine generazione File ZIP. - Mail ") +
              (mailSent ? QString() : QStringLiteral("NON ")) + QStringLiteral("Inviata."));
    if (!mailSent && doMail) MsgBox(QStringLiteral("Mail NON Inviata !!"), vb::OKOnly, App_Title());
}

void F_ZipXML::Cmd_ZipSel_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const QString title = windowTitle();
    const int stop = vb::OKOnly | vb::Critical;
    if (Lst_XMLRows->ListCount() == 0) {
        MsgBox(QStringLiteral("NESSUN file in Elenco !!"), stop, title);
        Beep();
        return;
    }
    if (Lst_XMLRows->SelCount() == 0) {
        MsgBox(QStringLiteral("NESSUN file Selezionato !!"), stop, title);
        Beep();
        return;
    }
    QDateTime when = Qor().TextToDate(Qor().GetField(Lbl_LastDo->text(), 1, QStringLiteral(" "), true));
    if (!when.isValid()) {
        if (MsgBox(QStringLiteral("Considero la data di oggi ?"), vb::YesNo | vb::Question, title) !=
            vb::Yes) {
            MsgBox(QStringLiteral("Abbandono la procedura !!"), stop, title);
            Beep();
            return;
        }
        when = QDateTime(appClock().now().date(), QTime(0, 0));
    }
    const qint32 folderKey = MDB_FolderKey(Cmb_FoldXML->currentText());
    if (Qor().FileExists(Pth_DirTmpMDB)) {
        ado::Connection cn;
        try {
            cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
            cn.BeginTrans();
            for (int i = 0; i < Lst_XMLRows->ListCount(); ++i) {
                if (!Lst_XMLRows->Selected(i) || Lst_XMLRows->FileName(i).isEmpty()) continue;
                MDB_SetDatSend(cn, folderKey, Lst_XMLRows->FileName(i), when);
            }
            cn.CommitTrans();
            cn.Close();
        } catch (const ado::Error& e) {
            logLine(QStringLiteral("XML-ZIP ERRORE Archivio : ") + e.Description());
            MsgBox(e.Description(), stop, title);
            Beep();
            return;
        }
    }
    QCoreApplication::processEvents();
    Cmd_ListNew_Click();
    QCoreApplication::processEvents();
}
