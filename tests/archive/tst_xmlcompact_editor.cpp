// The maintenance window's record editor on a code table made in the test archive: the
// save state across the commands, the walk by code, the commands' three ways in, and the
// window without the table.
#include "archive/F_XMLCompact.h"
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolBar>

using namespace ado;

class TstXMLCompactEditor : public QObject
{
    Q_OBJECT
  private slots:
    void states_data();
    void states();
    void walk_data();
    void walk();
    void waysIn_data();
    void waysIn();
    void databaseError_data();
    void databaseError();
    void withoutTable();
};

namespace
{
const QString kAskSave = QStringLiteral("Salvo i Dati ?");
const QString kAskDel = QStringLiteral("Confermi cancellazione ?");
const QString kAskRipr = QStringLiteral("I dati sono stati modificati. Vuoi ripristinare ?");

struct Fixture {
    TestEnv env;
    Connection cn;
    explicit Fixture(bool withTable = true, const QStringList& rows = {"A10=Alfa", "B20=Beta", "C30=Gamma"})
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        B_Develop = false;
        MDB_Create(Pth_DirTmpMDB);
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
        if (!withTable) return;
        cn.Execute(QStringLiteral("CREATE TABLE TAB (cod_ TEXT(10), des_ TEXT(50))"));
        for (const QString& r : rows)
            cn.Execute(QStringLiteral("INSERT INTO TAB (cod_, des_) VALUES (?, ?)"),
                       {r.section(QLatin1Char('='), 0, 0), r.section(QLatin1Char('='), 1)});
    }
    ~Fixture()
    {
        if (cn.State() == adStateOpen) cn.Close();
        if (F_XMLCompact::isLoaded()) F_XMLCompact::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    F_XMLCompact& window()
    {
        F_XMLCompact& w = F_XMLCompact::instance();
        w.Show();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w)) qWarning("window not active");
        return w;
    }
    // The table as "code=description", in code order.
    QStringList table()
    {
        QStringList out;
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM TAB ORDER BY cod_"), cn, adOpenStatic, adLockReadOnly);
        for (; !rs.EOF_(); rs.MoveNext())
            out << rs["cod_"].toString() + QLatin1Char('=') + rs["des_"].toString();
        rs.Close();
        return out;
    }
};

// The editor as the user sees it: the status panel, the enabled buttons, the two boxes
// ("locked" when the code box is disabled).
QString state(const F_XMLCompact& w)
{
    QStringList on;
    const QList<QPair<const char*, QAction*>> buttons{{"New", w.TB_New},
                                                      {"Save", w.TB_Save},
                                                      {"SaveNew", w.TB_SaveNew},
                                                      {"Elim", w.TB_Elim},
                                                      {"Ripr", w.TB_Ripr}};
    for (const auto& [name, a] : buttons)
        if (a->isEnabled()) on << QLatin1String(name);
    return w.Pan_Status->text() + QStringLiteral(" [") + on.join(QLatin1Char(' ')) + QStringLiteral("] ") +
           w.Txt_Cod.Text() + QLatin1Char('/') + w.Txt_Des.Text() +
           (w.Txt_Cod.Enabled() ? QString() : QStringLiteral(" locked"));
}

QLineEdit* box(const TxtCtl& t)
{
    return qobject_cast<QLineEdit*>(t.widget()->focusProxy());
}

