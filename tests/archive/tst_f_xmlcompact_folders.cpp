// The archive maintenance window's folder lists: adding and removing base and linked
// folders, and the switch between issued and received invoices.
#include "archive/F_XMLCompact.h"
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/F_Fold.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTest>

using namespace ado;

namespace
{
const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("ParamXML");

QString subRow(qint64 key, const QString& path)
{
    return QStringLiteral("%1|").arg(key, 12) + path;
}

struct Fixture {
    TestEnv env;
    Connection cn;
    int chooserShows = 0;
    int chooserBeeps = 0; // the chooser's own, while it was shown
    int windowBeeps() { return env.dialogs().beeps - chooserBeeps; }
    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        B_Develop = false;
        env.dialogs().acceptOkBoxes = true;
        MDB_Create(Pth_DirTmpMDB);
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
    }
    ~Fixture()
    {
        setModalRunner({});
        F_XMLCompact::setRs2List({});
        B_Develop = false;
        if (cn.State() == adStateOpen) cn.Close();
        if (F_XMLCompact::isLoaded()) F_XMLCompact::instance().Unload();
        if (F_Fold::isLoaded()) F_Fold::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A folder under the scratch folder, made on disk; "/" ended.
    QString folder(const QString& name) const
    {
        const QString p = env.work() + name + QLatin1Char('/');
        QDir().mkpath(p);
        return p;
    }
    void base(const QString& path, const QVariant& key = {})
    {
        cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella) VALUES (?, ?)"),
                   {key.isValid() ? key : QVariant(MDB_FolderKey(path)), path});
    }
    void sub(const QString& basePath, const QString& path)
    {
        cn.Execute(
            QStringLiteral("INSERT INTO DIRSUB (cod_firma_base, cod_firma, des_cartella, num_cartella) "
                           "VALUES (?, ?, ?, 1)"),
            {MDB_FolderKey(basePath), MDB_FolderKey(path), path});
    }
    // The folder chooser answers with this folder (given without its closing "/"), or
    // gives up when it is empty.
    void choose(const QString& path, const QString& tag)
    {
        setModalRunner([this, path, tag](VbForm& form) {
            ++chooserShows;
            auto* fold = qobject_cast<F_Fold*>(&form);
            QVERIFY(fold);
            QCOMPARE(fold->Tag, tag);
            fold->Show(); // takes the caller's key, as when the user sees it
            if (path.isEmpty()) {
                fold->Cmd_Quit_Click();
            } else {
                fold->setDirPath(path);
                fold->Cmd_OK_Click();
            }
            chooserBeeps = env.dialogs().beeps;
        });
    }
    // Each row, its fields joined by "|".
    QStringList column(const QString& sql, const QVariantList& args = {})
    {
        QStringList out;
        Recordset rs;
        rs.Open(sql, cn, adOpenStatic, adLockReadOnly, args);
        for (; !rs.EOF_(); rs.MoveNext()) {
            QStringList fields;
            for (int i = 0; i < rs.GetFields().Count(); ++i)
                fields << ValueText(rs[i].Value());
            out << fields.join(QLatin1Char('|'));
        }
        rs.Close();
        return out;
    }
    static QStringList entries(const QComboBox* c)
    {
        QStringList out;
        for (int i = 0; i < c->count(); ++i)
            out << c->itemText(i);
        return out;
    }
    static QStringList entries(const QListWidget* l)
    {
        QStringList out;
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text();
        return out;
    }
};
} // namespace

class TstXMLCompactFolders : public QObject
{
    Q_OBJECT
  private slots:
    void addBaseFolder_data();
    void addBaseFolder();
    void removeBaseFolder_data();
    void removeBaseFolder();
    void addLinkedFolder_data();
    void addLinkedFolder();
    void removeLinkedFolder_data();
    void removeLinkedFolder();
    void switchKind_data();
    void switchKind();
    void transferMarks();
    void openFolderOnRightClick_data();
    void openFolderOnRightClick();
};

