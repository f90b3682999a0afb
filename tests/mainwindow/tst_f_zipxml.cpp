// The main window: folders and settings at load and close, folder choice, the
// compaction reminder, the 7-Zip notice, the reference field, keys and menus.
#include "archive/M_Files.h"
#include "foundation/F_CpRt.h"
#include "foundation/F_Splash.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");

// One test's program: its folders, globals and an end of process that is only recorded.
struct Fixture {
    TestEnv env;
    QList<int> ends;
    QByteArray oldPath;

    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        G_PgmVisualizzatore = QStringLiteral("/usr/bin/true");
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        setProcessEndHandler([this](int code) { ends << code; });
        // No compaction reminder unless a test asks for one.
        set(QStringLiteral("LastCompact"), QStringLiteral("10/12/2026"));
        oldPath = qgetenv("PATH");
    }
    ~Fixture()
    {
        if (F_ZipXML::isLoaded()) F_ZipXML::instance().close();
        flush();
        setProcessEndHandler({});
        setModalRunner({});
        qputenv("PATH", oldPath);
    }
    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    static void set(const QString& key, const QString& value) { IniFile::write(kIni, kSec, key, value); }
    static QString get(const QString& key)
    {
        return IniFile::read(kIni, kSec, key, QStringLiteral("<none>"));
    }
    static bool has(const QString& key) { return IniFile::hasKey(kIni, kSec, key); }
    static QString key(const QString& path) { return QString::number(MDB_FolderKey(path)); }

    F_ZipXML& open()
    {
        F_ZipXML& w = F_ZipXML::instance();
        w.Show();
        return w;
    }
    void close()
    {
        F_ZipXML::instance().close();
        flush();
    }
};

} // namespace

class TestZipXML : public QObject
{
    Q_OBJECT
  private slots:
    void foldersAtLoad_data();
    void foldersAtLoad();
    void folderChoice();
    void closeWritesKeys_data();
    void closeWritesKeys();
    void compactionReminder_data();
    void compactionReminder();
    void sevenZipNotice_data();
    void sevenZipNotice();
    void fattPassMenu_data();
    void fattPassMenu();
    void rifCleaning_data();
    void rifCleaning();
    void attPasWritesShownFolder();
    void keysBeep_data();
    void keysBeep();
    void viewButtonFollowsSelection();
    void headerFollowsOrdDoc();
    void layoutsAndSearchFields();
    void controlEventsReachTheWindow();
    void smallerWindowGrowsBack();
    void aboutBoxFromMenu();
    void picture();
    void checkBoxPrompts_data();
    void checkBoxPrompts();
    void fitsASmallScreen();
    void listKeepsItsPlaceWhileHidden();
    void headerFollowsTheScroll();
};

void TestZipXML::foldersAtLoad_data()
{
    QTest::addColumn<QStringList>("paths"); // "" ends the written keys' run (a gap)
    QTest::addColumn<QString>("dirId");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("selected");

    const QString longPath = QStringLiteral("/home/utente/Documenti/Fatture elettroniche/Emesse/");
    QTest::newRow("no folders") << QStringList() << QString() << 0 << -1;
    QTest::newRow("stops at first empty key")
        << QStringList{QStringLiteral("/a/"), QStringLiteral("/b/"), QStringLiteral("/c/"), QString(),
                       QStringLiteral("/e/")}
        << Fixture::key(QStringLiteral("/b/")) << 3 << 1;
    QTest::newRow("key above 32767") << QStringList{QStringLiteral("/a/"), longPath} << Fixture::key(longPath)
                                     << 2 << 1;
    QTest::newRow("same key, later wins")
        << QStringList{QStringLiteral("/srv/fatture/ACA"), QStringLiteral("/x/"),
                       QStringLiteral("/srv/fatture/BAB")}
        << Fixture::key(QStringLiteral("/srv/fatture/ACA")) << 3 << 2;
    QTest::newRow("remembered folder gone")
        << QStringList{QStringLiteral("/a/")} << QStringLiteral("999") << 1 << -1;
}

