#include "printing/GeneraPrtINI.h"

#include "foundation/StartSettings.h"
#include "platform/IniFile.h"
#include "platform/printers/PrinterCatalog.h"

#include <QStringList>

namespace
{

const QString PrtIni = QStringLiteral("QOR_PRT.INI");

QString kv(const char* key, const QString& value)
{
    return QLatin1String(key) + QLatin1Char('=') + value;
}

QStringList fontKeys()
{
    const QString courier = QStringLiteral("Courier New");
    return {kv("FontNorm", courier),  kv("FontNSiz", QStringLiteral("12")),
            kv("FontComp", courier),  kv("FontCSiz", QStringLiteral("7")),
            kv("FontSComp", courier), kv("FontSCSiz", QStringLiteral("6"))};
}

QStringList printerKeys(const QString& lunghezza, const QString& larghezza, const QString& colore)
{
    QStringList l{kv("Lunghezza", lunghezza),           kv("Larghezza", larghezza),
                  kv("Landscape", QStringLiteral("0")), kv("Colore", colore),
                  kv("Top", QStringLiteral("2")),       kv("Bottom", QStringLiteral("2"))};
    return l + fontKeys();
}

} // namespace

int PrtSnapLines(double lines)
{
    if (lines >= 72) return 72;
    if (lines >= 66) return 66;
    if (lines >= 61) return 61;
    return -1;
}

int PrtSnapColumns(double columns)
{
    if (columns >= 133) return 136;
    if (columns >= 120) return 132;
    if (columns >= 79) return 80;
    return -1;
}

void GeneraPrtINI(bool onlyNew)
{
    PrinterCatalog& catalog = printerCatalog();
    if (!onlyNew) {
        IniFile::write(PrtIni, QStringLiteral("System"), QStringLiteral("Printer"), G_DefPrinter);
        const std::optional<PrinterInfo> cur = catalog.current();
        const QString name = cur ? cur->deviceName + QLatin1Char(',') + cur->port : QStringLiteral(",");
        QStringList def{kv("Printer", name)};
        def += printerKeys(QStringLiteral("66"), QStringLiteral("80"), QStringLiteral("0"));
        IniFile::writeSection(PrtIni, QStringLiteral("Default"), def);
    }
    for (const PrinterInfo& p : catalog.printers()) {
        const QString section = p.deviceName + QLatin1Char(',') + p.port;
        if (onlyNew && !IniFile::readSection(PrtIni, section).isEmpty()) continue;
        const double lines = p.printableHeightTw / 1440.0 * 6.0;
        const double columns = p.printableWidthTw / 1440.0 * 10.0;
        IniFile::writeSection(PrtIni, section,
                              printerKeys(QString::number(PrtSnapLines(lines)),
                                          QString::number(PrtSnapColumns(columns)),
                                          QString::number(p.colorMode)));
    }
}
