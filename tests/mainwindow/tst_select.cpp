// The main window's selection tools: search, select all, invert, never-sent, the list
// window of the selected rows, the list font, folders and the XML viewer.
#include "foundation/F_Fold.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/ModRegistro.h"
#include "foundation/Proc_Qor.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "printing/F_List.h"
#include "qor/Cl_QOR.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");

// A layout-0 row: received date, file, date, type, number, doc date, recipient, issuer, attachment, sent.
QString row0(const QString& file, const QString& type, const QString& num, const QString& destin,
             const QString& emitt, const QString& sent = QString())
{
    return QStringLiteral("20240110|%1|10/01/2024|%2|%3|10/01/2024|%4|%5| |%6|")
        .arg(file, type, num, destin, emitt, sent.isEmpty() ? QStringLiteral(" ") : sent);
}

// A layout-1 row: number, type, received date, file, doc date, recipient, issuer.
QString row1(const QString& file, const QString& type, const QString& num)
{
    return QStringLiteral("%1|%2|20240110|%3|10/01/2024|BETA SPA|ALFA SRL| |").arg(num, type, file);
}

struct Fixture {
    TestEnv env;
    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        G_PgmVisualizzatore = QStringLiteral("/usr/bin/true");
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        setProcessEndHandler([](int) {});
        IniFile::write(kIni, kSec, QStringLiteral("LastCompact"), QStringLiteral("10/12/2026"));
        env.dialogs().acceptOkBoxes = true;
    }
    ~Fixture()
    {
        setModalRunner({});
        if (F_List::isLoaded()) F_List::instance().Unload();
        if (F_ZipXML::isLoaded()) F_ZipXML::instance().close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setProcessEndHandler({});
    }
    F_ZipXML& open()
    {
        F_ZipXML& w = F_ZipXML::instance();
        w.Show();
        return w;
    }
    // Fills the list as a build in that layout would (rows of file names, paths in work()).
    void fill(F_ZipXML& w, int layout, const QStringList& rows)
    {
        w.Lst_XMLRows->Clear();
        w.Lst_XMLRows->setLayout(layout);
        const int fileCol = layout == 1 ? 4 : 2;
        for (const QString& r : rows) {
            const QString name = Qor().GetField(r, fileCol, QStringLiteral("|"), true);
            w.Lst_XMLRows->AddItem(r, env.work() + name, name);
        }
    }
    static QStringList selectedFiles(F_ZipXML& w)
    {
        QStringList out;
        for (int i : w.Lst_XMLRows->selectedRows())
            out << w.Lst_XMLRows->FileName(i);
        out.sort();
        return out;
    }
};

} // namespace

class TestSelect : public QObject
{
    Q_OBJECT
  private slots:
    void search_data();
    void search();
    void searchReadsRowsLayoutNotCombo();
    void searchNothingToDo_data();
    void searchNothingToDo();
    void selectAllNoneInvert();
    void neverSent_data();
    void neverSent();
    void littleFont_data();
    void littleFont();
    void newDir_data();
    void newDir();
    void openFolders_data();
    void openFolders();
    void viewXml_data();
    void viewXml();
    void chooseViewer_data();
    void chooseViewer();
    void selectedInListWindow();
    void longListsStayLinear();
};