void TestZipXML::foldersAtLoad()
{
    QFETCH(QStringList, paths);
    QFETCH(QString, dirId);
    QFETCH(int, count);
    QFETCH(int, selected);
    Fixture fx;
    QCOMPARE(Str_CheckSum(QStringLiteral("/srv/fatture/ACA")),
             Str_CheckSum(QStringLiteral("/srv/fatture/BAB")));
    QVERIFY(Str_CheckSum(QStringLiteral("/home/utente/Documenti/Fatture elettroniche/Emesse/")) > 32767);
    for (int i = 0; i < paths.size(); ++i)
        if (!paths[i].isEmpty()) Fixture::set(QStringLiteral("Pth_") + QString::number(i), paths[i]);
    if (!dirId.isEmpty()) Fixture::set(QStringLiteral("DirID"), dirId);

    F_ZipXML& w = fx.open();
    QCOMPARE(w.Cmb_FoldXML->count(), count);
    QCOMPARE(w.Cmb_FoldXML->currentIndex(), selected);
    if (selected < 0) {
        QCOMPARE(w.Lbl_LastDo->text(), QStringLiteral("__/__/____"));
        QVERIFY(w.Lbl_LastDo->toolTip().isEmpty());
        QVERIFY(w.FolderKey().isEmpty());
    } else {
        QCOMPARE(w.FolderKey(), dirId);
    }
    QVERIFY(!F_Splash::isLoaded());
}

void TestZipXML::folderChoice()
{
    Fixture fx;
    const QString a = QStringLiteral("/home/utente/Documenti/Fatture elettroniche/Emesse/");
    const QString b = QStringLiteral("/srv/ricevute/");
    Fixture::set(QStringLiteral("Pth_0"), a);
    Fixture::set(QStringLiteral("Pth_1"), b);
    Fixture::set(QStringLiteral("LastZIP_") + Fixture::key(a), QStringLiteral("30/11/2026"));
    Fixture::set(QStringLiteral("Rif_") + Fixture::key(a), QStringLiteral("DITTA-EMESSE"));
    Fixture::set(QStringLiteral("AttPass_") + Fixture::key(b), QStringLiteral("1"));
    F_ZipXML& w = fx.open();
    w.Lst_XMLRows->AddItem(QStringLiteral("old row"));
    w.Lst_XML->setToolTip(QStringLiteral("1 Files."));

    w.setFoldListIndex(0);
    QCOMPARE(w.Lbl_LastDo->text(), QStringLiteral("30/11/2026"));
    QCOMPARE(w.Lbl_LastDo->toolTip(), Fixture::key(a) + QStringLiteral(" | Click-Dx per Cambio Data"));
    QCOMPARE(w.FolderKey(), Fixture::key(a));
    QCOMPARE(w.Txt_Rif.Text(), QStringLiteral("DITTA-EMESSE"));
    QCOMPARE(w.AttPas(), 0);
    QCOMPARE(w.Lst_XMLRows->ListCount(), 0);
    QVERIFY(w.Lst_XML->toolTip().isEmpty());

    // The user picks the other folder.
    w.Cmb_FoldXML->setCurrentIndex(1);
    emit w.Cmb_FoldXML->activated(1);
    QCOMPARE(w.Lbl_LastDo->text(), QStringLiteral("__/__/____"));
    QCOMPARE(w.Txt_Rif.Text(), QString());
    QCOMPARE(w.AttPas(), 1);
    QVERIFY(w.Opt_AttPas[1]->isChecked());
}

