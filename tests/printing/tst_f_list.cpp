// The list window: search, refine, deletions, font, view, save, row view, the answer
// it leaves, activation, keys; and its layout memory.
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "printing/F_List.h"
#include "printing/List_Pos.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QPushButton>
#include <QTest>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kPos = QStringLiteral("PosHelp");

struct Fixture {
    TestEnv env;
    QString oldCwd = QDir::currentPath();
    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_PgmVisualizzatore = QStringLiteral("/opt/vedi/viewer");
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        G_NomeLista = QStringLiteral("Prova");
        B_Rs2List = false;
        QDir().mkpath(env.work());
        QDir::setCurrent(env.work());
        env.dialogs().acceptOkBoxes = true;
    }
    ~Fixture()
    {
        setModalRunner({});
        if (F_List::isLoaded()) F_List::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QDir::setCurrent(oldCwd);
        F_List::setAHelp_INI(QStringLiteral("QOR_PLCR.INI"));
        F_List::setAHelp_ROW(QString());
    }
    // The window shown with these rows, as a caller fills it.
    F_List& open(const QStringList& rows, const QString& caption = QStringLiteral("Lista Prova"))
    {
        F_List& f = F_List::instance();
        f.Lst_Lista->Clear();
        for (const QString& r : rows)
            f.Lst_Lista->AddItem(r);
        f.setWindowTitle(caption);
        f.show();
        f.Activate();
        return f;
    }
    static QStringList rows(F_List& f)
    {
        QStringList out;
        for (int i = 0; i < f.Lst_Lista->ListCount(); ++i)
            out << f.Lst_Lista->List(i);
        return out;
    }
};

} // namespace

class TestFList : public QObject
{
    Q_OBJECT
  private slots:
    void search_data();
    void search();
    void refine_data();
    void refine();
    void refineLongList();
    void deletions_data();
    void deletions();
    void fontButtons_data();
    void fontButtons();
    void viewFile();
    void viewFileUnwritable();
    void saveRows_data();
    void saveRows();
    void rowView_data();
    void rowView();
    void answer_data();
    void answer();
    void preselect_data();
    void preselect();
    void storedSearchText_data();
    void storedSearchText();
    void f6f7Flag();
    void loadPos_data();
    void loadPos();
    void savePos_data();
    void savePos();
    void roundsKeepStoredValue();
};

void TestFList::search_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("found"); // -1: beep, selection unchanged
    const QString t = QStringLiteral("  alfa ");
    QTest::newRow("next below") << 0 << t << 2;
    QTest::newRow("last selected wraps to 0") << 4 << t << 0;
    QTest::newRow("wrap stops before selected") << 3 << QStringLiteral("gamma") << -1;
    QTest::newRow("row 0, none below") << 0 << QStringLiteral("zeta") << -1;
    QTest::newRow("selected row not tested") << 1 << QStringLiteral("beta") << -1;
    QTest::newRow("empty text") << 0 << QStringLiteral("  ") << -1;
}

void TestFList::search()
{
    QFETCH(int, selected);
    QFETCH(QString, text);
    QFETCH(int, found);
    Fixture fx;
    F_List& f = fx.open({QStringLiteral("ALFA 1"), QStringLiteral("beta"), QStringLiteral("Alfa 2"),
                         QStringLiteral("gamma"), QStringLiteral("delta")});
    f.Lst_Lista->setListIndex(selected);
    f.Txt_Cerca->setText(text);
    fx.env.dialogs().beeps = 0;
    f.Cmd_Cerca_Click();
    QCOMPARE(f.Lst_Lista->ListIndex(), found < 0 ? selected : found);
    QCOMPARE(fx.env.dialogs().beeps, found < 0 ? 1 : 0);
}

void TestFList::refine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("kept");
    QTest::addColumn<QString>("count");
    QTest::newRow("keeps order") << QStringLiteral(" a| ")
                                 << QStringList{QStringLiteral("xA|1"), QStringLiteral("a|3")}
                                 << QStringLiteral("2 righe.");
    QTest::newRow("one row") << QStringLiteral("b|") << QStringList{QStringLiteral("b|2")}
                             << QStringLiteral("1 riga.");
    QTest::newRow("all go") << QStringLiteral("zzz") << QStringList{} << QStringLiteral("0");
}

