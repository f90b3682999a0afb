#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/IniFile.h"
#include "platform/printers/FakePrinterCatalog.h"
#include "platform/printers/PrinterObject.h"
#include "printing/FPP_.h"
#include "printing/F_DbP.h"
#include "printing/FormPRT.h"
#include "printing/PRT_Globals.h"
#include "printing/PRT_InitPrinter.h"
#include "support/PrinterRig.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>

namespace
{

const QString Plcr = QStringLiteral("QOR_PLCR.INI");
const QString Sec = QStringLiteral("Stampa");

QByteArray printerSection(const QByteArray& name, const QByteArray& lines)
{
    return "[" + name + "]\r\n" + lines +
           "Colore=1\r\nTop=2\r\nBottom=2\r\nLandscape=0\r\nFontNorm=Courier New\r\nFontNSiz=12\r\n"
           "FontComp=Courier New\r\nFontCSiz=7\r\nFontSComp=Courier New\r\nFontSCSiz=6\r\n";
}

// Two installed printers, Ufficio the default.
QByteArray printersIni()
{
    return "[System]\r\nPrinter=Ufficio,HP LaserJet,LPT1:\r\n" +
           printerSection("Default", "Printer=Ufficio,LPT1:\r\nLunghezza=66\r\nLarghezza=80\r\n") +
           printerSection("Ufficio,LPT1:", "Lunghezza=66\r\nLarghezza=80\r\n") +
           printerSection("Grande,LPT2:", "Lunghezza=72\r\nLarghezza=132\r\n");
}

void flush()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct Rig : PrinterRig {
    explicit Rig(bool printers = true) : PrinterRig(printers)
    {
        if (printers) {
            env.writeFile(env.winDir() + QStringLiteral("QOR_PRT.INI"), printersIni());
            PRT_InitPrinter(QStringLiteral("Ufficio,LPT1:"));
        }
        G_DestStampa.clear();
    }
    ~Rig()
    {
        FormPRT::unloadInstance();
        F_DbP::unloadInstance();
        FPP_::unloadInstance();
        G_DestStampa.clear();
    }
    void settings(const QByteArray& body) const
    {
        if (!body.isEmpty()) env.writeFile(env.winDir() + Plcr, "[Stampa]\r\n" + body);
    }
    // The key's value as the file holds it, blanks included.
    QString raw(const QString& key) const
    {
        const QString all = QString::fromUtf8(TestEnv::readFile(env.winDir() + Plcr));
        const QRegularExpression re(QStringLiteral("^") + key + QStringLiteral("=(.*)\r$"),
                                    QRegularExpression::MultilineOption);
        const auto m = re.match(all);
        return m.hasMatch() ? m.captured(1) : QStringLiteral("<none>");
    }
    // Shown as its caller shows it: the proposal in G_DestStampa, then modally, body
    // driving it while it is up. Answers what the caller reads back.
    QString ask(const QString& proposal, const std::function<void(FPP_&)>& body)
    {
        G_DestStampa = proposal;
        setModalRunner([&body](VbForm& w) {
            w.show();
            w.Activate();
            if (!w.isUnloaded()) body(static_cast<FPP_&>(w));
        });
        FPP_::instance().ShowModal();
        setModalRunner({});
        flush();
        return G_DestStampa;
    }
    FPP_& open(const QString& proposal)
    {
        G_DestStampa = proposal;
        FPP_& f = FPP_::instance();
        f.Show();
        return f;
    }
};

// Types text into w key by key, as the keyboard sends it (letters outside ASCII too).
void type(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        const int key = c.toUpper().unicode() < 128 ? c.toUpper().unicode() : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

int optionOf(const FPP_& f)
{
    return f.Opt_PRT[0]->isChecked() ? 0 : f.Opt_PRT[1]->isChecked() ? 1 : -1;
}

} // namespace

class TstFPP : public QObject
{
    Q_OBJECT
  private slots:
    void layout()
    {
        Rig rig;
        FPP_& f = FPP_::instance();
        // Loaded, not yet active: the printer name as the record holds it, blank-filled.
        QCOMPARE(f.Txt_PRT->text(), QStringLiteral("Ufficio,LPT1:").leftJustified(80));
        QVERIFY(!f.Txt_PRT->isEnabled());
        f.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.windowTitle(), QStringLiteral("Stampa"));
        QCOMPARE(f.size(), QSize(387, 310));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        struct Place {
            QWidget* w;
            QWidget* parent;
            QRect at;
            QString text;
            QString tip;
        };
        const QList<Place> places{
            {f.Frm_Bottom, &f, {0, 152, 385, 137}, {}, {}},
            {f.Frame2, f.Frm_Bottom, {8, 0, 369, 78}, "Destinazione", {}},
            {f.Opt_PRT[0], f.Frame2, {7, 21, 78, 15}, "Stampante", {}},
            {f.Txt_PRT, f.Frame2, {88, 21, 273, 19}, "Ufficio,LPT1:",
             "Doppio-Click per Cambio/Parametri Stampante"},
            {f.Opt_PRT[1], f.Frame2, {7, 49, 43, 15}, "File", {}},
            {f.Txt_FIL, f.Frame2, {88, 48, 271, 19}, {}, {}},
            {f.Cmd_PRT, f.Frm_Bottom, {33, 92, 78, 36}, "Stampa", {}},
            {f.Cmd_View, f.Frm_Bottom, {129, 92, 78, 36}, "Vedi file", "Click Destro per Stampe su Disco"},
            {f.Chk_View, f.Frm_Bottom, {209, 100, 17, 17}, {}, "Visualizza file al termine della stampa !!"},
            {f.Chk_Quit, f.Frm_Bottom, {273, 92, 78, 36}, "Abbandona", "ESC per Abbandonare la Stampa."},
        };
        for (const Place& p : places) {
            QCOMPARE(p.w->parentWidget(), p.parent);
            QCOMPARE(p.w->geometry(), p.at);
            QString text;
            if (auto* b = qobject_cast<QAbstractButton*>(p.w)) text = b->text();
            if (auto* e = qobject_cast<QLineEdit*>(p.w)) text = e->text();
            if (auto* g = qobject_cast<QGroupBox*>(p.w)) text = g->title();
            QCOMPARE(text, p.text);
            QCOMPARE(p.w->toolTip(), p.tip);
        }
        QVERIFY(f.Txt_PRT->isReadOnly());
        QCOMPARE(f.Txt_PRT->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(f.Cmd_PRT->isDefault());
        QVERIFY(!f.Chk_View->isChecked());
        QCOMPARE(f.Chk_View->text(), QString());
        // The status bar: message, three empty indicators, time and date of the clock.
        QCOMPARE(f.St_Status->geometry().bottom(), f.height() - 1);
        const QList<QLabel*> panels = f.St_Status->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(panels, (QList<QLabel*>{f.Pan_Msg, f.Pan_Num, f.Pan_Caps, f.Pan_Ins, f.Pan_Time, f.Pan_Date}));
        for (QLabel* l : {f.Pan_Msg, f.Pan_Num, f.Pan_Caps, f.Pan_Ins})
            QCOMPARE(l->text(), QString());
        QCOMPARE(f.Pan_Time->text(), QStringLiteral("09:00"));
        QCOMPARE(f.Pan_Date->text(), QStringLiteral("10/12/2026"));

        // Tab order, the file field's focus colour (the file option must be on for it).
        f.Opt_PRT[1]->click();
        f.Txt_FIL->setFocus();
        QTRY_VERIFY(f.Txt_FIL->hasFocus());
        QCOMPARE(f.Txt_FIL->palette().color(QPalette::Base), QColor(255, 255, 128));
        QTest::keyClick(f.Txt_FIL, Qt::Key_Tab);
        QTRY_COMPARE(QApplication::focusWidget(), f.Cmd_PRT);
        QCOMPARE(f.Txt_FIL->palette().color(QPalette::Base), QColor(Qt::white));
        for (QWidget* w : {static_cast<QWidget*>(f.Chk_Quit), static_cast<QWidget*>(f.Chk_View),
                           static_cast<QWidget*>(f.Cmd_View)}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget(), w);
        }
        f.grab().save(QStringLiteral(PLICORA_BUILD_DIR "/FPP_.png"));
    }