void TestSelect::search_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("attPas");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("selected");

    const QStringList l1{row1(QStringLiteral("a.xml"), QStringLiteral("TD01"), QStringLiteral("112")),
                         row1(QStringLiteral("b.xml"), QStringLiteral("TD01"), QStringLiteral("120")),
                         row1(QStringLiteral("c.xml"), QStringLiteral("TD01"), QStringLiteral("12")),
                         row1(QStringLiteral("d.xml"), QStringLiteral("TD01"), QStringLiteral("21")),
                         row1(QStringLiteral("e.xml"), QStringLiteral("TD01"), QStringLiteral("1/2"))};
    QTest::newRow("number in layout 1")
        << 1 << 0 << 3 << QStringLiteral("12") << l1
        << QStringList{QStringLiteral("a.xml"), QStringLiteral("b.xml"), QStringLiteral("c.xml")};

    const QStringList l0{row0(QStringLiteral("a.xml"), QStringLiteral("TD01"), QStringLiteral("1"),
                              QStringLiteral("ROSSI SPA"), QStringLiteral("VERDI SRL")),
                         row0(QStringLiteral("b.xml"), QStringLiteral("TD01"), QStringLiteral("2"),
                              QStringLiteral("VERDI SRL"), QStringLiteral("ROSSI SPA"))};
    QTest::newRow("supplier, received: issuer column 8")
        << 0 << 1 << 1 << QStringLiteral("rossi") << l0 << QStringList{QStringLiteral("b.xml")};
    QTest::newRow("supplier, issued: recipient column 7")
        << 0 << 0 << 1 << QStringLiteral(" Rossi ") << l0 << QStringList{QStringLiteral("a.xml")};

    const QStringList td{row0(QStringLiteral("nc.xml"), QStringLiteral("TD04"), QStringLiteral("5"),
                              QStringLiteral("X"), QStringLiteral("Y")),
                         row0(QStringLiteral("IT01_TD04.xml"), QStringLiteral("TD01"), QStringLiteral("6"),
                              QStringLiteral("X"), QStringLiteral("Y")),
                         row0(QStringLiteral("ft.xml"), QStringLiteral("TD01"), QStringLiteral("7"),
                              QStringLiteral("X"), QStringLiteral("Y"))};
    QTest::newRow("whole row TD04") << 0 << 0 << 0 << QStringLiteral("td04") << td
                                    << QStringList{QStringLiteral("IT01_TD04.xml"), QStringLiteral("nc.xml")};
    QTest::newRow("type column only")
        << 0 << 0 << 4 << QStringLiteral("TD04") << td << QStringList{QStringLiteral("nc.xml")};
    QTest::newRow("file name column")
        << 0 << 0 << 5 << QStringLiteral("FT.") << td << QStringList{QStringLiteral("ft.xml")};
    // Plain substring: pattern characters are only characters.
    QTest::newRow("no patterns") << 1 << 0 << 3 << QStringLiteral("1.2") << l1 << QStringList{};
}

void TestSelect::search()
{
    QFETCH(int, layout);
    QFETCH(int, attPas);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, selected);
    Fixture fx;
    F_ZipXML& w = fx.open();
    fx.fill(w, layout, rows);
    w.Opt_AttPas[attPas]->setChecked(true);
    // Earlier selections do not survive.
    w.Lst_XMLRows->selectAll(true);
    w.Cmb_Sel->setCurrentIndex(field);
    w.Txt_Find.setText(text);
    const int beeps = fx.env.dialogs().beeps;
    w.Cmd_Find_Click();
    QCOMPARE(Fixture::selectedFiles(w), selected);
    QCOMPARE(w.status(), QString::number(selected.size()) + QStringLiteral(" righe selezionate"));
    QCOMPARE(fx.env.dialogs().beeps, beeps + 1);
}

void TestSelect::searchReadsRowsLayoutNotCombo()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    fx.fill(w, 1,
            {row1(QStringLiteral("a.xml"), QStringLiteral("TD01"), QStringLiteral("12")),
             row1(QStringLiteral("b.xml"), QStringLiteral("TD01"), QStringLiteral("99"))});
    w.Cmb_Ord->setCurrentIndex(3); // layout 3 would read column 4, the file name
    w.Cmb_Sel->setCurrentIndex(3);
    w.Txt_Find.setText(QStringLiteral("12"));
    w.Cmd_Find_Click();
    QCOMPARE(Fixture::selectedFiles(w), QStringList{QStringLiteral("a.xml")});
}

void TestSelect::searchNothingToDo_data()
{
    QTest::addColumn<bool>("rows");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty text") << true << QStringLiteral("   ");
    QTest::newRow("empty list") << false << QStringLiteral("12");
}

void TestSelect::searchNothingToDo()
{
    QFETCH(bool, rows);
    QFETCH(QString, text);
    Fixture fx;
    F_ZipXML& w = fx.open();
    if (rows)
        fx.fill(w, 0,
                {row0(QStringLiteral("a.xml"), QStringLiteral("TD01"), QStringLiteral("1"),
                      QStringLiteral("X"), QStringLiteral("Y"))});
    w.Lst_XMLRows->selectAll(true);
    w.setStatus(QStringLiteral("prima"));
    w.Txt_Find.setText(text);
    w.Cmd_Find_Click();
    QCOMPARE(fx.env.dialogs().beeps, 1);
    QCOMPARE(w.status(), QStringLiteral("prima"));
    QCOMPARE(w.Lst_XMLRows->SelCount(), rows ? 1 : 0);
}

