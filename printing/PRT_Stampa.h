#pragma once
#include "printing/PRT_Globals.h"

#include <QList>
#include <QString>

// The line printer: one call per text line or command word (INIT, INITC, PAGE, EJEC,
// STOP, LOGO, BREK) on the current printer, with G_PrtOut "PRT". Text lines may hold
// the in-line codes of PRT_Globals.h. The caller paginates against G_PrtMaxRow.
void PRT_Stampa(const QString& line);

// One printing run of a caller, made before its INIT: it keeps how each job ended while
// it lives, so that a job the printer never took is told to the user and not taken
// for printed. When the run ends without STOP (an error, a read that broke off) the
// open job is dropped and the printer put back as STOP leaves it, so the next INIT
// starts clean.
class PrtRun
{
  public:
    enum class Outcome { Printed, NoPrinter, NotStarted, Refused, Interrupted };
    struct Job {
        Outcome outcome = Outcome::Printed;
        int pages = 0;
        int jobId = 0;
        QString printer;
        QString detail; // spool folder (NotStarted) or the printing system's text (Refused)
    };

    PrtRun();
    ~PrtRun();
    PrtRun(const PrtRun&) = delete;
    PrtRun& operator=(const PrtRun&) = delete;

    const QList<Job>& jobs() const { return jobs_; }
    bool failed() const;
    // The message for every job not printed, "" when every job was printed.
    QString failureText() const;

    // Ends the run now as its destructor would: the open job dropped, the printer put
    // back (for a caller that must stop before STOP).
    void abandon();

    // The innermost run alive, null when none.
    static PrtRun* active();

  private:
    friend struct PrtEngine;
    QList<Job> jobs_;
    bool open_ = false; // INIT seen and no STOP after it
    PrtRun* outer_ = nullptr;
};
