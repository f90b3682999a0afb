#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/IniFile.h"
#include "platform/printers/FakePrinterCatalog.h"
#include "platform/printers/PrinterObject.h"
#include "platform/registry/Registry.h"
#include "printing/F_DbP.h"
#include "printing/F_List.h"
#include "printing/PRT_InitPrinter.h"
#include "printing/PRT_Stampa.h"
#include "support/FixedPitch.h"
#include "support/PdfProbe.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace
{

const QString Ini = QStringLiteral("QOR_PLCR.INI");
const QString Sec = QStringLiteral("Stampe su Disco");
// The viewer the start-up chose; the window falls back on it when it has none stored.
const QString StartViewer = QStringLiteral("/usr/bin/iniziale");

struct Rig {
    TestEnv env;
    FakePrinterCatalog* cat = nullptr;
    QByteArray oldTmp = qgetenv("TMPDIR");
    QString oldCwd = QDir::currentPath();

    explicit Rig(bool withPrinter = true)
    {
        auto c = std::make_unique<FakePrinterCatalog>();
        if (withPrinter)
            c->installed << FakePrinterCatalog::printer(QStringLiteral("Ufficio"), QStringLiteral("LPT1:"),
                                                        QStringLiteral("HP"));
        c->jobFolder = env.work() + QStringLiteral("jobs");
        cat = c.get();
        setPrinterCatalog(std::move(c));
        QDir().mkpath(env.work() + QStringLiteral("tmp"));
        qputenv("TMPDIR", (env.work() + QStringLiteral("tmp")).toUtf8());
        QDir().mkpath(env.work() + QStringLiteral("cwd"));
        QDir::setCurrent(env.work() + QStringLiteral("cwd"));
        Pth_DebugLog = env.appDir() + QStringLiteral("XMLGESTALO_Debug.LOG");
        PRT_SetControlValues();
        G_PrtSet = T_PrtSet();
        G_PrtSet.Top = 2;
        G_PrtSet.Bottom = 2;
        G_PrtSet.FontNorm = QStringLiteral("Courier New");
        G_PrtSet.FontNSiz = 12;
        G_PrtSet.FontComp = QStringLiteral("Courier New");
        G_PrtSet.FontCSiz = 7;
        G_PrtSet.FontSComp = QStringLiteral("Courier New");
        G_PrtSet.FontSCSiz = 6;
        G_PgmVisualizzatore = StartViewer;
        Printer().reset();
    }
    ~Rig()
    {
        F_DbP::unloadInstance();
        Printer().reset();
        setPrinterCatalog(nullptr);
        qputenv("TMPDIR", oldTmp);
        QDir::setCurrent(oldCwd);
    }
    QString ini(const QString& key) const { return IniFile::read(Ini, Sec, key, QStringLiteral("<none>")); }
    // Asks "Ristampa" of path and answers Yes.
    void reprint(const QString& path)
    {
        F_DbP& f = F_DbP::instance();
        f.Txt_FIL->setText(path);
        env.dialogs().answer(vb::Yes);
        f.Cmd_RePrint_Click();
    }
    QString executable(const QString& name, bool exec)
    {
        const QString p = env.writeFile(env.work() + QStringLiteral("bin/") + name, "#!/bin/sh\n");
        QFile::setPermissions(p, exec ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                      : QFile::ReadOwner | QFile::WriteOwner);
        return p;
    }
};

QByteArray numbered(int n, const char* end = "\r\n")
{
    QByteArray out;
    for (int k = 0; k < n; ++k)
        out += "riga" + QByteArray::number(k) + end;
    return out;
}

} // namespace