void TestSelect::selectAllNoneInvert()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    // No rows: each only beeps.
    w.Cmd_SelAll_Click();
    w.Cmd_SelAll_MouseUp(2, 0, 0, 0);
    w.Cmd_SelInv_Click();
    QCOMPARE(fx.env.dialogs().beeps, 3);
    QVERIFY(fx.env.dialogs().calls.isEmpty());

    QStringList rows;
    for (const char* n : {"a", "b", "c", "d"})
        rows << row0(QLatin1String(n) + QStringLiteral(".xml"), QStringLiteral("TD01"), QStringLiteral("1"),
                     QStringLiteral("X"), QStringLiteral("Y"));
    fx.fill(w, 0, rows);
    w.Cmd_SelAll_Click();
    QCOMPARE(w.Lst_XMLRows->SelCount(), 4);
    QCOMPARE(w.status(), QStringLiteral("4 righe selezionate"));
    QVERIFY(!w.Cmd_ViewXML->isEnabled());
    w.Cmd_SelAll_MouseUp(1, 0, 0, 0); // left button: nothing
    QCOMPARE(w.Lst_XMLRows->SelCount(), 4);
    w.Cmd_SelAll_MouseUp(2, 0, 0, 0);
    QCOMPARE(w.Lst_XMLRows->SelCount(), 0);

    w.Lst_XMLRows->setSelected(1, true);
    w.Lst_XMLRows->setSelected(2, true);
    w.Lst_XMLRows->setSelected(3, true);
    w.Cmd_SelInv_Click();
    QCOMPARE(Fixture::selectedFiles(w), QStringList{QStringLiteral("a.xml")});
    QCOMPARE(w.status(), QStringLiteral("1 righe selezionate"));
    QVERIFY(w.Cmd_ViewXML->isEnabled());
    w.Cmd_SelInv_Click();
    QCOMPARE(w.Lst_XMLRows->SelCount(), 3);
    QVERIFY(!w.Cmd_ViewXML->isEnabled());
}

void TestSelect::neverSent_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("rows");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("selected");
    const QString layoutMsg =
        QStringLiteral("Ordinamento Files NON utilizzabile per la Selezione dei Documenti NON Inviati !!\"");
    QTest::newRow("layout 2") << 2 << true << 0 << layoutMsg << QStringList{QStringLiteral("b.xml")};
    QTest::newRow("empty list in layout 3") << 3 << false << 0 << layoutMsg << QStringList{};
    QTest::newRow("no rows") << 0 << false << 0 << QStringLiteral("Nessun Documento in elenco !!")
                             << QStringList{};
    QTest::newRow("No") << 0 << true << int(vb::No)
                        << QStringLiteral("Confermi selezione Files MAI Inviati ?")
                        << QStringList{QStringLiteral("b.xml")};
    QTest::newRow("Yes") << 0 << true << int(vb::Yes)
                         << QStringLiteral("Confermi selezione Files MAI Inviati ?")
                         << QStringList{QStringLiteral("a.xml"), QStringLiteral("c.xml")};
}

void TestSelect::neverSent()
{
    QFETCH(int, layout);
    QFETCH(bool, rows);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(QStringList, selected);
    Fixture fx;
    F_ZipXML& w = fx.open();
    if (rows) {
        fx.fill(w, layout,
                {row0(QStringLiteral("a.xml"), QStringLiteral("TD01"), QStringLiteral("1"),
                      QStringLiteral("X"), QStringLiteral("Y")),
                 row0(QStringLiteral("b.xml"), QStringLiteral("TD01"), QStringLiteral("2"),
                      QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("05/02/2024")),
                 row0(QStringLiteral("c.xml"), QStringLiteral("TD01"), QStringLiteral("3"),
                      QStringLiteral("X"), QStringLiteral("Y"))});
        w.Lst_XMLRows->setSelected(1, true);
    } else {
        w.Lst_XMLRows->Clear();
        w.Cmb_Ord->setCurrentIndex(layout);
    }
    if (answer != 0) fx.env.dialogs().answer(answer);
    w.Cmd_SelInv_MouseUp(2, 0, 0, 0);
    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].text, message);
    QCOMPARE(calls[0].title, w.windowTitle());
    QCOMPARE(calls[0].icon(), answer != 0 ? int(vb::Question) : int(vb::Critical));
    QCOMPARE(fx.env.dialogs().beeps, answer == vb::Yes ? 0 : 1);
    QCOMPARE(Fixture::selectedFiles(w), selected);
}

void TestSelect::littleFont_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("beeps");
    QTest::newRow("8 to 7") << 8 << 7 << 0;
    QTest::newRow("7 stays") << 7 << 7 << 1;
}

