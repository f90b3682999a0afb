// Send-date assignment.
#include "F_ZipXML.h"

#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/InitVBProc.h"
#include "foundation/M_MV.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");
const QString kCrLf = QStringLiteral("\r\n");

void logLine(const QString& text)
{
    Qor().WriteLog(text, 0, Pth_DebugLog, true);
}

// yyyymmdd or yyyy-mm-dd as yyyy/mm/dd.
QString fromCompact(const QString& w)
{
    return w.mid(0, 4) + QLatin1Char('/') + w.mid(4, 2) + QLatin1Char('/') + w.mid(6, 2);
}
QString fromDashed(const QString& w)
{
    return w.mid(0, 4) + QLatin1Char('/') + w.mid(5, 2) + QLatin1Char('/') + w.mid(8, 2);
}

// A date of a rebuilt text, refused unless the text names that very day (no rolling over).
QDate dateOf(const QString& text)
{
    return QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
}

QDate monthEnd(const QDate& d)
{
    return QDate(d.year(), d.month(), d.daysInMonth());
}

} // namespace

void F_ZipXML::Cmd_DoDateSend_Click()
{
    const QString title = windowTitle();
    const int stop = vb::OKOnly | vb::Critical;
    // The rows' fields are where the layout they were built with put them.
    if (Lst_XMLRows->Layout() != 5) {
        Beep();
        return;
    }
    if (Lst_XMLRows->ListCount() == 0) {
        MsgBox(QStringLiteral("Nessun file nella lista !!"), stop, title);
        Beep();
        return;
    }
    if (Lst_XMLRows->SelCount() == 0) {
        MsgBox(QStringLiteral("Nessun file selezionato !!"), stop, title);
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi assegnazione Data di Invio ai Files Selezionati ??") + kCrLf +
                   QStringLiteral("( ") + QString::number(Lst_XMLRows->SelCount()) +
                   QStringLiteral(" file(s) selezionati )"),
               vb::YesNo | vb::Question, title) != vb::Yes) {
        Beep();
        return;
    }
    if (!Qor().FileExists(Pth_DirTmpMDB)) {
        Beep();
        return;
    }
    const QString rule = dialogs().inputBox(
        QStringList{QStringLiteral("Tipo assegnazione Data di Invio :"), QStringLiteral("1 - Data Ricezione"),
                    QStringLiteral("2 - Fine mese di competenza Data Documento"),
                    QStringLiteral("3 - Fine mese da Data Doc. se ricevuto entro il 10 successivo compreso"),
                    QString(), QString(), QStringLiteral("0 - Rinucio all'assegnazione")}
            .join(kCrLf),
        QStringLiteral("Assegnazione Data Invio"), QStringLiteral("1"));
    if (rule.isEmpty() || !QStringLiteral("|1|2|3|").contains(QLatin1Char('|') + rule + QLatin1Char('|'))) {
        Beep();
        return;
    }

    const qint32 folderKey = MDB_FolderKey(Cmb_FoldXML->currentText());
    ado::Connection cn;
    try {
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        cn.BeginTrans();
        for (int i = 0; i < Lst_XMLRows->ListCount(); ++i) {
            if (!Lst_XMLRows->Selected(i) || !Lst_XMLRows->Field(i, 1).startsWith(QStringLiteral("**")))
                continue;
            const QString row = Lst_XMLRows->List(i);
            const QDate received = dateOf(fromCompact(Lst_XMLRows->Field(i, 2).left(8)));
            const QDate document = dateOf(fromDashed(Lst_XMLRows->Field(i, 3).left(10)));
            QDate when;
            if (rule == QStringLiteral("1") && received.isValid()) when = received;
            if (rule == QStringLiteral("2") && document.isValid()) when = monthEnd(document);
            if (rule == QStringLiteral("3") && received.isValid() && document.isValid()) {
                const QDate end = monthEnd(document);
                if (end.daysTo(received) <= 10) when = end;
            }
            if (!when.isValid()) {
                logLine(QStringLiteral("- Riga : ") + row);
                logLine(QStringLiteral("  *****  ERRORE di data !!"));
                continue;
            }
            ado::Recordset rs;
            rs.Open(
                QStringLiteral("SELECT rowid FROM FILES WHERE cod_firma=? AND des_fileonly=? ORDER BY rowid "
                               "LIMIT 1"),
                cn, ado::adOpenStatic, ado::adLockReadOnly,
                QVariantList{folderKey, Lst_XMLRows->FileName(i)});
            const bool found = !rs.EOF_();
            rs.Close();
            if (!found) {
                logLine(QStringLiteral("- Riga : ") + row);
                logLine(QStringLiteral("  *****  File NON presente in Archivio !!"));
                continue;
            }
            cn.Execute(
                QStringLiteral("UPDATE FILES SET dat_send=? WHERE rowid=(SELECT rowid FROM FILES WHERE "
                               "cod_firma=? AND des_fileonly=? ORDER BY rowid LIMIT 1)"),
                {QDateTime(when, QTime(0, 0)), folderKey, Lst_XMLRows->FileName(i)});
        }
        cn.CommitTrans();
        cn.Close();
    } catch (const ado::Error& e) {
        logLine(QStringLiteral("XML-ZIP ERRORE Archivio : ") + e.Description());
        MsgBox(e.Description(), stop, title);
        Beep();
        return;
    }
    Cmd_ListNew_Click();
    setStatus(QStringLiteral("TERMINE Assegnazione Data di Invio a Commercialista."));
    Beep();
    QCoreApplication::processEvents();
}

void F_ZipXML::Lbl_Hed_MouseUp(int, int, int, int) {}

void F_ZipXML::Lbl_LastDo_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    const QString key = FolderKey();
    if (key.isEmpty()) {
        Beep();
        return;
    }
    const QString current =
        Qor().IniRead(kSec, QStringLiteral("LastZIP_") + key, QStringLiteral("__/__/____"), kIni);
    const QString typed = dialogs().inputBox(QStringLiteral("Nuova Data Limite :"),
                                             QStringLiteral("Cambio Data per Elenco XML"), current);
    if (typed.isEmpty()) return;
    if (!Qor().TextToDate(typed.trimmed()).isValid()) {
        MsgBox(QStringLiteral("Data ERRATA. ABBANDONO MODIFICA !!"), vb::OKOnly | vb::Critical,
               windowTitle());
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi nuova data :") + kCrLf + kCrLf + typed, vb::YesNo | vb::Question,
               windowTitle()) == vb::Yes) {
        Qor().IniWrite(kSec, QStringLiteral("LastZIP_") + key, typed, kIni);
        Lbl_LastDo->setText(typed);
    }
}
