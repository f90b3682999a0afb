// Send-date assignment.
#include "F_ZipXML.h"

#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>

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
            if (!MDB_SetDatSend(cn, folderKey, Lst_XMLRows->FileName(i), QDateTime(when, QTime(0, 0)))) {
                logLine(QStringLiteral("- Riga : ") + row);
                logLine(QStringLiteral("  *****  File NON presente in Archivio !!"));
            }
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

// A right click on the header sets (Ctrl) or clears the send date of the selected rows.
// The columns are found in the header of the layout the rows were built with, so the
// operation reads the same fields whatever the caption shows now.
void F_ZipXML::Lbl_Hed_MouseUp(int button, int shift, int, int)
{
    const QString title = windowTitle();
    const int stop = vb::OKOnly | vb::Critical;
    if (button != 2) {
        Beep();
        return;
    }
    if (Lst_XMLRows->ListCount() == 0 || Lst_XMLRows->SelCount() == 0) {
        MsgBox(QStringLiteral("Nessun file presente o nessun file selezionato !!"), stop, title);
        Beep();
        return;
    }
    // Shift value 2 is Ctrl, as the release reports it.
    const bool setMode = (shift & 2) != 0;
    const QString ask = setMode ? QStringLiteral("Confermi Messa ad Invio per i files selezionati ?")
                                : QStringLiteral("Confermi pulizia data di invio per i files selezionati ?");
    if (MsgBox(ask, vb::YesNo | vb::Question | vb::DefaultButton2, title) != vb::Yes) {
        Beep();
        return;
    }

    const QString headers[] = {S_HdrLayout1, S_HdrLayout2, S_HdrLayout3,
                               S_HdrLayout4, S_HdrLayout5, S_HdrLayout6};
    const int layout = Lst_XMLRows->Layout();
    const QString hdr =
        Qor()
            .TrChars(headers[layout >= 0 && layout <= 5 ? layout : 0], QStringLiteral(" "), QString())
            .toUpper();
    const QString sep = QStringLiteral("|");
    const int colRic = Qor().FieldIndex(hdr, QStringLiteral("DATARIC."), sep);
    const int colDoc = Qor().FieldIndex(hdr, QStringLiteral("DATADOC."), sep);
    int colSend = Qor().FieldIndex(hdr, QStringLiteral("DATAINVIO"), sep);
    if (colSend < 1) colSend = 99; // no row has it: every row counts as never sent

    int dateCol = 0;
    if (setMode) {
        const int which = MsgBox(QStringLiteral("- Si : Fine mese Documento") + kCrLf +
                                     QStringLiteral("- No : Fine Mese Ricezione") + kCrLf +
                                     QStringLiteral("- Annulla : Abbandona Procedura") + kCrLf,
                                 vb::YesNoCancel | vb::Question, title + QStringLiteral("-"));
        if (which != vb::Yes && which != vb::No) {
            Beep();
            return;
        }
        dateCol = which == vb::Yes ? colDoc : colRic;
    }

    // A never-sent row of the last layout shows asterisks where the date would be.
    const auto sentShown = [&](int i) {
        const QString v = Lst_XMLRows->Field(i, colSend);
        return !v.isEmpty() && !v.startsWith(QStringLiteral("**"));
    };

    const qint32 folderKey = MDB_FolderKey(Cmb_FoldXML->currentText());
    int count = 0;
    if (Qor().FileExists(Pth_DirTmpMDB)) {
        ado::Connection cn;
        try {
            cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
            cn.BeginTrans();
            for (int i = 0; i < Lst_XMLRows->ListCount(); ++i) {
                const QString file = Lst_XMLRows->FileName(i);
                if (!Lst_XMLRows->Selected(i) || file.isEmpty() || sentShown(i) != !setMode) continue;
                QDate when;
                if (setMode) {
                    const QString word = Lst_XMLRows->Field(i, dateCol)
                                             .section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
                    static const QRegularExpression compact(QStringLiteral("^\\d{8}$"));
                    static const QRegularExpression dashed(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
                    if (compact.match(word).hasMatch())
                        when = dateOf(fromCompact(word));
                    else if (dashed.match(word).hasMatch())
                        when = dateOf(fromDashed(word));
                    if (!when.isValid()) {
                        logLine(QStringLiteral("- Riga : ") + Lst_XMLRows->List(i));
                        logLine(QStringLiteral("  *****  ERRORE di data !!"));
                        continue;
                    }
                    when = monthEnd(when);
                }
                // The record the list reads: the folder's first one of that name.
                ado::Recordset rs;
                rs.Open(QStringLiteral("SELECT rowid, dat_send FROM FILES WHERE rowid=(") + MDB_FolderFileRow() +
                            QStringLiteral(")"),
                        cn, ado::adOpenStatic, ado::adLockReadOnly, QVariantList{folderKey, file});
                const bool found = !rs.EOF_();
                const QVariant rowid = found ? rs["rowid"].Value() : QVariant();
                const bool stamped = found && !rs["dat_send"].Value().isNull();
                rs.Close();
                // Set mode never overwrites a date; clear mode has nothing to do on an empty one.
                if (!found || stamped == setMode) continue;
                if (setMode) {
                    cn.Execute(QStringLiteral("UPDATE FILES SET dat_send=? WHERE rowid=?"),
                               {QDateTime(when, QTime(0, 0)), rowid});
                    setStatus(QStringLiteral("Aggiornato File : ") + file);
                    QCoreApplication::processEvents();
                } else {
                    cn.Execute(QStringLiteral("UPDATE FILES SET dat_send=NULL WHERE rowid=?"), {rowid});
                }
                ++count;
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
    if (count == 0) {
        MsgBox(setMode ? QStringLiteral("Nessun file con la Data Invio da attivare !!")
                       : QStringLiteral("Nessun file con la Data Invio da pulire !!"),
               stop, title);
        Beep();
        return;
    }
    Cmd_ListNew_Click();
    QCoreApplication::processEvents();
    MsgBox((setMode ? QStringLiteral("Messi a Inviati : ") : QStringLiteral("Ripuliti : ")) +
               QString::number(count) + QStringLiteral(" File(s)."),
           vb::OKOnly | vb::Information, title);
}

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
