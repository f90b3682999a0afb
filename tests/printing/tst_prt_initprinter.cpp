#include "platform/IniFile.h"
#include "platform/printers/FakePrinterCatalog.h"
#include "platform/registry/Registry.h"
#include "printing/PRT_Globals.h"
#include "printing/PRT_InitPrinter.h"
#include "qor/Cl_QOR.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace
{

const QString Ini = QStringLiteral("QOR_PRT.INI");

QByteArray crlf(const QByteArray& text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

// A settings file as a full generation leaves it, with customised printer sections.
const QByteArray Base =
    crlf("[System]\nPrinter=Ufficio,HP,LPT1:\n"
         "[Default]\nPrinter=Colori,usb://Canon/X\nLunghezza=72\nLarghezza=80\nLandscape=0\n"
         "Colore=2\nTop=1\nBottom=3\nFontNorm=Arial\nFontNSiz=10.5\nFontComp=Arial Narrow\n"
         "FontCSiz=7\nFontSComp=Courier New\nFontSCSiz=6\n"
         "[Ufficio,LPT1:]\nLunghezza=66\nLarghezza=136\nLandscape=1\nColore=1\nTop=2\nBottom=2\n"
         "FontNorm=Courier New\nFontNSiz=12\nFontComp=Courier New\nFontCSiz=7\n"
         "FontSComp=Lucida Console\nFontSCSiz=5.5\n"
         "[Colori,usb://Canon/X]\nLunghezza=72\nLarghezza=80\nLandscape=0\nColore=2\nTop=1\n"
         "Bottom=3\nFontNorm=Arial\nFontNSiz=10.5\nFontComp=Arial Narrow\nFontCSiz=7\n"
         "FontSComp=Courier New\nFontSCSiz=6\n"
         "[Strana, Ditta,LPT2:]\nLunghezza=61\nTop=0\nBottom=0\n");

FakePrinterCatalog* installCatalog(bool withPrinters = true)
{
    auto c = std::make_unique<FakePrinterCatalog>();
    if (withPrinters)
        c->installed << FakePrinterCatalog::printer(QStringLiteral("Ufficio"), QStringLiteral("LPT1:"),
                                                    QStringLiteral("HP LaserJet"))
                     << FakePrinterCatalog::printer(QStringLiteral("Colori"), QStringLiteral("usb://Canon/X"),
                                                    QStringLiteral("Canon iP"), 2)
                     << FakePrinterCatalog::printer(QStringLiteral("Strana, Ditta"), QStringLiteral("LPT2:"),
                                                    QStringLiteral("Generic"));
    FakePrinterCatalog* raw = c.get();
    setPrinterCatalog(std::move(c));
    return raw;
}

QString fix(const QString& s)
{
    return Qor().FixStr(s);
}

// Each test's own temporary folder, so no other test's selection log gets in the way.
QString useOwnTemp(const TestEnv& env)
{
    Registry::Value v;
    v.text = env.work() + QStringLiteral("tmp/");
    QDir().mkpath(v.text);
    Registry::setValue(Registry::HKEY_CURRENT_USER, QStringLiteral("Environment"), QStringLiteral("Temp"), v);
    return v.text + QStringLiteral("prt-ini.log");
}

} // namespace

class TstPrtInitPrinter : public QObject
{
    Q_OBJECT
  private slots:
    void init() { G_PrtSet = T_PrtSet(); }
    void cleanup() { setPrinterCatalog(nullptr); }

    void fixedWidthFields()
    {
        T_PrtSet r;
        QCOMPARE(r.Nome.text(), QString(80, QLatin1Char(' ')));
        r.Nome = QString(100, QLatin1Char('x'));
        QCOMPARE(r.Nome.text(), QString(80, QLatin1Char('x')));
        r.Port = QStringLiteral("LPT1:");
        QCOMPARE(r.Port.text().size(), 60);
        QCOMPARE(fix(r.Port), QStringLiteral("LPT1:"));
    }

    void nameForms_data()
    {
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("defaultPrinter");
        QTest::addColumn<int>("lunghezza");
        QTest::addColumn<int>("maxRow");
        QTest::newRow("semicolon") << "Ufficio;LPT1:"
                                   << "Ufficio"
                                   << "HP LaserJet"
                                   << "Ufficio,LPT1:"
                                   << "Ufficio;LPT1:" << 66 << 62;
        QTest::newRow("comma") << "Ufficio,LPT1:"
                               << "Ufficio"
                               << "HP LaserJet"
                               << "Ufficio,LPT1:"
                               << "Ufficio,LPT1:" << 66 << 62;
        QTest::newRow("zero takes [Default]") << "0"
                                              << "Colori"
                                              << "Canon iP"
                                              << "Colori,usb://Canon/X"
                                              << "Colori,usb://Canon/X" << 72 << 68;
        QTest::newRow("empty takes [Default]") << ""
                                               << "Colori"
                                               << "Canon iP"
                                               << "Colori,usb://Canon/X"
                                               << "Colori,usb://Canon/X" << 72 << 68;
        QTest::newRow("device with a comma") << "Strana, Ditta;LPT2:"
                                             << "Strana, Ditta"
                                             << "Generic"
                                             << "Strana, Ditta,LPT2:"
                                             << "Strana, Ditta;LPT2:" << 61 << 61;
    }

    void nameForms()
    {
        QFETCH(QString, nome);
        QFETCH(QString, device);
        QFETCH(QString, driver);
        QFETCH(QString, section);
        QFETCH(QString, defaultPrinter);
        QFETCH(int, lunghezza);
        QFETCH(int, maxRow);
        TestEnv env;
        FakePrinterCatalog* cat = installCatalog();
        env.writeFile(env.winDir() + Ini, Base);
        const QString logFile = useOwnTemp(env);
        G_PrtTest = 1;
        const T_PrtSet copy = PRT_InitPrinter(nome);
        QCOMPARE(fix(G_PrtSet.DeviceName), device);
        QCOMPARE(fix(G_PrtSet.DriverName), driver);
        QVERIFY(cat->currentPrinter.has_value());
        QCOMPARE(cat->currentPrinter->deviceName, device);
        QCOMPARE(int(G_PrtSet.Lunghezza), lunghezza);
        QCOMPARE(int(G_PrtMaxRow), maxRow);
        QCOMPARE(copy.Nome, G_PrtSet.Nome);
        QCOMPARE(int(G_PrtTest), (nome.isEmpty() || nome == QLatin1String("0")) ? 0 : 1);
        QCOMPARE(IniFile::read(Ini, QStringLiteral("Default"), QStringLiteral("Printer")), defaultPrinter);
        QCOMPARE(IniFile::read(Ini, QStringLiteral("Default"), QStringLiteral("Lunghezza")),
                 QString::number(lunghezza));
        QCOMPARE(QString::fromUtf8(TestEnv::readFile(logFile)).split(QStringLiteral("\r\n")).value(21),
                 QStringLiteral("Testa=") + section);
        // No section is invented for the printer: the file holds the same sections.
        QCOMPARE(IniFile::sections(Ini).size(), 5);
    }

    void sectionValuesAndDefault()
    {
        TestEnv env;
        installCatalog();
        env.writeFile(env.winDir() + Ini, Base);
        PRT_InitPrinter(QStringLiteral("Ufficio,LPT1:"));
        QCOMPARE(int(G_PrtSet.Larghezza), 136);
        QCOMPARE(int(G_PrtSet.Landscape), 1);
        QCOMPARE(int(G_PrtSet.Colore), 1);
        QCOMPARE(fix(G_PrtSet.FontSComp), QStringLiteral("Lucida Console"));
        QCOMPARE(G_PrtSet.FontSCSiz, 5.5f);
        const QStringList def = IniFile::readSection(Ini, QStringLiteral("Default"));
        QCOMPARE(def, (QStringList{"Printer=Ufficio,LPT1:", "Lunghezza=66", "Larghezza=136", "Landscape=1",
                                   "Colore=1", "Top=2", "Bottom=2", "FontNorm=Courier New", "FontNSiz=12",
                                   "FontComp=Courier New", "FontCSiz=7", "FontSComp=Lucida Console",
                                   "FontSCSiz=5.5"}));
    }

    void missingSectionGetsDefaults()
    {
        TestEnv env;
        FakePrinterCatalog* cat = installCatalog();
        env.writeFile(env.winDir() + Ini, Base);
        PRT_InitPrinter(QStringLiteral("Altro,LPT9:"));
        // Not installed: the current printer stays, the settings come from its own section.
        QCOMPARE(cat->setCurrentCalls, 0);
        QCOMPARE(IniFile::readSection(Ini, QStringLiteral("Altro,LPT9:")),
                 (QStringList{"Lunghezza=66", "Larghezza=80", "Landscape=0", "Colore=0", "Top=2", "Bottom=2",
                              "FontNorm=Courier New", "FontNSiz=12", "FontComp=Courier New", "FontCSiz=7",
                              "FontSComp=Courier New", "FontSCSiz=6"}));
        QCOMPARE(int(G_PrtMaxRow), 62);
        QCOMPARE(IniFile::read(Ini, QStringLiteral("Default"), QStringLiteral("Printer")),
                 QStringLiteral("Altro,LPT9:"));
    }

    // A section that holds no usable value keeps what the previous printer left.
    void valuesThatDoNotConvert()
    {
        TestEnv env;
        installCatalog();
        env.writeFile(env.winDir() + Ini,
                      Base +
                          crlf("[Rotta,LPT5:]\nLunghezza=abc\nLarghezza=\nLandscape=1x\nColore=\nTop=99999\n"
                               "Bottom=-1\nFontNorm=Verdana\nFontNSiz=dieci\nFontCSiz=7,5\n"));
        PRT_InitPrinter(QStringLiteral("Colori,usb://Canon/X"));
        PRT_InitPrinter(QStringLiteral("Rotta,LPT5:"));
        QCOMPARE(int(G_PrtSet.Lunghezza), 72); // kept
        QCOMPARE(int(G_PrtSet.Larghezza), 80); // kept
        QCOMPARE(int(G_PrtSet.Landscape), 0);  // kept
        QCOMPARE(int(G_PrtSet.Colore), 2);     // empty: not assigned
        QCOMPARE(int(G_PrtSet.Top), 1);        // out of range: kept
        QCOMPARE(int(G_PrtSet.Bottom), -1);
        QCOMPARE(fix(G_PrtSet.FontNorm), QStringLiteral("Verdana"));
        QCOMPARE(G_PrtSet.FontNSiz, 10.5f);          // kept
        QCOMPARE(G_PrtSet.FontCSiz, 7.5f);           // decimal comma read
        QCOMPARE(fix(G_PrtSet.FontComp), QString()); // missing text key: empty
        QCOMPARE(fix(G_PrtSet.FontSComp), QStringLiteral("Courier New"));
        QCOMPARE(G_PrtSet.FontSCSiz, 6.0f);
        QCOMPARE(int(G_PrtMaxRow), 72 - (-1) - 1);
    }

    // Extreme values that each convert give the nearest body row count, not a wrapped one.
    void extremeValuesClampRows_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<int>("maxRow");
        QTest::newRow("short page, huge margins")
            << QByteArray("Lunghezza=-32768\nTop=32767\nBottom=32767\n") << -32768;
        QTest::newRow("short page, negative margins")
            << QByteArray("Lunghezza=100\nTop=-32768\nBottom=-32768\n") << 32767;
    }
    void extremeValuesClampRows()
    {
        QFETCH(QByteArray, keys);
        QFETCH(int, maxRow);
        TestEnv env;
        installCatalog();
        env.writeFile(env.winDir() + Ini, Base + crlf("[Estremo,LPT7:]\n" + keys));
        PRT_InitPrinter(QStringLiteral("Estremo,LPT7:"));
        QCOMPARE(int(G_PrtMaxRow), maxRow);
    }

    void rounding_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("half to even, down") << "66.5" << 66;
        QTest::newRow("half to even, up") << "67.5" << 68;
        QTest::newRow("decimal comma") << "61,4" << 61;
        QTest::newRow("minus one") << "-1" << -1;
        QTest::newRow("blanks") << " 72 " << 72;
    }

    void rounding()
    {
        QFETCH(QString, value);
        QFETCH(int, expected);
        TestEnv env;
        installCatalog();
        env.writeFile(env.winDir() + Ini,
                      Base + crlf("[R,LPT5:]\nLunghezza=" + value.toUtf8() + "\nTop=2\nBottom=2\n"));
        PRT_InitPrinter(QStringLiteral("R,LPT5:"));
        QCOMPARE(int(G_PrtSet.Lunghezza), expected);
        QCOMPARE(int(G_PrtMaxRow), expected - 4);
    }

    void longNameCutBeforeSplit()
    {
        TestEnv env;
        installCatalog();
        env.writeFile(env.winDir() + Ini, Base);
        const QString device(76, QLatin1Char('D'));
        PRT_InitPrinter(device + QStringLiteral(";LPT1:EXTRA"));
        QCOMPARE(fix(G_PrtSet.Nome), device + QStringLiteral(";LPT"));
        // The device field holds 60 characters.
        QVERIFY(IniFile::sections(Ini).contains(device.left(60) + QStringLiteral(",LPT")));
    }

    // A name with no device and no port never creates a section named "," or "".
    void nameWithoutSeparator_data()
    {
        QTest::addColumn<QByteArray>("defaultSection");
        QTest::addColumn<bool>("printers");
        QTest::newRow("no Printer key") << QByteArray("[Default]\nLunghezza=66\n") << true;
        QTest::newRow("empty Printer") << QByteArray("[Default]\nPrinter=\n") << true;
        QTest::newRow("comma only") << QByteArray("[Default]\nPrinter=,\n") << true;
        QTest::newRow("comma only, no printer at all") << QByteArray("[Default]\nPrinter=,\n") << false;
        QTest::newRow("empty, no printer at all") << QByteArray("[Default]\nPrinter=\n") << false;
    }

    void nameWithoutSeparator()
    {
        QFETCH(QByteArray, defaultSection);
        QFETCH(bool, printers);
        TestEnv env;
        FakePrinterCatalog* cat = installCatalog(printers);
        cat->defaultIndex = 1;
        const QByteArray before = crlf("[System]\nPrinter=\n" + defaultSection);
        env.writeFile(env.winDir() + Ini, before);
        PRT_InitPrinter(QStringLiteral("0"));
        const QStringList sections = IniFile::sections(Ini);
        QVERIFY(!sections.contains(QStringLiteral(",")));
        QVERIFY(!sections.contains(QString()));
        if (printers) {
            QCOMPARE(fix(G_PrtSet.DeviceName), QStringLiteral("Colori"));
            QCOMPARE(cat->currentPrinter->deviceName, QStringLiteral("Colori"));
            QVERIFY(sections.contains(QStringLiteral("Colori,usb://Canon/X")));
            QCOMPARE(IniFile::read(Ini, QStringLiteral("Default"), QStringLiteral("Printer")),
                     QStringLiteral("Colori,usb://Canon/X"));
        } else {
            QCOMPARE(TestEnv::readFile(env.winDir() + Ini), before);
            QCOMPARE(int(G_PrtSet.Lunghezza), 66);
            QCOMPARE(int(G_PrtSet.Larghezza), 80);
            QCOMPARE(int(G_PrtSet.Top), 2);
            QCOMPARE(int(G_PrtSet.Bottom), 2);
            QCOMPARE(fix(G_PrtSet.FontNorm), QStringLiteral("Courier New"));
            QCOMPARE(G_PrtSet.FontNSiz, 12.0f);
            QCOMPARE(G_PrtSet.FontCSiz, 7.0f);
            QCOMPARE(G_PrtSet.FontSCSiz, 6.0f);
            QCOMPARE(int(G_PrtMaxRow), 62);
        }
    }

    void logFileLayout()
    {
        TestEnv env;
        installCatalog();
        env.writeFile(env.winDir() + Ini, Base);
        const QString logFile = useOwnTemp(env);
        env.writeFile(logFile, "an older selection\r\n");
        PRT_InitPrinter(QStringLiteral("Colori;usb://Canon/X"));
        const QStringList lines = QString::fromUtf8(TestEnv::readFile(logFile)).split(QStringLiteral("\r\n"));
        auto pad = [](const QString& s, int w) { return s.leftJustified(w, QLatin1Char(' ')); };
        const QStringList expected{
            "Colori;usb://Canon/X",
            "Nom=" + pad("Colori;usb://Canon/X", 80),
            "Dev=" + pad("Colori", 60),
            "Por=" + pad("usb://Canon/X", 60),
            "Color= 2 ",
            "Len= 72 ",
            "Lar= 80 ",
            "Land  = 0 ",
            "Top= 1 ",
            "Bot= 3 ",
            "CNo=" + pad("Arial", 50),
            "DNo= 10,5 ",
            "PNo= 0 ",
            "CCp=" + pad("Arial Narrow", 50),
            "DCp= 7 ",
            "PCp= 0 ",
            "CSCp=" + pad("Courier New", 50),
            "DSCp= 6 ",
            "PSCp= 0 ",
            "Act=" + pad("", 60),
            "Cha=" + pad("", 20),
            "Testa=Colori,usb://Canon/X",
            "",
        };
        QCOMPARE(lines, expected);
    }

    // The log goes to the temporary folder the registry names.
    void logFolderFromRegistry()
    {
        TestEnv env;
        installCatalog();
        env.writeFile(env.winDir() + Ini, Base);
        const QString logFile = useOwnTemp(env);
        PRT_InitPrinter(QStringLiteral("0"));
        QVERIFY(TestEnv::readFile(logFile).startsWith("0\r\nNom=Colori"));
    }

    // A link planted under the log's name is replaced, never written through.
    void plantedLinkRefused_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::newRow("link to a file") << true;
        QTest::newRow("link to no file yet") << false;
    }
    void plantedLinkRefused()
    {
        QFETCH(bool, targetExists);
        TestEnv env;
        installCatalog();
        env.writeFile(env.winDir() + Ini, Base);
        const QString logFile = useOwnTemp(env);
        const QString victim = env.work() + QStringLiteral("altrui.txt");
        if (targetExists) env.writeFile(victim, "dati di altri\n");
        QVERIFY(QFile::link(victim, logFile));
        PRT_InitPrinter(QStringLiteral("0"));
        QCOMPARE(QFileInfo::exists(victim), targetExists);
        if (targetExists) QCOMPARE(TestEnv::readFile(victim), QByteArray("dati di altri\n"));
        QVERIFY(!QFileInfo(logFile).isSymLink());
        QVERIFY(TestEnv::readFile(logFile).startsWith("0\r\nNom=Colori"));
    }

    void unchangedSelectionLeavesFileAlone()
    {
        TestEnv env;
        installCatalog();
        env.writeFile(env.winDir() + Ini, Base);
        PRT_InitPrinter(QStringLiteral("0"));
        QCOMPARE(TestEnv::readFile(env.winDir() + Ini), Base);
    }
};

QTEST_GUILESS_MAIN(TstPrtInitPrinter)
#include "tst_prt_initprinter.moc"
