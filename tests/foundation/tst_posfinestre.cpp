#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/PosFinestre.h"
#include "platform/IniFile.h"
#include "support/TestEnv.h"

#include <QDialog>
#include <QTest>
#include <QWidget>

#include <memory>

namespace
{

const QString Ini = QStringLiteral("QOR_PLCR.INI");
const QString Sect = QStringLiteral("PosFinestre");

// 400 x 300 pixels laid out: 6000 x 4500 twips.
std::unique_ptr<QWidget> makeForm(const QString& kind)
{
    std::unique_ptr<QWidget> w;
    if (kind == QLatin1String("fixed")) {
        w = std::make_unique<QDialog>();
        w->setFixedSize(400, 300);
    } else {
        w = std::make_unique<QWidget>();
        w->resize(400, 300);
    }
    w->setObjectName(QStringLiteral("F_Test"));
    return w;
}

QString stored(const QString& key = QStringLiteral("F_Test_Size"))
{
    return IniFile::read(Ini, Sect, key);
}

} // namespace

class TstPosFinestre : public QObject
{
    Q_OBJECT
  private slots:
    void init()
    {
        // A work area of 1280 x 1024 pixels: 19200 x 15360 twips.
        setWorkAreaProvider([] { return QRect(0, 0, 1280, 1024); });
        Pth_DebugLog.clear();
    }
    void cleanup() { setWorkAreaProvider({}); }

    void workArea()
    {
        T_WorkArea a;
        setWorkAreaProvider([] { return QRect(0, 40, 1920, 1040); });
        GetWorkArea(a);
        QCOMPARE(a.Top, 40);
        QCOMPARE(a.Left, 0);
        QCOMPARE(a.Height, 1040);
        QCOMPARE(a.Width, 1920);
        QCOMPARE(WorkAreaWidthTw(), 1920 * 15);
        QCOMPARE(WorkAreaHeightTw(), 1040 * 15);
    }

