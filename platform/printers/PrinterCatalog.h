#pragma once
#include <QList>
#include <QString>
#include <QStringList>

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
    // Where the printable area begins on the portrait sheet, in twips from its top-left corner.
    double printableLeftTw = 0;
    double printableTopTw = 0;
    // Settings the printer does not take ("PaperSize", "Duplex", "PrintQuality", ...):
    // assigning one changes nothing.
    QStringList refusedSettings;
};

// What a job asks of the printing system, in the printer object's codes.
struct PrintOptions {
    QString media = QStringLiteral("A4");
    int copies = 1;
    int duplex = 1;         // 1 one-sided, 2 short edge, 3 long edge
    bool landscape = false; // the first page's orientation
    int printQuality = 0;   // 0 untouched, -1 draft, ...
};

// The printing system's answer to one submitted file.
struct PrintSubmit {
    bool ok = false;
    int jobId = 0;
    QString error; // the printing system's own text when refused
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
    // Hands a finished PDF to the printer; the file stays where it is.
    virtual PrintSubmit printFile(const PrinterInfo& printer, const QString& pdf,
                                  const PrintOptions& options) = 0;
};

PrinterCatalog& printerCatalog();
// Installs a catalog (tests); nullptr puts the real one back.
void setPrinterCatalog(std::unique_ptr<PrinterCatalog> catalog);

// A device URI made fit for a section name: no user or password, none of "[ ] , ;"
// and no control characters.
QString cleanPort(const QString& deviceUri);