void TestZipXML::closeWritesKeys_data()
{
    QTest::addColumn<QStringList>("before"); // Pth_ values in the file ("" = key absent)
    QTest::addColumn<int>("keep");           // entries left in the list before closing, -1 all
    QTest::addColumn<int>("select");         // entry chosen before closing, -1 none
    QTest::addColumn<QStringList>("after");  // Pth_ values expected after closing ("<none>" = absent)
    QTest::addColumn<bool>("dirIdWritten");

    const QString a = QStringLiteral("/a/"), b = QStringLiteral("/b/"), c = QStringLiteral("/c/");
    const QString longPath = QStringLiteral("/home/utente/Documenti/Fatture elettroniche/Emesse/");
    const QString none = QStringLiteral("<none>");
    QTest::newRow("three of five, stale ones emptied")
        << QStringList{a, b, c, QStringLiteral("/d/"), QStringLiteral("/e/")} << 3 << 1
        << QStringList{a, b, c, QString(), QString()} << true;
    QTest::newRow("gap: key after the gap untouched")
        << QStringList{a, b, c, QString(), QStringLiteral("/e/")} << -1 << 0
        << QStringList{a, b, c, none, QStringLiteral("/e/")} << true;
    QTest::newRow("no folder selected") << QStringList{a, b} << -1 << -1 << QStringList{a, b, none} << false;
    QTest::newRow("no folders at all") << QStringList() << -1 << -1 << QStringList{none} << false;
    QTest::newRow("key above 32767") << QStringList{longPath} << -1 << 0 << QStringList{longPath, none}
                                     << true;
}

void TestZipXML::closeWritesKeys()
{
    QFETCH(QStringList, before);
    QFETCH(int, keep);
    QFETCH(int, select);
    QFETCH(QStringList, after);
    QFETCH(bool, dirIdWritten);
    Fixture fx;
    for (int i = 0; i < before.size(); ++i)
        if (!before[i].isEmpty()) Fixture::set(QStringLiteral("Pth_") + QString::number(i), before[i]);
    Fixture::set(QStringLiteral("DirID"), QStringLiteral("12345"));
    F_ZipXML& w = fx.open();
    // Folders removed from the list while the window was open.
    while (keep >= 0 && w.Cmb_FoldXML->count() > keep)
        w.Cmb_FoldXML->removeItem(w.Cmb_FoldXML->count() - 1);
    if (select >= 0) w.setFoldListIndex(select);
    w.Txt_DirZIP.setText(QStringLiteral("  /srv/zip/  "));
    w.Chk_Sended.setValue(1);
    fx.close();

    QVERIFY(!F_ZipXML::isLoaded());
    QCOMPARE(fx.ends, QList<int>{0});
    QVERIFY(TestEnv::readFile(Pth_DebugLog).contains("   -----   TaskKill"));
    for (int i = 0; i < after.size(); ++i)
        QCOMPARE(Fixture::get(QStringLiteral("Pth_") + QString::number(i)), after[i]);
    QCOMPARE(Fixture::get(QStringLiteral("DirZIP")), QStringLiteral("/srv/zip/"));
    QCOMPARE(Fixture::get(QStringLiteral("Sended")), QStringLiteral("1"));
    const QString expectId = dirIdWritten ? Fixture::key(after[select]) : QStringLiteral("12345");
    QCOMPARE(Fixture::get(QStringLiteral("DirID")), expectId);
    QVERIFY(IniFile::hasKey(kIni, QStringLiteral("PosFinestre"), QStringLiteral("F_ZipXML_Size")));

    // The next start finds the same folder selected.
    if (dirIdWritten) {
        F_ZipXML& again = fx.open();
        QCOMPARE(again.Cmb_FoldXML->currentIndex(), select);
        QCOMPARE(again.Chk_Sended.Value(), 1);
        QCOMPARE(again.Txt_DirZIP.Text(), QStringLiteral("/srv/zip/"));
    }
}