    void load_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("value"); // "" = no key
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<QPoint>("pos"); // pixels
        QTest::addColumn<QSize>("size"); // pixels
        QTest::newRow("first open") << "sizable"
                                    << "" << false << QPoint(0, 0) << QSize(400, 300);
        QTest::newRow("normal") << "sizable"
                                << "0|1200|2400|6000|9000|" << false << QPoint(160, 80) << QSize(600, 400);
        QTest::newRow("minimised counts as normal")
            << "sizable"
            << "1|1200|2400|6000|9000|" << false << QPoint(160, 80) << QSize(600, 400);
        QTest::newRow("maximised") << "sizable"
                                   << "2|1200|2400|6000|9000|" << true << QPoint(0, 0) << QSize(400, 300);
        // A window that fits is moved whole onto the work area.
        QTest::newRow("off-screen right, above top")
            << "sizable"
            << "0|-300|20000|6000|9000|" << false << QPoint(1280 - 600, 0) << QSize(600, 400);
        QTest::newRow("off-screen bottom, left of screen")
            << "sizable"
            << "0|99999|-15|6000|9000|" << false << QPoint(0, 1024 - 400) << QSize(600, 400);
        QTest::newRow("below the minimum size")
            << "sizable"
            << "0|1200|2400|3000|1500|" << false << QPoint(160, 80) << QSize(400, 300);
        QTest::newRow("decimal comma, fractions cut")
            << "sizable"
            << "0|1200,9|2400,5|6000,7|9000|" << false << QPoint(160, 80) << QSize(600, 400);
        QTest::newRow("fixed dialog keeps its size")
            << "fixed"
            << "0|1200|2400|9000|12000|" << false << QPoint(160, 80) << QSize(400, 300);
        QTest::newRow("garbage") << "sizable"
                                 << "abc" << false << QPoint(0, 0) << QSize(400, 300);
    }

    void load()
    {
        QFETCH(QString, kind);
        QFETCH(QString, value);
        QFETCH(bool, maximised);
        QFETCH(QPoint, pos);
        QFETCH(QSize, size);
        TestEnv env;
        if (!value.isEmpty()) IniFile::write(Ini, Sect, QStringLiteral("F_Test_Size"), value);
        auto w = makeForm(kind);
        qint32 minH = 0, minW = 0;
        PosFinestre_Load(w.get(), minH, minW);
        QCOMPARE(minH, 4500);
        QCOMPARE(minW, 6000);
        QCOMPARE(bool(w->windowState() & Qt::WindowMaximized), maximised);
        if (maximised) { // the desktop places a maximised window; the stored place is not applied
            QVERIFY(w->pos() != QPoint(160, 80));
            QVERIFY(w->size() != QSize(600, 400));
            return;
        }
        QCOMPARE(w->pos(), pos);
        QCOMPARE(w->size(), size);
    }

    // Windows larger than the work area, or partly off it (offscreen windows have no frame).
    void workAreaFit_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("laidOut"); // pixels
        QTest::addColumn<QString>("value"); // "" = no key
        QTest::addColumn<QRect>("area");    // pixels
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("minimum"); // what the caller gets back, pixels
        const QRect area(0, 0, 1280, 720);
        QTest::newRow("first open, taller than the area: made smaller")
            << "sizable" << QSize(1180, 760) << "" << area << QPoint(0, 0) << QSize(1180, 720)
            << QSize(1180, 720);
        QTest::newRow("stored size larger than the area: made smaller")
            << "sizable" << QSize(400, 300) << "0|0|0|12000|21000|" << area << QPoint(0, 0)
            << QSize(1280, 720) << QSize(400, 300);
        QTest::newRow("fits, but past the right and bottom edges: moved on")
            << "sizable" << QSize(400, 300) << "0|9000|15000|4500|6000|" << area << QPoint(880, 420)
            << QSize(400, 300) << QSize(400, 300);
        QTest::newRow("work area below a top panel")
            << "sizable" << QSize(400, 300) << "0|0|150|4500|6000|" << QRect(0, 40, 1280, 680)
            << QPoint(10, 40) << QSize(400, 300) << QSize(400, 300);
        QTest::newRow("fixed window larger than the area: only its corner is kept on it")
            << "fixed" << QSize(400, 300) << "0|3000|4500|4500|6000|" << QRect(0, 0, 320, 200)
            << QPoint(300, (200 * 15 - 100) / 15) << QSize(400, 300) << QSize(400, 300);
    }
    void workAreaFit()
    {
        QFETCH(QString, kind);
        QFETCH(QSize, laidOut);
        QFETCH(QString, value);
        QFETCH(QRect, area);
        QFETCH(QPoint, pos);
        QFETCH(QSize, size);
        QFETCH(QSize, minimum);
        TestEnv env;
        setWorkAreaProvider([area] { return area; });
        if (!value.isEmpty()) IniFile::write(Ini, Sect, QStringLiteral("F_Test_Size"), value);
        auto w = makeForm(kind);
        if (kind == QLatin1String("fixed"))
            w->setFixedSize(laidOut);
        else
            w->resize(laidOut);
        qint32 minH = 0, minW = 0;
        PosFinestre_Load(w.get(), minH, minW);
        QCOMPARE(w->size(), size);
        if (!value.isEmpty()) QCOMPARE(w->pos(), pos);
        QCOMPARE(QSize(minW / 15, minH / 15), minimum);
    }

    void minimumsGivenByTheCaller()
    {
        TestEnv env;
        IniFile::write(Ini, Sect, QStringLiteral("F_Test_Size"), QStringLiteral("0|0|0|3000|3000|"));
        auto w = makeForm(QStringLiteral("sizable"));
        qint32 minH = 3750, minW = 999; // 3750 is kept, 999 is below 1000 and replaced
        PosFinestre_Load(w.get(), minH, minW);
        QCOMPARE(minH, 3750);
        QCOMPARE(minW, 6000);
        QCOMPARE(w->size(), QSize(400, 250));
    }

    void loadWritesDebugLog()
    {
        TestEnv env;
        G_DirApp = env.appDir();
        IniFile::write(Ini, Sect, QStringLiteral("F_Test_Size"), QStringLiteral("0|-300|20000|6000|9000|"));
        auto w = makeForm(QStringLiteral("sizable"));
        PosFinestre_Load(w.get());
        const QString log =
            QString::fromUtf8(TestEnv::readFile(env.appDir() + QStringLiteral("XMLGESTALO_Debug.LOG")));
        QVERIFY(log.contains(QLatin1String("----- Form : F_Test\r\n")));
        QVERIFY(log.contains(QLatin1String("1-FsLOAD.Top = -300 - .Left = 20000\r\n")));
        QVERIFY(log.contains(QLatin1String("2-FsLOAD.Top = 0 - .Left = 19100\r\n")));
        QVERIFY(log.contains(QLatin1String("2-sw_twips = 19200 - sh_twips = 15360\r\n")));
        QVERIFY(log.endsWith(QString(72, QLatin1Char('=')) + QLatin1String("\r\n")));
        G_DirApp.clear();
    }

    void save_data()
    {
        QTest::addColumn<QString>("before"); // "" = no key
        QTest::addColumn<QString>("state");  // "normal", "max", "min"
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("after");
        QTest::newRow("normal") << ""
                                << "normal" << QPoint(100, 50) << "0|750|1500|4500|6000|";
        QTest::newRow("negative position") << "2|1|1|1|1|"
                                           << "normal" << QPoint(-20, -10) << "0|0|0|4500|6000|";
        QTest::newRow("maximised keeps the normal place") << "0|750|1500|4500|6000|"
                                                          << "max" << QPoint(5, 5) << "2|750|1500|4500|6000|";
        QTest::newRow("maximised, nothing stored") << ""
                                                   << "max" << QPoint(5, 5) << "2|1|1|1500|1500|";
        QTest::newRow("minimised") << "0|750|1500|4500|6000|"
                                   << "min" << QPoint(5, 5) << "1|750|1500|4500|6000|";
    }

    void save()
    {
        QFETCH(QString, before);
        QFETCH(QString, state);
        QFETCH(QPoint, pos);
        QFETCH(QString, after);
        TestEnv env;
        if (!before.isEmpty()) IniFile::write(Ini, Sect, QStringLiteral("F_Test_Size"), before);
        for (const char* s : {"S", "T", "L"})
            IniFile::write(Ini, Sect, QStringLiteral("F_Test") + QLatin1String(s), QStringLiteral("123"));
        auto w = makeForm(QStringLiteral("sizable"));
        w->move(pos);
        if (state == QLatin1String("max"))
            w->setWindowState(Qt::WindowMaximized);
        else if (state == QLatin1String("min"))
            w->setWindowState(Qt::WindowMinimized);
        PosFinestre_Save(w.get());
        QCOMPARE(stored(), after);
        for (const char* s : {"S", "T", "L"})
            QCOMPARE(stored(QStringLiteral("F_Test") + QLatin1String(s)), QString());
        // Keys that held nothing are not added.
        QVERIFY(!IniFile::hasKey(Ini, Sect, QStringLiteral("F_TestW")));
    }

    void sectionAndSuffix()
    {
        TestEnv env;
        auto w = makeForm(QStringLiteral("sizable"));
        w->move(10, 20);
        PosFinestre_Save(w.get(), QStringLiteral("PosHelp"), QStringLiteral("_X"));
        QCOMPARE(IniFile::read(Ini, QStringLiteral("PosHelp"), QStringLiteral("F_Test_X_Size")),
                 QStringLiteral("0|300|150|4500|6000|"));
        QVERIFY(!IniFile::hasKey(Ini, Sect, QStringLiteral("F_Test_Size")));
    }

    // Opened and closed again and again, a shown window neither moves nor grows.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("sizable") << "sizable";
        QTest::newRow("fixed") << "fixed";
    }

    void roundTrip()
    {
        QFETCH(QString, kind);
        TestEnv env;
        IniFile::write(Ini, Sect, QStringLiteral("F_Test_Size"), QStringLiteral("0|1515|3000|6600|9015|"));
        QString first;
        for (int i = 0; i < 10; ++i) {
            auto w = makeForm(kind);
            PosFinestre_Load(w.get());
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            PosFinestre_Save(w.get());
            w->close();
            if (i == 0) first = stored();
            QCOMPARE(stored(), first);
        }
        QCOMPARE(first, kind == QLatin1String("fixed") ? QStringLiteral("0|1515|3000|4500|6000|")
                                                       : QStringLiteral("0|1515|3000|6600|9015|"));
    }
};

QTEST_MAIN(TstPosFinestre)
#include "tst_posfinestre.moc"