    // What activation shows from the stored keys, and the proposal taken at load.
    void activation_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("no settings") << QByteArray() << 0 << false;
        QTest::newRow("file, view") << QByteArray("Dest=1\r\nView=1\r\n") << 1 << true;
        QTest::newRow("Dest 7 is the file") << QByteArray("Dest=7\r\n") << 1 << false;
        QTest::newRow("Dest -3 is the printer") << QByteArray("Dest=-3\r\nView= 1\r\n") << 0 << true;
        QTest::newRow("Dest x is the printer") << QByteArray("Dest=x\r\nView=x\r\n") << 0 << false;
        QTest::newRow("View 2 leaves it unticked") << QByteArray("Dest=1\r\nView=2\r\n") << 1 << false;
    }
    void activation()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, option);
        QFETCH(bool, ticked);
        Rig rig;
        rig.settings(stored);
        FPP_& f = rig.open(QStringLiteral("LISTA.DBP"));
        QCOMPARE(G_DestStampa, QString());
        QCOMPARE(G_IniRet, option);
        QCOMPARE(optionOf(f), option);
        QCOMPARE(f.Txt_FIL->isEnabled(), option == 1);
        QCOMPARE(f.Txt_PRT->isEnabled(), option == 0);
        QCOMPARE(f.Chk_View->isChecked(), ticked);
        QCOMPARE(f.Txt_PRT->text(), QStringLiteral("Ufficio,LPT1:"));
        QCOMPARE(f.Txt_FIL->text(), QStringLiteral("LISTA.DBP"));
        // The option rule follows a click.
        f.Opt_PRT[1 - option]->click();
        QCOMPARE(f.Txt_FIL->isEnabled(), option == 0);
        QCOMPARE(f.Txt_PRT->isEnabled(), option == 1);
    }

    // Every way out: what the caller reads back and what the keys hold.
    void closing_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("dest");
        QTest::addColumn<QString>("view");
        QTest::newRow("Abbandona") << "quit" << 1 << true << "" << "1" << " 1";
        QTest::newRow("Esc") << "esc" << 0 << true << "" << "0" << " 1";
        QTest::newRow("close box") << "close" << 1 << false << "" << "1" << " 0";
        QTest::newRow("Stampa No") << "no" << 1 << true << "" << "1" << " 1";
        QTest::newRow("Stampa Yes, printer") << "yes" << 0 << false << "printer" << "0" << " 0";
        QTest::newRow("Stampa Yes, file") << "yes" << 1 << true << "ALTRO NOME.TXT" << "1" << " 1";
        QTest::newRow("Enter in the file field") << "enter" << 1 << false << "ALTRO NOME.TXT" << "1" << " 0";
        QTest::newRow("Enter on Abbandona") << "enter on quit" << 1 << true << "" << "1" << " 1";
    }
    void closing()
    {
        QFETCH(QString, road);
        QFETCH(int, option);
        QFETCH(bool, tick);
        QFETCH(QString, expected);
        QFETCH(QString, dest);
        QFETCH(QString, view);
        Rig rig;
        rig.settings("Dest=" + QByteArray::number(1 - option) + "\r\nView=" + (tick ? "0" : "1") + "\r\n");
        G_Risp = 0;
        const QString got = rig.ask(QStringLiteral("LISTA.DBP"), [&](FPP_& f) {
            f.Opt_PRT[option]->click();
            f.Chk_View->setChecked(tick);
            // A file name held by the field whatever the option (the printer ignores it).
            f.Txt_FIL->setText(QStringLiteral("ALTRO NOME.TXT"));
            if (road == QLatin1String("quit")) {
                f.Chk_Quit->click();
            } else if (road == QLatin1String("esc")) {
                QTest::keyClick(f.Opt_PRT[option], Qt::Key_Escape);
            } else if (road == QLatin1String("close")) {
                f.close();
            } else if (road == QLatin1String("enter on quit")) {
                f.Chk_Quit->setFocus();
                QTest::keyClick(f.Chk_Quit, Qt::Key_Return);
            } else {
                rig.env.dialogs().answer(road == QLatin1String("no") ? vb::No : vb::Yes);
                if (road == QLatin1String("enter"))
                    QTest::keyClick(f.Txt_FIL, Qt::Key_Return);
                else
                    f.Cmd_PRT->click();
            }
        });
        QCOMPARE(got, expected);
        QVERIFY(!FPP_::isLoaded());
        QCOMPARE(rig.raw(QStringLiteral("Dest")), dest);
        QCOMPARE(rig.raw(QStringLiteral("View")), view);
        const auto& calls = rig.env.dialogs().calls;
        const bool asked = road == QLatin1String("yes") || road == QLatin1String("no") ||
                           road == QLatin1String("enter");
        QCOMPARE(calls.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(calls.at(0).text, QStringLiteral("Confermi stampa?"));
            QCOMPARE(calls.at(0).title, QStringLiteral("Stampa"));
            QCOMPARE(calls.at(0).buttons(), int(vb::YesNo));
            QCOMPARE(calls.at(0).icon(), int(vb::Question));
            QCOMPARE(G_Risp, road == QLatin1String("no") ? int(vb::No) : int(vb::Yes));
        }
    }

    // Typing in the file field: upper case, the typing limit, a long proposal kept whole.
    void typing_data()
    {
        QTest::addColumn<QString>("proposal");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        const QString n35 = QStringLiteral("A").repeated(35);
        const QString n40 = QStringLiteral("B").repeated(40);
        QTest::newRow("lower case") << "" << "abc" << "ABC";
        QTest::newRow("other keys unchanged") << "" << "z1-é.Txt" << "Z1-é.TXT";
        QTest::newRow("a 36th character refused") << n35 << "x" << n35;
        QTest::newRow("up to 35") << QStringLiteral("C").repeated(33) << "xyz"
                                  << QStringLiteral("C").repeated(33) + QStringLiteral("XY");
        QTest::newRow("40-character proposal kept") << n40 << "q" << n40;
    }
    void typing()
    {
        QFETCH(QString, proposal);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        Rig rig;
        rig.settings("Dest=1\r\n");
        const QString got = rig.ask(proposal, [&](FPP_& f) {
            QCOMPARE(f.Txt_FIL->text(), proposal);
            f.Txt_FIL->setFocus();
            f.Txt_FIL->end(false);
            type(f.Txt_FIL, typed);
            QCOMPARE(f.Txt_FIL->text(), expected);
            rig.env.dialogs().answer(vb::Yes);
            f.Cmd_PRT->click();
        });
        QCOMPARE(got, expected);
    }

    // A paste in the file field obeys the same rules as typing.
    void paste_data()
    {
        QTest::addColumn<QString>("proposal");
        QTest::addColumn<bool>("selectAll");
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("expected");
        const QString n40 = QStringLiteral("B").repeated(40);
        QTest::newRow("lower case") << "" << false << "lista.dbp"
                                    << "LISTA.DBP";
        QTest::newRow("cut at 35") << "" << false << QStringLiteral("x").repeated(40)
                                   << QStringLiteral("X").repeated(35);
        QTest::newRow("after a proposal, up to 35")
            << QStringLiteral("C").repeated(33) << false << "xyz" << QStringLiteral("C").repeated(33) + "XY";
        QTest::newRow("40-character proposal: refused, kept whole") << n40 << false << "q" << n40;
        QTest::newRow("over the selected proposal") << n40 << true << "abc"
                                                    << "ABC";
        QTest::newRow("line breaks dropped") << "" << false << "ab\ncd"
                                             << "ABCD";
    }
    void paste()
    {
        QFETCH(QString, proposal);
        QFETCH(bool, selectAll);
        QFETCH(QString, clip);
        QFETCH(QString, expected);
        Rig rig;
        rig.settings("Dest=1\r\n");
        QGuiApplication::clipboard()->setText(clip);
        const QString got = rig.ask(proposal, [&](FPP_& f) {
            f.Txt_FIL->setFocus();
            if (selectAll)
                f.Txt_FIL->selectAll();
            else
                f.Txt_FIL->end(false);
            QTest::keyClick(f.Txt_FIL, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(f.Txt_FIL->text(), expected);
            rig.env.dialogs().answer(vb::Yes);
            f.Cmd_PRT->click();
        });
        QCOMPARE(got, expected);
    }

    // With the printer option the file field takes no keys.
    void printerOptionLocksTheFileName()
    {
        Rig rig;
        const QString got = rig.ask(QStringLiteral("LISTA.DBP"), [&](FPP_& f) {
            type(f.Txt_FIL, QStringLiteral("abc"));
            QCOMPARE(f.Txt_FIL->text(), QStringLiteral("LISTA.DBP"));
            rig.env.dialogs().answer(vb::Yes);
            QTest::keyClick(f.Opt_PRT[0], Qt::Key_Return);
        });
        QCOMPARE(got, QStringLiteral("printer"));
    }

    // Back from the printer set-up or the print-to-disk files, activation runs again.
    void comingBack_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QString>("printer");
        QTest::newRow("FormPRT, another printer") << "FormPRT" << "Grande,LPT2:";
        QTest::newRow("F_DbP") << "F_DbP" << "Ufficio,LPT1:";
    }
    void comingBack()
    {
        QFETCH(QString, road);
        QFETCH(QString, printer);
        Rig rig;
        rig.settings("Dest=1\r\nView=1\r\n");
        FPP_& f = rig.open(QStringLiteral("LISTA.DBP"));
        // The user changes everything, then leaves for the other window.
        f.Opt_PRT[0]->click();
        f.Chk_View->setChecked(false);
        f.Txt_FIL->setText(QStringLiteral("CAMBIATO.TXT"));
        bool shown = false;
        setModalRunner([&](VbForm& w) {
            w.show();
            w.Activate();
            shown = true;
            if (auto* prt = qobject_cast<FormPRT*>(&w)) {
                prt->Cmb_Prt->setCurrentIndex(prt->Cmb_Prt->findText(QStringLiteral("Grande,LPT2:")));
                prt->Cmd_OK->click();
            } else {
                QVERIFY(qobject_cast<F_DbP*>(&w));
                w.Unload();
            }
        });
        if (road == QLatin1String("FormPRT")) {
            QTest::mouseDClick(f.Txt_PRT, Qt::LeftButton);
        } else {
            QTest::mouseRelease(f.Cmd_View, Qt::RightButton);
        }
        setModalRunner({});
        flush();
        QVERIFY(shown);
        QVERIFY(FPP_::isLoaded());
        QVERIFY(!FormPRT::isLoaded() && !F_DbP::isLoaded());
        QCOMPARE(f.Txt_PRT->text(), printer);
        QCOMPARE(f.Txt_FIL->text(), QStringLiteral("LISTA.DBP"));
        QCOMPARE(optionOf(f), 1);
        QVERIFY(f.Txt_FIL->isEnabled());
        QVERIFY(!f.Txt_PRT->isEnabled());
        QVERIFY(f.Chk_View->isChecked());
        QCOMPARE(rig.env.dialogs().calls.size(), 0);
    }

    // "Vedi file": one question titled with the name, the viewer with the name as one argument.
    void viewing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("startsSucceed");
        QTest::newRow("Yes, a name with blanks") << "/srv/stampe/LISTA FATTURE.DBP" << int(vb::Yes) << true;
        QTest::newRow("No") << "/srv/stampe/LISTA.DBP" << int(vb::No) << true;
        QTest::newRow("Yes, the viewer does not start") << "LISTA.DBP" << int(vb::Yes) << false;
    }
    void viewing()
    {
        QFETCH(QString, file);
        QFETCH(int, answer);
        QFETCH(bool, startsSucceed);
        Rig rig;
        rig.settings("Dest=1\r\n");
        rig.env.launcher().startsSucceed = startsSucceed;
        FPP_& f = rig.open(file);
        G_Risp = 42;
        rig.env.dialogs().answer(answer);
        if (!startsSucceed) rig.env.dialogs().answer(vb::OK);
        f.Cmd_View->click();
        const auto& calls = rig.env.dialogs().calls;
        QCOMPARE(calls.at(0).text, QStringLiteral("Confermi visualizzazione ?"));
        QCOMPARE(calls.at(0).title, file);
        QCOMPARE(calls.at(0).buttons(), int(vb::YesNo));
        QCOMPARE(calls.at(0).icon(), int(vb::Question));
        QCOMPARE(G_Risp, 42);
        const auto& starts = rig.env.launcher().starts;
        QCOMPARE(starts.size(), answer == vb::Yes ? 1 : 0);
        if (answer == vb::Yes) {
            QCOMPARE(starts.at(0).kind, QStringLiteral("detached"));
            QCOMPARE(starts.at(0).program, QStringLiteral("/usr/bin/vedi"));
            QCOMPARE(starts.at(0).args, QStringList{file});
        }
        QCOMPARE(calls.size(), startsSucceed ? 1 : 2);
        if (!startsSucceed) {
            QCOMPARE(calls.at(1).text, QStringLiteral("Impossibile avviare il programma :\r\n/usr/bin/vedi"));
            QCOMPARE(calls.at(1).icon(), int(vb::Critical));
            QCOMPARE(rig.env.dialogs().beeps, 1);
        }
        QVERIFY(FPP_::isLoaded());
    }

    // The save-state members change nothing: fields, keys, the caller's value.
    void saveMembersWithoutEffect()
    {
        Rig rig;
        rig.settings("Dest=1\r\nView=1\r\n");
        FPP_& f = rig.open(QStringLiteral("LISTA.DBP"));
        f.Txt_FIL->setText(QStringLiteral("SCRITTO.TXT"));
        G_DestStampa = QStringLiteral("invariato");
        const QByteArray before = TestEnv::readFile(rig.env.winDir() + Plcr);
        f.AccendiSave();
        f.SetSave(true);
        f.SetSave(false);
        f.SpegniSave();
        QCOMPARE(f.Txt_FIL->text(), QStringLiteral("SCRITTO.TXT"));
        QCOMPARE(optionOf(f), 1);
        QVERIFY(f.Chk_View->isChecked());
        QCOMPARE(f.Pan_Msg->text(), QString());
        QCOMPARE(G_DestStampa, QStringLiteral("invariato"));
        QCOMPARE(TestEnv::readFile(rig.env.winDir() + Plcr), before);
        QVERIFY(FPP_::isLoaded());
        QCOMPARE(rig.env.dialogs().calls.size(), 0);
    }

    // No printer at all: the window still answers.
    void noPrinter()
    {
        Rig rig(false);
        const QString got = rig.ask(QStringLiteral("LISTA.DBP"), [&](FPP_& f) {
            QCOMPARE(f.Txt_PRT->text(), QString());
            rig.env.dialogs().answer(vb::Yes);
            f.Cmd_PRT->click();
        });
        QCOMPARE(got, QStringLiteral("printer"));
        QCOMPARE(rig.raw(QStringLiteral("Dest")), QStringLiteral("0"));
    }
};

QTEST_MAIN(TstFPP)
#include "tst_fpp.moc"