void TestSelect::littleFont()
{
    QFETCH(int, size);
    QFETCH(int, after);
    QFETCH(int, beeps);
    Fixture fx;
    F_ZipXML& w = fx.open();
    for (QWidget* c : {static_cast<QWidget*>(w.Lst_XML), static_cast<QWidget*>(w.Lbl_Hed)}) {
        QFont f = c->font();
        f.setPointSize(size);
        c->setFont(f);
    }
    w.Cmd_Litt_Click();
    QCOMPARE(w.Lst_XML->font().pointSize(), after);
    QCOMPARE(w.Lbl_Hed->font().pointSize(), after);
    QCOMPARE(fx.env.dialogs().beeps, beeps);
}

void TestSelect::newDir_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<bool>("listedBefore");
    QTest::addColumn<int>("entries");
    QTest::newRow("accepted, new") << true << false << 2;
    QTest::newRow("accepted, listed before") << true << true << 2;
    QTest::newRow("cancelled") << false << false << 1;
}

void TestSelect::newDir()
{
    QFETCH(bool, accept);
    QFETCH(bool, listedBefore);
    QFETCH(int, entries);
    Fixture fx;
    const QString first = fx.env.work() + QStringLiteral("uno/");
    const QString chosen = fx.env.work() + QStringLiteral("due");
    QDir().mkpath(first);
    QDir().mkpath(chosen);
    IniFile::write(kIni, kSec, QStringLiteral("Pth_0"), first);
    if (listedBefore) IniFile::write(kIni, kSec, QStringLiteral("Pth_1"), chosen + QLatin1Char('/'));
    // An older answer stored under the key: a cancel must not add it.
    IniFile::write(kIni, QStringLiteral("Fold_Folders"), QStringLiteral("XML"), chosen);
    F_ZipXML& w = fx.open();
    w.setFoldListIndex(0);
    const int before = w.Cmb_FoldXML->count();
    setModalRunner([&](VbForm& form) {
        auto* fold = qobject_cast<F_Fold*>(&form);
        QVERIFY(fold);
        QCOMPARE(fold->Tag, QStringLiteral("XML"));
        if (accept) {
            fold->setDirPath(chosen);
            fold->Cmd_OK_Click();
        } else {
            fold->Cmd_Quit_Click();
        }
    });
    w.Cmd_NewDir_Click();
    QCOMPARE(w.Cmb_FoldXML->count(), listedBefore ? before : before + (accept ? 1 : 0));
    QCOMPARE(w.Cmb_FoldXML->count(), entries);
    if (accept && !listedBefore) {
        QCOMPARE(w.Cmb_FoldXML->currentText(), chosen + QLatin1Char('/'));
        QCOMPARE(w.FolderKey(), QString::number(Str_CheckSum(chosen + QLatin1Char('/'))));
    } else {
        QCOMPARE(w.Cmb_FoldXML->currentText(), first);
    }
}

void TestSelect::openFolders_data()
{
    QTest::addColumn<bool>("zip");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("started");
    QTest::newRow("current folder") << false << QStringLiteral("/tmp/con spazi/") << true;
    QTest::newRow("ZIP folder") << true << QStringLiteral("  /tmp/zip  ") << true;
    QTest::newRow("empty ZIP folder") << true << QStringLiteral("   ") << false;
    QTest::newRow("no current folder") << false << QString() << false;
}

void TestSelect::openFolders()
{
    QFETCH(bool, zip);
    QFETCH(QString, text);
    QFETCH(bool, started);
    Fixture fx;
    F_ZipXML& w = fx.open();
    if (zip) {
        w.Txt_DirZIP.setText(text);
        w.Cmd_OpenXml_Click();
    } else {
        if (!text.isEmpty()) w.Cmb_FoldXML->addItem(text);
        w.Cmb_FoldXML->setCurrentIndex(text.isEmpty() ? -1 : 0);
        w.Cmd_NewDir_MouseUp(1, 0, 0, 0); // left button: nothing
        w.Cmd_NewDir_MouseUp(2, 0, 0, 0);
    }
    const auto& starts = fx.env.launcher().starts;
    QCOMPARE(starts.size(), started ? 1 : 0);
    if (started) {
        QCOMPARE(starts[0].kind, QStringLiteral("folder"));
        QCOMPARE(starts[0].program, text.trimmed());
    }
}

