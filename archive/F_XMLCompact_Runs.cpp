// The refresh of one base folder and the runs over every base folder.
#include "F_XMLCompact.h"

#include "M_Files.h"
#include "M_XML.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>

namespace
{
const QString kCrLf = QStringLiteral("\r\n");

void log(const QString& text)
{
    Qor().WriteLog(text, 0, Pth_DebugLog, true);
}

// The hourglass and "ATTENDERE !!" of a refresh, put back on every way out.
class WaitShown
{
  public:
    explicit WaitShown(QLabel* wait) : wait_(wait)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        wait_->setVisible(true);
        QCoreApplication::processEvents();
    }
    ~WaitShown() { end(); }
    WaitShown(const WaitShown&) = delete;
    WaitShown& operator=(const WaitShown&) = delete;
    void end()
    {
        if (done_) return;
        done_ = true;
        QApplication::restoreOverrideCursor();
        wait_->setVisible(false);
    }

  private:
    QLabel* wait_;
    bool done_ = false;
};

// What a whole-archive run leaves behind however it ends: no per-folder flag (a later
// single run would otherwise skip its question), no wait labels.
class WholeRun
{
  public:
    WholeRun(F_XMLCompact& w, bool fileShown) : w_(w), fileShown_(fileShown) {}
    ~WholeRun()
    {
        w_.B_AutoRun = false;
        w_.Lbl_Wait->setVisible(false);
        if (fileShown_) {
            w_.Lbl_XMLFile->clear();
            w_.Lbl_XMLFile->setVisible(false);
        }
    }
    WholeRun(const WholeRun&) = delete;
    WholeRun& operator=(const WholeRun&) = delete;

  private:
    F_XMLCompact& w_;
    bool fileShown_;
};

void describe(const std::exception& e, int& number, QString& description)
{
    if (const auto* a = dynamic_cast<const ado::Error*>(&e)) {
        number = a->Number();
        description = a->Description();
    } else if (const auto* x = dynamic_cast<const XML_ReadError*>(&e)) {
        number = x->Number;
        description = x->Description;
    } else {
        number = 0;
        description = QString::fromLocal8Bit(e.what());
    }
}

// Runs one procedure for every base folder, first to last, each with the folder selected
// and B_AutoRun set. A folder whose work fails is logged and the run goes on with the
// next one; answers how many failed.
int forEachBase(F_XMLCompact& w, const QString& head, void (F_XMLCompact::*work)())
{
    int failed = 0;
    const int count = w.Cmb_FoldXML->count();
    for (int i = 0; i < count && i < w.Cmb_FoldXML->count(); ++i) {
        const QString entry = w.Cmb_FoldXML->itemText(i);
        int number = 0;
        QString description;
        try {
            w.setFoldIndex(i);
            w.setStatus(entry);
            QCoreApplication::processEvents();
            w.B_AutoRun = true;
            log(head + entry);
            (w.*work)();
            w.B_AutoRun = false;
            continue;
        } catch (const std::exception& e) {
            describe(e, number, description);
        } catch (...) {
            description = QStringLiteral("errore sconosciuto");
        }
        w.B_AutoRun = false;
        ++failed;
        log(QStringLiteral("  !!! ERRORE Cartella : ") + entry + QStringLiteral(" - Errore ") +
            QString::number(number) + QStringLiteral(" : ") + description);
    }
    return failed;
}

QString errorsLine(int failed)
{
    if (failed <= 0) return QString();
    return kCrLf + QStringLiteral("( ") + QString::number(failed) +
           QStringLiteral(" Cartelle con errori: vedere XMLGESTALO_Debug.LOG )");
}

bool anyBase(F_XMLCompact& w)
{
    if (w.Cmb_FoldXML->count() > 0) return true;
    MsgBox(QStringLiteral("NESSUA Cartella Base in elenco !!"), vb::OKOnly | vb::Critical,
           F_XMLCompact::Caption());
    Beep();
    return false;
}
} // namespace

