#include "platform/printers/CupsPrinterCatalog.h"

#include <QGuiApplication>
#include <QTest>

// The machine's own printers: whatever is installed, the catalog answers quickly and
// gives every printer a name and a port fit for a section name.
class TstCupsPrinterCatalog : public QObject
{
    Q_OBJECT
  private slots:
    void installedPrinters()
    {
        CupsPrinterCatalog c;
        const QList<PrinterInfo> list = c.printers();
        for (const PrinterInfo& p : list) {
            QVERIFY(!p.deviceName.isEmpty());
            QVERIFY(!p.port.contains(QLatin1Char('[')) && !p.port.contains(QLatin1Char(']')));
            QVERIFY(p.colorMode == 1 || p.colorMode == 2);
        }
        const std::optional<PrinterInfo> def = c.systemDefault();
        QCOMPARE(def.has_value() && !list.isEmpty(), def.has_value());
        QCOMPARE(c.current().has_value(), def.has_value());
    }
};

QTEST_MAIN(TstCupsPrinterCatalog)
#include "tst_cupsprintercatalog.moc"