void TestZipXML::compactionReminder_data()
{
    QTest::addColumn<QString>("lastCompact"); // "" = key absent
    QTest::addColumn<bool>("reminder");
    const QDate today(2026, 12, 10);
    auto back = [&](int days) { return today.addDays(-days).toString(QStringLiteral("dd/MM/yyyy")); };
    QTest::newRow("absent") << QString() << true;
    QTest::newRow("today") << back(0) << false;
    QTest::newRow("3 days") << back(3) << false;
    QTest::newRow("4 days") << back(4) << true;
    QTest::newRow("40 days") << back(40) << true;
    QTest::newRow("with time") << back(3) + QStringLiteral(" 18:30:00") << false;
    QTest::newRow("unreadable") << QStringLiteral("mai") << true;
}

void TestZipXML::compactionReminder()
{
    QFETCH(QString, lastCompact);
    QFETCH(bool, reminder);
    Fixture fx;
    if (lastCompact.isEmpty())
        IniFile::removeKey(kIni, kSec, QStringLiteral("LastCompact"));
    else
        Fixture::set(QStringLiteral("LastCompact"), lastCompact);
    if (reminder) fx.env.dialogs().answer(vb::OK);
    F_ZipXML& w = fx.open();
    const QStringList msgs = fx.env.dialogs().messages();
    if (reminder) {
        QCOMPARE(msgs, QStringList{QStringLiteral("Passati oltre 3 giorni.\r\nEffettuare aggiornamento e "
                                                  "compattamento Cartelle di Transito !!")});
        QCOMPARE(fx.env.dialogs().calls.first().icon(), int(vb::Exclamation));
        QCOMPARE(fx.env.dialogs().calls.first().title, App_Title());
        QCOMPARE(fx.env.dialogs().beeps, 1);
    } else {
        QVERIFY(msgs.isEmpty());
    }
    // Only the first activation reminds.
    w.Activate();
    QCOMPARE(fx.env.dialogs().messages().size(), reminder ? 1 : 0);
}

void TestZipXML::sevenZipNotice_data()
{
    QTest::addColumn<bool>("inProgramFolder");
    QTest::addColumn<bool>("onPath");
    QTest::addColumn<bool>("notice");
    QTest::newRow("nowhere") << false << false << true;
    QTest::newRow("program folder") << true << false << false;
    QTest::newRow("PATH") << false << true << false;
}

void TestZipXML::sevenZipNotice()
{
    QFETCH(bool, inProgramFolder);
    QFETCH(bool, onPath);
    QFETCH(bool, notice);
    Fixture fx;
    const QString bin = fx.env.work() + QStringLiteral("bin/");
    QDir().mkpath(bin);
    auto makeExe = [](const QString& path) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n");
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    };
    if (inProgramFolder) makeExe(G_DirApp + QStringLiteral("7z"));
    if (onPath) makeExe(bin + QStringLiteral("7z"));
    qputenv("PATH", bin.toUtf8());
    F_ZipXML& w = fx.open();
    QCOMPARE(!w.Lbl_RAR->isHidden(), notice);
    QCOMPARE(SevenZip_Path().isEmpty(), notice);
}

void TestZipXML::fattPassMenu_data()
{
    QTest::addColumn<bool>("present");
    QTest::newRow("missing") << false;
    QTest::newRow("present") << true;
}

void TestZipXML::fattPassMenu()
{
    QFETCH(bool, present);
    Fixture fx;
    if (present) fx.env.writeFile(G_DirApp + QStringLiteral("XMLGESTALO"), "#!/bin/sh\n");
    F_ZipXML& w = fx.open();
    QCOMPARE(w.MXML_FattPass->isVisible(), present);
    QCOMPARE(w.MXML_Sep0->isVisible(), present);
    w.MXML_FattPass_Click();
    QCOMPARE(fx.env.launcher().starts.size(), present ? 1 : 0);
    if (present) QCOMPARE(fx.env.launcher().starts.first().program, G_DirApp + QStringLiteral("XMLGESTALO"));
}