// Runs one step of a script:
//   find:X       Fnd_Tab(X)                      cod:X / des:X  the box's text set
//   focus:cod    the focus goes to the box       type:X         keys typed into the focused box
//   new, prev, next                              the menu item
//   save:A, savenew:A, del:A, ripr:A, print:A    the menu item, the questions answered
//                                                with the letters of A (Y, N)
void step(F_XMLCompact& w, ScriptedDialogs& d, const QString& s)
{
    const QString verb = s.section(QLatin1Char(':'), 0, 0);
    const QString arg = s.section(QLatin1Char(':'), 1);
    if (verb == QLatin1String("find")) {
        w.Fnd_Tab(arg);
    } else if (verb == QLatin1String("cod")) {
        w.Txt_Cod.setText(arg);
    } else if (verb == QLatin1String("des")) {
        w.Txt_Des.setText(arg);
    } else if (verb == QLatin1String("focus")) {
        const TxtCtl& t = arg == QLatin1String("cod") ? w.Txt_Cod : w.Txt_Des;
        box(t)->setFocus(Qt::TabFocusReason);
        QVERIFY2(QApplication::focusWidget() == box(t), qPrintable(s));
        QCOMPARE(w.status(), t.Prompt()); // panel 1 shows the box's prompt
    } else if (verb == QLatin1String("type")) {
        QTest::keyClicks(QApplication::focusWidget(), arg);
    } else {
        for (const QChar c : arg)
            d.answer(c == QLatin1Char('Y') ? vb::Yes : vb::No);
        const QMap<QString, QAction*> items{
            {"new", w.M_New},         {"prev", w.M_RecPrec}, {"next", w.M_RecSucc}, {"save", w.M_Save},
            {"savenew", w.M_SaveNew}, {"del", w.M_Del},      {"ripr", w.M_Ripr},    {"print", w.M_Prt}};
        QVERIFY2(items.contains(verb), qPrintable(s));
        items.value(verb)->trigger();
    }
}

void run(F_XMLCompact& w, ScriptedDialogs& d, const QStringList& steps)
{
    for (const QString& s : steps) {
        step(w, d, s);
        if (QTest::currentTestFailed()) return;
    }
}
} // namespace

// ---------------------------------------------------------------- save state