void TestSelect::viewXml_data()
{
    QTest::addColumn<QString>("viewer");
    QTest::addColumn<int>("selected"); // 0 none, 1 one, 2 two
    QTest::addColumn<int>("file");     // 0 missing, 1 present, 2 empty
    QTest::addColumn<bool>("startsFail");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("started");
    const QString v = QStringLiteral("/opt/vedi xml/viewer");
    QTest::newRow("no viewer")
        << QString() << 1 << 1 << false
        << QStringLiteral("Definire il programma per visualizzare gli XML con il Click-Destro !!\r\n"
                          "( Internet Explorer : iexplorer.exe)")
        << false;
    QTest::newRow("none selected") << v << 0 << 1 << false << QString() << false;
    QTest::newRow("two selected") << v << 2 << 1 << false << QStringLiteral("Troppi files Selezionati !!")
                                  << false;
    QTest::newRow("selected row, not current") << v << 1 << 1 << false << QString() << true;
    QTest::newRow("missing file") << v << 1 << 0 << false << QStringLiteral("File Inesistente o vuoto !!")
                                  << false;
    QTest::newRow("empty file") << v << 1 << 2 << false << QStringLiteral("File Inesistente o vuoto !!")
                                << false;
    QTest::newRow("start fails") << v << 1 << 1 << true
                                 << QStringLiteral("Impossibile avviare il programma :\r\n") + v << true;
}

void TestSelect::viewXml()
{
    QFETCH(QString, viewer);
    QFETCH(int, selected);
    QFETCH(int, file);
    QFETCH(bool, startsFail);
    QFETCH(QString, message);
    QFETCH(bool, started);
    Fixture fx;
    IniFile::write(kIni, kSec, QStringLiteral("XMLViewer"), viewer);
    // A folder kept without its closing "/" and a name shown with "¦" for "|": the row keeps
    // the real path, so neither matters.
    const QString folder = fx.env.work() + QStringLiteral("cartella con spazi");
    const QString name = QStringLiteral("IT01|b.xml");
    const QString path = folder + QLatin1Char('/') + name;
    if (file == 1) fx.env.writeFile(path, "<x/>");
    if (file == 2) fx.env.writeFile(path, "");
    F_ZipXML& w = fx.open();
    w.Cmb_FoldXML->addItem(folder);
    w.Cmb_FoldXML->setCurrentIndex(0);
    w.Lst_XMLRows->Clear();
    w.Lst_XMLRows->setLayout(0);
    w.Lst_XMLRows->AddItem(row0(QStringLiteral("IT01¦a.xml"), QStringLiteral("TD01"), QStringLiteral("1"),
                                QStringLiteral("X"), QStringLiteral("Y")),
                           folder + QStringLiteral("/IT01|a.xml"), QStringLiteral("IT01|a.xml"));
    w.Lst_XMLRows->AddItem(row0(QStringLiteral("IT01¦b.xml"), QStringLiteral("TD01"), QStringLiteral("2"),
                                QStringLiteral("X"), QStringLiteral("Y")),
                           path, name);
    if (selected >= 1) w.Lst_XMLRows->setSelected(1, true);
    if (selected == 2) w.Lst_XMLRows->setSelected(0, true);
    w.Lst_XMLRows->setListIndex(0); // the current row is another one
    fx.env.launcher().startsSucceed = !startsFail;
    w.Cmd_ViewXML_Click();
    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QVERIFY2(calls[0].text.startsWith(message), qPrintable(calls[0].text));
        QCOMPARE(calls[0].icon(), int(vb::Critical));
        if (file != 1) QVERIFY(calls[0].text.contains(path));
    }
    QCOMPARE(fx.env.dialogs().beeps, message.isEmpty() && selected != 0 ? 0 : 1);
    const auto& starts = fx.env.launcher().starts;
    QCOMPARE(starts.size(), started ? 1 : 0);
    if (started) {
        QCOMPARE(starts[0].program, viewer);
        QCOMPARE(starts[0].args, QStringList{path});
    }
}

void TestSelect::chooseViewer_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<int>("answer"); // 0 cancel, 1 executable, 2 not executable
    QTest::newRow("first choice") << false << 1;
    QTest::newRow("cancel") << true << 0;
    QTest::newRow("executable") << true << 1;
    QTest::newRow("not executable") << true << 2;
}