void TestZipXML::rifCleaning_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    const QString old = QStringLiteral("VECCHIO");
    QTest::newRow("plain") << QStringLiteral("DITTA-EMESSE") << QStringLiteral("DITTA-EMESSE")
                           << QStringLiteral("DITTA-EMESSE");
    QTest::newRow("blanks and marks") << QStringLiteral(" DITTA A.B/C; \"X\" ") << QStringLiteral("DITTAABCX")
                                      << QStringLiteral("DITTAABCX");
    QTest::newRow("every listed character")
        << QStringLiteral("A |/\\!.,;:'^") + QChar(0x00B0) + QStringLiteral("\"B") << QStringLiteral("AB")
        << QStringLiteral("AB");
    QTest::newRow("only marks keeps stored") << QStringLiteral(" ./|: ") << QStringLiteral(" ./|: ") << old;
    QTest::newRow("empty keeps stored") << QString() << QString() << old;
}

void TestZipXML::rifCleaning()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    Fixture fx;
    const QString path = QStringLiteral("/srv/emesse/");
    Fixture::set(QStringLiteral("Pth_0"), path);
    Fixture::set(QStringLiteral("Rif_") + Fixture::key(path), QStringLiteral("VECCHIO"));
    F_ZipXML& w = fx.open();
    w.setFoldListIndex(0);
    w.setStatus(w.Txt_Rif.Prompt());
    w.Txt_Rif.setText(typed);
    w.Txt_Rif_LostFocus();
    QCOMPARE(w.status(), QString());
    QCOMPARE(w.Txt_Rif.Text(), shown);
    QCOMPARE(Fixture::get(QStringLiteral("Rif_") + Fixture::key(path)), stored);
}

void TestZipXML::attPasWritesShownFolder()
{
    Fixture fx;
    const QString path = QStringLiteral("/srv/ricevute/");
    Fixture::set(QStringLiteral("Pth_0"), path);
    F_ZipXML& w = fx.open();
    w.setFoldListIndex(0);
    QTest::mouseClick(w.Opt_AttPas[1], Qt::LeftButton);
    QCOMPARE(Fixture::get(QStringLiteral("AttPass_") + Fixture::key(path)), QStringLiteral("1"));
    QTest::mouseClick(w.Opt_AttPas[0], Qt::LeftButton);
    QCOMPARE(Fixture::get(QStringLiteral("AttPass_") + Fixture::key(path)), QStringLiteral("0"));
}

void TestZipXML::keysBeep_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("beeps");
    QTest::newRow("Ctrl+Delete") << int(Qt::Key_Delete) << int(Qt::ControlModifier) << 1;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << 0;
    QTest::newRow("Shift+F11") << int(Qt::Key_F11) << int(Qt::ShiftModifier) << 1;
    QTest::newRow("Shift+F12") << int(Qt::Key_F12) << int(Qt::ShiftModifier) << 1;
    QTest::newRow("F12") << int(Qt::Key_F12) << int(Qt::NoModifier) << 0;
    QTest::newRow("F9") << int(Qt::Key_F9) << int(Qt::NoModifier) << 1;
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << 1;
    QTest::newRow("Ctrl+N") << int(Qt::Key_N) << int(Qt::ControlModifier) << 1;
    QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << 0;
}

void TestZipXML::keysBeep()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, beeps);
    Fixture fx;
    F_ZipXML& w = fx.open();
    QTest::keyClick(w.Lst_XML, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(fx.env.dialogs().beeps, beeps);
}

void TestZipXML::viewButtonFollowsSelection()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    for (const char* r : {"20261201 | b", "20261130 | a", "20261202 | c"})
        w.Lst_XMLRows->AddItem(QString::fromLatin1(r));
    QCOMPARE(w.Lst_XMLRows->List(0), QStringLiteral("20261130 | a")); // sorted
    w.Chk_ViewXML();
    QVERIFY(!w.Cmd_ViewXML->isEnabled());
    w.Lst_XMLRows->setSelected(1, true);
    w.Chk_ViewXML();
    QVERIFY(w.Cmd_ViewXML->isEnabled());
    w.Lst_XMLRows->setSelected(2, true);
    w.Chk_ViewXML();
    QVERIFY(!w.Cmd_ViewXML->isEnabled());
    // The view shows the model's selection.
    QCOMPARE(w.Lst_XML->selectionModel()->selectedIndexes().size(), 2);
}

