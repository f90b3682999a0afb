#include "platform/IniFile.h"
#include "printing/FormPRT.h"
#include "printing/PRT_Globals.h"
#include "printing/PRT_InitPrinter.h"
#include "printing/PRT_TestPage.h"
#include "qor/Cl_QOR.h"
#include "support/PdfProbe.h"
#include "support/PrinterRig.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace
{

// Lines written with "~n" for the in-line code n.
QStringList lines(const QStringList& text)
{
    QStringList out = text;
    for (QString& l : out)
        l.replace(QLatin1Char('~'), QChar(27));
    return out;
}

// The portrait page of a printer that handles landscape, 132 columns wide.
const QStringList TickedPortrait{
    "~2~0Stampante : ~4Ufficio,LPT1:~0",
    " ",
    "~5Dati Fissi.~0",
    "Righe (1/6\") = 66",
    "Colonne (1/10\") = 132",
    "Landscape possibile = Si",
    "Modo colore = 2",
    " ",
    "~5Dati Utente.~0",
    "Righe vuote TOP = 3",
    "Righe vuote BOTTOM = 4",
    "Font NORMALE = Courier New : 12",
    "Font COMPRESSO = Liberation Mono : 7.5",
    "Font SuperCOMPRESSO = DejaVu Sans Mono : 6",
    " ",
    "Quality =-1",
    " ",
    "~0Normale ~2Prova compresso ~0Normale",
    "~0Normale ~6Prova Supercompresso ~0Normale",
    " ",
    "~0~6SuperCompresso ~4Grassetto ~0~6~3Italico ~0~6~5Sottolineato~0~6 Normale",
    "~6SuperCompresso ~4Grassetto ~3Italico ~5Sottolineato~0~2 Normale~0",
    "~6123456789_123456789_1~0",
    "~6SuperCompresso ~4Grassetto ~3Italico ~5Sottolineato~0~2 Normale~0",
    " ",
    "~2Compresso ~4Grassetto ~0~2~3Italico ~0~2~5Sottolineato~0~2 Normale",
    "~2Compresso ~4Grassetto ~3Italico ~5Sottolineato~0~2 Normale~0",
    "~2123456789_123456789_1234~0",
    " ",
    "Normale ~4Grassetto ~0~3Italico ~0~5Sottolineato~0 Normale",
    "Normale ~4Grassetto ~3Italico ~5Sottolineato~0 Normale",
    "123456789",
};

// The same without landscape, 80 columns wide.
const QStringList UntickedPortrait{
    "~2~0Stampante : ~4Ufficio,LPT1:~0",
    " ",
    "~5Dati Fissi.~0",
    "Righe (1/6\") = 66",
    "Colonne (1/10\") = 80",
    "Landscape possibile = No",
    "Modo colore = 2",
    " ",
    "~5Dati Utente.~0",
    "Righe vuote TOP = 3",
    "Righe vuote BOTTOM = 4",
    "Font NORMALE = Courier New : 12",
    "Font COMPRESSO = Liberation Mono : 7.5",
    " ",
    "Quality =-1",
    " ",
    "~0Normale ~2Prova compresso ~0Normale",
    "~2Compresso ~4Grassetto ~0~2~3Italico ~0~2~5Sottolineato~0~2 Normale",
    "~2Compresso ~4Grassetto ~3Italico ~5Sottolineato~0~2 Normale~0",
    "~2123456789_1234~0",
    " ",
    "Normale ~4Grassetto ~0~3Italico ~0~5Sottolineato~0 Normale",
    "Normale ~4Grassetto ~3Italico ~5Sottolineato~0 Normale",
    "123456789_1234",
};

PrtTestValues values(bool landscape, const QString& width)
{
    PrtTestValues v;
    v.title = QStringLiteral("Parametri Stampante");
    v.printer = QStringLiteral("Ufficio,LPT1:");
    v.righe = QStringLiteral("66");
    v.colonne = width;
    v.colore = QStringLiteral("2");
    v.top = QStringLiteral("3");
    v.bottom = QStringLiteral("4");
    v.fontNor = QStringLiteral("Courier New");
    v.sizeNor = QStringLiteral("12");
    v.fontComp = QStringLiteral("Liberation Mono");
    v.sizeComp = QStringLiteral("7.5");
    v.fontSComp = QStringLiteral("DejaVu Sans Mono");
    v.sizeSComp = QStringLiteral("6");
    v.landscape = landscape;
    return v;
}

// One printer, "Ufficio", and the printer settings the test page reports.
struct Rig : PrinterRig {
    explicit Rig(bool printer = true, qint16 landscape = 0) : PrinterRig(printer, false)
    {
        G_PrtSet.Lunghezza = 66;
        G_PrtSet.Top = 2;
        G_PrtSet.Bottom = 2;
        G_PrtSet.Landscape = landscape;
        G_PrtSet.FontNorm = QStringLiteral("Courier New");
        G_PrtSet.FontNSiz = 12;
        G_PrtSet.FontComp = QStringLiteral("Courier New");
        G_PrtSet.FontCSiz = 7;
        G_PrtSet.FontSComp = QStringLiteral("Courier New");
        G_PrtSet.FontSCSiz = 6;
        G_PrtTest = 0;
    }
    ~Rig() { FormPRT::unloadInstance(); }
};

const QString Refused = QStringLiteral("STAMPA RIFIUTATA DALLA STAMPANTE !!\r\nUfficio : coda ferma\r\n"
                                       "Nessuna pagina inviata alla stampante.");
const QString NoPrinter =
    QStringLiteral("NESSUNA STAMPANTE INSTALLATA !!\r\nNessuna pagina inviata alla stampante.");

} // namespace

