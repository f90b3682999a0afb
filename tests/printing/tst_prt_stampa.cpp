#include "foundation/M_MV.h"
#include "platform/printers/CupsPrinterCatalog.h"
#include "platform/printers/FakePrinterCatalog.h"
#include "platform/printers/PrinterObject.h"
#include "printing/PRT_InitPrinter.h"
#include "printing/PRT_Stampa.h"
#include "support/PdfProbe.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace
{

// One printed run expected: its text, page, row (sixths of an inch) and column of a
// 12-point fixed-pitch font (7.2 points).
struct Expect {
    QString text;
    int page;
    double row;
    double col;
    bool bold;
    double size;
};

// The fake printer: A4, printable 8 x 11 inches a quarter inch in.
struct Rig {
    TestEnv env;
    FakePrinterCatalog* cat = nullptr;
    QByteArray oldTmp = qgetenv("TMPDIR");
    QString tmp;

    explicit Rig(bool withPrinter = true, const QString& device = QStringLiteral("Ufficio"),
                 const QString& driver = QStringLiteral("HP LaserJet"))
    {
        auto c = std::make_unique<FakePrinterCatalog>();
        if (withPrinter) {
            c->installed << FakePrinterCatalog::printer(QStringLiteral("Primo"), QStringLiteral("LPT9:"),
                                                        QStringLiteral("Altro"))
                         << FakePrinterCatalog::printer(device, QStringLiteral("LPT1:"), driver);
            c->currentPrinter = c->installed.at(1);
        }
        c->jobFolder = env.work() + QStringLiteral("jobs");
        cat = c.get();
        setPrinterCatalog(std::move(c));
        tmp = env.work() + QStringLiteral("tmp");
        QDir().mkpath(tmp);
        qputenv("TMPDIR", tmp.toUtf8());
        Pth_DebugLog = env.appDir() + QStringLiteral("XMLGESTALO_Debug.LOG");
        PRT_SetControlValues();
        G_PrtSet = T_PrtSet();
        G_PrtSet.Lunghezza = 66;
        G_PrtSet.Top = 2;
        G_PrtSet.Bottom = 2;
        G_PrtSet.FontNorm = QStringLiteral("Courier New");
        G_PrtSet.FontNSiz = 12;
        G_PrtSet.FontComp = QStringLiteral("Courier New");
        G_PrtSet.FontCSiz = 7;
        G_PrtSet.FontSComp = QStringLiteral("Courier New");
        G_PrtSet.FontSCSiz = 6;
        G_PrtOut = QStringLiteral("PRT");
        G_PrtTest = 0;
        G_PrtCopie = 1;
        Printer().reset();
    }
    ~Rig()
    {
        Printer().reset();
        setPrinterCatalog(nullptr);
        qputenv("TMPDIR", oldTmp);
    }
    QStringList spoolLeft() const { return QDir(tmp).entryList(QDir::Files); }
};

// Lines written with "~n" for the in-line code n.
QStringList lines(const QString& text)
{
    QStringList out = text.split(QLatin1Char('|'));
    for (QString& l : out)
        l.replace(QLatin1Char('~'), QChar(27));
    return out;
}

PrtRun::Outcome runOf(const QStringList& ls, QString* failure = nullptr)
{
    PrtRun run;
    for (const QString& l : ls)
        PRT_Stampa(l);
    if (failure) *failure = run.failureText();
    return run.jobs().isEmpty() ? PrtRun::Outcome::Printed : run.jobs().last().outcome;
}

} // namespace