void TstXMLCompactFolders::addBaseFolder_data()
{
    QTest::addColumn<QString>("chosen"); // under the scratch folder; empty: the user gives up
    QTest::addColumn<bool>("keyTaken");  // another path already holds the chosen folder's key
    QTest::addColumn<bool>("added");
    QTest::addColumn<QString>("message"); // start of the one message shown, or empty
    QTest::newRow("new folder") << QStringLiteral("nuova") << false << true << QString();
    QTest::newRow("given up") << QString() << false << false << QString();
    QTest::newRow("listed already") << QStringLiteral("a") << false << false << QString();
    QTest::newRow("key of another folder")
        << QStringLiteral("nuova") << true << false
        << QStringLiteral("Chiave già usata dalla cartella :\r\n/altra/\r\n");
}

void TstXMLCompactFolders::addBaseFolder()
{
    QFETCH(QString, chosen);
    QFETCH(bool, keyTaken);
    QFETCH(bool, added);
    QFETCH(QString, message);
    Fixture fx;
    const QString a = fx.folder(QStringLiteral("a"));
    fx.base(a);
    const QString path = chosen.isEmpty() ? QString() : fx.folder(chosen);
    if (keyTaken) fx.base(QStringLiteral("/altra/"), MDB_FolderKey(path));
    const QStringList rowsBefore =
        fx.column(QStringLiteral("SELECT des_cartella FROM DIRBASE ORDER BY des_cartella"));
    F_XMLCompact& w = F_XMLCompact::instance();
    w.Show();
    const QStringList listed = Fixture::entries(w.Cmb_FoldXML);
    const QString keyBefore = w.Lbl_FoldBase->toolTip();

    fx.choose(path.isEmpty() ? QString() : path.chopped(1), QStringLiteral("DirBase"));
    w.Cmd_NewDir_Click();

    QCOMPARE(fx.chooserShows, 1);
    const QStringList msgs = fx.env.dialogs().messages();
    QCOMPARE(msgs.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty()) {
        QVERIFY2(msgs[0].startsWith(message), qPrintable(msgs[0]));
        QVERIFY(msgs[0].endsWith(QStringLiteral("Cartella non aggiunta !!")));
    }
    QCOMPARE(fx.windowBeeps(), message.isEmpty() ? 0 : 1);
    const QStringList rows =
        fx.column(QStringLiteral("SELECT des_cartella FROM DIRBASE ORDER BY des_cartella"));
    if (added) {
        QCOMPARE(Fixture::entries(w.Cmb_FoldXML), listed + QStringList{path});
        QCOMPARE(w.Cmb_FoldXML->currentIndex(), listed.size());
        QCOMPARE(w.Lbl_FoldBase->toolTip(), QString::number(MDB_FolderKey(path)));
        QCOMPARE(fx.column(QStringLiteral("SELECT des_cartella FROM DIRBASE WHERE cod_firma=?"),
                           {MDB_FolderKey(path)}),
                 QStringList{path});
        QCOMPARE(rows.size(), rowsBefore.size() + 1);
    } else {
        QCOMPARE(Fixture::entries(w.Cmb_FoldXML), listed);
        QCOMPARE(w.Lbl_FoldBase->toolTip(), keyBefore);
        QCOMPARE(rows, rowsBefore);
    }
}

void TstXMLCompactFolders::removeBaseFolder_data()
{
    QTest::addColumn<int>("bases");  // base folders listed: "a", "b" (in that order)
    QTest::addColumn<int>("answer"); // to the question; 0: none is asked
    QTest::addColumn<QStringList>("left");
    QTest::newRow("one of two") << 2 << int(vb::Yes) << QStringList{QStringLiteral("b")};
    QTest::newRow("refused") << 2 << int(vb::No) << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("the last one") << 1 << int(vb::Yes) << QStringList{};
    QTest::newRow("none listed") << 0 << 0 << QStringList{};
}