class TstFDbP : public QObject
{
    Q_OBJECT
  private slots:
    void opening_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("ext");
        QTest::addColumn<QString>("hidden");
        QTest::addColumn<QString>("viewer");
        QTest::newRow("no settings file") << QByteArray() << "C:\\"
                                          << ""
                                          << "LOG"
                                          << "LOG" << StartViewer;
        QTest::newRow("ExtCmb TXT") << QByteArray("[Stampe su Disco]\r\nExtCmb=TXT\r\nDirectory=/srv/\r\n")
                                    << "/srv/"
                                    << ""
                                    << "TXT"
                                    << "TXT" << StartViewer;
        QTest::newRow("ExtCmb DBP not listed")
            << QByteArray("[Stampe su Disco]\r\nExtCmb=DBP\r\nEstensione=XYZ\r\nUltimoFile=/a/b.LOG\r\n")
            << "C:\\"
            << "/a/b.LOG"
            << "LOG"
            << "LOG" << StartViewer;
        QTest::newRow("empty ExtCmb")
            << QByteArray("[Stampe su Disco]\r\nExtCmb=\r\nPgmVisualizzatore=/usr/bin/v\r\n") << "C:\\"
            << ""
            << "LOG"
            << "LOG"
            << "/usr/bin/v";
        QTest::newRow("300-character folder cut at 254")
            << QByteArray("[Stampe su Disco]\r\nDirectory=/" + QByteArray(299, 'd') + "\r\n")
            << QStringLiteral("/") + QString(253, QLatin1Char('d')) << ""
            << "LOG"
            << "LOG" << StartViewer;
    }
    void opening()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, dir);
        QFETCH(QString, file);
        QFETCH(QString, ext);
        QFETCH(QString, hidden);
        QFETCH(QString, viewer);
        Rig rig;
        if (!ini.isEmpty()) rig.env.writeFile(rig.env.winDir() + Ini, ini);
        F_DbP& f = F_DbP::instance();
        QCOMPARE(f.windowTitle(), QStringLiteral("Stampe su Disco"));
        QCOMPARE(f.Txt_Dir->text(), dir);
        QCOMPARE(f.Txt_FIL->text(), file);
        QCOMPARE(f.Cmb_Ext->currentText(), ext);
        QCOMPARE(f.Cmb_Ext->count(), 3);
        QCOMPARE(f.Txt_Ext->text(), hidden);
        QCOMPARE(f.viewer(), viewer);
        QCOMPARE(f.Cmd_Edit->toolTip(), QStringLiteral("Programma visualizzatore : ") + viewer);
        QCOMPARE(f.Cmd_View->toolTip(), QStringLiteral("Programma visualizzatore : ") + viewer);
        // Closing writes the five keys and the window's place.
        f.Unload();
        QCOMPARE(rig.ini(QStringLiteral("Directory")), dir);
        QCOMPARE(rig.ini(QStringLiteral("UltimoFile")), file);
        QCOMPARE(rig.ini(QStringLiteral("Estensione")), hidden);
        QCOMPARE(rig.ini(QStringLiteral("ExtCmb")), ext);
        QCOMPARE(rig.ini(QStringLiteral("PgmVisualizzatore")), viewer);
        QVERIFY(IniFile::hasKey(Ini, QStringLiteral("PosFinestre"), QStringLiteral("F_DbP_Size")));
    }

    void layoutAndKeys()
    {
        Rig rig;
        F_DbP& f = F_DbP::instance();
        QCOMPARE(f.size(), QSize(505, 160));
        QCOMPARE(f.Txt_FIL->geometry(), QRect(8, 88, 489, 19));
        QCOMPARE(f.Cmd_View->geometry(), QRect(432, 112, 65, 33));
        QCOMPARE(f.Cmb_Ext->font().family(), QStringLiteral("Lucida Console"));
        QVERIFY(showsFixedPitch(f.Cmb_Ext->font()));
        QVERIFY(showsFixedPitch(f.Txt_Dir->font()));
        QVERIFY(f.Cmd_Fil->isDefault());
        QVERIFY(f.Txt_Ext->isHidden());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.Txt_Dir->setFocus();
        QTRY_VERIFY(f.Txt_Dir->hasFocus());
        QCOMPARE(f.Txt_Dir->palette().color(QPalette::Base), QColor(255, 255, 128));
        QWidget* chain[] = {f.Txt_FIL, f.Cmd_Edit, f.Cmd_RePrint, f.Cmd_View,
                            f.Cmb_Ext, f.Cmd_Fil,  f.Txt_Dir};
        for (QWidget* w : chain) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget(), w);
        }
        QCOMPARE(f.Txt_FIL->palette().color(QPalette::Base), QColor(Qt::white));
        // Enter in a field runs "Cerca Files".
        rig.env.dialogs().answerFile(QString());
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(f.Txt_Dir, &enter);
        QCOMPARE(rig.env.dialogs().calls.size(), 1);
        QCOMPARE(rig.env.dialogs().calls.at(0).title, QStringLiteral("Stampe su disco."));
        f.grab().save(QStringLiteral(PLICORA_BUILD_DIR "/F_DbP.png"));
    }

    // Enter on a focused button runs that button once; on "Cerca Files" (the default
    // button) too.
    void enterOnButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("dialogs"); // file dialogs and questions asked
        QTest::addColumn<int>("starts");  // programs started
        QTest::newRow("Cerca Files") << "Cmd_Fil" << 1 << 0;
        QTest::newRow("Scelta Editor") << "Cmd_Edit" << 1 << 0;
        QTest::newRow("Ristampa") << "Cmd_RePrint" << 1 << 0;
        QTest::newRow("Visualizza") << "Cmd_View" << 0 << 1;
    }
    void enterOnButtons()
    {
        QFETCH(QString, button);
        QFETCH(int, dialogs);
        QFETCH(int, starts);
        Rig rig;
        F_DbP& f = F_DbP::instance();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        auto* b = f.findChild<QPushButton*>(button);
        QVERIFY(b);
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        rig.env.dialogs().answerFile(QString());
        rig.env.dialogs().answerFile(QString());
        rig.env.dialogs().answer(vb::No);
        rig.env.dialogs().answer(vb::No);
        QTest::keyClick(b, Qt::Key_Return);
        QCOMPARE(rig.env.dialogs().calls.size(), dialogs);
        QCOMPARE(rig.env.launcher().starts.size(), starts);
    }

    void findFiles_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("dirText");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("folder"); // "@" = the current folder, "~" the test's work folder
        QTest::newRow("LOG, folder missing: nearest parent") << 1 << "~dbp/manca/ancora/"
                                                             << "Stampe su Disco (*.LOG *.log)"
                                                             << "~dbp";
        QTest::newRow("TXT") << 2 << "~dbp/"
                             << "Stampe su Disco (*.TXT *.txt)"
                             << "~dbp";
        QTest::newRow("blank item: every file") << 0 << "~dbp"
                                                << "Stampe su Disco (*)"
                                                << "~dbp";
        QTest::newRow("C:\\ is the current folder") << 1 << "C:\\"
                                                    << "Stampe su Disco (*.LOG *.log)"
                                                    << "@";
    }
    void findFiles()
    {
        QFETCH(int, item);
        QFETCH(QString, dirText);
        QFETCH(QString, filter);
        QFETCH(QString, folder);
        Rig rig;
        const QString work = rig.env.work();
        QDir().mkpath(work + QStringLiteral("dbp"));
        dirText.replace(QLatin1Char('~'), work);
        folder = folder == QLatin1String("@") ? QDir::currentPath() : folder.replace(QLatin1Char('~'), work);
        F_DbP& f = F_DbP::instance();
        f.Cmb_Ext->setCurrentIndex(item);
        f.Txt_Dir->setText(dirText);
        f.Txt_FIL->setText(QStringLiteral("prima"));
        // Cancelled: nothing changes.
        rig.env.dialogs().answerFile(QString());
        f.Cmd_Fil_Click();
        QCOMPARE(f.Txt_FIL->text(), QStringLiteral("prima"));
        QCOMPARE(f.Txt_Dir->text(), dirText);
        const ScriptedDialogs::Call c = rig.env.dialogs().calls.last();
        QCOMPARE(c.filter, filter);
        QCOMPARE(c.dir, folder);
        const QString chosen = work + QStringLiteral("dbp/con spazi.LOG");
        rig.env.dialogs().answerFile(chosen);
        f.Cmd_Fil_Click();
        QCOMPARE(f.Txt_FIL->text(), chosen);
        QCOMPARE(f.Txt_Dir->text(), work + QStringLiteral("dbp/"));
        QCOMPARE(QDir::currentPath(), rig.env.work() + QStringLiteral("cwd"));
    }

    void reprint_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("probe"); // text@page:top
        QTest::newRow("69 lines one page") << numbered(69) << 1 << "riga0@1:18 riga68@1:752.4";
        QTest::newRow("70 lines two, the 70th at Top") << numbered(70) << 2 << "riga69@2:42";
        QTest::newRow("LF endings") << numbered(3, "\n") << 1 << "riga2@1:39.6";
        QTest::newRow("lone CR endings") << numbered(3, "\r") << 1 << "riga2@1:39.6";
        QTest::newRow("last line without end") << QByteArray("a\r\nultima") << 1 << "ultima@1:28.8";
        QTest::newRow("Windows-1252")
            << QByteArray("Societ\xe0 srl\r\n") << 1 << QStringLiteral("Società@1:18");
        QTest::newRow("EJEC inside") << QByteArray("uno\r\nEJEC\r\ndue\r\n") << 2 << "due@2:42";
        QTest::newRow("NUL bytes and codes") << QByteArray("a\0b\x1b"
                                                           "4grassetto\r\n",
                                                           15)
                                             << 1 << "grassetto@1:18";
    }
    void reprint()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, pages);
        QFETCH(QString, probe);
        Rig rig;
        const QString path = rig.env.writeFile(rig.env.work() + QStringLiteral("stampa.DBP"), content);
        rig.reprint(path);
        QCOMPARE(rig.env.dialogs().calls.size(), 1);
        const ScriptedDialogs::Call& ask = rig.env.dialogs().calls.at(0);
        QCOMPARE(ask.text, QStringLiteral("Confermi ristampa documento : \r") + path);
        QCOMPARE(ask.title, QStringLiteral("Stampe su Disco"));
        QCOMPARE(ask.style, vb::YesNo | vb::Question);
        QCOMPARE(G_Risp, int(vb::Yes));
        QCOMPARE(rig.cat->jobs.size(), 1);
        const QString pdf = rig.cat->jobs.at(0).copy;
        QCOMPARE(PdfProbe::info(pdf).pages, pages);
        const QList<PdfProbe::TextRun> runs = PdfProbe::text(pdf);
        for (const QString& p : probe.split(QLatin1Char(' '))) {
            const QString text = p.section(QLatin1Char('@'), 0, 0);
            const PdfProbe::TextRun r = PdfProbe::find(runs, text);
            QCOMPARE(r.page, p.section(QLatin1Char('@'), 1).section(QLatin1Char(':'), 0, 0).toInt());
            QVERIFY2(qAbs(r.top - p.section(QLatin1Char(':'), -1).toDouble()) <= 0.5,
                     qPrintable(text + QLatin1Char(' ') + QString::number(r.top)));
        }
        QCOMPARE(rig.env.dialogs().beeps, 0);
    }

    // The engine's commands as the reprint sends them: EJEC once the row is past the
    // body, never before the first line, never for a row equal to it.
    void reprintCommands()
    {
        Rig rig;
        // 62 / 0.9: the 69th line takes the row to 62.1, the 68th to 61.2.
        const QString path = rig.env.writeFile(rig.env.work() + QStringLiteral("a.DBP"), numbered(68));
        rig.reprint(path);
        QCOMPARE(PdfProbe::info(rig.cat->jobs.at(0).copy).pages, 1);
        QCOMPARE(G_PrtMaxRow, qint16(62));
    }

    void reprintWithoutJob_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty file") << "empty";
        QTest::newRow("missing file") << "missing";
        QTest::newRow("No") << "no";
    }
    void reprintWithoutJob()
    {
        QFETCH(QString, kind);
        Rig rig;
        QString path = rig.env.writeFile(rig.env.work() + QStringLiteral("a.DBP"),
                                         kind == QLatin1String("empty") ? QByteArray() : QByteArray("x\r\n"));
        if (kind == QLatin1String("missing")) path += QStringLiteral(".manca");
        F_DbP& f = F_DbP::instance();
        f.Txt_FIL->setText(path);
        rig.env.dialogs().answer(kind == QLatin1String("no") ? vb::No : vb::Yes);
        f.Cmd_RePrint_Click();
        QCOMPARE(rig.env.dialogs().calls.size(), 1);
        QCOMPARE(rig.cat->submitted, 0);
        QVERIFY(!Printer().jobOpen());
    }

    void reprintUnreadable()
    {
        Rig rig;
        const QString path = TestEnv::unreadableFile(rig.env.work() + QStringLiteral("chiuso.DBP"), "x\r\n");
        if (path.isEmpty()) QSKIP("no unreadable file can be made here");
        rig.env.dialogs().acceptOkBoxes = true;
        rig.reprint(path);
        QCOMPARE(rig.env.dialogs().calls.size(), 2);
        QCOMPARE(rig.env.dialogs().calls.at(1).text,
                 QStringLiteral("IMPOSSIBILE LEGGERE IL FILE !!\r\n") + path);
        QCOMPARE(rig.env.dialogs().calls.at(1).style, vb::OKOnly | vb::Critical);
        QCOMPARE(rig.env.dialogs().calls.at(1).title, QStringLiteral("Stampe su Disco"));
        QCOMPARE(rig.cat->submitted, 0);
    }

    void reprintFailure_data()
    {
        QTest::addColumn<bool>("printer");
        QTest::addColumn<QString>("text");
        QTest::newRow("refused") << true
                                 << "STAMPA RIFIUTATA DALLA STAMPANTE !!\r\nUfficio : coda ferma\r\n"
                                    "Nessuna pagina inviata alla stampante.";
        QTest::newRow("no printer")
            << false << "NESSUNA STAMPANTE INSTALLATA !!\r\nNessuna pagina inviata alla stampante.";
    }
    void reprintFailure()
    {
        QFETCH(bool, printer);
        QFETCH(QString, text);
        Rig rig(printer);
        rig.cat->refuseJobs = QStringLiteral("coda ferma");
        const QString path = rig.env.writeFile(rig.env.work() + QStringLiteral("a.DBP"), numbered(200));
        rig.env.dialogs().acceptOkBoxes = true;
        rig.reprint(path);
        QCOMPARE(rig.env.dialogs().calls.size(), 2);
        QCOMPARE(rig.env.dialogs().calls.at(1).text, text);
        QCOMPARE(rig.env.dialogs().calls.at(1).style, vb::OKOnly | vb::Critical);
        QCOMPARE(rig.env.dialogs().calls.at(1).title, QStringLiteral("Stampe su Disco"));
        QCOMPARE(rig.env.dialogs().beeps, 1);
        QCOMPARE(rig.cat->jobs.size(), 0);
        QVERIFY(!Printer().jobOpen());
    }

    // Every code in one file, reprinted and rendered for a reviewer.
    void reprintEveryCode()
    {
        Rig rig;
        QByteArray content = "Normale \x1b"
                             "4grassetto\x1b"
                             "0 \x1b"
                             "3corsivo\x1b"
                             "0 \x1b"
                             "5sottolineato\x1b"
                             "0\r\n"
                             "\x1b"
                             "2Compresso \x1b"
                             "6Super compresso \x1b"
                             "1normale\r\n"
                             "\x1b"
                             "4\x1b"
                             "3\x1b"
                             "5tutti insieme\x1b"
                             "0 e poi nulla\x1b"
                             "9\x1b\r\n";
        content += "Societ\xc3\xa0 \xe2\x82\xac 100,00\r\n";
        const QString path = rig.env.writeFile(rig.env.work() + QStringLiteral("codici.DBP"), content);
        rig.reprint(path);
        QCOMPARE(rig.cat->jobs.size(), 1);
        const QList<PdfProbe::TextRun> runs = PdfProbe::text(rig.cat->jobs.at(0).copy);
        QVERIFY(PdfProbe::find(runs, QStringLiteral("grassetto")).bold);
        QVERIFY(PdfProbe::find(runs, QStringLiteral("corsivo")).italic);
        QVERIFY(qAbs(PdfProbe::find(runs, QStringLiteral("Compresso")).size - 7) <= 0.5);
        QVERIFY(PdfProbe::renderToFile(rig.cat->jobs.at(0).copy, 1, 100,
                                       QStringLiteral(PLICORA_BUILD_DIR "/F_DbP_Ristampa.png")));
    }

    void view_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("a path with blanks reaches it whole")
            << "/tmp/con spazi/file.DBP" << QStringList{QStringLiteral("/tmp/con spazi/file.DBP")};
        QTest::newRow("no file, no argument") << "" << QStringList();
    }
    void view()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, args);
        Rig rig;
        F_DbP& f = F_DbP::instance();
        f.Txt_FIL->setText(file);
        f.Cmd_View_Click();
        QCOMPARE(rig.env.launcher().starts.size(), 1);
        QCOMPARE(rig.env.launcher().starts.at(0).kind, QStringLiteral("detached"));
        QCOMPARE(rig.env.launcher().starts.at(0).program, StartViewer);
        QCOMPARE(rig.env.launcher().starts.at(0).args, args);
        QVERIFY(rig.env.dialogs().calls.isEmpty());
    }

    void viewFailedStart()
    {
        Rig rig;
        rig.env.launcher().startsSucceed = false;
        F_DbP& f = F_DbP::instance();
        rig.env.dialogs().answer(vb::OK);
        f.Cmd_View_Click();
        QCOMPARE(rig.env.dialogs().messages(),
                 QStringList{QStringLiteral("Impossibile avviare il programma :\r\n") + StartViewer});
        QCOMPARE(rig.env.dialogs().calls.at(0).style, vb::OKOnly | vb::Critical);
        QCOMPARE(rig.env.dialogs().calls.at(0).title, QStringLiteral("Stampe su Disco"));
        QCOMPARE(rig.env.dialogs().beeps, 1);
    }

    void chooseViewer_data()
    {
        QTest::addColumn<bool>("rightClick");
        QTest::addColumn<bool>("executable");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("Scelta Editor, executable") << false << true << false;
        QTest::newRow("Scelta Editor, not executable") << false << false << false;
        QTest::newRow("Scelta Editor, cancelled") << false << true << true;
        QTest::newRow("right click, executable") << true << true << false;
        QTest::newRow("right click, not executable") << true << false << false;
    }
    void chooseViewer()
    {
        QFETCH(bool, rightClick);
        QFETCH(bool, executable);
        QFETCH(bool, cancel);
        Rig rig;
        Registry::Value v;
        v.text = rig.env.work() + QStringLiteral("programmi");
        QDir().mkpath(v.text);
        Registry::setValue(Registry::HKEY_LOCAL_MACHINE,
                           QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion"),
                           QStringLiteral("ProgramFilesDir"), v);
        const QString viewer = rig.executable(QStringLiteral("vedi"), executable);
        F_DbP& f = F_DbP::instance();
        rig.env.dialogs().answerFile(cancel ? QString() : viewer);
        if (rightClick) {
            f.show();
            QVERIFY(QTest::qWaitForWindowExposed(&f));
            QTest::mouseClick(f.Cmd_View, Qt::RightButton);
        } else {
            f.Cmd_Edit_Click();
        }
        QCOMPARE(rig.env.dialogs().calls.size(), 1);
        const ScriptedDialogs::Call c = rig.env.dialogs().calls.at(0);
        QCOMPARE(c.title, QStringLiteral("Programmi visualizzatori."));
        QCOMPARE(c.filter, QStringLiteral("Programmi visualizzatori (*)"));
        QCOMPARE(c.dir, rightClick ? QString() : v.text);
        QVERIFY(rig.env.launcher().starts.isEmpty());
        const bool taken = executable && !cancel;
        QCOMPARE(rig.env.dialogs().beeps, executable || cancel ? 0 : 1);
        QCOMPARE(f.viewer(), taken ? viewer : StartViewer);
        QCOMPARE(f.Cmd_View->toolTip(), taken ? QStringLiteral("Programma visualizzatore : ") + viewer +
                                                    QStringLiteral(" - Mouse destro per cambiare!")
                                              : QStringLiteral("Programma visualizzatore : ") + StartViewer);
        QCOMPARE(f.Cmd_Edit->toolTip(), QStringLiteral("Programma visualizzatore : ") + StartViewer);
        // Scelta Editor writes at once and changes the program's viewer; the right click waits for closing.
        const bool atOnce = taken && !rightClick;
        QCOMPARE(rig.ini(QStringLiteral("PgmVisualizzatore")), atOnce ? viewer : QStringLiteral("<none>"));
        QCOMPARE(G_PgmVisualizzatore, atOnce ? viewer : StartViewer);
        f.Unload();
        QCOMPARE(rig.ini(QStringLiteral("PgmVisualizzatore")), taken ? viewer : StartViewer);
    }

    // The list window's right click on its view button opens this window modally.
    void fromListWindow()
    {
        Rig rig;
        QStringList shown;
        setModalRunner([&shown](VbForm& form) {
            shown << form.objectName();
            form.Unload();
        });
        F_List& list = F_List::instance();
        list.Cmd_View_MouseUp(1, 0, 0, 0);
        QVERIFY(shown.isEmpty());
        list.Cmd_View_MouseUp(2, 0, 0, 0);
        setModalRunner({});
        QCOMPARE(shown, QStringList{QStringLiteral("F_DbP")});
        QCOMPARE(rig.env.dialogs().beeps, 0);
        QVERIFY(!F_DbP::isLoaded());
        QVERIFY(IniFile::hasKey(Ini, Sec, QStringLiteral("Directory")));
        list.Unload();
    }
};

QTEST_MAIN(TstFDbP)
#include "tst_f_dbp.moc"
