#include "CupsPrinterCatalog.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

#include <algorithm>
#include <vector>

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
    p.printableLeftTw = r.left() * 1440.0;
    p.printableTopTw = r.top() * 1440.0;
    // Every job is drawn on A4; a printer that lists its sizes without A4 refuses it.
    const QList<QPageSize> sizes = qi.supportedPageSizes();
    const bool hasA4 = sizes.isEmpty() || std::any_of(sizes.cbegin(), sizes.cend(), [](const QPageSize& s) {
                           return s.id() == QPageSize::A4;
                       });
    if (!hasA4) p.refusedSettings << QStringLiteral("PaperSize");
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

PrintSubmit CupsPrinterCatalog::printFile(const PrinterInfo& printer, const QString& pdf,
                                          const PrintOptions& options)
{
    std::vector<std::pair<QByteArray, QByteArray>> opts;
    opts.emplace_back("media", options.media.toUtf8());
    if (options.copies > 1) opts.emplace_back("copies", QByteArray::number(options.copies));
    const char* sides = options.duplex == 2   ? "two-sided-short-edge"
                        : options.duplex == 3 ? "two-sided-long-edge"
                                              : "one-sided";
    opts.emplace_back("sides", sides);
    if (options.landscape) opts.emplace_back("landscape", QByteArray());
    // Draft: the lowest of IPP's print-quality values.
    if (options.printQuality == -1) opts.emplace_back("print-quality", "3");

    cups_option_t* list = nullptr;
    int n = 0;
    for (const auto& [name, value] : opts)
        n = cupsAddOption(name.constData(), value.constData(), n, &list);
    const QByteArray queue = printer.deviceName.toUtf8();
    const QByteArray file = QFile::encodeName(pdf);
    const int job =
        cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.constData(), file.constData(), "Plicora", n, list);
    cupsFreeOptions(n, list);

    PrintSubmit r;
    if (job > 0) {
        r.ok = true;
        r.jobId = job;
    } else {
        r.error = QString::fromUtf8(cupsLastErrorString());
        if (r.error.isEmpty()) r.error = QStringLiteral("errore sconosciuto");
    }
    return r;
}
