// Building the invoice list.
#include "F_ZipXML.h"

#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>

#include <cmath>
#include <optional>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");
const QString kSep = QStringLiteral("|");
const QString kFirstDate = QStringLiteral("01/01/2019");

void logLine(const QString& text)
{
    Qor().WriteLog(text, 0, Pth_DebugLog, true);
}

bool isDate(const QString& text)
{
    return !text.trimmed().isEmpty() && Qor().TextToDate(text.trimmed()).isValid();
}

void pumpMessages()
{
    QCoreApplication::processEvents();
}

// A document number as the gap rows write it: whole numbers without decimals.
QString numberText(double n)
{
    if (std::floor(n) == n && std::fabs(n) < 1e15) return QString::number(static_cast<qint64>(n));
    return QString::number(n, 'g', 15);
}

// The line of missing numbers between two document numbers; empty when the gap is too
// wide to spell out.
QString gapText(double prevNum, double num)
{
    QString text;
    if (std::fabs(num - prevNum) < 10) {
        text = Qor().Replicate(30, QStringLiteral(" "));
        for (double k = prevNum + 1; k <= num - 1; k += 1)
            text += QStringLiteral("->") + numberText(k) + QStringLiteral("<-   ");
        text += QStringLiteral("MANCANTE(I) !!");
    }
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// Number and type (fields 1 and 2), document date (5), parties and attachment (6, 7, 8) of
// a document-number row: two rows that agree on them are taken for the same document. The
// date counts because numbering starts again each year. A row without a number or a type
// (a receipt, an empty or unreadable file) is no document: "" and never a duplicate, since
// a duplicate costs the user a file.
QString sameDocKey(const XmlList& list, int i)
{
    QString type = list.Field(i, 2);
    if (type.endsWith(QLatin1Char('-'))) type.chop(1); // the mark of a type other than TD01
    if (list.Field(i, 1).isEmpty() || type.trimmed().isEmpty()) return {};
    const QString p = QStringLiteral("§");
    return list.Field(i, 1) + p + list.Field(i, 2) + p + list.Field(i, 5) + QLatin1Char('\n') +
           list.Field(i, 6) + p + list.Field(i, 7) + p + list.Field(i, 8);
}

// The yyyymmdd day of a date in the general form (dd/mm/yyyy[ hh:mm:ss]), as DateToStr
// gives it for the date the text was written from; "" for no date.
QString dayKey(const QString& generalDate)
{
    const qsizetype blank = generalDate.indexOf(QLatin1Char(' '));
    const QStringView day = QStringView(generalDate).first(blank < 0 ? generalDate.size() : blank);
    const qsizetype a = day.indexOf(QLatin1Char('/'));
    const qsizetype b = a < 0 ? -1 : day.indexOf(QLatin1Char('/'), a + 1);
    if (b < 0) return {};
    QString out;
    out.reserve(day.size() - 2);
    out.append(day.sliced(b + 1)).append(day.sliced(a + 1, b - a - 1)).append(day.first(a));
    return out;
}

} // namespace

void F_ZipXML::Cmd_ListNew_MouseUp(int button, int, int, int)
{
    if (button != 2) return;
    QString text = Qor().IniRead(kSec, QStringLiteral("LastDate"), kFirstDate, kIni);
    text = dialogs().inputBox(QStringLiteral("Data Inizio lettura :\r\n\r\n( Formato : gg/mm/aaaa )\r\n"),
                              QStringLiteral("Inizio lettura Files"), text);
    if (isDate(text))
        Qor().IniWrite(kSec, QStringLiteral("LastDate"), text, kIni);
    else
        text = kFirstDate;
    D_FullFrom = Qor().TextToDate(text.trimmed(), QDateTime(QDate(2019, 1, 1), QTime(0, 0)));
    B_FullList = true;
    Cmd_ListNew_Click();
}