void TestFList::refine()
{
    QFETCH(QString, text);
    QFETCH(QStringList, kept);
    QFETCH(QString, count);
    Fixture fx;
    // 250 rows that go first, so that "all go" shows the bare count at 0.
    QStringList rows{QStringLiteral("xA|1"), QStringLiteral("b|2"), QStringLiteral("a|3")};
    F_List& f = fx.open(rows);
    f.Lst_Lista->setListIndex(2);
    f.Txt_Cerca->setText(text);
    f.Cmd_Lascia_Click();
    QCOMPARE(Fixture::rows(f), kept);
    QCOMPARE(f.Lbl_Qta->text(), count.isEmpty() ? QString() : count);
    if (!kept.isEmpty()) {
        QCOMPARE(f.Lst_Lista->ListIndex(), 0);
    }
    QVERIFY(f.Lst_ListaView->isVisible());
}

// 20,000 rows pass at once, in their order.
void TestFList::refineLongList()
{
    Fixture fx;
    QStringList rows;
    for (int i = 0; i < 20000; ++i)
        rows << (i % 4 == 0 ? QStringLiteral("tieni %1").arg(i) : QStringLiteral("via %1").arg(i));
    F_List& f = fx.open(rows);
    f.Txt_Cerca->setText(QStringLiteral("TIENI"));
    f.Cmd_Lascia_Click();
    QCOMPARE(f.Lst_Lista->ListCount(), 5000);
    QCOMPARE(f.Lst_Lista->List(1), QStringLiteral("tieni 4"));
    QCOMPARE(f.Lbl_Qta->text(), QStringLiteral("5000 righe."));
}

