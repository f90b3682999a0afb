#include "archive/F_XMLCompact.h"
#include "archive/M_MDB.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/VbForm.h"
#include "platform/IniFile.h"
#include "platform/printers/FakePrinterCatalog.h"
#include "platform/registry/Registry.h"
#include "printing/F_List.h"
#include "printing/PRT_Globals.h"
#include "printing/PRT_InitPrinter.h"
#include "qor/Cl_QOR.h"
#include "startup/InitVBProc.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace
{

void setHklm(const char* name, const QString& value)
{
    Registry::Value v;
    v.text = value;
    QVERIFY(Registry::setValue(Registry::HKEY_LOCAL_MACHINE,
                               QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion"),
                               QLatin1String(name), v));
}

QString makeExe(const TestEnv& env, const QString& path)
{
    const QString p = env.writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(p, QFile::permissions(p) | QFile::ExeOwner);
    return p;
}

FakePrinterCatalog* installCatalog(QList<PrinterInfo> printers)
{
    auto c = std::make_unique<FakePrinterCatalog>();
    c->installed = std::move(printers);
    FakePrinterCatalog* raw = c.get();
    setPrinterCatalog(std::move(c));
    return raw;
}

} // namespace

class TstInitVBProc : public QObject
{
    Q_OBJECT
  private slots:
    void cleanup()
    {
        setPrinterCatalog(nullptr);
        setModalRunner({});
        F_XMLCompact::setRs2List({});
        if (F_List::isLoaded()) F_List::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The maintenance window's development view reaches the list window only once the
    // program has started; the width limit and the list name go through unchanged.
    void developViewAfterStartUp_data()
    {
        QTest::addColumn<int>("maxCol");
        QTest::addColumn<int>("width"); // of the 30-character text column
        QTest::newRow("no limit") << 0 << 30;
        QTest::newRow("limit 20") << 20 << 20;
    }

    void developViewAfterStartUp()
    {
        QFETCH(int, maxCol);
        QFETCH(int, width);
        TestEnv env;
        installCatalog({});
        env.dialogs().acceptOkBoxes = true;
        G_DirApp = env.appDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        const QString db = env.work() + QStringLiteral("t.MDB");
        QDir().mkpath(env.work());
        MDB_Create(db);
        ado::Connection cn;
        cn.Open(MDB_OpenConn(db));
        cn.Execute(QStringLiteral("CREATE TABLE T (id INTEGER, nome VARCHAR(30))"));
        cn.Execute(QStringLiteral("INSERT INTO T VALUES (1, 'uno'), (2, 'due')"));
        QString title;
        QStringList shown;
        setModalRunner([&](VbForm& f) {
            auto& l = static_cast<F_List&>(f);
            title = l.windowTitle();
            for (int i = 0; i < l.Lst_Lista->ListCount(); ++i)
                shown << l.Lst_Lista->List(i);
            l.Cmd_Cancel_Click();
        });
        const QString log = G_DirApp + QStringLiteral("RS2LIST_DirDaEliminare.LOG");
        auto view = [&] {
            ado::Recordset rs;
            rs.Open(QStringLiteral("SELECT * FROM T ORDER BY id"), cn, ado::adOpenStatic,
                    ado::adLockReadOnly);
            F_XMLCompact::Rs2List(rs, QStringLiteral("DirDaEliminare"), maxCol);
            QCOMPARE(rs.State(), int(ado::adStateOpen));
            QCOMPARE(rs[QStringLiteral("id")].Value().toInt(), 1);
            rs.Close();
        };

        view();
        QVERIFY(!F_List::isLoaded());
        QVERIFY(shown.isEmpty());
        QVERIFY(!QFile::exists(log));

        InitVBProc();
        G_DirApp = env.appDir();
        view();
        QCOMPARE(title, QStringLiteral("Lista DirDaEliminare"));
        QVERIFY(shown.value(0).startsWith(QLatin1String("Provider="))); // with the information block
        QCOMPARE(shown.value(shown.size() - 1),
                 QStringLiteral("         2|due") + QString(width - 3, QLatin1Char(' ')) + QLatin1Char('|'));
        QVERIFY(QFile::exists(log));
        cn.Close();
    }

    void globals()
    {
        TestEnv env;
        installCatalog({});
        InitVBProc();
        QCOMPARE(G_DirApp, env.appDir());
        QCOMPARE(G_DirWin, env.winDir());
        QCOMPARE(G_Esc, QString(QChar(27)));
        const QStringList codes{G_Esc0, G_Esc1, G_Esc2, G_Esc3, G_Esc4, G_Esc5, G_Esc6};
        for (int i = 0; i < codes.size(); ++i)
            QCOMPARE(codes[i], QString(QChar(27)) + QString::number(i));
        QCOMPARE(G_PrtPasso, 1.0);
        QVERIFY(!G_PgmVisualizzatore.isEmpty());
    }

    // stored: "" no key, "present" an existing file, "missing" a vanished file, "empty" an empty key.
    // textpad: where a TextPad is installed: "", "x86", "native", "registry".
    void viewerChoice_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("textpad");
        QTest::addColumn<bool>("registeredEditor");
        QTest::addColumn<QString>("expected"); // "stored", "textpad", "default", "registered"
        QTest::addColumn<bool>("message");
        QTest::addColumn<QString>("keyAfter"); // "", or what expected names

        QTest::newRow("stored and present") << "present"
                                            << "x86" << false << "stored" << false << "stored";
        QTest::newRow("stored and missing, TextPad x86") << "missing"
                                                         << "x86" << false << "textpad" << false << "textpad";
        QTest::newRow("no key, TextPad native") << ""
                                                << "native" << false << "textpad" << false << "textpad";
        QTest::newRow("no key, TextPad via registry")
            << ""
            << "registry" << false << "textpad" << false << "textpad";
        QTest::newRow("no key, nothing found") << ""
                                               << "" << false << "default" << false << "";
        QTest::newRow("no key, registered editor") << ""
                                                   << "" << true << "registered" << false << "";
        QTest::newRow("stored and missing, nothing found") << "missing"
                                                           << "" << false << "default" << true << "default";
        QTest::newRow("empty key, nothing found") << "empty"
                                                  << "" << false << "default" << true << "default";
    }