void TstXMLCompactEditor::states_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<QStringList>("table");

    const QStringList rows{"A10=Alfa", "B20=Beta", "C30=Gamma"};
    const QString ask = kAskSave;
    QTest::newRow("after load") << QStringList{} << "Inizio Inserimento.. [New] /" << QStringList{} << 0
                                << rows;
    QTest::newRow("a found code is shown, its key locked")
        << QStringList{"find:B20"} << "Visualizzazione [New Elim] B20/Beta locked" << QStringList{} << 0
        << rows;
    QTest::newRow("a code not in the table shows nothing")
        << QStringList{"find:Q77"} << "Inizio Inserimento.. [New] /" << QStringList{} << 0 << rows;
    QTest::newRow("empty lookup: view, no new")
        << QStringList{"find:"} << "Visualizzazione [] /" << QStringList{} << 0 << rows;
    QTest::newRow("description changed")
        << QStringList{"find:B20", "des:Nuova"} << "Modifica [Save SaveNew Elim] B20/Nuova locked"
        << QStringList{} << 0 << rows;
    QTest::newRow("save Yes") << QStringList{"find:B20", "des:Nuova", "save:Y"}
                              << "Visualizzazione [New Elim] B20/Nuova" << QStringList{ask} << 0
                              << QStringList{"A10=Alfa", "B20=Nuova", "C30=Gamma"};
    QTest::newRow("save No") << QStringList{"find:B20", "des:Nuova", "save:N"}
                             << "Visualizzazione [New Elim] B20/Nuova" << QStringList{ask} << 0 << rows;
    QTest::newRow("save with nothing changed asks nothing")
        << QStringList{"find:B20", "save:"} << "Visualizzazione [New Elim] B20/Beta" << QStringList{} << 0
        << rows;
    QTest::newRow("code changed") << QStringList{"next", "cod:Z99"} << "Modifica [Save SaveNew Ripr] Z99/Alfa"
                                  << QStringList{} << 0 << rows;
    QTest::newRow("restore Yes") << QStringList{"next", "cod:Z99", "ripr:Y"}
                                 << "Visualizzazione [New Elim] A10/Alfa" << QStringList{kAskRipr} << 0
                                 << rows;
    QTest::newRow("restore No") << QStringList{"next", "cod:Z99", "ripr:N"}
                                << "Modifica [Save SaveNew Ripr] Z99/Alfa" << QStringList{kAskRipr} << 0
                                << rows;
    QTest::newRow("new saves the change first")
        << QStringList{"next", "cod:Z99", "new:Y"} << "Inizio Inserimento.. [] /" << QStringList{ask} << 0
        << QStringList{"A10=Alfa", "B20=Beta", "C30=Gamma", "Z99=Alfa"};
    QTest::newRow("new row typed and saved")
        << QStringList{"new", "cod:D40", "des:Delta", "save:Y"} << "Visualizzazione [New Ripr] D40/Delta"
        << QStringList{ask} << 0 << QStringList{"A10=Alfa", "B20=Beta", "C30=Gamma", "D40=Delta"};
    QTest::newRow("code 000000 kept as typed")
        << QStringList{"new", "cod:000000", "des:Zeri", "save:Y", "new", "find:000000"}
        << "Visualizzazione [New Elim] 000000/Zeri locked" << QStringList{ask} << 0
        << QStringList{"000000=Zeri", "A10=Alfa", "B20=Beta", "C30=Gamma"};
    QTest::newRow("a code with a quote")
        << QStringList{"new", "cod:O'K", "des:Apice", "save:Y", "new", "find:O'K"}
        << "Visualizzazione [New Elim] O'K/Apice locked" << QStringList{ask} << 0
        << QStringList{"A10=Alfa", "B20=Beta", "C30=Gamma", "O'K=Apice"};
    QTest::newRow("empty code: not saved, edit kept")
        << QStringList{"new", "des:Senza", "save:Y"} << "Modifica [Save SaveNew] /Senza" << QStringList{ask}
        << 1 << rows;
    QTest::newRow("empty code: save and new keeps the mask")
        << QStringList{"new", "cod:  ", "des:Senza", "savenew:Y"} << "Modifica [Save SaveNew Ripr]   /Senza"
        << QStringList{ask} << 1 << rows;
    QTest::newRow("empty code: next does not move")
        << QStringList{"new", "des:Senza", "next:Y"} << "Modifica [Save SaveNew] /Senza" << QStringList{ask}
        << 1 << rows;
    QTest::newRow("delete Yes") << QStringList{"find:B20", "del:Y"} << "Inizio Inserimento.. [New] /"
                                << QStringList{kAskDel} << 0 << QStringList{"A10=Alfa", "C30=Gamma"};
    QTest::newRow("delete No") << QStringList{"find:B20", "del:N"}
                               << "Visualizzazione [New Elim] B20/Beta locked" << QStringList{kAskDel} << 1
                               << rows;
    QTest::newRow("delete asks to save first")
        << QStringList{"find:B20", "des:Nuova", "del:NY"} << "Inizio Inserimento.. [New] /"
        << QStringList{ask, kAskDel} << 0 << QStringList{"A10=Alfa", "C30=Gamma"};
    QTest::newRow("print only saves")
        << QStringList{"find:B20", "des:Nuova", "print:Y"} << "Visualizzazione [New Elim] B20/Nuova locked"
        << QStringList{ask} << 0 << QStringList{"A10=Alfa", "B20=Nuova", "C30=Gamma"};

    // The code box left by the focus.
    QTest::newRow("leaving the code box unchanged keeps view, locks the key")
        << QStringList{"next", "focus:cod", "focus:des"} << "Visualizzazione [New Elim] A10/Alfa locked"
        << QStringList{} << 0 << rows;
    QTest::newRow("leaving an empty code box keeps the start")
        << QStringList{"focus:cod", "focus:des"} << "Inizio Inserimento.. [New] /" << QStringList{} << 0
        << rows;
    QTest::newRow("a typed code of the table is shown")
        << QStringList{"focus:cod", "type:b20", "focus:des"} << "Visualizzazione [New Elim] B20/Beta locked"
        << QStringList{} << 0 << rows;
    QTest::newRow("a typed new code stays in edit")
        << QStringList{"focus:cod", "type:X1", "focus:des"} << "Modifica [Save SaveNew Ripr] X1/"
        << QStringList{} << 0 << rows;
    QTest::newRow("an unsaved description survives a pass through the code box")
        << QStringList{"find:B20", "des:Nuova", "save:Y", "focus:des", "type:Altro", "focus:cod", "focus:des"}
        << "Modifica [Save SaveNew Elim] B20/Altro" << QStringList{ask} << 0
        << QStringList{"A10=Alfa", "B20=Nuova", "C30=Gamma"};
    QTest::newRow("a new record starts unchanged, focus from the description")
        << QStringList{"find:B20", "focus:des", "type:X", "savenew:Y", "focus:des"}
        << "Inizio Inserimento.. [] /" << QStringList{ask} << 0
        << QStringList{"A10=Alfa", "B20=X", "C30=Gamma"};
    QTest::newRow("a lookup from code while the code box has the focus")
        << QStringList{"focus:cod", "find:C30", "focus:des"} << "Visualizzazione [New Elim] C30/Gamma locked"
        << QStringList{} << 0 << rows;
    QTest::newRow("a walk from the code box starts it from the row shown")
        << QStringList{"next", "next", "focus:des"} << "Visualizzazione [New Elim] B20/Beta locked"
        << QStringList{} << 0 << rows;
    QTest::newRow("after a delete from the code box, leaving it keeps the start")
        << QStringList{"next", "del:Y", "focus:des"} << "Inizio Inserimento.. [New] /" << QStringList{kAskDel}
        << 0 << QStringList{"B20=Beta", "C30=Gamma"};
    QTest::newRow("after a delete from the description, leaving it keeps the start")
        << QStringList{"next", "focus:des", "del:Y", "focus:cod"} << "Inizio Inserimento.. [New] /"
        << QStringList{kAskDel} << 0 << QStringList{"B20=Beta", "C30=Gamma"};
    QTest::newRow("after a delete, a pass through the code box keeps the start")
        << QStringList{"find:B20", "del:Y", "focus:cod", "focus:des"} << "Inizio Inserimento.. [New] /"
        << QStringList{kAskDel} << 0 << QStringList{"A10=Alfa", "C30=Gamma"};
    QTest::newRow("a new record starts unchanged, focus in the code box")
        << QStringList{"next", "new", "focus:des"} << "Inizio Inserimento.. [] /" << QStringList{} << 0
        << rows;
}