void TestFList::deletions_data()
{
    QTest::addColumn<bool>("after");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("answer"); // 0: no question
    QTest::addColumn<QStringList>("left");
    const QStringList all{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    QTest::newRow("after, Yes") << true << 1 << int(vb::Yes)
                                << QStringList{QStringLiteral("0"), QStringLiteral("1")};
    QTest::newRow("after, No") << true << 1 << int(vb::No) << all;
    QTest::newRow("after, last row") << true << 3 << 0 << all;
    QTest::newRow("before, Yes") << false << 2 << int(vb::Yes)
                                 << QStringList{QStringLiteral("2"), QStringLiteral("3")};
    QTest::newRow("before, No") << false << 2 << int(vb::No) << all;
    QTest::newRow("before, row 0") << false << 0 << 0 << all;
}

void TestFList::deletions()
{
    QFETCH(bool, after);
    QFETCH(int, selected);
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    Fixture fx;
    F_List& f = fx.open({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    f.Lst_Lista->setListIndex(selected);
    int activations = 0;
    // The questions close without activating the window again (activation would select row 0).
    // The count's connection ends with this scope, before the fixture unloads the window.
    QObject scope;
    connect(&f, &VbForm::hidden, &scope, [&] { ++activations; });
    if (answer != 0) fx.env.dialogs().answer(answer);
    fx.env.dialogs().beeps = 0;
    const QString before = f.Lbl_Qta->text();
    after ? f.Cmd_After_Click() : f.Cmd_Before_Click();
    QCOMPARE(Fixture::rows(f), left);
    QCOMPARE(fx.env.dialogs().beeps, answer == vb::Yes ? 0 : 1);
    QCOMPARE(f.Lbl_Qta->text(), before);
    if (answer != 0) {
        QCOMPARE(fx.env.dialogs().calls.last().text,
                 after ? QStringLiteral("Confermi eliminazione righe SUCCESSIVE ?")
                       : QStringLiteral("Confermi eliminazione righe PRECEDENTI ?"));
        QCOMPARE(fx.env.dialogs().calls.last().title, QStringLiteral("Lista Prova"));
    }
    QCOMPARE(activations, 0);
}

void TestFList::fontButtons_data()
{
    QTest::addColumn<bool>("big");
    QTest::addColumn<double>("size");
    QTest::addColumn<double>("after");
    QTest::addColumn<QString>("tip");
    QTest::newRow("bigger") << true << 8.25 << 9.25 << QStringLiteral("Aumenta il Carattere :8,25->9,25");
    QTest::newRow("15 is too big") << true << 14.0 << 14.0 << QStringLiteral("Aumenta il Carattere :14->15");
    QTest::newRow("smaller") << false << 8.25 << 7.25 << QStringLiteral("Riduce il Carattere :8,25->7,25");
    QTest::newRow("5 is too small") << false << 6.0 << 6.0 << QStringLiteral("Riduce il Carattere :6->5");
}

void TestFList::fontButtons()
{
    QFETCH(bool, big);
    QFETCH(double, size);
    QFETCH(double, after);
    QFETCH(QString, tip);
    Fixture fx;
    F_List& f = fx.open({QStringLiteral("a")});
    QFont font = f.Lst_ListaView->font();
    font.setPointSizeF(size);
    f.Lst_ListaView->setFont(font);
    big ? f.Cmd_Big_MouseMove() : f.Cmd_Litt_MouseMove();
    QCOMPARE((big ? f.Cmd_Big : f.Cmd_Litt)->toolTip(), tip);
    fx.env.dialogs().beeps = 0;
    big ? f.Cmd_Big_Click() : f.Cmd_Litt_Click();
    QCOMPARE(f.Lst_ListaView->font().pointSizeF(), after);
    if (after != size) QCOMPARE(f.Lbl_Head->font().pointSizeF(), after);
    QCOMPARE(fx.env.dialogs().beeps, after == size ? 1 : 0);
}

void TestFList::viewFile()
{
    Fixture fx;
    const QString head = QStringLiteral("Nome!Valore");
    const QString longRow = QStringLiteral("x").repeated(200);
    F_List& f = fx.open({head, longRow, QStringLiteral("b|2")}, QStringLiteral("Lista di prova"));
    f.Lbl_Head->setText(head);
    f.Cmd_View_Click();
    const QString path = fx.env.work() + QStringLiteral("Lista_di_prova.DBP");
    QCOMPARE(QString::fromUtf8(TestEnv::readFile(path)),
             head + QStringLiteral("\r\n") + QStringLiteral("-").repeated(11) + QStringLiteral("\r\n") +
                 longRow + QStringLiteral("\r\nb|2\r\n"));
    // Row 0 equal to the header is left out, and the dash line follows the longer of the two.
    f.Lst_Lista->Clear();
    f.Lst_Lista->AddItem(longRow);
    f.Cmd_View_Click();
    QCOMPARE(QString::fromUtf8(TestEnv::readFile(path)),
             head + QStringLiteral("\r\n") + QStringLiteral("-").repeated(129) + QStringLiteral("\r\n") +
                 longRow + QStringLiteral("\r\n"));
    const auto& starts = fx.env.launcher().starts;
    QCOMPARE(starts.size(), 2);
    QCOMPARE(starts[0].program, G_PgmVisualizzatore);
    QCOMPARE(starts[0].args, QStringList{path});
    // No viewer: the desktop's program, with a beep.
    G_PgmVisualizzatore.clear();
    fx.env.dialogs().beeps = 0;
    f.Cmd_View_Click();
    QCOMPARE(starts.last().kind, QStringLiteral("url"));
    QCOMPARE(fx.env.dialogs().beeps, 1);
}

void TestFList::viewFileUnwritable()
{
    Fixture fx;
    F_List& f = fx.open({QStringLiteral("a")}, QStringLiteral("Lista"));
    QDir().mkpath(fx.env.work() + QStringLiteral("Lista.DBP")); // a folder in the way
    f.Cmd_View_Click();
    QVERIFY(
        fx.env.dialogs().messages().last().startsWith(QStringLiteral("IMPOSSIBILE SCRIVERE IL FILE !!\r\n")));
    QVERIFY(fx.env.launcher().starts.isEmpty());
    QVERIFY(F_List::isLoaded());
}

void TestFList::saveRows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("title");
    QTest::newRow("no list name") << QString() << QStringLiteral("RS_F_LIST.TXT") << QStringLiteral("F_LIST");
    QTest::newRow("list name") << QStringLiteral("Prova") << QStringLiteral("RS_Prova.TXT")
                               << QStringLiteral("Prova");
}

void TestFList::saveRows()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    QFETCH(QString, title);
    Fixture fx;
    F_List& f = fx.open({QStringLiteral("a|1"), QStringLiteral("b|2")});
    G_NomeLista = name;
    const QString path = G_DirApp + file;
    fx.env.dialogs().answer(vb::Yes).answer(vb::Yes);
    f.Lbl_Qta_MouseUp(2, 0, 0, 0);
    QCOMPARE(TestEnv::readFile(path), QByteArray("a|1\r\nb|2\r\n"));
    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls[0].text, QStringLiteral("Salvo le righe sul file :\r\r") + path + QStringLiteral(" ?"));
    QCOMPARE(calls[0].title, title);
    QCOMPARE(calls[1].text, QStringLiteral("SALVATAGGIO RIGHE SU FILE: \r") + path +
                                QStringLiteral("\r COMPLETATO !!\r\rVisualizzo il file ?"));
    QCOMPARE(calls[1].title, QStringLiteral("LIST SAVE"));
    QCOMPARE(fx.env.launcher().starts.size(), 1);
    QCOMPARE(fx.env.launcher().starts[0].args, QStringList{path});
    // No: nothing written.
    QFile::remove(path);
    fx.env.dialogs().answer(vb::No);
    f.Lbl_Qta_MouseUp(2, 0, 0, 0);
    QVERIFY(!QFile::exists(path));
}

