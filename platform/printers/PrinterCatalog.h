#pragma once
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// One installed printer, as the printer settings need it.
struct PrinterInfo {
    QString deviceName; // the printer's name
    QString driverName; // make and model
    QString port;       // where it prints to, safe inside a "[Device,Port]" section name
    int colorMode = 1;  // 1 monochrome, 2 colour
    // Printable area in twips with the printer set for measuring (simplex, cassette, A4).
    double printableHeightTw = 0;
    double printableWidthTw = 0;
};

// The installed printers and the program's current printer. The real catalog asks Qt
// and CUPS; tests install a fake.
class PrinterCatalog
{
  public:
    virtual ~PrinterCatalog() = default;
    // Installed printers in the system's order.
    virtual QList<PrinterInfo> printers() = 0;
    // The system's default printer, none when no printer is installed.
    virtual std::optional<PrinterInfo> systemDefault() = 0;
    // The printer the program prints to: the system default until another is made current.
    virtual std::optional<PrinterInfo> current() = 0;
    virtual void setCurrent(const PrinterInfo& printer) = 0;
};

PrinterCatalog& printerCatalog();
// Installs a catalog (tests); nullptr puts the real one back.
void setPrinterCatalog(std::unique_ptr<PrinterCatalog> catalog);

// A device URI made fit for a section name: no user or password, none of "[ ] , ;"
// and no control characters.
QString cleanPort(const QString& deviceUri);
