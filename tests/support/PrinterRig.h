#pragma once
// The printing windows' test set-up: a scratch program (TestEnv) with a fake printer
// catalog of two installed printers, "Ufficio" on LPT1: and "Grande" on LPT2: (or "Ufficio"
// alone, or none), its jobs
// written under the scratch folder, and the printing globals as a fresh start has them.
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/printers/FakePrinterCatalog.h"
#include "platform/printers/PrinterObject.h"
#include "printing/PRT_Globals.h"
#include "support/TestEnv.h"

#include <QCoreApplication>
#include <QDir>

struct PrinterRig {
    TestEnv env;
    FakePrinterCatalog* cat = nullptr;
    QByteArray oldTmp = qgetenv("TMPDIR");

    explicit PrinterRig(bool printers = true, bool second = true)
    {
        auto c = std::make_unique<FakePrinterCatalog>();
        if (printers)
            c->installed << FakePrinterCatalog::printer(QStringLiteral("Ufficio"), QStringLiteral("LPT1:"),
                                                        QStringLiteral("HP LaserJet"));
        if (printers && second)
            c->installed << FakePrinterCatalog::printer(QStringLiteral("Grande"), QStringLiteral("LPT2:"),
                                                        QStringLiteral("Epson FX"));
        c->jobFolder = env.work() + QStringLiteral("jobs");
        cat = c.get();
        setPrinterCatalog(std::move(c));
        QDir().mkpath(env.work() + QStringLiteral("tmp"));
        qputenv("TMPDIR", (env.work() + QStringLiteral("tmp")).toUtf8());
        G_DirWin = env.winDir();
        G_DirApp = env.appDir();
        G_PgmVisualizzatore = QStringLiteral("/usr/bin/vedi");
        Pth_DebugLog = env.appDir() + QStringLiteral("XMLGESTALO_Debug.LOG");
        PRT_SetControlValues();
        G_PrtSet = T_PrtSet();
        Printer().reset();
    }
    // The windows a test opened are unloaded by its own rig, before this runs.
    ~PrinterRig()
    {
        setModalRunner({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Printer().reset();
        setPrinterCatalog(nullptr);
        qputenv("TMPDIR", oldTmp);
    }
    PrinterRig(const PrinterRig&) = delete;
    PrinterRig& operator=(const PrinterRig&) = delete;
};