void TstXMLCompactFolders::removeBaseFolder()
{
    QFETCH(int, bases);
    QFETCH(int, answer);
    QFETCH(QStringList, left);
    Fixture fx;
    const QString a = fx.folder(QStringLiteral("a")), b = fx.folder(QStringLiteral("b"));
    const QStringList all{a, b};
    for (int i = 0; i < bases; ++i) {
        fx.base(all[i]);
        fx.sub(all[i], QStringLiteral("/link/%1/").arg(i));
    }
    F_XMLCompact& w = F_XMLCompact::instance();
    w.Show();
    if (answer) fx.env.dialogs().answer(answer);
    w.Cmd_DelDir_Click();

    QStringList leftPaths;
    for (const QString& n : left)
        leftPaths << fx.env.work() + n + QLatin1Char('/');
    QCOMPARE(Fixture::entries(w.Cmb_FoldXML), leftPaths);
    QCOMPARE(fx.column(QStringLiteral("SELECT des_cartella FROM DIRBASE ORDER BY des_cartella")), leftPaths);
    QStringList subsLeft;
    for (const QString& p : leftPaths)
        subsLeft << QStringLiteral("/link/%1/").arg(all.indexOf(p));
    QCOMPARE(fx.column(QStringLiteral("SELECT des_cartella FROM DIRSUB ORDER BY des_cartella")), subsLeft);
    QCOMPARE(fx.env.dialogs().beeps, answer == vb::Yes ? 0 : 1);
    if (answer) {
        QVERIFY(fx.env.dialogs().messages().value(0).startsWith(
            QStringLiteral("Confermi eliminazione dall'elenco della cartella :\r\n") + a +
            QStringLiteral("\r\n")));
    } else {
        QVERIFY(fx.env.dialogs().messages().isEmpty());
    }
    if (leftPaths.isEmpty()) {
        // Nothing may still point at the removed folder.
        QCOMPARE(w.Lbl_FoldBase->toolTip(), QString());
        QCOMPARE(w.Lst_FoldSub->count(), 0);
        QCOMPARE(w.Lbl_AttPass->text(), QString());
    } else {
        QCOMPARE(w.Cmb_FoldXML->currentIndex(), 0);
        QCOMPARE(w.Lbl_FoldBase->toolTip(), QString::number(MDB_FolderKey(leftPaths[0])));
        QCOMPARE(Fixture::entries(w.Lst_FoldSub),
                 QStringList{subRow(MDB_FolderKey(subsLeft[0]), subsLeft[0])});
    }
}

void TstXMLCompactFolders::addLinkedFolder_data()
{
    QTest::addColumn<QString>("chosen"); // "base": the selected base folder, "other": the other base
    QTest::addColumn<bool>("added");
    QTest::addColumn<QString>("message");
    QTest::newRow("new folder") << QStringLiteral("link") << true << QString();
    QTest::newRow("given up") << QString() << false << QString();
    QTest::newRow("listed already") << QStringLiteral("old") << false << QString();
    QTest::newRow("selected base") << QStringLiteral("base") << false
                                   << QStringLiteral("Cartella Base non ammessa come cartella collegata !!");
    QTest::newRow("other base") << QStringLiteral("other") << false
                                << QStringLiteral("Cartella Base non ammessa come cartella collegata !!");
}

void TstXMLCompactFolders::addLinkedFolder()
{
    QFETCH(QString, chosen);
    QFETCH(bool, added);
    QFETCH(QString, message);
    Fixture fx;
    const QString base = fx.folder(QStringLiteral("base")), other = fx.folder(QStringLiteral("other"));
    const QString old = fx.folder(QStringLiteral("old"));
    fx.base(base);
    fx.base(other);
    fx.sub(base, old);
    const QString path = chosen.isEmpty() ? QString() : fx.folder(chosen);
    F_XMLCompact& w = F_XMLCompact::instance();
    w.Show();
    w.setFoldIndex(Fixture::entries(w.Cmb_FoldXML).indexOf(base));
    QCOMPARE(w.Lbl_FoldBase->toolTip(), QString::number(MDB_FolderKey(base)));
    const QStringList listed = Fixture::entries(w.Lst_FoldSub);
    const QString subs =
        QStringLiteral("SELECT cod_firma_base, cod_firma, des_cartella, num_cartella FROM DIRSUB "
                       "ORDER BY des_cartella");
    const QStringList rowsBefore = fx.column(subs);

    fx.choose(path.isEmpty() ? QString() : path.chopped(1), QStringLiteral("DirSub"));
    w.Cmd_NewDirSub_Click();

    QCOMPARE(fx.chooserShows, 1);
    QCOMPARE(fx.env.dialogs().messages(), message.isEmpty() ? QStringList{} : QStringList{message});
    QCOMPARE(fx.windowBeeps(), message.isEmpty() ? 0 : 1);
    if (added) {
        const qint64 key = MDB_FolderKey(path);
        QCOMPARE(Fixture::entries(w.Lst_FoldSub), listed + QStringList{subRow(key, path)});
        QCOMPARE(w.Lst_FoldSub->currentRow(), listed.size());
        QStringList want = QStringList(rowsBefore)
                           << QStringLiteral("%1|%2|%3|1").arg(MDB_FolderKey(base)).arg(key).arg(path);
        want.sort();
        QStringList rows = fx.column(subs);
        rows.sort();
        QCOMPARE(rows, want);
    } else {
        QCOMPARE(Fixture::entries(w.Lst_FoldSub), listed);
        QCOMPARE(fx.column(subs), rowsBefore);
    }
}