void TestFList::rowView_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("title1");
    QTest::newRow("header titles") << QStringLiteral("Nome  !Val!") << QString() << QStringLiteral("Nome");
    QTest::newRow("tag titles") << QStringLiteral("Nome!Val!") << QStringLiteral("Codice|Importo|")
                                << QStringLiteral("Codice");
    QTest::newRow("tag of other count")
        << QStringLiteral("Nome!Val!") << QStringLiteral("A|B|C|") << QStringLiteral("Nome");
}

void TestFList::rowView()
{
    QFETCH(QString, head);
    QFETCH(QString, tag);
    QFETCH(QString, title1);
    Fixture fx;
    F_List& f = fx.open({QStringLiteral("x|y|"), QStringLiteral(" abc |12|")}, QStringLiteral("Righe"));
    f.Lbl_Head->setText(head);
    f.Cmd_View->setProperty("Tag", tag);
    f.Lst_Lista->setListIndex(1);
    fx.env.dialogs().answer(vb::Yes);
    f.Lst_Lista_MouseUp(2, 0, 0, 0);
    QCOMPARE(fx.env.dialogs().calls[0].defaultButton(), 1);
    const QString expected =
        QStringLiteral("Righe\r\n=====\r\n   1|") + title1.leftJustified(25) +
        QStringLiteral("| abc <\r\n   2|") +
        (tag == QStringLiteral("Codice|Importo|") ? QStringLiteral("Importo") : QStringLiteral("Val"))
            .leftJustified(25) +
        QStringLiteral("|12<\r\n\r\n");
    QCOMPARE(QString::fromUtf8(TestEnv::readFile(fx.env.work() + QStringLiteral("PIPE.TMP"))), expected);
    QCOMPARE(fx.env.launcher().starts.size(), 1);
}

void TestFList::answer_data()
{
    QTest::addColumn<int>("how"); // 0 OK, 1 double click, 2 Cancel, 3 frame, 4 Enter, 5 Esc
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("item");
    QTest::newRow("OK") << 0 << QStringLiteral("b") << QString();
    QTest::newRow("double click") << 1 << QStringLiteral("b") << QStringLiteral("7");
    QTest::newRow("Cancel") << 2 << QString() << QString();
    QTest::newRow("frame") << 3 << QString() << QString();
    QTest::newRow("Enter") << 4 << QStringLiteral("b") << QString();
    QTest::newRow("Esc") << 5 << QString() << QString();
}

void TestFList::answer()
{
    QFETCH(int, how);
    QFETCH(QString, row);
    QFETCH(QString, item);
    Fixture fx;
    G_ItemLista.clear();
    F_List& f = fx.open({});
    f.Lst_Lista->AddItem(QStringLiteral("a"), -3);
    f.Lst_Lista->AddItem(QStringLiteral("b"), 7);
    QCOMPARE(f.Lst_Lista->NewIndex(), 1);
    f.Lst_Lista->setListIndex(1);
    QPointer<F_List> w(&f);
    switch (how) {
    case 0:
        f.Cmd_OK_Click();
        break;
    case 1:
        f.Lst_Lista_DblClick();
        break;
    case 2:
        f.Cmd_Cancel_Click();
        break;
    case 3:
        f.close();
        break;
    case 4:
        QTest::keyClick(f.Lst_ListaView, Qt::Key_Return);
        break;
    case 5:
        QTest::keyClick(f.Lst_ListaView, Qt::Key_Escape);
        break;
    }
    QVERIFY(!F_List::isLoaded());
    QCOMPARE(G_RigaLista, row);
    QCOMPARE(G_ItemLista, item);
}

void TestFList::preselect_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("selected");
    QTest::newRow("ROW") << QStringLiteral("ROW") << 2;
    QTest::newRow("case matters") << QStringLiteral("row") << 0;
    QTest::newRow("none") << QString() << 0;
}