class TstPrtTestPage : public QObject
{
    Q_OBJECT
  private slots:
    void portraitLines_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("width");
        QTest::addColumn<int>("quality");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("ticked, 132: rulers of 24 and 9") << true << "132" << -1 << lines(TickedPortrait);
        QTest::newRow("unticked, 80: rulers of 14") << false << "80" << -1 << lines(UntickedPortrait);
        QStringList w130 = UntickedPortrait;
        w130[4] = QStringLiteral("Colonne (1/10\") = 130");
        w130[14] = QStringLiteral("Quality =0");
        QTest::newRow("unticked, exactly 130, quality 0") << false << "130" << 0 << lines(w130);
        QStringList abc = TickedPortrait;
        abc[4] = QStringLiteral("Colonne (1/10\") = abc");
        abc[27] = QStringLiteral("~2123456789_1234~0");
        abc[31] = QStringLiteral("123456789_1234");
        QTest::newRow("ticked, abc counts as 0") << true << "abc" << -1 << lines(abc);
    }
    void portraitLines()
    {
        QFETCH(bool, ticked);
        QFETCH(QString, width);
        QFETCH(int, quality);
        QFETCH(QStringList, expected);
        Rig rig;
        const QStringList got = PRT_TestPortraitLines(values(ticked, width), quality);
        QCOMPARE(got.size(), ticked ? 32 : 24);
        QCOMPARE(got, expected);
    }

    void landscapeLines()
    {
        Rig rig;
        const QStringList expected = lines({
            "~2~0Normale ~2Prova compresso ~0Normale",
            " ",
            "~0Normale ~6Prova Supercompresso ~0Normale",
            " ",
            "~0~6SuperCompresso ~4Grassetto ~0~6~3Italico ~0~6~5Sottolineato~0~6 Normale",
            "~6SuperCompresso ~4Grassetto ~3Italico ~5Sottolineato~0~6 Normale~0",
            "~6123456789_123456789_123~0",
            "~6SuperCompresso ~4Grassetto ~3Italico ~5Sottolineato~0~6 Normale~0",
            " ",
            "~2Compresso ~4Grassetto ~0~2~3Italico ~0~2~5Sottolineato~0~2 Normale",
            "~2Compresso ~4Grassetto ~3Italico ~5Sottolineato~0~2 Normale~0",
            "~2123456789_123456789_123~0",
            " ",
            "Normale ~4Grassetto ~0~3Italico ~0~5Sottolineato~0 Normale",
            "Normale ~4Grassetto ~3Italico ~5Sottolineato~0 Normale",
            "123456789_123456789_123",
        });
        // The width plays no part here.
        QCOMPARE(PRT_TestLandscapeLines(values(true, QStringLiteral("80"))), expected);
        QCOMPARE(PRT_TestLandscapeLines(values(true, QStringLiteral("132"))), expected);
    }

    void questions_data()
    {
        QTest::addColumn<bool>("printer");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<int>("recordLandscape");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<QString>("pages"); // page size of each job, in points
        QTest::addColumn<QString>("failure");
        const int Y = vb::Yes, N = vb::No;
        QTest::newRow("No first: nothing, no message") << true << false << true << 1 << QList<int>{N} << ""
                                                       << "";
        QTest::newRow("unticked: portrait, no landscape question")
            << true << false << false << 1 << QList<int>{Y, Y} << "595x842"
            << "";
        QTest::newRow("No then Yes, record Landscape 1")
            << true << false << true << 1 << QList<int>{Y, N, Y} << "842x595"
            << "";
        QTest::newRow("No then Yes, record Landscape 0")
            << true << false << true << 0 << QList<int>{Y, N, Y} << "595x842"
            << "";
        QTest::newRow("both pages, one job each")
            << true << false << true << 1 << QList<int>{Y, Y, Y} << "595x842 842x595"
            << "";
        QTest::newRow("no page asked") << true << false << true << 1 << QList<int>{Y, N, N} << ""
                                       << "";
        QTest::newRow("no printer") << false << false << true << 1 << QList<int>{Y, Y, Y} << "" << NoPrinter;
        QTest::newRow("refused job") << true << true << false << 0 << QList<int>{Y, Y} << "" << Refused;
        QTest::newRow("both refused, told once") << true << true << true << 1 << QList<int>{Y, Y, Y} << ""
                                                 << Refused;
        QTest::newRow("one page refused, none asked for the other")
            << true << true << true << 1 << QList<int>{Y, N, Y} << "" << Refused;
    }
    void questions()
    {
        QFETCH(bool, printer);
        QFETCH(bool, refuse);
        QFETCH(bool, ticked);
        QFETCH(int, recordLandscape);
        QFETCH(QList<int>, answers);
        QFETCH(QString, pages);
        QFETCH(QString, failure);
        Rig rig(printer, qint16(recordLandscape));
        if (refuse) rig.cat->refuseJobs = QStringLiteral("coda ferma");
        for (int a : answers)
            rig.env.dialogs().answer(a);
        rig.env.dialogs().acceptOkBoxes = true;
        PRT_TestPage(values(ticked, QStringLiteral("80")));

        const QList<ScriptedDialogs::Call>& calls = rig.env.dialogs().calls;
        struct Ask {
            QString text;
            int style;
            QString title;
        };
        QList<Ask> asked{{"Confermi TEST Stampante ?", vb::YesNo | vb::Question | vb::DefaultButton2, "FormPRT"}};
        if (answers.size() > 1) asked.append({"Vuoi TEST stampa in PORTRAIT ?", vb::YesNo | vb::Question,
                                              "Parametri Stampante"});
        if (answers.size() > 1 && ticked)
            asked.append({"Vuoi TEST stampa in LANDSCAPE ?", vb::YesNo | vb::Question | vb::DefaultButton2,
                          "Parametri Stampante"});
        QCOMPARE(calls.size(), answers.size() == 1 ? 1 : int(asked.size()) + 1);
        for (int i = 0; i < asked.size(); ++i) {
            QCOMPARE(calls.at(i).text, asked.at(i).text);
            QCOMPARE(calls.at(i).style, asked.at(i).style);
            QCOMPARE(calls.at(i).title, asked.at(i).title);
        }
        QCOMPARE(G_Risp, answers.last());
        if (answers.size() > 1) {
            const ScriptedDialogs::Call& told = calls.last();
            if (failure.isEmpty()) {
                QCOMPARE(told.text, QStringLiteral("TEST Stampante terminato !"));
                QCOMPARE(told.style, int(vb::OKOnly));
                QCOMPARE(told.title, QString());
            } else {
                QCOMPARE(told.text, failure);
                QCOMPARE(told.style, vb::OKOnly | vb::Critical);
                QCOMPARE(told.title, QStringLiteral("FormPRT"));
            }
        }
        QCOMPARE(rig.env.dialogs().beeps, failure.isEmpty() ? 0 : 1);
        QStringList sizes;
        for (const FakePrinterCatalog::Job& j : rig.cat->jobs) {
            const QSizeF s = PdfProbe::info(j.copy).pageSizes.value(0);
            QCOMPARE(PdfProbe::info(j.copy).pages, 1);
            sizes << QStringLiteral("%1x%2").arg(qRound(s.width())).arg(qRound(s.height()));
        }
        QCOMPARE(sizes.join(QLatin1Char(' ')), pages);
        QCOMPARE(G_PrtTest, qint16(0));
        QVERIFY(!Printer().jobOpen());
    }

    // From the window: the fields as they stand reach the page, the file stays as it was.
    void fromWindow()
    {
        Rig rig;
        const QByteArray ini =
            "[Default]\r\nPrinter=Ufficio,LPT1:\r\nLunghezza=66\r\nLarghezza=80\r\nLandscape=0\r\nColore=1\r\n"
            "Top=2\r\nBottom=2\r\nFontNorm=Courier New\r\nFontNSiz=12\r\nFontComp=Courier New\r\nFontCSiz=7\r\n"
            "FontSComp=Courier New\r\nFontSCSiz=6\r\n"
            "[Ufficio,LPT1:]\r\nLunghezza=66\r\nLarghezza=80\r\nLandscape=0\r\nColore=1\r\n"
            "Top=2\r\nBottom=2\r\nFontNorm=Courier New\r\nFontNSiz=12\r\nFontComp=Courier New\r\nFontCSiz=7\r\n"
            "FontSComp=Courier New\r\nFontSCSiz=6\r\n";
        const QString path = rig.env.writeFile(rig.env.winDir() + QStringLiteral("QOR_PRT.INI"), ini);
        FormPRT& f = FormPRT::instance();
        f.Show();
        f.Txt_RTop->setText(QStringLiteral("9"));
        f.Txt_Color->setText(QStringLiteral("nero"));
        const QByteArray before = TestEnv::readFile(path);
        rig.env.dialogs().answer(vb::Yes).answer(vb::Yes);
        rig.env.dialogs().acceptOkBoxes = true;
        f.Cmd_TestPRT->click();
        QVERIFY(rig.env.dialogs().allAnswered());
        QCOMPARE(rig.env.dialogs().calls.size(), 3);
        QCOMPARE(rig.env.dialogs().messages().last(), QStringLiteral("TEST Stampante terminato !"));
        QCOMPARE(TestEnv::readFile(path), before);
        QCOMPARE(rig.cat->jobs.size(), 1);
        const QString pdf = rig.cat->jobs.at(0).copy;
        const QList<PdfProbe::TextRun> runs = PdfProbe::text(pdf);
        for (const char* t : {"Righe vuote TOP = 9", "Modo colore = nero", "Quality =-1", "Landscape possibile = No"})
            QVERIFY2(PdfProbe::find(runs, QLatin1String(t)).page == 1, t);
        const PdfProbe::TextRun name = PdfProbe::find(runs, QStringLiteral("Ufficio,LPT1:"));
        QVERIFY(name.bold);
        QVERIFY(PdfProbe::find(runs, QStringLiteral("Prova compresso")).size < 8);
        QVERIFY(PdfProbe::renderToFile(pdf, 1, 100, QStringLiteral(PLICORA_BUILD_DIR "/PRT_TestPage.png")));
    }
};

QTEST_MAIN(TstPrtTestPage)
#include "tst_prt_testpage.moc"