void TstXMLCompactEditor::states()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, state);
    QFETCH(QStringList, asked);
    QFETCH(int, beeps);
    QFETCH(QStringList, table);

    Fixture fx;
    F_XMLCompact& w = fx.window();
    QVERIFY(w.EditorReady());
    ScriptedDialogs& d = fx.env.dialogs();
    run(w, d, steps);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(::state(w), state);
    QCOMPARE(d.messages(), asked);
    QVERIFY(d.allAnswered());
    QCOMPARE(d.beeps, beeps);
    QCOMPARE(fx.table(), table);
    for (const ScriptedDialogs::Call& c : d.calls) {
        QCOMPARE(c.style, vb::YesNo | vb::Question);
        QCOMPARE(c.title, F_XMLCompact::Caption());
    }
}

// ---------------------------------------------------------------- previous and next

void TstXMLCompactEditor::walk_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("state");
    QTest::addColumn<int>("beeps");

    const QStringList rows{"B20=Beta", "A10=Alfa", "C30=Gamma"}; // not stored in code order
    QTest::newRow("next from an empty box: the first")
        << rows << QStringList{"next"} << "Visualizzazione [New Elim] A10/Alfa" << 0;
    QTest::newRow("previous from an empty box: the last")
        << rows << QStringList{"prev"} << "Visualizzazione [New Elim] C30/Gamma" << 0;
    QTest::newRow("next by code") << rows << QStringList{"next", "next"}
                                  << "Visualizzazione [New Elim] B20/Beta" << 0;
    QTest::newRow("previous by code")
        << rows << QStringList{"find:C30", "prev"} << "Visualizzazione [New Elim] B20/Beta locked" << 0;
    QTest::newRow("past the last: the first, a beep")
        << rows << QStringList{"find:C30", "next"} << "Visualizzazione [New Elim] A10/Alfa locked" << 1;
    QTest::newRow("before the first: the last, a beep")
        << rows << QStringList{"find:A10", "prev"} << "Visualizzazione [New Elim] C30/Gamma locked" << 1;
    QTest::newRow("from a typed code not in the table")
        << rows << QStringList{"cod:B", "next:N"} << "Visualizzazione [New Elim] B20/Beta" << 0;
    QTest::newRow("next on an empty table")
        << QStringList{} << QStringList{"next"} << "Inizio Inserimento.. [New] /" << 2;
    QTest::newRow("previous on an empty table")
        << QStringList{} << QStringList{"prev"} << "Inizio Inserimento.. [New] /" << 2;
}