void TstXMLCompactFolders::removeLinkedFolder_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("develop"); // the development view is shown the rows to delete
    QTest::addColumn<bool>("removed");
    QTest::newRow("confirmed") << int(vb::Yes) << false << true;
    QTest::newRow("confirmed, develop") << int(vb::Yes) << true << true;
    QTest::newRow("refused") << int(vb::No) << true << false;
}

void TstXMLCompactFolders::removeLinkedFolder()
{
    QFETCH(int, answer);
    QFETCH(bool, develop);
    QFETCH(bool, removed);
    Fixture fx;
    const QString base = fx.folder(QStringLiteral("base")), other = fx.folder(QStringLiteral("other"));
    fx.base(base);
    fx.base(other);
    // "a" is held twice: a second row of the pair must go too.
    fx.sub(base, QStringLiteral("/a/"));
    fx.sub(base, QStringLiteral("/a/"));
    fx.sub(base, QStringLiteral("/b/"));
    fx.sub(other, QStringLiteral("/a/")); // the same folder under the other base stays
    B_Develop = develop;
    QStringList viewed;
    F_XMLCompact::setRs2List([&](Recordset& rs, const QString& name, int) {
        for (; !rs.EOF_(); rs.MoveNext())
            viewed << name + QLatin1Char(':') + ValueText(rs["des_cartella"].Value());
        if (rs.RecordCount() > 0) rs.MoveFirst();
    });
    F_XMLCompact& w = F_XMLCompact::instance();
    w.Show();
    w.setFoldIndex(Fixture::entries(w.Cmb_FoldXML).indexOf(base));
    const QString rowA = subRow(MDB_FolderKey(QStringLiteral("/a/")), QStringLiteral("/a/"));
    const QString rowB = subRow(MDB_FolderKey(QStringLiteral("/b/")), QStringLiteral("/b/"));
    QCOMPARE(Fixture::entries(w.Lst_FoldSub), (QStringList{rowA, rowA, rowB}));
    w.setSubIndex(0);

    fx.env.dialogs().answer(answer);
    w.Cmd_DelDirSub_Click();

    QCOMPARE(fx.env.dialogs().messages().value(0),
             QStringLiteral("Confermi eliminazione dall'elenco della cartella :\r\n") + rowA +
                 QStringLiteral("\r\n\r\nPROSEGUO ??"));
    const QString subs =
        QStringLiteral("SELECT des_cartella FROM DIRSUB WHERE cod_firma_base=? ORDER BY des_cartella");
    const QStringList otherRows = fx.column(subs, {MDB_FolderKey(other)});
    QCOMPARE(otherRows, QStringList{QStringLiteral("/a/")});
    if (removed) {
        QCOMPARE(fx.column(subs, {MDB_FolderKey(base)}), QStringList{QStringLiteral("/b/")});
        QCOMPARE(Fixture::entries(w.Lst_FoldSub), (QStringList{rowA, rowB}));
        QCOMPARE(fx.env.dialogs().beeps, 0);
    } else {
        QCOMPARE(fx.column(subs, {MDB_FolderKey(base)}).size(), 3);
        QCOMPARE(Fixture::entries(w.Lst_FoldSub), (QStringList{rowA, rowA, rowB}));
        QCOMPARE(fx.env.dialogs().beeps, 1);
    }
    QCOMPARE(viewed, develop && removed ? (QStringList{QStringLiteral("DirDaEliminare:/a/"),
                                                       QStringLiteral("DirDaEliminare:/a/")})
                                        : QStringList{});
}

