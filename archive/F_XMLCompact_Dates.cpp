// Reception and send dates of the archived files.
#include "F_XMLCompact.h"

#include "XML_Stru.h"
#include "foundation/M_MV.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace
{
const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");
const QString kCrLf = QStringLiteral("\r\n");

// One transaction per repair for speed; on an error the rows already done are kept.
template <typename Body> void inOneTransaction(ado::Connection& cn, ado::Recordset& rs, Body body)
{
    cn.BeginTrans();
    try {
        body();
    } catch (...) {
        rs.Close();
        if (cn.TransLevel() > 0) cn.CommitTrans();
        throw;
    }
    rs.Close();
    cn.CommitTrans();
}

// The development view leaves the recordset where it likes; the walk starts at the first row.
void rewind(ado::Recordset& rs)
{
    if (!(rs.BOF() && rs.EOF_())) rs.MoveFirst();
}
} // namespace

void F_XMLCompact::Check_DatRicMDB()
{
    RunGuard run(*this);
    if (MsgBox(QStringLiteral("Confermi assegnazione Data Ricevimento File ?"), vb::YesNo | vb::Question,
               Caption()) != vb::Yes) {
        Beep();
        return;
    }
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM FILES WHERE dat_ric<#01/01/2000# OR dat_ric IS NULL"), Cn_DirTmp,
            ado::adOpenKeyset, ado::adLockOptimistic);
    if (B_Develop) {
        Rs2List(rs, QStringLiteral("NoRIC"), 20);
        rewind(rs);
    }
    if (rs.EOF_()) {
        MsgBox(QStringLiteral("Nessun file senza data di Ricezione !!"), vb::OKOnly | vb::Information,
               Caption());
        Beep();
    }
    inOneTransaction(Cn_DirTmp, rs, [&] {
        while (!rs.EOF_()) {
            const QString path = rs["des_file"].toString();
            setStatus(path);
            QCoreApplication::processEvents();
            const QFileInfo info(path);
            if (info.isFile()) {
                // The stamp as the refresh reads it: to the second.
                QDateTime modified = info.lastModified();
                modified = modified.addMSecs(-modified.time().msec());
                const QDateTime stamp = Qor().TextToDate(XML_GeneralDate(modified), QDateTime());
                if (stamp.isValid()) {
                    rs["dat_ric"] = stamp;
                    rs.Update();
                }
            } else {
                Qor().WriteLog(QStringLiteral("   *** Check_DatRicMDB : file non trovato : ") + path, 0,
                               Pth_DebugLog, true);
            }
            rs.MoveNext();
        }
    });
    setStatus(QStringLiteral("Assegnazione Data Ricevomento Aggiornate !!"));
}

void F_XMLCompact::Cmd_OldDat_Click()
{
    RunGuard run(*this);
    const double key = Qor().ToDouble(BaseKey());
    if (key <= 0) {
        Beep();
        return;
    }
    const QString keyText = QString::number(qint64(key));
    const QString last = Qor().IniRead(kSec, QStringLiteral("LastZIP_") + keyText, QString(), kIni);
    if (!Qor().TextToDate(last.trimmed()).isValid()) {
        MsgBox(QStringLiteral("Mai generato lo ZIP definitivo !!"), vb::OKOnly | vb::Critical, Caption());
        Beep();
        return;
    }
    if (MsgBox(QStringLiteral("Confermi assegnazione Data di Invio al Commercialista ?"),
               vb::YesNo | vb::Question, Caption()) != vb::Yes) {
        Beep();
        return;
    }
    const QString answer =
        dialogs().inputBox(QStringLiteral("Data Ricezione Documento limite per Assegnazione Data :"),
                           QStringLiteral("Asegnazione data di Invio a Commercialista"), last);
    if (answer.isEmpty()) {
        Beep();
        return;
    }
    const QDateTime typed = Qor().TextToDate(answer.trimmed());
    if (!typed.isValid()) {
        MsgBox(QStringLiteral("Data non valida !!") + kCrLf + QStringLiteral("Abbandono operazione !!"),
               vb::OKOnly | vb::Critical);
        Beep();
        return;
    }
    // A limit typed with a time still means its whole day, and its month's files are sent
    // that day in the evening.
    const QDate limitDay = typed.date();
    const QDateTime upTo(limitDay, QTime(23, 59, 59));
    const QDateTime limitSend(limitDay, QTime(20, 0, 0));

    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM FILES WHERE cod_firma=") + keyText +
                QStringLiteral(" AND dat_send IS NULL AND dat_ric<=? ORDER BY dat_ric"),
            Cn_DirTmp, ado::adOpenKeyset, ado::adLockOptimistic, QVariantList{upTo});
    if (B_Develop) {
        Rs2List(rs, QStringLiteral("TEST_OldFt"), 30);
        rewind(rs);
    }
    if (rs.EOF_()) {
        MsgBox(QStringLiteral("NESSUNA Fattura da gestire !!"), vb::OKOnly | vb::Critical, Caption());
        Beep();
    }
    inOneTransaction(Cn_DirTmp, rs, [&] {
        while (!rs.EOF_()) {
            const QDateTime received = rs["dat_ric"].Value().toDateTime();
            if (received.isValid()) {
                setStatus(rs["dat_ric"].toString() + QStringLiteral(" - ") + rs["des_numdoc"].toString());
                const QDate day = received.date();
                const QDateTime send =
                    day.year() == limitDay.year() && day.month() == limitDay.month()
                        ? limitSend
                        : Qor().TextToDate(Qor().MonthEnd(received) + QStringLiteral(" 20:00:00"),
                                           QDateTime());
                rs["dat_send"] = send;
                rs.Update();
            }
            rs.MoveNext();
        }
    });
    setStatus(QStringLiteral("Assegnazione date, COMPLETATA !!"));
    Beep();
}

void F_XMLCompact::Cmd_OldDat_MouseUp(int button, int, int, int)
{
    if (button == 2) Check_DatRicMDB();
}