void TstXMLCompactEditor::walk()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, steps);
    QFETCH(QString, state);
    QFETCH(int, beeps);

    Fixture fx(true, rows);
    F_XMLCompact& w = fx.window();
    ScriptedDialogs& d = fx.env.dialogs();
    run(w, d, steps);
    if (QTest::currentTestFailed()) return;
    QCOMPARE(::state(w), state);
    QCOMPARE(d.beeps, beeps);
    QVERIFY(d.allAnswered());
    // A shown row leaves the focus in the code box (when it takes it).
    if (!rows.isEmpty() && w.Txt_Cod.Enabled()) QCOMPARE(QApplication::focusWidget(), box(w.Txt_Cod));
}

// ---------------------------------------------------------------- toolbar, menu, keys

void TstXMLCompactEditor::waysIn_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("way"); // a toolbar key, a menu item, or "key:" and the keys
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QStringList>("table");

    const QStringList rows{"A10=Alfa", "B20=Beta", "C30=Gamma"};
    const QStringList saved{"A10=Alfa", "B20=Nuova", "C30=Gamma"};
    const QStringList deleted{"A10=Alfa", "C30=Gamma"};
    const QStringList changed{"find:B20", "des:Nuova"};
    struct Way {
        const char* command;
        QStringList setup;
        QStringList ways;
        const char* answers;
        const char* state;
        QStringList table;
    };
    const QList<Way> all{
        {"new", {"find:B20"}, {"TB_New", "M_New"}, "", "Inizio Inserimento.. [] /", rows},
        {"save and new",
         changed,
         {"TB_SaveNew", "M_SaveNew", "key:Shift+F11"},
         "Y",
         "Inizio Inserimento.. [] /",
         saved},
        {"save",
         changed,
         {"TB_Save", "M_Save", "key:Shift+F12"},
         "Y",
         "Visualizzazione [New Elim] B20/Nuova",
         saved},
        {"delete",
         {"find:B20"},
         {"TB_Elim", "M_Del", "M_Elim", "key:Ctrl+Del"},
         "Y",
         "Inizio Inserimento.. [New] /",
         deleted},
        {"restore",
         {"next", "cod:Z99"},
         {"TB_Ripr", "M_Ripr"},
         "Y",
         "Visualizzazione [New Elim] A10/Alfa",
         rows},
        {"previous",
         {"find:B20"},
         {"TB_Prev", "M_RecPrec"},
         "",
         "Visualizzazione [New Elim] A10/Alfa locked",
         rows},
        {"next",
         {"find:B20"},
         {"TB_Succ", "M_RecSucc"},
         "",
         "Visualizzazione [New Elim] C30/Gamma locked",
         rows},
        {"print", changed, {"TB_Prt", "M_Prt"}, "Y", "Visualizzazione [New Elim] B20/Nuova locked", saved},
    };
    for (const Way& c : all)
        for (const QString& way : c.ways)
            QTest::newRow(qPrintable(QLatin1String(c.command) + QStringLiteral(" by ") + way))
                << c.setup << way << QString::fromLatin1(c.answers) << QString::fromLatin1(c.state)
                << c.table;
}