void F_XMLCompact::Cmd_UpdFiles_Click()
{
    RunGuard run(*this);
    if (Cmb_FoldXML->currentText().isEmpty()) {
        Beep();
        return;
    }
    const double key = Qor().ToDouble(BaseKey());
    WaitShown wait(Lbl_Wait);
    log(QStringLiteral("    -----  AGGIORNAMENTO Cartella : ") + PadNum(qint64(key), 9, QStringLiteral(" ")) +
        QStringLiteral(" - ") + Cmb_FoldXML->currentText());
    const qint32 added = MDB_UpdFiles(Cn_DirTmp, key);
    wait.end();
    QCoreApplication::processEvents();
    if (B_AutoRun) {
        N_Added += added;
        return;
    }
    Beep();
    setStatus(QStringLiteral("Lettura completata.") +
              (added >= 1
                   ? QStringLiteral(" (Aggiunti ") + QString::number(added) + QStringLiteral(" files.)")
                   : QStringLiteral(" (Nessun nuovo file !)")));
}

void F_XMLCompact::Cmd_AllMDB_Click()
{
    RunGuard run(*this);
    if (!anyBase(*this)) return;
    if (MsgBox(QStringLiteral("ATTENZIONE !!") + kCrLf + kCrLf +
                   QStringLiteral("Questa operazione Aggiorna l'MDB") + kCrLf +
                   QStringLiteral("per TUTTE le Cartelle BASE.") + kCrLf + kCrLf +
                   QStringLiteral("PROSEGUO ??"),
               vb::YesNo | vb::Question, Caption()) != vb::Yes) {
        Beep();
        return;
    }
    int failed = 0;
    {
        WholeRun whole(*this, true);
        N_Added = 0;
        log(QStringLiteral("§========== Inizio CMD_ALLMDB_CLICK  =========="));
        Lbl_Wait->setVisible(true);
        Lbl_XMLFile->clear();
        Lbl_XMLFile->setVisible(true);
        QCoreApplication::processEvents();

        failed = forEachBase(*this, QStringLiteral("§==========  AGGIORNAMENTO Automatico Cartelle di : "),
                             &F_XMLCompact::Cmd_UpdFiles_Click);
    }
    QCoreApplication::processEvents();
    log(QStringLiteral("========== Fine CMD_ALLMDB_CLICK  =========="));
    Beep();
    const QString text =
        QStringLiteral("Aggiornamento MDB globale TERMINATO !!") + kCrLf +
        (N_Added > 0 ? QStringLiteral(" ( ") + QString::number(N_Added) + QStringLiteral(" Files Aggiunti.)")
                     : QStringLiteral(" (Nessun file aggiunto.)")) +
        errorsLine(failed);
    setStatus(text);
    MsgBox(text, vb::OKOnly);
}

void F_XMLCompact::Cmd_AllFold_Click()
{
    RunGuard run(*this);
    if (!anyBase(*this)) return;
    if (MsgBox(QStringLiteral("ATTENZIONE !!") + kCrLf + kCrLf +
                   QStringLiteral("Questa operazione Compatta") + kCrLf +
                   QStringLiteral("TUTTE le Cartelle collegate") + kCrLf +
                   QStringLiteral("a TUTTE le Cartelle BASE") + kCrLf + kCrLf + QStringLiteral("PROSEGUO ??"),
               vb::YesNo | vb::Question, Caption()) != vb::Yes) {
        Beep();
        return;
    }
    int failed = 0;
    {
        WholeRun whole(*this, false);
        N_Deleted = 0;
        failed =
            forEachBase(*this, QStringLiteral("§==========  COMPATTAMENTO Automatico Sottocartelle di : "),
                        &F_XMLCompact::Cmd_Compact_Click);
    }
    Beep();
    const QString text = QStringLiteral("Compattamento globale TERMINATO !!") + kCrLf +
                         (N_Deleted > 0 ? QStringLiteral(" ( ") + QString::number(N_Deleted) +
                                              QStringLiteral(" Files Eliminati.)")
                                        : QStringLiteral(" (Nessun file eliminato.)")) +
                         errorsLine(failed);
    setStatus(text);
    MsgBox(text, vb::OKOnly);
}