void TestFList::preselect()
{
    QFETCH(QString, prefix);
    QFETCH(int, selected);
    Fixture fx;
    F_List::instance().setAHelp_ROW(prefix);
    F_List& f = fx.open(
        {QStringLiteral("a"), QStringLiteral("Row 1"), QStringLiteral("ROW 2"), QStringLiteral("ROW 3")});
    QCOMPARE(f.Lst_Lista->ListIndex(), selected);
    QCOMPARE(f.Lbl_Qta->text(), QStringLiteral("4 righe."));
    // A modal window opened from the list closes: layout and selection come back.
    IniFile::write(kIni, kPos, QStringLiteral("Prova_Size"), QStringLiteral("0|150|300|6000|10500|10|"));
    f.Lst_Lista->setListIndex(3);
    setModalRunner([](VbForm& other) { other.Unload(); });
    struct Other final : VbFormOf<Other> {
    };
    Other::instance().ShowModal(&f);
    QCOMPARE(f.Lst_Lista->ListIndex(), selected);
    QCOMPARE(f.Lst_ListaView->font().pointSizeF(), 10.0);
    QCOMPARE(f.width(), 700);
}

void TestFList::storedSearchText_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("shown");
    QTest::newRow("stored") << QStringLiteral("fattura") << QString() << QStringLiteral("fattura");
    QTest::newRow("placeholder") << QStringLiteral("Txt_Cerca") << QString() << QString();
    QTest::newRow("box kept") << QStringLiteral("fattura") << QStringLiteral("mio") << QStringLiteral("mio");
    QTest::newRow("cut to 254") << QStringLiteral("x").repeated(300) << QString()
                                << QStringLiteral("x").repeated(254);
}

void TestFList::storedSearchText()
{
    QFETCH(QString, stored);
    QFETCH(QString, box);
    QFETCH(QString, shown);
    Fixture fx;
    IniFile::write(kIni, kPos, QStringLiteral("ProvaC"), stored);
    F_List& f = F_List::instance();
    f.Txt_Cerca->setText(box);
    f.Activate();
    QCOMPARE(f.Txt_Cerca->text(), shown);
    f.Txt_Cerca->setText(QStringLiteral("ultimo"));
    f.Unload();
    QCOMPARE(IniFile::read(kIni, kPos, QStringLiteral("ProvaC"), QString()), QStringLiteral("ultimo"));
}

void TestFList::f6f7Flag()
{
    Fixture fx;
    F_List& f = fx.open({QStringLiteral("a 1"), QStringLiteral("b"), QStringLiteral("a 2")});
    f.activateWindow();
    f.Txt_Cerca->setText(QStringLiteral("a"));
    f.Txt_Cerca->setFocus();
    QApplication::processEvents();
    QVERIFY(f.searchBoxFlag());
    QTest::keyClick(f.Txt_Cerca, Qt::Key_F6); // only clears the flag
    QCOMPARE(f.Lst_Lista->ListIndex(), 0);
    QVERIFY(!f.searchBoxFlag());
    QTest::keyClick(f.Txt_Cerca, Qt::Key_F6);
    QCOMPARE(f.Lst_Lista->ListIndex(), 2);
    f.Lst_ListaView->setFocus();
    f.Txt_Cerca->setFocus();
    QVERIFY(f.searchBoxFlag());
    QTest::keyClick(f.Txt_Cerca, Qt::Key_F7); // nothing while the flag is set
    QCOMPARE(f.Lst_Lista->ListCount(), 3);
    f.Lst_ListaView->setFocus();
    QVERIFY(!f.searchBoxFlag());
    QTest::keyClick(f.Lst_ListaView, Qt::Key_F7);
    QCOMPARE(f.Lst_Lista->ListCount(), 2);
    QTest::keyClick(f.Lst_ListaView, Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), f.Txt_Cerca);
}