void F_ZipXML::Cmd_ListNew_Click()
{
    // Every way out of a run, the normal end included, gives the window back: the list
    // shown, the folder box and the button usable, clicks on the list taken again.
    auto giveBack = [this] {
        Lst_XML->setVisible(true);
        Cmd_ListNew->setEnabled(true);
        Cmb_FoldXML->setEnabled(true);
        B_Building = false;
        B_FullList = false;
    };

    Cmb_FoldXML->setEnabled(false);
    Cmd_ListNew->setEnabled(false);
    Cmd_DoDateSend->setVisible(false);
    Chk_ReSend.setVisible(false);

    int layout = Cmb_Ord->currentIndex();
    if (layout < 0 || layout > 5) layout = 0;
    const QString headers[] = {S_HdrLayout1, S_HdrLayout2, S_HdrLayout3,
                               S_HdrLayout4, S_HdrLayout5, S_HdrLayout6};
    Lbl_Hed->setText(headers[layout]);
    if (layout == 0) Chk_ReSend.setVisible(true);
    if (layout == 5) Cmd_DoDateSend->setVisible(true);

    if (!B_Develop) Lst_XML->setVisible(false);
    pumpMessages();
    Lst_XMLRows->Clear();
    Lst_XML->setToolTip(QString());
    Lst_XMLRows->setLayout(layout);

    logLine(QStringLiteral("§=====  INIZIO ListNew  ====="));
    B_Building = true;

    ado::Connection cn;
    try {
        Cmd_SelAll->setEnabled(layout == 0);
        Cmd_SelInv->setEnabled(layout == 0);
        Cmd_ZipSel->setEnabled(layout == 0);
        const bool numberLayout = layout == 1;

        // Files dated before the limit that were sent already are old news.
        QString limit;
        if (isDate(Lbl_LastDo->text()))
            limit = Qor().DateToStr(Qor().TextToDate(Lbl_LastDo->text().trimmed()));
        if (B_FullList) limit = Qor().DateToStr(D_FullFrom.addDays(-1));
        logLine(QStringLiteral("   --  S_Base : ") + limit);

        const QString folder = Qor().PathSlash(Cmb_FoldXML->currentText());
        const double key = Qor().ToDouble(FolderKey());
        int added = 0;

        const bool archive = MDB_FileExists(Pth_DirTmpMDB);
        bool save = false;
        if (archive) {
            cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
            ado::Recordset rs;
            rs.Open(QStringLiteral("SELECT * FROM DIRBASE WHERE cod_firma=?"), cn, ado::adOpenStatic,
                    ado::adLockReadOnly, QVariantList{key});
            save = !rs.EOF_();
            rs.Close();
            if (!save &&
                MsgBox(QStringLiteral("Cartella non trovata tra quelle Base.\r\nProseguo ugualmente ?"),
                       vb::YesNo | vb::Question, Caption()) != vb::Yes) {
                cn.Close();
                giveBack();
                return;
            }
        }
        const bool excludeSent = Chk_Sended.Value() == 1;

        // "*.XML" as a Windows file system matches it: without regard to case.
        QStringList names, badNames;
        if (!folder.isEmpty()) names = MDB_XmlFiles(folder, &badNames);

        // No transaction spans the run: each new row is stored on its own before its pause,
        // so the archive is never held locked while the run waits or reads the next files
        // (another copy of the program may be writing to it), and a run that is closed or
        // killed keeps every row it recorded.
        // Files whose names are not valid UTF-8 cannot be named here: they are left out,
        // but never unsaid.
        MDB_LogUndecodable(folder, badNames);
        int longest = 0;
        // The window stays responsive and shows progress without letting messages run
        // after every file of a large folder: a few times a second is enough for the eye.
        QElapsedTimer sincePump;
        struct Read {
            QString number, date;
            bool added = false;
        };
        std::optional<Read> lastRead;
        const auto showRead = [&] {
            if (!lastRead) return;
            setStatus(QStringLiteral("Letto Doc. : ") + lastRead->number + QStringLiteral(" del ") + lastRead->date +
                      (lastRead->added ? QStringLiteral("  -  AGGIUNTO A MDB !!") : QString()));
            lastRead.reset();
        };
        for (const QString& name : names) {
            const QString path = folder + name;
            XML_Stru rec;
            bool readable = true;
            try {
                XML_ReadRecord(path, rec);
            } catch (const XML_ReadError& e) {
                readable = false;
                logLine(QStringLiteral("   *** File non leggibile : ") + e.Description);
            }
            if (readable && rec.NomeFile().isEmpty()) continue; // gone since the folder was read
            QString fileDate;
            if (readable) {
                fileDate = dayKey(rec.DataFile());
            } else {
                // The row still names the file; its header fields stay empty, and it is
                // not recorded, so a later run can still record it whole.
                const QFileInfo info(path);
                QDateTime modified = info.lastModified();
                modified = modified.addMSecs(-modified.time().msec());
                fileDate = Qor().DateToStr(modified);
                rec.setNomeFile(path);
                rec.setLenFile(static_cast<double>(info.size()));
                rec.setDataFile(XML_GeneralDate(modified));
            }

            bool sentBefore = false;
            bool addedNow = false;
            const bool connected = cn.State() == ado::adStateOpen;
            QString sendDate;
            if (save && readable) {
                logLine(QStringLiteral("         Yet_MDB : ") + rec.NomeFile());
                if (!MDB_FilesSaveGetDatSend(cn, rec, key, sentBefore, sendDate)) {
                    setStatus(QStringLiteral("--> Aggiornato MDB per Doc  ") + rec.NumDoc() +
                              QStringLiteral("  (") + rec.TipoDoc() + QStringLiteral(")"));
                    Pan_Msg->repaint(); // readable during the pause, which runs no events
                    Attesa(0.7);
                    ++added;
                    addedNow = true;
                    pumpMessages();
                    sincePump.start();
                }
            } else if (connected && readable) {
                sendDate = MDB_FilesGetDatSend(cn, rec, key);
            }

            if (!(limit > fileDate && sentBefore)) {
                QString row = rec.ToPipe(XmlList::PipeCode(layout), kSep);
                const bool sentOn = connected && isDate(sendDate);
                if (layout == 0 && sentOn)
                    row = Qor().SetFieldVar(row, 10, sendDate, kSep, true);
                else if (layout == 2 && connected)
                    row += sentOn ? kSep + sendDate + kSep : QStringLiteral("|   |");
                else if (layout == 5 && sentOn)
                    row = Qor().SetFieldVar(row, 1, sendDate, kSep, true);
                logLine(QStringLiteral("         T_Add : ") + row);

                bool add = !(!sendDate.isEmpty() && excludeSent);
                if (!limit.isEmpty() && fileDate == limit) add = add && connected && sendDate.isEmpty();
                if (add) {
                    const int index = Lst_XMLRows->AddItem(row, path, name);
                    if (row.size() > longest) {
                        longest = static_cast<int>(row.size());
                        Qor().ListFit(Lst_XML, index);
                    }
                }
            }
            // The status line shows the file read last whenever the window gets to paint; a
            // text set for every file would only ever be seen for the few read before a pause.
            lastRead = {rec.NumDoc(), rec.datdoc(), addedNow};
            if (!sincePump.isValid() || sincePump.elapsed() >= 40) {
                showRead();
                pumpMessages();
                sincePump.start();
            }
        }
        showRead();

        Lst_XML->setVisible(true);
        pumpMessages();
        if (Lst_XMLRows->ListCount() > 0) {
            Lst_XMLRows->setListIndex(Lst_XMLRows->ListCount() - 1);
            Lst_XML->viewport()->update();
        }
        Lst_XML->setToolTip(QString::number(Lst_XMLRows->ListCount()) + QStringLiteral(" Files."));
        B_Building = false;

        if (numberLayout && Lst_XMLRows->ListCount() >= 2) {
            // Duplicates: neighbouring rows of the same number, type, parties and attachment.
            int deleted = 0;
            bool cancelled = false;
            QString prev = sameDocKey(*Lst_XMLRows, 0);
            for (int i = 1; i < Lst_XMLRows->ListCount(); ++i) {
                const QString cur = sameDocKey(*Lst_XMLRows, i);
                // The row's own file: its shown name may differ from the name on disk.
                const QString path = Lst_XMLRows->FilePath(i);
                const QString name = Lst_XMLRows->FileName(i);
                if (!cur.isEmpty() && cur == prev && !path.isEmpty()) {
                    Lst_XMLRows->setListIndex(i);
                    const int answer = MsgBox(QStringLiteral("Elimino il file ?\r\n") + name,
                                              vb::YesNoCancel | vb::Question, Caption());
                    if (answer == vb::Cancel) {
                        cancelled = true;
                        break;
                    }
                    if (answer == vb::Yes) {
                        if (!QFile::remove(path) && QFileInfo::exists(path)) {
                            MsgBox(QStringLiteral("IMPOSSIBILE ELIMINARE IL FILE !!\r\n") + path,
                                   vb::OKOnly | vb::Critical, Caption());
                            Beep();
                        } else {
                            if (cn.State() == ado::adStateOpen) {
                                ado::Recordset rs;
                                rs.Open(QStringLiteral("SELECT * FROM FILES WHERE cod_firma=? AND ") + MDB_NameIs(),
                                        cn, ado::adOpenKeyset, ado::adLockOptimistic,
                                        QVariantList{key, name});
                                if (!rs.EOF_()) rs.Delete();
                                rs.Close();
                            }
                            ++deleted;
                        }
                    }
                }
                prev = cur;
            }
            if (deleted > 0) {
                Lst_XMLRows->Clear();
                giveBack();
                if (cn.State() == ado::adStateOpen) cn.Close();
                MsgBox(QStringLiteral("AGGIORNARE ELENCO DEI NUOVI FILES !!\r\n") + QString::number(deleted) +
                           QStringLiteral(" file(s) eliminati."),
                       vb::OKOnly | vb::Information, Caption());
                return;
            }

            // Gaps in the numbering of issued invoices. Repeated numbers are skipped, and a
            // row is added only when a number lies more than one above the one before.
            if (!cancelled && AttPas() == 0) {
                const int count = Lst_XMLRows->ListCount();
                QString lastText = Lst_XMLRows->Field(0, 1);
                double prevNum = Qor().ToDouble(lastText);
                QStringList gapRows;
                for (int i = 1; i < count; ++i) {
                    const QString text = Lst_XMLRows->Field(i, 1);
                    if (text == lastText) continue;
                    const double num = Qor().ToDouble(text);
                    if (num > prevNum + 1)
                        gapRows << PadNum(text, 20, QStringLiteral(" ")) +
                                       QStringLiteral(" |    ------------------------") +
                                       gapText(prevNum, num);
                    lastText = text;
                    prevNum = num;
                }
                // Each lands, being sorted, just before the row whose number ends its gap.
                for (const QString& row : gapRows)
                    Lst_XMLRows->setListIndex(Lst_XMLRows->AddItem(row));
            }
        }
        if (cn.State() == ado::adStateOpen) cn.Close();

        N_LongestRow = -1;
        if (Lst_XMLRows->ListCount() > 1) {
            for (int i = 0; i < Lst_XMLRows->ListCount(); ++i) {
                if (Lst_XMLRows->List(i).size() == longest) {
                    N_LongestRow = i;
                    break;
                }
            }
        }
        Lst_XML->setToolTip(QString::number(Lst_XMLRows->ListCount()) + QStringLiteral(" Files."));
        Lst_XMLRows->setListIndex(Lst_XMLRows->ListCount() > 0 ? 0 : -1);
        giveBack();
        QString done = QStringLiteral("Completata lettura Cartella");
        if (added > 0)
            done +=
                QStringLiteral(" - Aggiunti ") + QString::number(added) + QStringLiteral(" Files all'MDB.");
        if (!badNames.isEmpty())
            done += QStringLiteral(" - Saltati ") + QString::number(badNames.size()) +
                    QStringLiteral(" Files con nome non valido.");
        setStatus(done);
        Beep();
    } catch (...) {
        // What was recorded before the failure is kept: each row was stored on its own.
        if (cn.State() == ado::adStateOpen) {
            try {
                cn.Close();
            } catch (...) {
            }
        }
        giveBack();
        try {
            throw;
        } catch (const ado::Error& e) {
            // An archive error (another copy of the program writing, say) ends here in a
            // message: a run that relists when it is done, a ZIP run before its mail step,
            // goes on.
            logLine(QStringLiteral("XML-ZIP ERRORE Archivio : ") + e.Description());
            MsgBox(e.Description(), vb::OKOnly | vb::Critical, Caption());
            Beep();
        }
    }
}