void TestZipXML::headerFollowsOrdDoc()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    QCOMPARE(w.Lbl_Hed->text(), F_ZipXML::HeaderTexts().at(0));
    w.Chk_OrdDoc.setValue(1);
    w.Chk_OrdDoc_Click();
    QCOMPARE(w.Lbl_Hed->text(), F_ZipXML::HeaderTexts().at(1));
    w.Chk_OrdDoc.setValue(2);
    w.Chk_OrdDoc_Click();
    QCOMPARE(w.Lbl_Hed->text(), F_ZipXML::HeaderTexts().at(1));
    w.Chk_OrdDoc.setValue(0);
    w.Chk_OrdDoc_Click();
    QCOMPARE(w.Lbl_Hed->text(), F_ZipXML::HeaderTexts().at(0));
}

void TestZipXML::layoutsAndSearchFields()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    QCOMPARE(w.Cmb_Ord->count(), 6);
    QCOMPARE(w.Cmb_Ord->currentIndex(), 0);
    QCOMPARE(w.Cmb_Ord->itemText(5), QStringLiteral("Data Invio a Commerc."));
    QCOMPARE(w.Cmb_Sel->count(), 6);
    QCOMPARE(w.Cmb_Sel->itemText(4), QStringLiteral("Tipo Documento (TD01, TD04, ...)"));
    QVERIFY(w.Chk_ReSend.Visible());
    QVERIFY(w.Cmd_DoDateSend->isHidden());
    QVERIFY(!w.Pan_F6->isEnabled());
    w.Cmb_Ord->setCurrentIndex(1);
    QCOMPARE(w.Cmb_Ord->toolTip(),
             QStringLiteral("Utile per le Fatture EMESSE per verificare la continuità di numerazione"));
    w.Cmb_Ord->setCurrentIndex(5);
    QCOMPARE(w.Cmb_Ord->toolTip(), QStringLiteral("Per verificare la data di invio al Commercialista"));
    w.Cmb_Ord->setCurrentIndex(2);
    QVERIFY(w.Cmb_Ord->toolTip().isEmpty());
    // The header texts keep every blank.
    QCOMPARE(F_ZipXML::HeaderTexts().at(0).size(), 314);
    QCOMPARE(F_ZipXML::HeaderTexts().at(1).size(), 232);
    QCOMPARE(F_ZipXML::HeaderTexts().at(5).size(), 252);
    QVERIFY(F_ZipXML::HeaderTexts().at(0).endsWith(QStringLiteral("| Data Invio          |")));
}

void TestZipXML::controlEventsReachTheWindow()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    QApplication::setActiveWindow(&w);
    // The check box's own click switches the header.
    QWidget* box = w.Chk_OrdDoc.widget();
    QWidget* inner = box->focusProxy() ? box->focusProxy() : box;
    QTest::mouseClick(inner, Qt::LeftButton, {}, QPoint(6, inner->height() / 2));
    QCOMPARE(w.Chk_OrdDoc.Value(), 1);
    QCOMPARE(w.Lbl_Hed->text(), F_ZipXML::HeaderTexts().at(1));
    // A field's prompt shows in panel 1 while it has the focus.
    w.Txt_Find.SetFocus();
    QTRY_COMPARE(w.status(), QStringLiteral("Frase da cercare"));
    w.Txt_DirZIP.SetFocus();
    QTRY_COMPARE(w.status(), QStringLiteral("Cartella dove salvare i files ZIP"));
    w.Lst_XML->setFocus();
    QTRY_COMPARE(w.status(), QString());
}