void TestFList::loadPos_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<QPoint>("pos"); // pixels
    QTest::addColumn<QSize>("size"); // pixels
    QTest::addColumn<double>("font");
    // Design size 595 x 296 pixels; minimum 8925 x 4440 twips.
    QTest::newRow("missing") << QString() << false << QPoint(0, 0) << QSize(595, 296) << 8.25;
    QTest::newRow("stored") << QStringLiteral("0|1500|3000|6000|10500|10|") << false << QPoint(200, 100)
                            << QSize(700, 400) << 10.0;
    QTest::newRow("maximized") << QStringLiteral("2|1500|3000|6000|10500|9|") << true << QPoint() << QSize()
                               << 9.0;
    QTest::newRow("minimized opens normal")
        << QStringLiteral("1|1500|3000|6000|10500|9|") << false << QPoint(200, 100) << QSize(700, 400) << 9.0;
    QTest::newRow("smaller than design")
        << QStringLiteral("0|15|15|150|150|8|") << false << QPoint(1, 1) << QSize(595, 296) << 8.0;
    QTest::newRow("negative top") << QStringLiteral("0|-300|150|6000|10500|8|") << false << QPoint(10, 0)
                                  << QSize(700, 400) << 8.0;
    QTest::newRow("top at bottom edge")
        << QStringLiteral("0|%1|150|6000|10500|8|") << false << QPoint(10, 0) << QSize(700, 400) << 8.0;
    QTest::newRow("bad fields") << QStringLiteral("0|abc||6000|x|0|") << false << QPoint(0, 0)
                                << QSize(595, 400) << 8.25;
    QTest::newRow("few fields") << QStringLiteral("0|1500|") << false << QPoint(0, 100) << QSize(595, 296)
                                << 8.25;
}

void TestFList::loadPos()
{
    QFETCH(QString, stored);
    QFETCH(bool, maximized);
    QFETCH(QPoint, pos);
    QFETCH(QSize, size);
    QFETCH(double, font);
    Fixture fx;
    // Within 100 twips of the screen's bottom edge.
    const int edge = QGuiApplication::primaryScreen()->geometry().height() * 15 - 50;
    if (stored.contains(QStringLiteral("%1"))) stored = stored.arg(edge);
    if (!stored.isNull()) IniFile::write(kIni, kPos, QStringLiteral("Prova_Size"), stored);
    F_List& f = F_List::instance();
    // The screen of the offscreen platform is 800 x 768 pixels: 12000 x 11520 twips.
    if (!maximized) {
        QCOMPARE(f.isMaximized(), false);
        QCOMPARE(f.pos(), pos);
        QCOMPARE(f.size(), size);
    } else {
        QVERIFY(f.windowState() & Qt::WindowMaximized);
    }
    QCOMPARE(f.Lst_ListaView->font().pointSizeF(), font);
    QCOMPARE(f.Lbl_Head->font().pointSizeF(), font);
    QCOMPARE(f.N_MinWidth(), 8925);
    QCOMPARE(f.N_MinHeight(), 4440);
}

void TestFList::savePos_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("saved");
    QTest::newRow("normal") << QStringLiteral("0|1|1|1|1|8|") << 0
                            << QStringLiteral("0|1500|3000|6000|10500|9,5|");
    QTest::newRow("maximized, nothing stored") << QString() << 2 << QStringLiteral("2|1|1|1500|1500|8,25|");
    QTest::newRow("maximized keeps the rest")
        << QStringLiteral("0|15|30|4500|9000|7|") << 2 << QStringLiteral("2|15|30|4500|9000|7|");
}

void TestFList::savePos()
{
    QFETCH(QString, stored);
    QFETCH(int, state);
    QFETCH(QString, saved);
    Fixture fx;
    F_List& f = F_List::instance();
    if (!stored.isNull()) IniFile::write(kIni, kPos, QStringLiteral("Prova_Size"), stored);
    IniFile::write(kIni, kPos, QStringLiteral("ProvaH"), QStringLiteral("4000"));
    if (state == 2) {
        f.setWindowState(Qt::WindowMaximized);
    } else {
        f.move(200, 100);
        f.resize(700, 400);
        QFont font = f.Lst_ListaView->font();
        font.setPointSizeF(9.5);
        f.Lst_ListaView->setFont(font);
    }
    List_SavePos(&f, QStringLiteral("Prova"));
    QCOMPARE(IniFile::read(kIni, kPos, QStringLiteral("Prova_Size"), QString()), saved);
    QCOMPARE(IniFile::read(kIni, kPos, QStringLiteral("ProvaH"), QStringLiteral("missing")),
             state == 0 ? QString() : QStringLiteral("4000"));
}

void TestFList::roundsKeepStoredValue()
{
    Fixture fx;
    IniFile::write(kIni, kPos, QStringLiteral("Prova_Size"), QStringLiteral("0|1500|3000|6000|10500|8,25|"));
    for (int round = 0; round < 2; ++round) {
        F_List& f = fx.open({QStringLiteral("a")});
        f.Cmd_Cancel_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(IniFile::read(kIni, kPos, QStringLiteral("Prova_Size"), QString()),
                 QStringLiteral("0|1500|3000|6000|10500|8,25|"));
    }
}

QTEST_MAIN(TestFList)
#include "tst_f_list.moc"