void TestSelect::chooseViewer()
{
    QFETCH(bool, stored);
    QFETCH(int, answer);
    Fixture fx;
    const QString old = fx.env.work() + QStringLiteral("vecchio/viewer");
    const QString exe = fx.env.writeFile(fx.env.work() + QStringLiteral("nuovo/vedi"), "#!/bin/sh\n");
    QFile::setPermissions(exe, QFile::permissions(exe) | QFileDevice::ExeOwner);
    const QString plain = fx.env.writeFile(fx.env.work() + QStringLiteral("nuovo/testo.txt"), "x");
    if (stored) IniFile::write(kIni, kSec, QStringLiteral("XMLViewer"), old);
    F_ZipXML& w = fx.open();
    fx.env.dialogs().answerFile(answer == 0 ? QString() : answer == 1 ? exe : plain);
    w.Cmd_ViewXML_MouseUp(2, 0, 0, 0);
    const auto& calls = fx.env.dialogs().calls;
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls[0].kind, QStringLiteral("open"));
    QCOMPARE(calls[0].title, QStringLiteral("Programmi visualizzatori."));
    QCOMPARE(calls[0].text, stored ? fx.env.work() + QStringLiteral("vecchio/") : Reg_SysFolder(1, false));
    const QString now = IniFile::read(kIni, kSec, QStringLiteral("XMLViewer"), QString());
    QCOMPARE(now, answer == 1 ? exe : stored ? old : QString());
    QCOMPARE(fx.env.dialogs().beeps, answer == 2 ? 1 : 0);
}

void TestSelect::selectedInListWindow()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    fx.fill(w, 0,
            {row0(QStringLiteral("a.xml"), QStringLiteral("TD01"), QStringLiteral("1"), QStringLiteral("X"),
                  QStringLiteral("Y")),
             row0(QStringLiteral("b.xml"), QStringLiteral("TD04"), QStringLiteral("2"), QStringLiteral("X"),
                  QStringLiteral("Y"))});
    bool shown = false;
    setModalRunner([&](VbForm& form) {
        auto* list = qobject_cast<F_List*>(&form);
        QVERIFY(list);
        shown = true;
        list->show();
        list->Activate();
        QCOMPARE(list->Lst_Lista->ListCount(), 1);
        QCOMPARE(list->Lst_Lista->List(0), w.Lst_XMLRows->List(1));
        QCOMPARE(list->windowTitle(), QStringLiteral("XMLSelezionati"));
        QCOMPARE(list->Tag, QStringLiteral("XMLSelezionati"));
        QCOMPARE(list->aHelp_INI(), QStringLiteral("XMLSelezionati"));
        QCOMPARE(list->aHelp_ROW(), QStringLiteral("ROW"));
        QCOMPARE(G_NomeLista, QStringLiteral("XMLSelezionati"));
        QCOMPARE(list->Lst_Lista->ListIndex(), 0);
        QVERIFY(list->grab().save(QStringLiteral(PLICORA_BUILD_DIR) + QStringLiteral("/F_List.png")));
        list->Cmd_Cancel_Click();
    });
    w.Cmd_Find_MouseUp(2, 0, 0, 0);
    QVERIFY(!shown);
    QCOMPARE(fx.env.dialogs().beeps, 1); // nothing selected
    w.Lst_XMLRows->setSelected(1, true);
    w.Cmd_Find_MouseUp(2, 0, 0, 0);
    QVERIFY(shown);
}

// The selection tools touch each row once: a long list answers at once.
void TestSelect::longListsStayLinear()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    w.Lst_XMLRows->Clear();
    w.Lst_XMLRows->setLayout(0);
    for (int i = 0; i < 20000; ++i)
        w.Lst_XMLRows->AddItem(row0(QStringLiteral("f%1.xml").arg(i, 6, 10, QLatin1Char('0')),
                                    i % 3 ? QStringLiteral("TD01") : QStringLiteral("TD04"),
                                    QString::number(i), QStringLiteral("X"), QStringLiteral("Y"),
                                    i % 2 ? QStringLiteral("01/01/2024") : QString()));
    w.Cmb_Sel->setCurrentIndex(4);
    w.Txt_Find.setText(QStringLiteral("TD04"));
    w.Cmd_Find_Click();
    QCOMPARE(w.Lst_XMLRows->SelCount(), 6667);
    w.Cmd_SelInv_Click();
    QCOMPARE(w.Lst_XMLRows->SelCount(), 13333);
    fx.env.dialogs().answer(vb::Yes);
    w.Cmd_SelInv_MouseUp(2, 0, 0, 0);
    QCOMPARE(w.Lst_XMLRows->SelCount(), 10000);
    QVERIFY(w.Lst_XMLRows->Selected(0));
    QVERIFY(!w.Lst_XMLRows->Selected(1));
}

QTEST_MAIN(TestSelect)
#include "tst_select.moc"
