#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/IniFile.h"
#include "platform/printers/FakePrinterCatalog.h"
#include "platform/printers/PrinterObject.h"
#include "printing/FormPRT.h"
#include "printing/PRT_Globals.h"
#include "printing/PRT_InitPrinter.h"
#include "qor/Cl_QOR.h"
#include "support/PrinterRig.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace
{

const QString Prt = QStringLiteral("QOR_PRT.INI");

// A printer section: the keys a generation writes, some replaced ("Top=5;Larghezza=132").
QByteArray section(const QByteArray& name, const QByteArray& changes = QByteArray())
{
    QList<QPair<QByteArray, QByteArray>> keys{
        {"Lunghezza", "66"},        {"Larghezza", "80"}, {"Landscape", "0"},         {"Colore", "1"},
        {"Top", "2"},               {"Bottom", "2"},     {"FontNorm", "Courier New"}, {"FontNSiz", "12"},
        {"FontComp", "Courier New"}, {"FontCSiz", "7"},  {"FontSComp", "Courier New"}, {"FontSCSiz", "6"}};
    for (const QByteArray& c : changes.split(';')) {
        if (c.isEmpty()) continue;
        const QByteArray k = c.left(c.indexOf('='));
        bool found = false;
        for (auto& kv : keys)
            if (kv.first == k) {
                kv.second = c.mid(c.indexOf('=') + 1);
                found = true;
            }
        if (!found) keys.append({k, c.mid(c.indexOf('=') + 1)});
    }
    QByteArray out = "[" + name + "]\r\n";
    for (const auto& kv : keys)
        if (kv.second != "<none>") out += kv.first + "=" + kv.second + "\r\n";
    return out;
}

QByteArray defaults(const QByteArray& printer, const QByteArray& changes = QByteArray())
{
    return section("Default", "Printer=" + printer + ";" + changes);
}

const QByteArray System = "[System]\r\nPrinter=Ufficio,HP LaserJet,LPT1:\r\n";

// [Default] on Ufficio and three printers, the last one not installed.
QByteArray standardIni()
{
    return System + defaults("Ufficio,LPT1:") + section("Ufficio,LPT1:") +
           section("Grande,LPT2:", "Lunghezza=72;Larghezza=132;Landscape=1;Top=4;Colore=2") +
           section("Vecchia,LPT3:", "Top=5");
}

// Another window of the program: its activation deactivates the set-up window.
class F_Altra final : public VbFormOf<F_Altra>
{
  public:
    F_Altra() { setObjectName(QStringLiteral("F_Altra")); }
};

void flush()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Rig : PrinterRig {
    explicit Rig(bool printers = true) : PrinterRig(printers) {}
    ~Rig()
    {
        FormPRT::unloadInstance();
        F_Altra::unloadInstance();
    }
    void write(const QByteArray& ini) const { env.writeFile(env.winDir() + Prt, ini); }
    QByteArray bytes() const { return TestEnv::readFile(env.winDir() + Prt); }
    QString prt(const QString& sec, const QString& key) const
    {
        return IniFile::read(Prt, sec, key, QStringLiteral("<none>"));
    }
    // The value as the file holds it, blanks included.
    QString raw(const QString& sec, const QString& key) const
    {
        bool in = false;
        for (const QString& l : QString::fromUtf8(bytes()).split(QStringLiteral("\r\n"))) {
            if (l.startsWith(QLatin1Char('['))) {
                in = l.mid(1, l.indexOf(QLatin1Char(']')) - 1) == sec;
            } else if (in && l.startsWith(key + QLatin1Char('='))) {
                return l.mid(key.size() + 1);
            }
        }
        return QStringLiteral("<none>");
    }
    QString choosed() const
    {
        return IniFile::read(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("PrtOut"), QStringLiteral("Choosed"),
                             QStringLiteral("<none>"));
    }
    QString current() const { return cat->currentPrinter ? cat->currentPrinter->deviceName : QString(); }
    // Opens the window as its opener does: modally, driven by body while it is shown.
    int modal(const std::function<void(FormPRT&)>& body)
    {
        setModalRunner([&body](VbForm& w) {
            w.show();
            w.Activate();
            if (!w.isUnloaded()) body(static_cast<FormPRT&>(w));
        });
        const int r = FormPRT::ShowModalFrom();
        setModalRunner({});
        flush();
        return r;
    }
    FormPRT& open()
    {
        FormPRT& f = FormPRT::instance();
        f.Show();
        return f;
    }
};

QStringList items(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

QString recordName()
{
    return Qor().FixStr(G_PrtSet.Nome);
}

} // namespace

class TstFormPRT : public QObject
{
    Q_OBJECT
  private slots:
    void layout()
    {
        Rig rig;
        rig.write(standardIni());
        FormPRT& f = rig.open();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.windowTitle(), QStringLiteral("Parametri Stampante"));
        QCOMPARE(f.size(), QSize(395, 338));
        const QList<QPair<QWidget*, QString>> texts{
            {f.Label11, "Stampante"},
            {f.Cmd_SetDef, "Set Default"},
            {f.Label12, "St. default :"},
            {f.Label7, "Dati fissi :"},
            {f.Label8, "Righe (1/6\") :"},
            {f.Label9, "Colonne (1/10\") :"},
            {f.Label10, "Modo colore :"},
            {f.Chk_Comp, "Stampa comunque compresso !"},
            {f.Label2, "Righe vuote TOP :"},
            {f.Label3, "Righe vuote BOTTOM :"},
            {f.Label1, "Font :"},
            {f.Label6, "Dimensione :"},
            {f.Label4, "NORMALE :"},
            {f.Label5, "COMPRESSO :"},
            {f.Cmd_SelNor, "Seleziona"},
            {f.Cmd_SelCom, "Seleziona"},
            {f.Cmd_SelSCom, "Seleziona"},
            {f.Chk_Land, "Gestisce il Landscape"},
            {f.Cmd_TestPRT, "Test stampa"},
            {f.Cmd_ReNew, "Rigenera File"},
            {f.Cmd_OK, "OK"},
            {f.Cmd_Quit, "Abbandona"},
        };
        for (const auto& t : texts) {
            QString shown;
            if (auto* l = qobject_cast<QLabel*>(t.first)) shown = l->text();
            if (auto* b = qobject_cast<QAbstractButton*>(t.first)) shown = b->text();
            QCOMPARE(shown, t.second);
        }
        QCOMPARE(f.Cmd_ReNew->toolTip(), QStringLiteral("Click-Destro per file INI"));
        for (QLineEdit* e : {f.Txt_H, f.Txt_W, f.Txt_Nor, f.Txt_DNor, f.Txt_Comp, f.Txt_DComp, f.Txt_SComp,
                             f.Txt_DSComp}) {
            QVERIFY2(e->isReadOnly(), qPrintable(e->objectName()));
            QCOMPARE(e->cursor().shape(), Qt::ArrowCursor);
        }
        QVERIFY(!f.Txt_Color->isReadOnly());
        QCOMPARE(f.Txt_Color->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(!f.Txt_RTop->isReadOnly());
        QVERIFY(!f.Txt_RBot->isReadOnly());
        // Light yellow while focused, in typed and locked fields alike.
        for (QLineEdit* e : {f.Txt_RTop, f.Txt_Nor}) {
            e->setFocus();
            QTRY_VERIFY(e->hasFocus());
            QCOMPARE(e->palette().color(QPalette::Base), QColor(255, 255, 128));
        }
        QCOMPARE(f.Txt_RTop->palette().color(QPalette::Base), QColor(Qt::white));
        // Ticked, so the super-compressed row shows too.
        f.Cmb_Prt->setCurrentIndex(1);
        QVERIFY(f.Chk_Land->isChecked());
        QVERIFY(f.Txt_SComp->isVisible());
        f.Txt_RTop->setFocus();
        f.grab().save(QStringLiteral(PLICORA_BUILD_DIR "/FormPRT.png"));
    }

    void selection_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("select"); // entry chosen after opening, "" none
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("lbl");
        QTest::addColumn<bool>("setDef");
        QTest::addColumn<QString>("defPrinter"); // [Default] Printer before closing
        QTest::addColumn<QString>("defWidth");   // [Default] Larghezza before closing
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("closed"); // [Default] Printer after Abbandona
        QTest::newRow("System, Default, two printers, [Default printer] not listed")
            << System + defaults("Ufficio,LPT1:") + section("Default printer") + section("Ufficio,LPT1:") +
                   section("Grande,LPT2:")
            << "" << QStringList{"Ufficio,LPT1:", "Grande,LPT2:"} << "Ufficio,LPT1:"
            << "Ufficio,LPT1:" << false << "Ufficio,LPT1:"
            << "80"
            << "Ufficio"
            << "Ufficio,LPT1:";
        QTest::newRow("the first section naming a prefix of the default wins")
            << System + defaults("Ufficio,LPT1:") + section("Ufficio") + section("Ufficio,LPT1:") << ""
            << QStringList{"Ufficio", "Ufficio,LPT1:"} << "Ufficio"
            << "Ufficio,LPT1:" << true << "Ufficio,LPT1:"
            << "80"
            << "Ufficio"
            << "Ufficio,LPT1:";
        QTest::newRow("an installed printer's exact name is made default at once")
            << standardIni() << "Grande,LPT2:" << QStringList{"Ufficio,LPT1:", "Grande,LPT2:", "Vecchia,LPT3:"}
            << "Grande,LPT2:"
            << "Grande,LPT2:" << false << "Grande,LPT2:"
            << "132"
            << "Grande"
            << "Grande,LPT2:";
        QTest::newRow("same device, other port: current, not default")
            << standardIni() + section("Ufficio,USB1:", "Larghezza=132") << "Ufficio,USB1:"
            << QStringList{"Ufficio,LPT1:", "Grande,LPT2:", "Vecchia,LPT3:", "Ufficio,USB1:"} << "Ufficio,USB1:"
            << "Ufficio,USB1:" << true << "Ufficio,LPT1:"
            << "80"
            << "Ufficio"
            << "Ufficio,USB1:";
        QTest::newRow("entry 0 an installed exact name, the default another section")
            << System + defaults("Ufficio,USB1:", "Larghezza=132") + section("Grande,LPT2:") +
                   section("Ufficio,USB1:", "Larghezza=132")
            << "" << QStringList{"Grande,LPT2:", "Ufficio,USB1:"} << "Ufficio,USB1:"
            << "Ufficio,USB1:" << false << "Ufficio,USB1:"
            << "132"
            << "Ufficio"
            << "Ufficio,USB1:";
        QTest::newRow("blanks after ], Windows-1252 name, empty and duplicate sections")
            << System + defaults("Ufficio,LPT1:") + "[]\r\nTop=9\r\n" + section("Ufficio,LPT1:") +
                   section("Ufficio,LPT1:", "Top=8").replace("]\r\n", "]  \r\n") + section("Societ\xe0,LPT9:") + "[senza chiusura\r\n"
            << "Societ\u00e0,LPT9:" << QStringList{"", "Ufficio,LPT1:", "Ufficio,LPT1:", "Societ\u00e0,LPT9:"}
            << "Societ\u00e0,LPT9:"
            << "Societ\u00e0,LPT9:" << true << "Ufficio,LPT1:"
            << "80"
            << "Ufficio"
            << "Societ\u00e0,LPT9:";
    }
    void selection()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, select);
        QFETCH(QStringList, list);
        QFETCH(QString, shown);
        QFETCH(QString, lbl);
        QFETCH(bool, setDef);
        QFETCH(QString, defPrinter);
        QFETCH(QString, defWidth);
        QFETCH(QString, current);
        QFETCH(QString, closed);
        Rig rig;
        rig.write(ini);
        rig.modal([&](FormPRT& f) {
            QCOMPARE(items(f.Cmb_Prt), list);
            if (!select.isEmpty()) f.Cmb_Prt->setCurrentIndex(list.indexOf(select));
            QCOMPARE(f.Cmb_Prt->currentText(), shown);
            QCOMPARE(f.Lbl_Prt->text(), lbl);
            QCOMPARE(f.Cmd_SetDef->isEnabled(), setDef);
            QCOMPARE(rig.prt(QStringLiteral("Default"), QStringLiteral("Printer")), defPrinter);
            QCOMPARE(rig.prt(QStringLiteral("Default"), QStringLiteral("Larghezza")), defWidth);
            QCOMPARE(rig.current(), current);
            f.Cmd_Quit->click();
        });
        QVERIFY(!FormPRT::isLoaded());
        QCOMPARE(rig.prt(QStringLiteral("Default"), QStringLiteral("Printer")), closed);
        QCOMPARE(recordName(), closed);
        QCOMPARE(rig.choosed(), QStringLiteral("<none>"));
        QVERIFY(IniFile::hasKey(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("PosFinestre"),
                                QStringLiteral("FormPRT_Size")));
    }

    // Every road out ends in the printer shown becoming current with [Default] following
    // its section as stored; only OK writes the fields.
    void closing_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QString>("printer");
        // Landscape as the file holds it: " 1" and " 0" as the window writes them (opening
        // on the installed default wrote its fields), "1" as PRT_InitPrinter does.
        QTest::addColumn<QString>("secLandscape");
        QTest::addColumn<QString>("defLandscape");
        QTest::addColumn<QString>("reopenTop");
        const QString def = QStringLiteral("Ufficio,LPT1:");
        const QString other = QStringLiteral("Vecchia,LPT3:");
        QTest::newRow("OK on the default") << "OK" << def << " 1"
                                           << " 1"
                                           << "7";
        QTest::newRow("OK on another printer") << "OK" << other << " 1"
                                               << "1"
                                               << "7";
        QTest::newRow("Abbandona on the default") << "Abbandona" << def << " 0"
                                                  << " 0"
                                                  << "2";
        QTest::newRow("Abbandona after another selection") << "Abbandona" << other << "0"
                                                           << " 0"
                                                           << "5";
        QTest::newRow("close box") << "close" << other << "0"
                                   << " 0"
                                   << "5";
        QTest::newRow("another window activated") << "deactivate" << other << "0"
                                                  << " 0"
                                                  << "5";
    }
    void closing()
    {
        QFETCH(QString, road);
        QFETCH(QString, printer);
        QFETCH(QString, secLandscape);
        QFETCH(QString, defLandscape);
        QFETCH(QString, reopenTop);
        Rig rig;
        rig.write(standardIni());
        const bool ok = road == QLatin1String("OK");
        const int result = rig.modal([&](FormPRT& f) {
            f.Cmb_Prt->setCurrentIndex(items(f.Cmb_Prt).indexOf(printer));
            f.Txt_RTop->setText(QStringLiteral("7"));
            f.Chk_Land->setChecked(true);
            if (ok)
                f.Cmd_OK->click();
            else if (road == QLatin1String("Abbandona"))
                f.Cmd_Quit->click();
            else if (road == QLatin1String("close"))
                f.close();
            else
                F_Altra::instance().Show();
        });
        QVERIFY(!FormPRT::isLoaded());
        QCOMPARE(result, ok ? int(VbForm::Accepted) : int(VbForm::Cancelled));
        QCOMPARE(rig.raw(printer, QStringLiteral("Top")), ok ? QStringLiteral("7") : rig.prt(printer, "Top"));
        QCOMPARE(rig.raw(printer, QStringLiteral("Landscape")), secLandscape);
        QCOMPARE(rig.raw(QStringLiteral("Default"), QStringLiteral("Landscape")), defLandscape);
        QCOMPARE(rig.prt(QStringLiteral("Default"), QStringLiteral("Printer")), printer);
        QCOMPARE(recordName(), printer);
        QCOMPARE(G_PrtSet.Top, qint16(reopenTop.toInt()));
        QCOMPARE(rig.choosed(), ok ? printer : QStringLiteral("<none>"));
        // The next opening shows [Default]: the " 1" reads back ticked.
        rig.modal([&](FormPRT& f) {
            QCOMPARE(f.Cmb_Prt->currentText(), printer);
            QCOMPARE(f.Txt_RTop->text(), reopenTop);
            QCOMPARE(f.Chk_Land->isChecked(), ok);
            QCOMPARE(f.Txt_SComp->isHidden(), !ok);
            f.Cmd_Quit->click();
        });
    }

    void regenerate_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<bool>("oldBackup");
        QTest::addColumn<bool>("missingAppDir");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<bool>("regenerated");
        QTest::newRow("No") << QList<int>{vb::No} << false << false << 0 << false;
        QTest::newRow("Yes then No beeps, backup untouched") << QList<int>{vb::Yes, vb::No} << true << false << 1
                                                             << false;
        QTest::newRow("Yes and Yes replace an old backup")
            << QList<int>{vb::Yes, vb::Yes} << true << false << 0 << true;
        QTest::newRow("Yes and Yes, no backup yet") << QList<int>{vb::Yes, vb::Yes} << false << false << 0 << true;
        QTest::newRow("failed copy: reported, the file still regenerated")
            << QList<int>{vb::Yes, vb::Yes} << false << true << 0 << true;
    }
    void regenerate()
    {
        QFETCH(QList<int>, answers);
        QFETCH(bool, oldBackup);
        QFETCH(bool, missingAppDir);
        QFETCH(int, beeps);
        QFETCH(bool, regenerated);
        Rig rig;
        rig.write(standardIni());
        rig.cat->installed << FakePrinterCatalog::printer(QStringLiteral("Nuova"), QStringLiteral("LPT5:"));
        const QString backup = rig.env.appDir() + QStringLiteral("QOR_PRTk.INI");
        if (oldBackup) rig.env.writeFile(backup, "vecchio");
        if (missingAppDir) G_DirApp = rig.env.appDir() + QStringLiteral("manca/");
        FormPRT& f = rig.open();
        const QByteArray before = rig.bytes();
        for (int a : answers)
            rig.env.dialogs().answer(a);
        rig.env.dialogs().acceptOkBoxes = true;
        f.Cmd_ReNew->click();
        const QList<ScriptedDialogs::Call>& calls = rig.env.dialogs().calls;
        QCOMPARE(calls.at(0).text, QStringLiteral("CONFERMI RIGENERAZIONE FILE PRT_INI ?"));
        QCOMPARE(calls.at(0).style, vb::YesNo | vb::Critical);
        QCOMPARE(calls.at(0).title, QStringLiteral("Parametri Stampante"));
        if (answers.size() > 1) {
            QCOMPARE(calls.at(1).text, QStringLiteral("Genero solo le stampanti aggiunte ??"));
            QCOMPARE(calls.at(1).style, vb::YesNo | vb::Question | vb::DefaultButton2);
            QCOMPARE(calls.at(1).title, QStringLiteral("Parametri Stampante"));
        }
        QCOMPARE(rig.env.dialogs().beeps, beeps);
        QCOMPARE(G_Risp, answers.last());
        QVERIFY(FormPRT::isLoaded());
        QCOMPARE(rig.prt(QStringLiteral("Nuova,LPT5:"), QStringLiteral("Lunghezza")),
                 regenerated ? QStringLiteral("66") : QStringLiteral("<none>"));
        if (!regenerated) QCOMPARE(rig.bytes(), before);
        // The printers already there keep their values.
        QCOMPARE(rig.prt(QStringLiteral("Vecchia,LPT3:"), QStringLiteral("Top")), QStringLiteral("5"));
        const QByteArray log = TestEnv::readFile(Pth_DebugLog);
        if (missingAppDir) {
            QCOMPARE(calls.size(), 4);
            const QString err = calls.at(2).text;
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d+ : .+ \\(Prima di: Name\\)$")).match(err).hasMatch(),
                     qPrintable(err));
            QCOMPARE(calls.at(2).style, vb::OKOnly | vb::Critical);
            QCOMPARE(calls.at(2).title, QStringLiteral("FormPRT.Cmd_ReNew_Click ERR"));
            const QStringList all = QString::fromUtf8(log).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            const int at = all.indexOf(QRegularExpression(QStringLiteral(".*FormPRT.CMD_RENEW.*")));
            QVERIFY(at >= 0 && at + 2 < all.size());
            const QStringList lines = all.mid(at, 3);
            QVERIFY(lines.at(0).endsWith(QStringLiteral("***** FormPRT.CMD_RENEW ERROR : ") + err));
            QVERIFY(lines.at(1).endsWith(QStringLiteral("      F_PrK = ") + G_DirApp + QStringLiteral("QOR_PRTk.INI")));
            QVERIFY(lines.at(2).endsWith(QStringLiteral("      F_Prt = ") + rig.env.winDir() + Prt));
        } else {
            QVERIFY(!log.contains("CMD_RENEW"));
        }
        if (regenerated) {
            QCOMPARE(calls.last().text, QStringLiteral("RIGENERATO IL FILE 'QOR_PRT.INI' !"));
            QCOMPARE(calls.last().style, vb::OKOnly | vb::Information);
            QCOMPARE(calls.last().title, QString());
            if (!missingAppDir) QCOMPARE(TestEnv::readFile(backup), before);
        } else {
            QCOMPARE(calls.size(), answers.size());
            QCOMPARE(TestEnv::readFile(backup), oldBackup ? QByteArray("vecchio") : QByteArray());
        }
    }

    // A copy that fails leaves the old backup whole: it goes only when a new one replaces it.
    void failedCopyKeepsOldBackup()
    {
        Rig rig;
        rig.write(standardIni());
        const QString backup = rig.env.appDir() + QStringLiteral("QOR_PRTk.INI");
        rig.env.writeFile(backup, "vecchio");
        FormPRT& f = rig.open();
        QFile::remove(rig.env.winDir() + Prt);
        rig.env.dialogs().answer(vb::Yes).answer(vb::Yes);
        rig.env.dialogs().acceptOkBoxes = true;
        f.Cmd_ReNew->click();
        QCOMPARE(TestEnv::readFile(backup), QByteArray("vecchio"));
        const QStringList m = rig.env.dialogs().messages();
        QCOMPARE(m.size(), 4);
        QVERIFY2(m.at(2).endsWith(QStringLiteral(" (Prima di: Name)")), qPrintable(m.at(2)));
        QCOMPARE(m.at(3), QStringLiteral("RIGENERATO IL FILE 'QOR_PRT.INI' !"));
        // The next step ran: the installed printers have their sections again.
        QCOMPARE(rig.prt(QStringLiteral("Grande,LPT2:"), QStringLiteral("Lunghezza")), QStringLiteral("66"));
    }

    void viewer_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("file");
        QTest::addColumn<bool>("starts");
        QTest::newRow("right click opens the file") << Qt::RightButton << true << true;
        QTest::newRow("right click, no file: nothing") << Qt::RightButton << false << true;
        QTest::newRow("left click never opens it") << Qt::LeftButton << true << true;
        QTest::newRow("a failed start is told") << Qt::RightButton << true << false;
    }
    void viewer()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, file);
        QFETCH(bool, starts);
        Rig rig;
        rig.write(standardIni());
        FormPRT& f = rig.open();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        if (!file) QFile::remove(rig.env.winDir() + Prt);
        rig.env.launcher().startsSucceed = starts;
        if (button == Qt::LeftButton) rig.env.dialogs().answer(vb::No); // the regeneration asks
        if (!starts) rig.env.dialogs().answer(vb::OK);
        QTest::mouseClick(f.Cmd_ReNew, button);
        const bool opened = file && button == Qt::RightButton;
        QCOMPARE(rig.env.launcher().starts.size(), opened ? 1 : 0);
        if (opened) {
            QCOMPARE(rig.env.launcher().starts.at(0).kind, QStringLiteral("detached"));
            QCOMPARE(rig.env.launcher().starts.at(0).program, QStringLiteral("/usr/bin/vedi"));
            QCOMPARE(rig.env.launcher().starts.at(0).args, QStringList{rig.env.winDir() + Prt});
        }
        QVERIFY(rig.env.dialogs().allAnswered());
        if (!starts) {
            QCOMPARE(rig.env.dialogs().messages(),
                     QStringList{QStringLiteral("Impossibile avviare il programma :\r\n/usr/bin/vedi")});
            QCOMPARE(rig.env.dialogs().calls.at(0).style, vb::OKOnly | vb::Critical);
            QCOMPARE(rig.env.dialogs().beeps, 1);
        }
    }

    void widthAndLandscape_data()
    {
        QTest::addColumn<QByteArray>("width");
        QTest::addColumn<QByteArray>("landscape");
        QTest::addColumn<QString>("shownWidth");
        QTest::addColumn<bool>("compressed");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("132 shows the compressed box") << QByteArray("132") << QByteArray("1") << "132" << true
                                                      << true;
        QTest::newRow("80 leaves it hidden") << QByteArray("80") << QByteArray("0") << "80" << false << false;
        QTest::newRow("abc becomes 132") << QByteArray("abc") << QByteArray("x") << "132" << true << false;
        QTest::newRow("no width becomes 132") << QByteArray("<none>") << QByteArray("2") << "132" << true
                                              << false;
        QTest::newRow("81 and a rounded 1") << QByteArray("81") << QByteArray("1.2") << "81" << true << true;
    }
    void widthAndLandscape()
    {
        QFETCH(QByteArray, width);
        QFETCH(QByteArray, landscape);
        QFETCH(QString, shownWidth);
        QFETCH(bool, compressed);
        QFETCH(bool, ticked);
        Rig rig;
        rig.write(standardIni() + section("Prova,LPT7:", "Larghezza=" + width + ";Landscape=" + landscape));
        FormPRT& f = rig.open();
        QVERIFY(f.Chk_Comp->isHidden());
        QVERIFY(f.Txt_SComp->isHidden());
        f.Cmb_Prt->setCurrentIndex(3);
        QCOMPARE(f.Txt_W->text(), shownWidth);
        QCOMPARE(f.Chk_Comp->isVisible(), compressed);
        QCOMPARE(f.Chk_Land->isChecked(), ticked);
        for (QWidget* w : {static_cast<QWidget*>(f.Txt_SComp), static_cast<QWidget*>(f.Txt_DSComp),
                           static_cast<QWidget*>(f.Cmd_SelSCom)})
            QCOMPARE(w->isVisible(), ticked);
        // The row follows the box both ways; the compressed box, once shown, stays.
        f.Chk_Land->click();
        QCOMPARE(f.Txt_SComp->isVisible(), !ticked);
        QCOMPARE(f.Cmd_SelSCom->isVisible(), !ticked);
        f.Cmb_Prt->setCurrentIndex(0);
        QCOMPARE(f.Txt_W->text(), QStringLiteral("80"));
        QCOMPARE(f.Chk_Comp->isVisible(), compressed);
    }

    // A non-number in [Default] at opening: shown as read, the width counting as 0.
    void badDefaultValues()
    {
        Rig rig;
        const QByteArray longName(300, 'F');
        // A printer not installed, so opening does not make it default over [Default].
        rig.write(System + defaults("Vecchia,LPT3:", "Larghezza=abc;Landscape=si;FontNorm=" + longName) +
                  section("Vecchia,LPT3:", "Larghezza=abc;Landscape=si;FontNorm=" + longName));
        FormPRT& f = rig.open();
        QCOMPARE(f.Txt_W->text(), QStringLiteral("abc"));
        QVERIFY(!f.Chk_Land->isChecked());
        QCOMPARE(f.Txt_Nor->text(), QString(254, QLatin1Char('F')));
        // Opening selected the printer, whose "abc" the selection made 132.
        QVERIFY(f.Chk_Comp->isVisible());
        f.Cmd_OK->click();
        QCOMPARE(rig.prt(QStringLiteral("Vecchia,LPT3:"), QStringLiteral("Larghezza")), QStringLiteral("abc"));
        QCOMPARE(rig.prt(QStringLiteral("Vecchia,LPT3:"), QStringLiteral("FontNorm")), QString(254, QLatin1Char('F')));
    }

    // Nothing listed: OK and Set Default write no section named "", OK still closes.
    void nothingListed_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("height"); // Txt_H once open
        QTest::newRow("no printer sections") << System + defaults("Ufficio,LPT1:", "Lunghezza=61") << "61";
        QTest::newRow("first opening on a file without [Default]")
            << System + section("Ufficio,LPT1:", "Lunghezza=72") << "66";
    }
    void nothingListed()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, height);
        Rig rig;
        rig.write(ini);
        rig.modal([&](FormPRT& f) {
            QCOMPARE(f.Cmb_Prt->count(), 0);
            QVERIFY(!f.Cmd_SetDef->isEnabled());
            QCOMPARE(f.Txt_H->text(), height);
            QCOMPARE(rig.prt(QStringLiteral("Default"), QStringLiteral("Printer")), QStringLiteral("Ufficio,LPT1:"));
            const QByteArray before = rig.bytes();
            f.Cmd_SetDef_Click();
            QCOMPARE(rig.bytes(), before);
            f.Cmd_OK->click();
        });
        QVERIFY(!FormPRT::isLoaded());
        QVERIFY(!IniFile::sections(Prt).contains(QString()));
        QCOMPARE(rig.choosed(), QStringLiteral("<none>"));
        QCOMPARE(recordName(), QStringLiteral("Ufficio,LPT1:"));
    }

    void setDefault()
    {
        Rig rig;
        rig.write(standardIni());
        FormPRT& f = rig.open();
        QVERIFY(!f.Cmd_SetDef->isEnabled());
        f.Cmb_Prt->setCurrentIndex(2); // Vecchia, not installed
        QVERIFY(f.Cmd_SetDef->isEnabled());
        QCOMPARE(rig.current(), QStringLiteral("Ufficio"));
        f.Txt_RBot->setText(QStringLiteral("4"));
        f.Cmd_SetDef->click();
        QVERIFY(!f.Cmd_SetDef->isEnabled());
        QCOMPARE(f.Lbl_Prt->text(), QStringLiteral("Vecchia,LPT3:"));
        QCOMPARE(rig.prt(QStringLiteral("Default"), QStringLiteral("Printer")), QStringLiteral("Vecchia,LPT3:"));
        QCOMPARE(rig.prt(QStringLiteral("Default"), QStringLiteral("Bottom")), QStringLiteral("4"));
        QCOMPARE(rig.prt(QStringLiteral("Vecchia,LPT3:"), QStringLiteral("Bottom")), QStringLiteral("4"));
        QCOMPARE(G_PrtSet.Bottom, qint16(4));
        QCOMPARE(recordName(), QStringLiteral("Vecchia,LPT3:"));
        // Back on the installed printer: made default again at once.
        f.Cmb_Prt->setCurrentIndex(0);
        QVERIFY(!f.Cmd_SetDef->isEnabled());
        QCOMPARE(rig.prt(QStringLiteral("Default"), QStringLiteral("Printer")), QStringLiteral("Ufficio,LPT1:"));
        f.Cmb_Prt->setCurrentIndex(2);
        QVERIFY(f.Cmd_SetDef->isEnabled());
    }

    void fonts_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("normal") << 0 << false;
        QTest::newRow("compressed") << 1 << false;
        QTest::newRow("super-compressed") << 2 << false;
        QTest::newRow("cancelled") << 0 << true;
    }
    void fonts()
    {
        QFETCH(int, row);
        QFETCH(bool, cancel);
        Rig rig;
        rig.write(standardIni());
        FormPRT& f = rig.open();
        QPushButton* buttons[] = {f.Cmd_SelNor, f.Cmd_SelCom, f.Cmd_SelSCom};
        QLineEdit* names[] = {f.Txt_Nor, f.Txt_Comp, f.Txt_SComp};
        QLineEdit* sizes[] = {f.Txt_DNor, f.Txt_DComp, f.Txt_DSComp};
        const QString oldSize = sizes[row]->text();
        const QByteArray before = rig.bytes();
        QFont chosen(QStringLiteral("DejaVu Sans Mono"));
        chosen.setPointSizeF(10.5);
        if (!cancel) rig.env.dialogs().answerFont(chosen);
        rig.env.dialogs().answerFont(std::nullopt);
        buttons[row]->click();
        const ScriptedDialogs::Call c = rig.env.dialogs().calls.at(0);
        QCOMPARE(c.kind, QStringLiteral("font"));
        QVERIFY(c.fixedPitchOnly);
        QCOMPARE(c.font.family(), QStringLiteral("Courier New"));
        QCOMPARE(c.font.pointSizeF(), oldSize.toDouble());
        if (cancel) {
            QCOMPARE(names[row]->text(), QStringLiteral("Courier New"));
            QCOMPARE(sizes[row]->text(), oldSize);
            QCOMPARE(G_PrtSet.FontNSiz, 12.0f);
            return;
        }
        QCOMPARE(names[row]->text(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(sizes[row]->text(), QStringLiteral("10.5"));
        const FixedStr<50>* recNames[] = {&G_PrtSet.FontNorm, &G_PrtSet.FontComp, &G_PrtSet.FontSComp};
        const float* recSizes[] = {&G_PrtSet.FontNSiz, &G_PrtSet.FontCSiz, &G_PrtSet.FontSCSiz};
        QCOMPARE(Qor().FixStr(*recNames[row]), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(*recSizes[row], 10.5f);
        // The file waits for OK.
        QCOMPARE(rig.bytes(), before);
        // A second choice cancelled changes nothing more.
        buttons[row]->click();
        QCOMPARE(sizes[row]->text(), QStringLiteral("10.5"));
        QCOMPARE(rig.env.dialogs().calls.at(1).font.pointSizeF(), 10.5);
        const char* keys[][2] = {{"FontNorm", "FontNSiz"}, {"FontComp", "FontCSiz"}, {"FontSComp", "FontSCSiz"}};
        f.Cmd_OK->click();
        QCOMPARE(rig.prt(QStringLiteral("Ufficio,LPT1:"), QLatin1String(keys[row][0])), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(rig.prt(QStringLiteral("Ufficio,LPT1:"), QLatin1String(keys[row][1])), QStringLiteral("10.5"));
        QCOMPARE(rig.prt(QStringLiteral("Default"), QLatin1String(keys[row][1])), QStringLiteral("10.5"));
    }

    // The window's own message boxes and font dialog leave it loaded with its edits;
    // another program window's activation unloads it.
    void ownDialogsKeepIt()
    {
        Rig rig;
        rig.write(standardIni());
        FormPRT& f = rig.open();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.Txt_RTop->setText(QStringLiteral("9"));
        rig.env.dialogs().answerFont(QFont(QStringLiteral("DejaVu Sans Mono"), 11));
        f.Cmd_SelNor->click();
        rig.env.dialogs().answer(vb::No);
        f.Cmd_ReNew->click();
        QWidget plain;
        plain.show();
        plain.activateWindow();
        QCoreApplication::processEvents();
        f.activateWindow();
        QCoreApplication::processEvents();
        QVERIFY(FormPRT::isLoaded());
        QCOMPARE(f.Txt_RTop->text(), QStringLiteral("9"));
        QCOMPARE(f.Txt_Nor->text(), QStringLiteral("DejaVu Sans Mono"));
        F_Altra::instance().Show();
        QVERIFY(!FormPRT::isLoaded());
        QCOMPARE(recordName(), QStringLiteral("Ufficio,LPT1:"));
        // The closing reload takes the file's font again: the choice was never saved.
        QCOMPARE(Qor().FixStr(G_PrtSet.FontNorm), QStringLiteral("Courier New"));
        QCOMPARE(rig.prt(QStringLiteral("Ufficio,LPT1:"), QStringLiteral("Top")), QStringLiteral("2"));
    }

    void noPrinterAtAll()
    {
        Rig rig(false);
        rig.write(standardIni());
        rig.modal([&](FormPRT& f) {
            QCOMPARE(f.Cmb_Prt->count(), 3);
            QCOMPARE(rig.current(), QString());
            f.Cmb_Prt->setCurrentIndex(1);
            f.Cmd_OK->click();
        });
        QVERIFY(!FormPRT::isLoaded());
        QCOMPARE(recordName(), QStringLiteral("Grande,LPT2:"));
        QCOMPARE(rig.choosed(), QStringLiteral("Grande,LPT2:"));
    }
};

QTEST_MAIN(TstFormPRT)
#include "tst_formprt.moc"