    void viewerChoice()
    {
        QFETCH(QString, stored);
        QFETCH(QString, textpad);
        QFETCH(bool, registeredEditor);
        QFETCH(QString, expected);
        QFETCH(bool, message);
        QFETCH(QString, keyAfter);

        TestEnv env;
        installCatalog({});
        env.dialogs().acceptOkBoxes = true;
        const QString pf86 = env.work() + QStringLiteral("pf86");
        const QString pf = env.work() + QStringLiteral("pf");
        const QString pfReg = env.work() + QStringLiteral("pf (x86)");
        QDir().mkpath(pf86);
        QDir().mkpath(pf);
        setHklm("ProgramFilesDir (x86)", pf86);
        setHklm("ProgramW6432Dir", pf);
        // A 32-bit view: the program-files value holds "(x86)", so the native one is read elsewhere.
        setHklm("ProgramFilesDir", textpad == QLatin1String("registry") ? pfReg : pf);

        QString textPadPath;
        if (textpad == QLatin1String("x86"))
            textPadPath = makeExe(env, pf86 + QStringLiteral("/TextPad 8/TextPad.exe"));
        else if (textpad == QLatin1String("native"))
            textPadPath = makeExe(env, pf + QStringLiteral("/TextPad 12/TextPad.exe"));
        else if (textpad == QLatin1String("registry"))
            textPadPath = makeExe(env, pfReg + QStringLiteral("/TextPad 6/TextPad.exe"));

        QString registered;
        if (registeredEditor) {
            registered = makeExe(env, QStringLiteral("bin/myedit"));
            env.writeFile(env.root() + QStringLiteral("data/applications/myedit.desktop"),
                          "[Desktop Entry]\nType=Application\nName=My edit\nExec=" + registered.toUtf8() +
                              " %F\n");
            env.writeFile(env.root() + QStringLiteral("config/mimeapps.list"),
                          "[Default Applications]\ntext/plain=myedit.desktop;\n");
        }

        const QString storedPath =
            stored == QLatin1String("present")   ? makeExe(env, QStringLiteral("viewer/edit"))
            : stored == QLatin1String("missing") ? env.work() + QStringLiteral("gone/VIEW.EXE")
                                                 : QString();
        if (!stored.isEmpty())
            IniFile::write(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("Stampe su Disco"),
                           QStringLiteral("PgmVisualizzatore"), storedPath);

        InitVBProc();

        const QString def = registeredEditor ? registered : DefaultViewer();
        const QString want = expected == QLatin1String("stored")       ? storedPath
                             : expected == QLatin1String("textpad")    ? textPadPath
                             : expected == QLatin1String("registered") ? registered
                                                                       : def;
        QCOMPARE(G_PgmVisualizzatore, want);
        QVERIFY(QFileInfo(G_PgmVisualizzatore).isAbsolute());

        if (message) {
            QCOMPARE(env.dialogs().calls.size(), 1);
            const auto& c = env.dialogs().calls.first();
            QCOMPARE(c.text, QStringLiteral("Imposto Viewer con \"") + def +
                                 QStringLiteral("\" per assenza file :\r\n") + storedPath);
            QCOMPARE(c.title, QStringLiteral("InitVBProc"));
            QCOMPARE(c.icon(), int(vb::Critical));
            QCOMPARE(c.buttons(), int(vb::OKOnly));
        } else {
            QCOMPARE(env.dialogs().calls.size(), 0);
        }

        const bool hasKey = IniFile::hasKey(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("Stampe su Disco"),
                                            QStringLiteral("PgmVisualizzatore"));
        const QString after = IniFile::read(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("Stampe su Disco"),
                                            QStringLiteral("PgmVisualizzatore"));
        if (keyAfter.isEmpty())
            QVERIFY(!hasKey);
        else
            QCOMPARE(after, want);
    }