void TstXMLCompactFolders::switchKind_data()
{
    QTest::addColumn<QString>("stored"); // "AttPass_<key>" before; empty: not set
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("answer");   // 0: no question
    QTest::addColumn<int>("after");    // "AttPass_<key>" after; -1: not set
    QTest::addColumn<QString>("flag"); // flg_tipo_cartella after; empty: Null
    QTest::addColumn<QString>("label");
    QTest::newRow("issued to received")
        << QString() << 2 << int(vb::Yes) << 1 << QStringLiteral("R") << QStringLiteral("Passive");
    QTest::newRow("received to issued")
        << QStringLiteral("1") << 2 << int(vb::Yes) << 0 << QStringLiteral("E") << QStringLiteral("Attive");
    QTest::newRow("odd value 2 to issued")
        << QStringLiteral("2") << 2 << int(vb::Yes) << 0 << QStringLiteral("E") << QStringLiteral("Attive");
    QTest::newRow("refused") << QStringLiteral("1") << 2 << int(vb::No) << 1 << QString()
                             << QStringLiteral("Passive");
    QTest::newRow("left button") << QString() << 1 << 0 << -1 << QString() << QStringLiteral("Attive");
}

void TstXMLCompactFolders::switchKind()
{
    QFETCH(QString, stored);
    QFETCH(int, button);
    QFETCH(int, answer);
    QFETCH(int, after);
    QFETCH(QString, flag);
    QFETCH(QString, label);
    Fixture fx;
    const QString base = fx.folder(QStringLiteral("base")), other = fx.folder(QStringLiteral("other"));
    fx.base(base);
    fx.base(other);
    const QString key = QString::number(MDB_FolderKey(base));
    if (!stored.isEmpty()) Qor().IniWrite(kSec, QStringLiteral("AttPass_") + key, stored, kIni);
    F_XMLCompact& w = F_XMLCompact::instance();
    w.Show();
    w.setFoldIndex(Fixture::entries(w.Cmb_FoldXML).indexOf(base));
    if (answer) fx.env.dialogs().answer(answer);
    w.Lbl_AttPass_MouseUp(button, 0, 0, 0);

    QCOMPARE(fx.env.dialogs().messages(),
             answer ? QStringList{QStringLiteral("Confermi cambio Status cartella ?")} : QStringList{});
    QCOMPARE(Qor().IniReadInt(kSec, QStringLiteral("AttPass_") + key, -1, kIni), after);
    const QString flags = QStringLiteral("SELECT flg_tipo_cartella FROM DIRBASE WHERE cod_firma=?");
    QCOMPARE(fx.column(flags, {key.toLongLong()}), QStringList{flag});
    QCOMPARE(fx.column(flags, {MDB_FolderKey(other)}), QStringList{QString()}); // only the selected one
    QCOMPARE(w.Lbl_AttPass->text(), label);
    QCOMPARE(fx.env.dialogs().beeps, answer == vb::No ? 1 : 0);
}