void TstXMLCompactEditor::waysIn()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, way);
    QFETCH(QString, answers);
    QFETCH(QString, state);
    QFETCH(QStringList, table);

    Fixture fx;
    F_XMLCompact& w = fx.window();
    ScriptedDialogs& d = fx.env.dialogs();
    run(w, d, setup);
    if (QTest::currentTestFailed()) return;
    const int beepsBefore = d.beeps;
    for (const QChar c : answers)
        d.answer(c == QLatin1Char('Y') ? vb::Yes : vb::No);
    const bool key = way.startsWith(QLatin1String("key:"));
    if (key) {
        const QKeySequence seq(way.mid(4));
        QTest::keySequence(&w, seq);
    } else {
        QAction* a = w.findChild<QAction*>(way);
        QVERIFY(a);
        QVERIFY(a->isEnabled());
        a->trigger();
    }
    QCOMPARE(::state(w), state);
    QCOMPARE(fx.table(), table);
    QVERIFY(d.allAnswered());
    QCOMPARE(d.beeps - beepsBefore, key ? 1 : 0);
}

// ---------------------------------------------------------------- failures

void TstXMLCompactEditor::databaseError_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("command");

    QTest::newRow("save") << QStringList{"find:B20", "des:Nuova"} << "save:Y";
    QTest::newRow("save and new") << QStringList{"find:B20", "des:Nuova"} << "savenew:Y";
    QTest::newRow("delete") << QStringList{"find:B20"} << "del:Y";
    QTest::newRow("next") << QStringList{"find:B20"} << "next";
}

void TstXMLCompactEditor::databaseError()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, command);

    Fixture fx;
    F_XMLCompact& w = fx.window();
    ScriptedDialogs& d = fx.env.dialogs();
    run(w, d, setup);
    if (QTest::currentTestFailed()) return;
    const QString before = ::state(w);
    fx.cn.Execute(QStringLiteral("DROP TABLE TAB"));
    d.acceptOkBoxes = true;
    const qsizetype shown = d.calls.size();
    run(w, d, {command});
    QCOMPARE(::state(w), before);
    QVERIFY(d.allAnswered());
    const QString error = d.calls.last().text;
    QVERIFY2(d.calls.size() > shown && error.contains(QString::number(DB_E_NOTABLE)), qPrintable(error));
    QCOMPARE(d.calls.last().icon(), int(vb::Critical));
    const QString log = QString::fromUtf8(TestEnv::readFile(Pth_DebugLog));
    QVERIFY2(log.contains(QString::number(DB_E_NOTABLE)), qPrintable(log));
}

void TstXMLCompactEditor::withoutTable()
{
    Fixture fx(false);
    F_XMLCompact& w = fx.window();
    ScriptedDialogs& d = fx.env.dialogs();
    QVERIFY(!w.EditorReady());
    QVERIFY(!w.Txt_Cod.Enabled());
    QVERIFY(!w.Txt_Des.Enabled());
    for (QAction* a : w.Toolbar2->actions())
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    for (QAction* a :
         {w.M_New, w.M_SaveNew, w.M_Save, w.M_Del, w.M_Ripr, w.M_Elim, w.M_RecPrec, w.M_RecSucc, w.M_Prt})
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    QVERIFY(w.M_Close->isEnabled());
    QVERIFY(w.M_Info->isEnabled());

    // The keys only beep; the commands reached from code do nothing.
    for (const char* k : {"Ctrl+Del", "Shift+F11", "Shift+F12"})
        QTest::keySequence(&w, QKeySequence(QLatin1String(k)));
    QCOMPARE(d.beeps, 3);
    w.M_Del_Click();
    w.M_Save_Click();
    w.Fnd_Tab(QStringLiteral("A10"));
    w.Toolbar2_ButtonClick(w.TB_Succ);
    QCOMPARE(d.beeps, 3);
    QCOMPARE(d.calls.size(), 0);
    QCOMPARE(::state(w), QStringLiteral("Inizio Inserimento.. [] / locked"));
    QVERIFY(!w.Txt_Cod.Enabled());
    QVERIFY(!QFile::exists(Pth_DebugLog) ||
            !QString::fromUtf8(TestEnv::readFile(Pth_DebugLog)).contains(QStringLiteral("ERRORE")));
}

QTEST_MAIN(TstXMLCompactEditor)
#include "tst_xmlcompact_editor.moc"
