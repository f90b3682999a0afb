#include "CupsPrinterCatalog.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

namespace
{

QString cupsDeviceUri(const QString& printerName)
{
    cups_dest_t* dests = nullptr;
    const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QString uri;
    const QByteArray name = printerName.toUtf8();
    if (cups_dest_t* d = cupsGetDest(name.constData(), nullptr, n, dests)) {
        const char* v = cupsGetOption("device-uri", d->num_options, d->options);
        if (!v) v = cupsGetOption("printer-uri-supported", d->num_options, d->options);
        if (v) uri = QString::fromUtf8(v);
    }
    cupsFreeDests(n, dests);
    return uri;
}

PrinterInfo describe(const QPrinterInfo& qi)
{
    PrinterInfo p;
    p.deviceName = qi.printerName();
    p.driverName = qi.makeAndModel();
    p.port = cleanPort(cupsDeviceUri(qi.printerName()));
    p.colorMode = qi.supportedColorModes().contains(QPrinter::Color) ? 2 : 1;
    // Measured as the settings file wants it: one-sided, on A4. A printer that refuses
    // a setting keeps its own and is measured as it is.
    QPrinter printer(qi, QPrinter::HighResolution);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPaperSource(QPrinter::Cassette);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const QRectF r = printer.pageLayout().paintRect(QPageLayout::Inch);
    p.printableHeightTw = r.height() * 1440.0;
    p.printableWidthTw = r.width() * 1440.0;
    return p;
}

} // namespace

QList<PrinterInfo> CupsPrinterCatalog::printers()
{
    QList<PrinterInfo> out;
    for (const QPrinterInfo& qi : QPrinterInfo::availablePrinters())
        out << describe(qi);
    return out;
}

std::optional<PrinterInfo> CupsPrinterCatalog::systemDefault()
{
    const QPrinterInfo qi = QPrinterInfo::defaultPrinter();
    if (qi.isNull()) return std::nullopt;
    return describe(qi);
}

std::optional<PrinterInfo> CupsPrinterCatalog::current()
{
    if (!currentName_.isEmpty()) {
        const QPrinterInfo qi = QPrinterInfo::printerInfo(currentName_);
        if (!qi.isNull()) return describe(qi);
    }
    return systemDefault();
}

void CupsPrinterCatalog::setCurrent(const PrinterInfo& printer)
{
    currentName_ = printer.deviceName;
    currentPort_ = printer.port;
}