class TstPrtStampa : public QObject
{
    Q_OBJECT
  private slots:
    void layout_data()
    {
        QTest::addColumn<QString>("cha");
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("pages");
        // text@page:row:col:bold:size; "-" for no text expected
        QTest::addColumn<QString>("expect");
        QTest::newRow("INIT normal font at Top")
            << ""
            << "INIT|uno|due|STOP" << 1 << "uno@1:2:0:0:12 due@1:3:0:0:12";
        QTest::newRow("INITC compressed") << ""
                                          << "INITC|uno|STOP" << 1 << "uno@1:2:0:0:7";
        QTest::newRow("INITT normal") << "COMPRESSO"
                                      << "INITT|uno|STOP" << 1 << "uno@1:2:0:0:12";
        QTest::newRow("INITX normal") << ""
                                      << "INITX|uno|STOP" << 1 << "uno@1:2:0:0:12";
        QTest::newRow("INIT with COMPRESSO") << "COMPRESSO  "
                                             << "INIT|uno|STOP" << 1 << "uno@1:2:0:0:7";
        QTest::newRow("PAGE overprints the sheet")
            << ""
            << "INIT|uno|due|PAGE|tre|STOP" << 1 << "uno@1:2:0:0:12 tre@1:2:0:0:12 due@1:3:0:0:12";
        QTest::newRow("empty line advances") << ""
                                             << "INIT||dopo|STOP" << 1 << "dopo@1:3:0:0:12";
        QTest::newRow("bold from ESC4, kept on the next line")
            << ""
            << "INIT|abc~4def|ghi|STOP" << 1 << "abc@1:2:0:0:12 def@1:2:3:1:12 ghi@1:3:0:1:12";
        QTest::newRow("ESC0 ends styles")
            << ""
            << "INIT|~4a~0b|c|STOP" << 1 << "a@1:2:0:1:12 b@1:2:1:0:12 c@1:3:0:0:12";
        QTest::newRow("ESC1 keeps styles") << ""
                                           << "INIT|~2~4a~1b|STOP" << 1 << "a@1:2:0:1:7 b@1:2:-1:1:12";
        QTest::newRow("ESC2 and ESC6 sizes") << ""
                                             << "INIT|~2c|~6s|STOP" << 1 << "c@1:2:0:0:7 s@1:3:0:0:6";
        QTest::newRow("ESC9 and a closing ESC print nothing")
            << ""
            << "INIT|ab~9cd~|STOP" << 1 << "abcd@1:2:0:0:12";
        QTest::newRow("EJEC back to base font on page 2")
            << ""
            << "INIT|~4~2a|EJEC|b|STOP" << 2 << "a@1:2:0:1:7 b@2:2:0:0:12";
        QTest::newRow("EJEC then STOP one page") << ""
                                                 << "INIT|a|EJEC|STOP" << 1 << "a@1:2:0:0:12";
        QTest::newRow("EJEC EJEC line three pages")
            << ""
            << "INIT|a|EJEC|EJEC|b|STOP" << 3 << "a@1:2:0:0:12 b@3:2:0:0:12";
        QTest::newRow("BREK and NOPLAIN") << ""
                                          << "INIT|BREK|NOPLAIN|STOP" << 1 << "NOPLAIN@1:2:0:0:12";
    }
    void layout()
    {
        QFETCH(QString, cha);
        QFETCH(QString, script);
        QFETCH(int, pages);
        QFETCH(QString, expect);
        Rig rig;
        G_PrtSet.Cha = cha;
        QCOMPARE(runOf(lines(script)), PrtRun::Outcome::Printed);
        QCOMPARE(rig.cat->jobs.size(), 1);
        const QString pdf = rig.cat->jobs.at(0).copy;
        const PdfProbe::Info info = PdfProbe::info(pdf);
        QCOMPARE(info.pages, pages);
        const QList<PdfProbe::TextRun> runs = PdfProbe::text(pdf);
        for (const QString& e : expect.split(QLatin1Char(' '))) {
            const QString text = e.section(QLatin1Char('@'), 0, 0);
            const QStringList f = e.section(QLatin1Char('@'), 1).split(QLatin1Char(':'));
            QList<PdfProbe::TextRun> found;
            for (const PdfProbe::TextRun& r : runs)
                if (r.text == text && r.page == f[0].toInt()) found << r;
            QVERIFY2(!found.isEmpty(), qPrintable(text));
            const PdfProbe::TextRun r = found.first();
            QVERIFY2(qAbs(r.top - (18 + 12 * f[1].toDouble())) <= 0.5,
                     qPrintable(text + QString::number(r.top)));
            if (f[2].toDouble() >= 0)
                QVERIFY2(qAbs(r.left - (18 + 7.2 * f[2].toDouble())) <= 0.5,
                         qPrintable(text + QString::number(r.left)));
            QCOMPARE(r.bold, f[3] == QLatin1String("1"));
            QVERIFY2(qAbs(r.size - f[4].toDouble()) <= 0.5, qPrintable(text + QString::number(r.size)));
        }
        QVERIFY(rig.spoolLeft().isEmpty());
    }