void TestZipXML::smallerWindowGrowsBack()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    QVERIFY(w.N_MinWidth > 1000);
    QVERIFY(w.N_MinHeight > 1000);
    const QSize laidOut(w.N_MinWidth / 15, w.N_MinHeight / 15);
    w.resize(laidOut.width() / 2, laidOut.height() / 2);
    QCoreApplication::processEvents();
    QVERIFY(w.width() >= laidOut.width());
    QVERIFY(w.height() >= laidOut.height());
}

void TestZipXML::aboutBoxFromMenu()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    QString tip, edition, tag;
    bool iconThere = false;
    setModalRunner([&](VbForm& form) {
        auto& about = static_cast<F_CpRt&>(form);
        tip = about.Lbl_Parner->toolTip();
        edition = about.Lbl_Cod->text();
        tag = about.Tag;
        iconThere = QFile::exists(G_DirApp + QStringLiteral("qq.ico"));
        about.Form_Click();
    });
    w.M_Info_Click();
    Fixture::flush();
    QVERIFY(iconThere);
    QVERIFY(!QFile::exists(G_DirApp + QStringLiteral("qq.ico")));
    QVERIFY(!tip.isEmpty());
    QCOMPARE(edition, QStringLiteral("Piccola e Madia Impresa"));
    QCOMPARE(tag, QStringLiteral("QOR_PLCR.INI"));
    QVERIFY(!F_CpRt::isLoaded());
    QVERIFY(F_ZipXML::isLoaded());
}

void TestZipXML::picture()
{
    Fixture fx;
    const QString path = QStringLiteral("/home/utente/Documenti/Fatture elettroniche/Emesse/");
    Fixture::set(QStringLiteral("Pth_0"), path);
    Fixture::set(QStringLiteral("DirID"), Fixture::key(path));
    Fixture::set(QStringLiteral("LastZIP_") + Fixture::key(path), QStringLiteral("30/11/2026"));
    Fixture::set(QStringLiteral("Rif_") + Fixture::key(path), QStringLiteral("DITTA-EMESSE"));
    Fixture::set(QStringLiteral("DirZIP"), QStringLiteral("/home/utente/ZIP/"));
    F_ZipXML& w = fx.open();
    const QString row = QStringLiteral("20261201 10:12 | IT01234567890_00001.xml ") +
                        QString(45, QLatin1Char(' ')) +
                        QStringLiteral("| 01/12/2026 10:12:00 | TD01  |  12 ");
    w.Lst_XMLRows->AddItem(row);
    w.setStatus(QStringLiteral("Completata lettura Cartella"));
    QCoreApplication::processEvents();
    const QImage img = w.grab().toImage();
    QVERIFY(!img.isNull());
    QVERIFY(img.width() >= w.N_MinWidth / 15 - 1);
    // Into the build tree when it may be written, otherwise into the temporary folder.
    QString out = QStringLiteral(PLICORA_BUILD_DIR) + QStringLiteral("/F_ZipXML.png");
    if (!img.save(out)) {
        out = QDir::tempPath() + QStringLiteral("/F_ZipXML.png");
        QVERIFY2(img.save(out), qPrintable(out));
    }
    QVERIFY(QFileInfo(out).size() > 1000);
}

void TestZipXML::checkBoxPrompts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("Chk_OrdDoc") << QStringLiteral("Chk_OrdDoc") << QStringLiteral("Ordine di Documento");
    QTest::newRow("Chk_UseSel") << QStringLiteral("Chk_UseSel")
                                << QStringLiteral("Usa nel Nome del File ZIP");
    QTest::newRow("Chk_ReSend") << QStringLiteral("Chk_ReSend")
                                << QStringLiteral("Reinvia anche già inviati");
    QTest::newRow("Chk_Sended") << QStringLiteral("Chk_Sended") << QStringLiteral("Escludi gli Inviati");
    QTest::newRow("Chk_DoMail") << QStringLiteral("Chk_DoMail") << QStringLiteral("Invia Mail");
}

