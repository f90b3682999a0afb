#pragma once
#include "PrinterCatalog.h"

// Printer catalog for tests: the printers are whatever the test lists.
class FakePrinterCatalog final : public PrinterCatalog
{
  public:
    QList<PrinterInfo> installed;
    int defaultIndex = 0; // index into installed; ignored when installed is empty
    std::optional<PrinterInfo> currentPrinter;
    int setCurrentCalls = 0;

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
        return p;
    }
};