    void rowStep_data()
    {
        QTest::addColumn<double>("step");
        QTest::newRow("1.0") << 1.0;
        QTest::newRow("0.9") << 0.9;
    }
    void rowStep()
    {
        QFETCH(double, step);
        Rig rig;
        PrtRun run;
        PRT_Stampa(QStringLiteral("INIT"));
        G_PrtPasso = step;
        for (int k = 0; k < 5; ++k)
            PRT_Stampa(QStringLiteral("riga%1").arg(k));
        PRT_Stampa(QStringLiteral("STOP"));
        const QList<PdfProbe::TextRun> runs = PdfProbe::text(rig.cat->jobs.at(0).copy);
        for (int k = 0; k < 5; ++k) {
            const PdfProbe::TextRun r = PdfProbe::find(runs, QStringLiteral("riga%1").arg(k));
            QVERIFY(qAbs(r.top - (18 + 12 * (2 + k * step))) <= 0.5);
        }
    }

    void styles_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("italic");
        QTest::addColumn<bool>("underline");
        QTest::newRow("ESC3 italic") << "~3" << true << false;
        QTest::newRow("ESC5 underline") << "~5" << false << true;
        QTest::newRow("ESC3 ESC5 both") << "~3~5" << true << true;
    }
    void styles()
    {
        QFETCH(QString, code);
        QFETCH(bool, italic);
        QFETCH(bool, underline);
        Rig rig;
        runOf(lines(QStringLiteral("INIT|") + code + QStringLiteral("WWWW|STOP")));
        const QString pdf = rig.cat->jobs.at(0).copy;
        QCOMPARE(PdfProbe::find(PdfProbe::text(pdf), QStringLiteral("WWWW")).italic, italic);
        // A dark run in the band just under the word's baseline.
        const QImage img = PdfProbe::render(pdf, 1, 144);
        QVERIFY(!img.isNull());
        const int x0 = int((18 + 2) * 2), x1 = int((18 + 26) * 2);
        const int yTop = int((18 + 24 + 9.6) * 2), yBottom = int((18 + 24 + 13) * 2);
        int darkest = 0;
        for (int y = yTop; y <= yBottom; ++y) {
            int dark = 0;
            for (int x = x0; x < x1; ++x)
                if (qGray(img.pixel(x, y)) < 100) ++dark;
            darkest = qMax(darkest, dark);
        }
        QCOMPARE(darkest > (x1 - x0) * 8 / 10, underline);
    }

    void landscapeTest_data()
    {
        QTest::addColumn<QString>("driver");
        QTest::newRow("laser") << "HP LaserJet";
        QTest::newRow("generic keeps landscape") << "Generic text";
    }
    void landscapeTest()
    {
        QFETCH(QString, driver);
        Rig rig(true, QStringLiteral("Ufficio"), driver);
        G_PrtSet.Landscape = 1;
        G_PrtTest = 1;
        double step = 0;
        qint16 maxRow = 0;
        {
            PrtRun run;
            PRT_Stampa(QStringLiteral("INIT"));
            step = G_PrtPasso;
            maxRow = G_PrtMaxRow;
            PRT_Stampa(QStringLiteral("primo"));
            PRT_Stampa(QStringLiteral("secondo"));
            PRT_Stampa(QStringLiteral("STOP"));
        }
        QCOMPARE(G_PrtTest, qint16(0));
        QCOMPARE(G_PrtMaxRow, qint16(62));
        const double lineSpacing = 6 * 1.1328; // Liberation Mono's ascent + descent per point
        QVERIFY2(qAbs(step * 8 * 72 / 45 - 1.2 * lineSpacing) < 0.3, qPrintable(QString::number(step)));
        QCOMPARE(maxRow, qint16(int(45 / step) - 4));
        const QString pdf = rig.cat->jobs.at(0).copy;
        QCOMPARE(PdfProbe::info(pdf).pageSizes.value(0), QSizeF(842, 595));
        QVERIFY(rig.cat->jobs.at(0).options.landscape);
        const QList<PdfProbe::TextRun> runs = PdfProbe::text(pdf);
        const double gap = PdfProbe::find(runs, QStringLiteral("secondo")).top -
                           PdfProbe::find(runs, QStringLiteral("primo")).top;
        QVERIFY(qAbs(gap - step * 8 * 72 / 45) <= 0.5);
        QVERIFY(qAbs(PdfProbe::find(runs, QStringLiteral("primo")).size - 6) <= 0.5);
        // The next job is portrait, whatever STOP left on a generic printer.
        runOf(lines(QStringLiteral("INIT|dopo|STOP")));
        QCOMPARE(PdfProbe::info(rig.cat->jobs.at(1).copy).pageSizes.value(0), QSizeF(595, 842));
        QVERIFY(!rig.cat->jobs.at(1).options.landscape);
    }

    // Margins at the ends of their range leave a row count at the nearest end of
    // G_PrtMaxRow's, in each layout, never one wrapped round to a positive page.
    void extremeMargins_data()
    {
        QTest::addColumn<int>("margin"); // Top and Bottom alike
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("maxRow");
        QTest::newRow("largest margins") << 32767 << false << -32768;
        QTest::newRow("smallest margins") << -32768 << false << 32767;
        QTest::newRow("largest margins, landscape test") << 32767 << true << -32768;
        QTest::newRow("smallest margins, landscape test") << -32768 << true << 32767;
    }
    void extremeMargins()
    {
        QFETCH(int, margin);
        QFETCH(bool, landscape);
        QFETCH(int, maxRow);
        Rig rig;
        G_PrtSet.Top = G_PrtSet.Bottom = qint16(margin);
        G_PrtSet.Landscape = landscape ? 1 : 0;
        G_PrtTest = landscape ? 1 : 0;
        PrtRun run;
        PRT_Stampa(QStringLiteral("INIT"));
        QCOMPARE(int(G_PrtMaxRow), maxRow);
        PRT_Stampa(QStringLiteral("STOP"));
        QCOMPARE(int(G_PrtMaxRow), maxRow);
    }

    void printerSettings_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("wantCopies");
        QTest::addColumn<double>("left");
        QTest::newRow("draft, copies 1 from 0") << "Ufficio"
                                                << "HP" << QStringList() << 0 << -1 << 1 << 18.0;
        QTest::newRow("three copies") << "Ufficio"
                                      << "HP" << QStringList() << 3 << -1 << 3 << 18.0;
        QTest::newRow("generic: quality untouched") << "GENERICA"
                                                    << "" << QStringList() << 1 << 0 << 1 << 18.0;
        QTest::newRow("PDF printer at the same left") << "Stampa PDF"
                                                      << "" << QStringList() << 1 << -1 << 1 << 18.0;
        QTest::newRow("refused settings still print")
            << "Ufficio"
            << "HP"
            << QStringList{QStringLiteral("Duplex"), QStringLiteral("PaperBin"),
                           QStringLiteral("PrintQuality")}
            << 1 << 0 << 1 << 18.0;
    }
    void printerSettings()
    {
        QFETCH(QString, device);
        QFETCH(QString, driver);
        QFETCH(QStringList, refused);
        QFETCH(int, copies);
        QFETCH(int, quality);
        QFETCH(int, wantCopies);
        QFETCH(double, left);
        Rig rig(true, device, driver);
        rig.cat->installed[1].refusedSettings = refused;
        rig.cat->currentPrinter = rig.cat->installed.at(1);
        G_PrtCopie = copies;
        QCOMPARE(runOf(lines(QStringLiteral("INIT|testo|STOP"))), PrtRun::Outcome::Printed);
        QCOMPARE(rig.cat->jobs.size(), 1);
        const FakePrinterCatalog::Job& j = rig.cat->jobs.at(0);
        QCOMPARE(j.printer, device); // the current printer, not the first listed
        QCOMPARE(j.options.copies, wantCopies);
        QCOMPARE(j.options.printQuality, quality);
        QCOMPARE(j.options.duplex, 1);
        QCOMPARE(j.options.media, QStringLiteral("A4"));
        QVERIFY(qAbs(PdfProbe::find(PdfProbe::text(j.copy), QStringLiteral("testo")).left - left) <= 0.5);
        QCOMPARE(G_PrtCopie, 1);
        QCOMPARE(rig.env.dialogs().beeps, 0);
        QVERIFY(rig.env.dialogs().calls.isEmpty());
    }

    void noJob_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("INIT and STOP alone") << "INIT|STOP";
        QTest::newRow("other channel") << "#NUL|INIT|testo|STOP";
    }
    void noJob()
    {
        QFETCH(QString, script);
        Rig rig;
        QStringList ls = lines(script);
        if (ls.first() == QLatin1String("#NUL")) {
            ls.removeFirst();
            G_PrtOut = QStringLiteral("FIL");
        }
        PrtRun run;
        for (const QString& l : ls)
            PRT_Stampa(l);
        QVERIFY(run.jobs().isEmpty());
        QVERIFY(!run.failed());
        QCOMPARE(rig.cat->submitted, 0);
    }

    void twoJobsInOneRun()
    {
        Rig rig;
        PrtRun run;
        for (const QString& l : lines(QStringLiteral("INIT|uno|STOP|due|STOP")))
            PRT_Stampa(l);
        QCOMPARE(run.jobs().size(), 2);
        QCOMPARE(rig.cat->jobs.size(), 2);
        QCOMPARE(PdfProbe::find(PdfProbe::text(rig.cat->jobs.at(1).copy), QStringLiteral("due")).page, 1);
        QVERIFY(!run.failed());
        QCOMPARE(run.failureText(), QString());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("text");
        const QString tail = QStringLiteral("\r\nNessuna pagina inviata alla stampante.");
        QTest::newRow("no printer") << "noprinter" << int(PrtRun::Outcome::NoPrinter)
                                    << QStringLiteral("NESSUNA STAMPANTE INSTALLATA !!") + tail;
        QTest::newRow("spool folder missing")
            << "notmp" << int(PrtRun::Outcome::NotStarted)
            << QStringLiteral(
                   "IMPOSSIBILE AVVIARE LA STAMPA !!\r\nUfficio : file di stampa non creato in %TMP%") +
                   tail;
        QTest::newRow("refused") << "refuse" << int(PrtRun::Outcome::Refused)
                                 << QStringLiteral(
                                        "STAMPA RIFIUTATA DALLA STAMPANTE !!\r\nUfficio : coda ferma") +
                                        tail;
        QTest::newRow("run ended without STOP")
            << "nostop" << int(PrtRun::Outcome::Interrupted) << QStringLiteral("STAMPA INTERROTTA !!") + tail;
    }
    void failures()
    {
        QFETCH(QString, kind);
        QFETCH(int, outcome);
        QFETCH(QString, text);
        Rig rig(kind != QLatin1String("noprinter"));
        const QString missing = rig.env.work() + QStringLiteral("manca");
        if (kind == QLatin1String("notmp")) qputenv("TMPDIR", missing.toUtf8());
        if (kind == QLatin1String("refuse")) rig.cat->refuseJobs = QStringLiteral("coda ferma");
        text.replace(QStringLiteral("%TMP%"), missing);
        QList<PrtRun::Job> jobs;
        QString failure;
        {
            PrtRun run;
            G_PrtTest = 1;
            PRT_Stampa(QStringLiteral("INIT"));
            PRT_Stampa(QStringLiteral("prima"));
            if (kind != QLatin1String("nostop")) {
                PRT_Stampa(QStringLiteral("STOP"));
                jobs = run.jobs();
                failure = run.failureText();
            }
        }
        QCOMPARE(G_PrtTest, qint16(0));
        if (kind == QLatin1String("nostop")) {
            // The next run's PDF holds only its own lines; the dropped one went nowhere.
            PrtRun run;
            for (const QString& l : lines(QStringLiteral("INIT|seconda|STOP")))
                PRT_Stampa(l);
            QCOMPARE(rig.cat->jobs.size(), 1);
            const QList<PdfProbe::TextRun> runs = PdfProbe::text(rig.cat->jobs.at(0).copy);
            QCOMPARE(PdfProbe::find(runs, QStringLiteral("prima")).page, 0);
            QCOMPARE(PdfProbe::find(runs, QStringLiteral("seconda")).page, 1);
            QVERIFY(qAbs(PdfProbe::find(runs, QStringLiteral("seconda")).top - 42) <= 0.5);
            PrtRun check;
            {
                PrtRun inner;
                PRT_Stampa(QStringLiteral("INIT"));
                PRT_Stampa(QStringLiteral("terza"));
            }
            // The inner run's own outcome, not its opener's.
            QVERIFY(check.jobs().isEmpty());
            return;
        }
        QCOMPARE(jobs.size(), 1);
        QCOMPARE(int(jobs.at(0).outcome), outcome);
        QCOMPARE(failure, text);
        QCOMPARE(rig.cat->jobs.size(), 0);
        if (kind != QLatin1String("refuse")) QCOMPARE(rig.cat->submitted, 0);
        QVERIFY(rig.spoolLeft().isEmpty());
        QVERIFY(Printer().ScaleHeight() > 0);
        const QString log = QString::fromUtf8(TestEnv::readFile(Pth_DebugLog));
        QVERIFY(log.contains(QStringLiteral("PRT_Stampa : ")));
    }

    void severalFailuresJoin()
    {
        Rig rig;
        rig.cat->refuseJobs = QStringLiteral("no");
        PrtRun run;
        for (const QString& l : lines(QStringLiteral("INIT|a|STOP|INIT|b|STOP")))
            PRT_Stampa(l);
        const QString one = QStringLiteral(
            "STAMPA RIFIUTATA DALLA STAMPANTE !!\r\nUfficio : no\r\nNessuna pagina inviata alla stampante.");
        QCOMPARE(run.failureText(), one + QStringLiteral("\r\n\r\n") + one);
    }

    void badFontSettings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<float>("size");
        QTest::addColumn<double>("want");
        QTest::newRow("empty name") << "" << 12.0f << 12.0;
        QTest::newRow("size 0") << "Courier New" << 0.0f << 12.0;
        QTest::newRow("size 900") << "Courier New" << 900.0f << 12.0;
    }
    void badFontSettings()
    {
        QFETCH(QString, name);
        QFETCH(float, size);
        QFETCH(double, want);
        Rig rig;
        G_PrtSet.FontNorm = name;
        G_PrtSet.FontNSiz = size;
        runOf(lines(QStringLiteral("INIT|testo|STOP")));
        const PdfProbe::TextRun r =
            PdfProbe::find(PdfProbe::text(rig.cat->jobs.at(0).copy), QStringLiteral("testo"));
        QVERIFY(qAbs(r.size - want) <= 0.5);
        QCOMPARE(G_PrtFont, QStringLiteral("Courier New"));
    }

    void hugeAndBinaryLines()
    {
        Rig rig;
        QString huge(1 << 20, QLatin1Char('x'));
        QString binary;
        for (int c = 0; c < 256; ++c)
            binary += QChar(c);
        runOf({QStringLiteral("INIT"), huge, binary, QStringLiteral("dopo"), QStringLiteral("STOP")});
        const QList<PdfProbe::TextRun> runs = PdfProbe::text(rig.cat->jobs.at(0).copy);
        const PdfProbe::TextRun after = PdfProbe::find(runs, QStringLiteral("dopo"));
        QVERIFY(qAbs(after.top - (18 + 12 * 4)) <= 0.5);
        for (const PdfProbe::TextRun& r : runs)
            QVERIFY2(r.left + r.text.size() * 7.2 < 595 + 7.2 * 2,
                     qPrintable(QString::number(r.text.size())));
    }

    // The machine's printing system with no scheduler behind CUPS_SERVER: a refusal
    // with CUPS' own text, never a job id.
    void cupsRefusal()
    {
        TestEnv env;
        const QByteArray old = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", (env.work() + QStringLiteral("no-cups.sock")).toUtf8());
        const QString pdf = env.writeFile(env.work() + QStringLiteral("a.pdf"), "%PDF-1.4\n%%EOF\n");
        CupsPrinterCatalog cups;
        PrinterInfo p;
        p.deviceName = QStringLiteral("Nessuna");
        const PrintSubmit s = cups.printFile(p, pdf, PrintOptions());
        qputenv("CUPS_SERVER", old);
        if (old.isEmpty()) qunsetenv("CUPS_SERVER");
        QVERIFY(!s.ok);
        QCOMPARE(s.jobId, 0);
        QVERIFY(!s.error.isEmpty());
    }
};

QTEST_MAIN(TstPrtStampa)
#include "tst_prt_stampa.moc"
