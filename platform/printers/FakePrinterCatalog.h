#pragma once
#include "PrinterCatalog.h"

#include <QDir>
#include <QFile>

// Printer catalog for tests: the printers are whatever the test lists.
class FakePrinterCatalog final : public PrinterCatalog
{
  public:
    QList<PrinterInfo> installed;
    int defaultIndex = 0; // index into installed; ignored when installed is empty
    std::optional<PrinterInfo> currentPrinter;
    int setCurrentCalls = 0;

    // Every PDF handed over is copied here (when set) as job-<n>.pdf.
    QString jobFolder;
    // When not empty every job is refused with this text.
    QString refuseJobs;
    struct Job {
        QString printer; // device name
        QString copy;    // the copy in jobFolder, empty without one
        PrintOptions options;
    };
    QList<Job> jobs;
    int submitted = 0; // jobs handed over, refused ones included

    QList<PrinterInfo> printers() override { return installed; }
    std::optional<PrinterInfo> systemDefault() override
    {
        if (defaultIndex < 0 || defaultIndex >= installed.size()) return std::nullopt;
        return installed.at(defaultIndex);
    }
    std::optional<PrinterInfo> current() override
    {
        return currentPrinter ? currentPrinter : systemDefault();
    }
    void setCurrent(const PrinterInfo& p) override
    {
        currentPrinter = p;
        ++setCurrentCalls;
    }
    PrintSubmit printFile(const PrinterInfo& p, const QString& pdf, const PrintOptions& options) override
    {
        ++submitted;
        PrintSubmit r;
        if (!refuseJobs.isEmpty()) {
            r.error = refuseJobs;
            return r;
        }
        Job j{p.deviceName, QString(), options};
        if (!jobFolder.isEmpty()) {
            QDir().mkpath(jobFolder);
            j.copy = QDir(jobFolder).filePath(QStringLiteral("job-%1.pdf").arg(jobs.size() + 1));
            QFile::remove(j.copy);
            if (!QFile::copy(pdf, j.copy)) j.copy.clear();
        }
        jobs << j;
        r.ok = true;
        r.jobId = 100 + int(jobs.size());
        return r;
    }

    static PrinterInfo printer(const QString& device, const QString& port, const QString& driver = QString(),
                               int colorMode = 1, double heightTw = 11.0 * 1440, double widthTw = 8.0 * 1440)
    {
        PrinterInfo p;
        p.deviceName = device;
        p.port = port;
        p.driverName = driver;
        p.colorMode = colorMode;
        p.printableHeightTw = heightTw;
        p.printableWidthTw = widthTw;
        p.printableLeftTw = 360; // a quarter inch
        p.printableTopTw = 360;
        return p;
    }
};