void TestZipXML::checkBoxPrompts()
{
    QFETCH(QString, name);
    QFETCH(QString, prompt);
    Fixture fx;
    F_ZipXML& w = fx.open();
    const ChkCtl* boxes[] = {&w.Chk_OrdDoc, &w.Chk_UseSel, &w.Chk_ReSend, &w.Chk_Sended, &w.Chk_DoMail};
    const ChkCtl* box = nullptr;
    for (const ChkCtl* b : boxes)
        if (b->widget()->objectName() == name) box = b;
    QVERIFY(box);
    box->widget()->setVisible(true);
    QApplication::setActiveWindow(&w);
    box->widget()->setFocus();
    QTRY_COMPARE(w.status(), prompt);
}

void TestZipXML::fitsASmallScreen()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    QCoreApplication::processEvents();
    // The laid-out size fits a 1280 x 720 screen, whatever the list layout shows.
    QVERIFY2(w.N_MinWidth / 15 <= 1280, qPrintable(QString::number(w.N_MinWidth / 15)));
    QVERIFY2(w.N_MinHeight / 15 <= 720, qPrintable(QString::number(w.N_MinHeight / 15)));
    const int width = w.width();
    for (const bool dateButton : {true, false}) {
        w.Cmd_DoDateSend->setVisible(dateButton);
        w.Chk_ReSend.setVisible(!dateButton);
        QCoreApplication::processEvents();
        QVERIFY2(w.minimumSizeHint().width() <= 1280,
                 qPrintable(QString::number(w.minimumSizeHint().width())));
        QCOMPARE(w.width(), width);
    }
}

void TestZipXML::listKeepsItsPlaceWhileHidden()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    QCoreApplication::processEvents();
    const QRect header = w.Lbl_Hed->geometry();
    const QRect bottom = w.Frm_Bottom->geometry();
    w.Lst_XML->setVisible(false);
    QCoreApplication::processEvents();
    QCOMPARE(w.Lbl_Hed->geometry(), header);
    QCOMPARE(w.Frm_Bottom->geometry(), bottom);
}

void TestZipXML::headerFollowsTheScroll()
{
    Fixture fx;
    F_ZipXML& w = fx.open();
    const QString wide = QStringLiteral("20261201 10:12 | ") + QString(400, QLatin1Char('x'));
    w.Lst_XMLRows->AddItem(wide);
    w.Lbl_Hed->setText(QStringLiteral("Data Ric. | ABCDEFGHIJKLMNOPQRSTUVWXYZ | ") +
                       QString(300, QLatin1Char('M')));
    QCoreApplication::processEvents();
    QScrollBar* bar = w.Lst_XML->horizontalScrollBar();
    QVERIFY(bar->maximum() > 200);
    const QImage before = w.Lbl_Hed->grab().toImage();
    bar->setValue(200);
    QCoreApplication::processEvents();
    const QImage after = w.Lbl_Hed->grab().toImage();
    QVERIFY(before != after);
    // What showed 200 pixels to the right now shows at the left edge.
    const int frame = w.Lbl_Hed->frameWidth();
    int same = 0, inked = 0;
    for (int y = frame; y < before.height() - frame; ++y)
        for (int x = frame; x < before.width() - frame - 200; ++x) {
            const QRgb a = after.pixel(x, y), b = before.pixel(x + 200, y);
            if (b != before.pixel(frame, frame)) ++inked;
            if (a == b) ++same;
        }
    const int total = (before.height() - 2 * frame) * (before.width() - 2 * frame - 200);
    QVERIFY(inked > 0);
    QVERIFY2(same == total, qPrintable(QStringLiteral("%1 of %2").arg(same).arg(total)));
    bar->setValue(0);
    QCoreApplication::processEvents();
    QCOMPARE(w.Lbl_Hed->grab().toImage(), before);
}

QTEST_MAIN(TestZipXML)
#include "tst_f_zipxml.moc"