// The "Trv_" list follows the box as the user ticks it row by row; selecting rows only shows it.
void TstXMLCompactFolders::transferMarks()
{
    Fixture fx;
    const QString base = fx.folder(QStringLiteral("base"));
    const QString l1 = fx.folder(QStringLiteral("l1")), l2 = fx.folder(QStringLiteral("l2"));
    fx.base(base);
    fx.sub(base, l1);
    fx.sub(base, l2);
    const QString name = QStringLiteral("Trv_") + QString::number(MDB_FolderKey(base));
    const QString i1 = QStringLiteral("%1").arg(MDB_FolderKey(l1), 12);
    const QString i2 = QStringLiteral("%1").arg(MDB_FolderKey(l2), 12);
    F_XMLCompact& w = F_XMLCompact::instance();
    w.Show();
    w.setFoldIndex(Fixture::entries(w.Cmb_FoldXML).indexOf(base));
    QCOMPARE(Fixture::entries(w.Lst_FoldSub).size(), 2);
    const auto rowOf = [&](const QString& path) {
        return Fixture::entries(w.Lst_FoldSub).indexOf(subRow(MDB_FolderKey(path), path));
    };
    const auto stored = [&] { return Qor().IniRead(kSec, name, QStringLiteral("<none>"), kIni); };

    struct Step {
        const char* what;
        QString row;  // the row selected first; empty: the selection is left alone
        int click;    // the box set to this value as the user clicks it; -1: no click
        int box;      // the box afterwards
        QString list; // "Trv_" afterwards
    };
    const QList<Step> steps = {
        {"first row, nothing marked", l1, -1, 0, QStringLiteral("<none>")},
        {"mark it", {}, 1, 1, QLatin1Char('|') + i1 + QLatin1Char('|')},
        {"second row shows 0", l2, -1, 0, QLatin1Char('|') + i1 + QLatin1Char('|')},
        {"mark the second", {}, 1, 1, QLatin1Char('|') + i1 + QLatin1Char('|') + i2 + QLatin1Char('|')},
        {"back to the first shows 1", l1, -1, 1, QLatin1Char('|') + i1 + QLatin1Char('|') + i2 + QLatin1Char('|')},
        {"unmark the first", {}, 0, 0, QLatin1Char('|') + i2 + QLatin1Char('|')},
        {"second still marked", l2, -1, 1, QLatin1Char('|') + i2 + QLatin1Char('|')},
        {"first unmarked", l1, -1, 0, QLatin1Char('|') + i2 + QLatin1Char('|')},
        {"mark the first again", {}, 1, 1, QLatin1Char('|') + i2 + QLatin1Char('|') + i1 + QLatin1Char('|')},
        {"unmark the second", l2, 0, 0, QLatin1Char('|') + i1 + QLatin1Char('|')},
    };
    for (const Step& s : steps) {
        if (!s.row.isEmpty()) w.Lst_FoldSub->setCurrentRow(rowOf(s.row));
        if (s.click >= 0) w.Chk_ToBase.setValue(s.click);
        QVERIFY2(w.Chk_ToBase.Value() == s.box, s.what);
        QVERIFY2(stored() == s.list, qPrintable(QString::fromLatin1(s.what) + QStringLiteral(": ") + stored()));
    }
    QCOMPARE(fx.env.dialogs().beeps, 0);

    // A click with no row selected: the box goes back to 0 with a beep, the list stays.
    w.Lst_FoldSub->setCurrentRow(-1);
    w.Chk_ToBase.setValue(1);
    QCOMPARE(w.Chk_ToBase.Value(), 0);
    QCOMPARE(fx.env.dialogs().beeps, 1);
    QCOMPARE(stored(), QLatin1Char('|') + i1 + QLatin1Char('|'));
}

void TstXMLCompactFolders::openFolderOnRightClick_data()
{
    QTest::addColumn<QString>("folder"); // the base folder text; "" none
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("starts");  // the file manager can start
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("message");
    QTest::newRow("right click") << QStringLiteral("base") << 2 << true << true << QString();
    QTest::newRow("left click") << QStringLiteral("base") << 1 << true << false << QString();
    QTest::newRow("no folder") << QString() << 2 << true << false << QString();
    QTest::newRow("file manager fails")
        << QStringLiteral("base") << 2 << false << true << QStringLiteral("Impossibile aprire la cartella :\r\n");
}

void TstXMLCompactFolders::openFolderOnRightClick()
{
    QFETCH(QString, folder);
    QFETCH(int, button);
    QFETCH(bool, starts);
    QFETCH(bool, opened);
    QFETCH(QString, message);
    Fixture fx;
    const QString path = folder.isEmpty() ? QString() : fx.folder(folder + QStringLiteral(" d'uno"));
    if (!path.isEmpty()) fx.base(path);
    F_XMLCompact& w = F_XMLCompact::instance();
    w.Show();
    fx.env.launcher().startsSucceed = starts;
    w.Cmd_NewDir_MouseUp(button, 0, 0, 0);

    QStringList folders;
    for (const auto& s : fx.env.launcher().starts)
        if (s.kind == QLatin1String("folder")) folders << s.program;
    QCOMPARE(folders, opened ? QStringList{path} : QStringList{});
    QCOMPARE(fx.env.dialogs().messages(), message.isEmpty() ? QStringList{} : QStringList{message + path});
}

QTEST_MAIN(TstXMLCompactFolders)
#include "tst_f_xmlcompact_folders.moc"