    void printerFileCreatedThenLeftAlone_data()
    {
        QTest::addColumn<int>("printers");
        QTest::newRow("no printer") << 0;
        QTest::newRow("two printers") << 2;
    }

    void printerFileCreatedThenLeftAlone()
    {
        QFETCH(int, printers);
        TestEnv env;
        QList<PrinterInfo> list;
        if (printers > 0)
            list << FakePrinterCatalog::printer(QStringLiteral("Ufficio"),
                                                QStringLiteral("ipp://srv/printers/uff"),
                                                QStringLiteral("HP LaserJet"), 1);
        if (printers > 1)
            list << FakePrinterCatalog::printer(QStringLiteral("Colori"), QStringLiteral("usb://Canon/X"),
                                                QStringLiteral("Canon X"), 2);
        installCatalog(list);
        const QString ini = env.winDir() + QStringLiteral("QOR_PRT.INI");
        QVERIFY(!QFile::exists(ini));

        InitVBProc();
        QVERIFY(QFile::exists(ini));
        const QByteArray first = TestEnv::readFile(ini);
        const QStringList sections = IniFile::sections(ini);
        QCOMPARE(sections.mid(0, 2), (QStringList{QStringLiteral("System"), QStringLiteral("Default")}));
        QCOMPARE(sections.size(), 2 + printers);
        QCOMPARE(G_PrtMaxRow, qint16(62));
        if (printers > 0) {
            QCOMPARE(Qor().FixStr(G_PrtSet.DeviceName), QStringLiteral("Ufficio"));
            QCOMPARE(IniFile::read(ini, QStringLiteral("System"), QStringLiteral("Printer")),
                     QStringLiteral("Ufficio,HP LaserJet,ipp://srv/printers/uff"));
        }

        InitVBProc();
        QCOMPARE(TestEnv::readFile(ini), first);
    }

    void defaultPrinterFromWinIni()
    {
        TestEnv env;
        installCatalog({FakePrinterCatalog::printer(QStringLiteral("Ufficio"), QStringLiteral("LPT1:"))});
        env.writeFile(env.winDir() + QStringLiteral("win.ini"),
                      "[windows]\r\ndevice=Magazzino,winspool,Ne01:\r\n");
        InitVBProc();
        QCOMPARE(G_DefPrinter, QStringLiteral("Magazzino,winspool,Ne01:"));
        QCOMPARE(
            IniFile::read(QStringLiteral("QOR_PRT.INI"), QStringLiteral("System"), QStringLiteral("Printer")),
            G_DefPrinter);
    }
};

QTEST_MAIN(TstInitVBProc)
#include "tst_initvbproc.moc"
