// The maintenance window's duplicate removal: which linked copies go, which stay and why,
// what the log and the status bar say, and how the run ends.
#include "archive/F_XMLCompact.h"
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"
#include "support/InvoiceMaker.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <unistd.h>

using namespace ado;

class TstXMLCompactCompact : public QObject
{
    Q_OBJECT
  private slots:
    void whichCopiesGo_data();
    void whichCopiesGo();
    void mixedFolderTwice();
    void waysOut_data();
    void waysOut();
};

namespace
{
const QString kAsk = QStringLiteral("Confermi eliminazione files doppi ??");
const QString kDone = QStringLiteral("Compattamento completato !!\r\n");
const QString kNone = kDone + QStringLiteral("(Nessun file eliminato.)");
QString deletedText(int n)
{
    return kDone + QStringLiteral("( %1 Files Eliminati.)").arg(n);
}

// A small receipt: no number, date, issuer or type.
QByteArray receiptXml(const QString& id)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ns3:RicevutaConsegna><IdentificativoSdI>" +
           id.toUtf8() + "</IdentificativoSdI></ns3:RicevutaConsegna>\n";
}

// Content of a file described as "<number>[;<issuer>]" an invoice, "~..." the same invoice's bytes
// reversed (same length, other content), "R<id>" a receipt.
QByteArray content(const QString& what)
{
    if (what.startsWith(QLatin1Char('~'))) {
        QByteArray b = content(what.mid(1));
        std::reverse(b.begin(), b.end());
        return b;
    }
    if (what.startsWith(QLatin1Char('R'))) return receiptXml(what.mid(1));
    Doc d(what.section(QLatin1Char(';'), 0, 0));
    if (what.contains(QLatin1Char(';'))) d.emitt = what.section(QLatin1Char(';'), 1);
    return invoiceXml(d);
}

// Every file under a folder (links not followed), relative path -> size.
QMap<QString, qint64> tree(const QString& root, const QString& skip = {})
{
    QMap<QString, qint64> out;
    QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        const QString rel = p.mid(root.size());
        if (!skip.isEmpty() && rel.startsWith(skip)) continue;
        out.insert(rel, QFileInfo(p).size());
    }
    return out;
}

QStringList names(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::System, QDir::Name);
}

bool globMatch(const QString& pattern, const QString& text)
{
    QString re = QRegularExpression::escape(pattern);
    re.replace(QStringLiteral("\\*"), QStringLiteral(".*"));
    return QRegularExpression(QStringLiteral("\\A") + re + QStringLiteral("\\z"),
                              QRegularExpression::DotMatchesEverythingOption)
        .match(text)
        .hasMatch();
}

// The three layout lines of a file read for the identity lookup: name, size, identity.
QStringList pipes(const QString& name, const QString& identity)
{
    return {QStringLiteral("      =---> ") + name + QLatin1Char('|') + name + QStringLiteral("|*"),
            QStringLiteral("      =---> ") + name + QStringLiteral("|*|") + identity + QLatin1Char('|'),
            QStringLiteral("      =---> ") + name + QStringLiteral("| *|")};
}

struct Fixture {
    TestEnv env;
    Connection cn;
    QString w, b, b2, l;
    QString oldCwd = QDir::currentPath();
    bool undeletable = false;

    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        B_Develop = false;
        w = env.work();
        b = w + QStringLiteral("b/");
        b2 = w + QStringLiteral("b2/");
        l = w + QStringLiteral("l/");
        for (const QString& f : {b, b2, l})
            QDir().mkpath(f);
        MDB_Create(Pth_DirTmpMDB);
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
        for (const QString& f : {b, b2})
            cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella) VALUES (?, ?)"),
                       {MDB_FolderKey(f), f});
    }
    ~Fixture()
    {
        QDir::setCurrent(oldCwd);
        XMLCompact_SetRemoveForTests({});
        if (undeletable) QFile::setPermissions(l, QFile::permissions(l) | QFileDevice::WriteOwner);
        if (cn.State() == adStateOpen) cn.Close();
        if (F_XMLCompact::isLoaded()) F_XMLCompact::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // "folder/name=content" relative to the work folder.
    void make(const QString& file)
    {
        env.writeFile(w + file.section(QLatin1Char('='), 0, 0), content(file.section(QLatin1Char('='), 1)));
    }
    void link(const QString& base, const QString& stored)
    {
        cn.Execute(
            QStringLiteral("INSERT INTO DIRSUB (cod_firma_base, cod_firma, des_cartella, num_cartella) "
                           "VALUES (?, ?, ?, 1)"),
            {MDB_FolderKey(base), MDB_FolderKey(stored), stored});
    }
    // A FILES row for a file as the refresh writes one, under the given key.
    void row(qint32 key, const QString& path)
    {
        XML_Stru rec;
        XML_ReadHeader(path, rec);
        cn.Execute(
            QStringLiteral("INSERT INTO FILES (cod_firma, des_file, des_fileonly, val_lunfile, "
                           "des_numdoc, des_datdoc, des_emit, cod_tipodoc_min) VALUES (?,?,?,?,?,?,?,?)"),
            {key, path, rec.NomeFileSolo(), rec.LenFile(), rec.NumDoc(), rec.datdoc(), rec.Emitt(),
             rec.TipoDoc()});
    }
    // A removal that fails for the linked folder's files: a read-only folder, or as root
    // (who deletes anything) the hook.
    void makeUndeletable()
    {
        undeletable = true;
        if (geteuid() == 0) {
            const QString folder = l;
            XMLCompact_SetRemoveForTests([folder](const QString& path, QString* error) {
                if (path.startsWith(folder)) {
                    if (error) *error = QStringLiteral("Permesso negato");
                    return false;
                }
                return QFile::remove(path);
            });
        } else {
            QFile::setPermissions(l, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
    }
    F_XMLCompact& window()
    {
        F_XMLCompact& f = F_XMLCompact::instance();
        f.Show();
        f.setFoldIndex(f.Cmb_FoldXML->findText(b));
        return f;
    }
    static QStringList logLines()
    {
        QStringList out;
        const QString text = QString::fromUtf8(TestEnv::readFile(Pth_DebugLog));
        for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            out << line.mid(20); // the date and time in front
        // The run's own lines: the window writes its own when it opens.
        return out.mid(qMax(0, out.lastIndexOf(QStringLiteral("==========  Inizio CMD_COMPACT"))));
    }
};

void compareLog(const QStringList& actual, const QStringList& expected)
{
    bool same = actual.size() == expected.size();
    for (int i = 0; same && i < actual.size(); ++i)
        same = globMatch(expected[i], actual[i]);
    if (!same) {
        qWarning().noquote() << "log:\n" + actual.join(QLatin1Char('\n'));
        qWarning().noquote() << "expected:\n" + expected.join(QLatin1Char('\n'));
    }
    QVERIFY(same);
}

} // namespace

void TstXMLCompactCompact::whichCopiesGo_data()
{
    // Work-folder relative: the linked folder as DIRSUB stores it ("-" : the base folder
    // through a symbolic link "lb"), the files made before the base folders are recorded,
    // the changes made after, the linked folder's files left, the count, the log after
    // "Inizio CMD_COMPACT" ("<W>" the work folder, "*" any text).
    QTest::addColumn<QString>("linked");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<QStringList>("log");

    const QString dir = QStringLiteral("            Cartella : <W>l/");
    const QString del = QStringLiteral("  *** File in Cacellazione : ");
    const QString deep = QStringLiteral("  +++ Approfondimento File : ");
    const QString other = QStringLiteral("        *** File in Cacellazione con altro nome : ");
    const QString none = QStringLiteral("  !!! Nessuna copia archiviata presente : ");
    const QString same = QStringLiteral("  !!! Cartella collegata uguale a Cartella Base, saltata : ");
    const QString differs = QStringLiteral("  !!! Contenuto diverso dalla copia archiviata : ");
    const QString id1 = QStringLiteral("TD01|1|2024-01-10|ALFA SRL");

    // Invoice 2 under invoice 1's name: one digit apart, the same length.
    QTest::newRow("same name and length, one byte different: read and kept")
        << "l/" << QStringList{"b/fatt1.xml=1", "l/fatt1.xml=2"} << QStringList{} << QStringList{"fatt1.xml"}
        << 0
        << (QStringList{dir, differs + "fatt1.xml", deep + "fatt1.xml"} +
            pipes("fatt1.xml", QStringLiteral("TD01|2|2024-01-10|ALFA SRL")) + QStringList{none + "fatt1.xml"});
    QTest::newRow("same name and length, other bytes, the same invoice: deleted by identity")
        << "l/" << QStringList{"b/fatt1.xml=1", "l/fatt1.xml=1"} << QStringList{"flip:l/fatt1.xml"}
        << QStringList{} << 1
        << (QStringList{dir, differs + "fatt1.xml", deep + "fatt1.xml"} + pipes("fatt1.xml", id1) +
            QStringList{other + "fatt1.xml"});
    QTest::newRow("archived copy gone")
        << "l/" << QStringList{"b/fatt1.xml=1", "l/fatt1.xml=1"} << QStringList{"rm:b/fatt1.xml"}
        << QStringList{"fatt1.xml"} << 0
        << (QStringList{dir, deep + "fatt1.xml"} + pipes("fatt1.xml", id1) + QStringList{none + "fatt1.xml"});
    QTest::newRow("archived copy changed size")
        << "l/" << QStringList{"b/fatt1.xml=1", "l/fatt1.xml=1"} << QStringList{"grow:b/fatt1.xml"}
        << QStringList{"fatt1.xml"} << 0
        << (QStringList{dir, deep + "fatt1.xml"} + pipes("fatt1.xml", id1) + QStringList{none + "fatt1.xml"});
    QTest::newRow("linked folder is the base folder by another spelling")
        << "./b" << QStringList{"b/fatt1.xml=1", "b/fatt2.xml=2"} << QStringList{} << QStringList{} << 0
        << QStringList{"            Cartella : <W>./b/", same + "<W>./b/"};
    QTest::newRow("linked folder is the base folder through a link")
        << "-" << QStringList{"b/fatt1.xml=1"} << QStringList{} << QStringList{} << 0
        << QStringList{"            Cartella : <W>lb/", same + "<W>lb/"};
    QTest::newRow("linked folder is another base folder")
        << "b2/" << QStringList{"b2/fatt1.xml=1", "b/fatt1.xml=1"} << QStringList{} << QStringList{} << 0
        << QStringList{"            Cartella : <W>b2/", same + "<W>b2/"};
    QTest::newRow("only the linked files' own rows")
        << "l/" << QStringList{"l/fatt1.xml=1", "l/fatt2.xml=2"}
        << QStringList{"own:l/fatt1.xml", "own:l/fatt2.xml"} << QStringList{"fatt1.xml", "fatt2.xml"} << 0
        << (QStringList{dir, deep + "fatt1.xml"} + pipes("fatt1.xml", id1) +
            QStringList{none + "fatt1.xml", deep + "fatt2.xml"} +
            pipes("fatt2.xml", QStringLiteral("TD01|2|2024-01-10|ALFA SRL")) +
            QStringList{none + "fatt2.xml"});
    QTest::newRow("a receipt beside another receipt's row")
        << "l/" << QStringList{"b/rc_1.xml=R1", "l/rc_22.xml=R22"} << QStringList{}
        << QStringList{"rc_22.xml"} << 0
        << (QStringList{dir, deep + "rc_22.xml"} + pipes("rc_22.xml", QStringLiteral("|||")) +
            QStringList{none + "rc_22.xml"});
    QTest::newRow("same invoice under another name in the base folder")
        << "l/" << QStringList{"b/fatt1.xml=1", "l/copia.xml=1"} << QStringList{} << QStringList{} << 1
        << (QStringList{dir, deep + "copia.xml"} + pipes("copia.xml", id1) +
            QStringList{other + "copia.xml"});
    QTest::newRow("same invoice under another name in another base folder")
        << "l/" << QStringList{"b2/fatt1.xml=1", "l/copia.xml=1"} << QStringList{} << QStringList{} << 1
        << (QStringList{dir, deep + "copia.xml"} + pipes("copia.xml", id1) +
            QStringList{other + "copia.xml"});
    QTest::newRow("an unreadable file after one deleted by identity")
        << "l/" << QStringList{"b/fatt1.xml=1", "l/a_copia.xml=1"} << QStringList{"unreadable:l/b_rotto.xml"}
        << QStringList{"b_rotto.xml"} << 1
        << (QStringList{dir, deep + "a_copia.xml"} + pipes("a_copia.xml", id1) +
            QStringList{other + "a_copia.xml", deep + "b_rotto.xml",
                        "  !!! IMPOSSIBILE LEGGERE IL FILE : <W>l/b_rotto.xml (*)"});
    QTest::newRow("linked folder stored without its closing slash")
        << "l" << QStringList{"b/fatt1.xml=1", "l/fatt1.xml=1", "lfatt1.xml=1", "l_fatt1.xml=1"}
        << QStringList{} << QStringList{} << 1 << QStringList{dir, del + "fatt1.xml"};
    QTest::newRow("linked folder empty: the current folder stays as it is")
        << "" << QStringList{"b/fatt1.xml=1", "cwd/fatt1.xml=1", "cwd/copia.xml=1"} << QStringList{"cwd"}
        << QStringList{} << 0
        << QStringList{"            Cartella : ", "  !!! Cartella collegata non accessibile, saltata : "};
    QTest::newRow("linked folder gone")
        << "gone/" << QStringList{"b/fatt1.xml=1"} << QStringList{} << QStringList{} << 0
        << QStringList{"            Cartella : <W>gone/",
                       "  !!! Cartella collegata non accessibile, saltata : <W>gone/"};
    QTest::newRow("a file that cannot be deleted stays and is not counted")
        << "l/" << QStringList{"b/fatt1.xml=1", "l/fatt1.xml=1", "l/copia.xml=1"} << QStringList{"locked"}
        << QStringList{"copia.xml", "fatt1.xml"} << 0
        << (QStringList{dir, deep + "copia.xml"} + pipes("copia.xml", id1) +
            QStringList{other + "copia.xml", "  !!! IMPOSSIBILE ELIMINARE IL FILE : <W>l/copia.xml",
                        del + "fatt1.xml", "  !!! IMPOSSIBILE ELIMINARE IL FILE : <W>l/fatt1.xml"});
    QTest::newRow("quotes and accents in names and issuers")
        << "l/"
        << QStringList{"b/fattura d'acquisto è.xml=7;CAFFÈ D'ORO SRL",
                       "l/fattura d'acquisto è.xml=7;CAFFÈ D'ORO SRL",
                       "l/l'altra copia.xml=7;CAFFÈ D'ORO SRL"}
        << QStringList{} << QStringList{} << 2
        << (QStringList{dir, del + "fattura d'acquisto è.xml", deep + "l'altra copia.xml"} +
            pipes("l'altra copia.xml", QStringLiteral("TD01|7|2024-01-10|CAFFÈ D'ORO SRL")) +
            QStringList{other + "l'altra copia.xml"});
}

void TstXMLCompactCompact::whichCopiesGo()
{
    QFETCH(QString, linked);
    QFETCH(QStringList, files);
    QFETCH(QStringList, after);
    QFETCH(QStringList, left);
    QFETCH(int, deleted);
    QFETCH(QStringList, log);

    Fixture fx;
    for (const QString& f : files)
        fx.make(f);
    QString stored = fx.w + linked;
    if (linked == QLatin1String("-")) {
        QVERIFY(QFile::link(fx.b, fx.w + QStringLiteral("lb")));
        stored = fx.w + QStringLiteral("lb/");
    } else if (linked.isEmpty()) {
        stored.clear();
    }
    fx.link(fx.b, stored);
    MDB_UpdFiles(fx.cn, MDB_FolderKey(fx.b));
    MDB_UpdFiles(fx.cn, MDB_FolderKey(fx.b2));
    for (const QString& a : after) {
        const QString what = a.section(QLatin1Char(':'), 0, 0), path = fx.w + a.section(QLatin1Char(':'), 1);
        if (what == QLatin1String("rm")) {
            QVERIFY(QFile::remove(path));
        } else if (what == QLatin1String("grow")) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::Append));
            f.write("<!-- -->");
        } else if (what == QLatin1String("own")) {
            // Its own folder's key and, as a colliding key would, the base folder's.
            fx.row(MDB_FolderKey(fx.l), path);
            fx.row(MDB_FolderKey(fx.b), path);
        } else if (what == QLatin1String("flip")) {
            // The same length and the same invoice, another currency code.
            QByteArray bytes = TestEnv::readFile(path);
            QVERIFY(bytes.contains("<Divisa>EUR</Divisa>"));
            fx.env.writeFile(path, bytes.replace("<Divisa>EUR</Divisa>", "<Divisa>USD</Divisa>"));
        } else if (what == QLatin1String("unreadable")) {
            QVERIFY(!TestEnv::unreadableFile(path, QByteArray(500, 'x')).isEmpty());
        } else if (what == QLatin1String("locked")) {
            fx.makeUndeletable();
        } else if (what == QLatin1String("cwd")) {
            QVERIFY(QDir::setCurrent(fx.w + QStringLiteral("cwd")));
        }
    }
    const QMap<QString, qint64> others = tree(fx.w, QStringLiteral("l/"));
    QFile::remove(Pth_DebugLog);

    F_XMLCompact& w = fx.window();
    QCOMPARE(w.Lst_FoldSub->count(), 1);
    ScriptedDialogs& d = fx.env.dialogs();
    d.answer(vb::Yes);
    w.N_Deleted = 99;
    const int beeps = d.beeps;
    w.Cmd_Compact_Click();

    QCOMPARE(d.calls.size(), 1);
    QCOMPARE(d.calls[0].text, kAsk);
    QCOMPARE(d.calls[0].style, vb::YesNo | vb::Question);
    QCOMPARE(d.calls[0].defaultButton(), 0);
    QCOMPARE(d.calls[0].title, F_XMLCompact::Caption());
    QCOMPARE(d.beeps - beeps, 1);
    QCOMPARE(names(fx.l), left);
    QCOMPARE(tree(fx.w, QStringLiteral("l/")), others);
    QCOMPARE(w.N_Deleted, deleted);
    QCOMPARE(w.status(), deleted ? deletedText(deleted) : kNone);
    QStringList expected{QStringLiteral("==========  Inizio CMD_COMPACT")};
    for (const QString& line : log)
        expected << QString(line).replace(QStringLiteral("<W>"), fx.w);
    compareLog(Fixture::logLines(), expected);
    QVERIFY(!w.running());
    QVERIFY(!w.Lbl_Wait->isVisible());
    QVERIFY(w.cursor().shape() != Qt::WaitCursor);
}

void TstXMLCompactCompact::mixedFolderTwice()
{
    Fixture fx;
    fx.env.clock().set(QDateTime(QDate(2026, 12, 10), QTime(9, 15, 42)));
    const QString l2 = fx.w + QStringLiteral("l2/");
    for (const char* f : {"b/f1.xml=1", "b/f2.xml=2", "b/f3.xml=3;D'ANGELO SRL", "b/rc_1.xml=R1",
                          "b2/g4.xml=4", "b2/g5.xml=5", "l/f1.xml=1", "l/f2.xml=~2",
                          "l/altro f3.xml=3;D'ANGELO SRL", "l/g4.xml=4", "l/x5.xml=5", "l/rc_9.xml=R9",
                          "l/f6.xml=6", "l/f7.xml=7", "l2/f1.xml=1", "l2/f7.xml=7", "l2/gx.xml=4"})
        fx.make(QString::fromUtf8(f));
    QVERIFY(QDir().mkpath(fx.l + QStringLiteral("sotto.xml")));
    QVERIFY(QFile::link(fx.b2, fx.w + QStringLiteral("lb2")));
    fx.link(fx.b, fx.l);
    fx.link(fx.b, fx.w + QStringLiteral("lb2/"));
    fx.link(fx.b, fx.w + QStringLiteral("l2"));
    MDB_UpdFiles(fx.cn, MDB_FolderKey(fx.b));
    MDB_UpdFiles(fx.cn, MDB_FolderKey(fx.b2));
    fx.row(MDB_FolderKey(fx.b), fx.l + QStringLiteral("f6.xml")); // the linked file's own row
    fx.row(MDB_FolderKey(l2), l2 + QStringLiteral("f7.xml"));     // l2 once a base folder
    QVERIFY(QFile::remove(fx.b2 + QStringLiteral("g5.xml")));     // its row stays

    // What every file was before the run: name and length, and invoice identity.
    struct Seen {
        QString name;
        qint64 size;
        QString identity;
    };
    QMap<QString, Seen> before;
    for (auto it = QDirIterator(fx.w, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString p = it.next();
        XML_Stru rec;
        XML_ReadHeader(p, rec);
        const QString identity = rec.NumDoc().isEmpty()
                                     ? QString()
                                     : rec.NumDoc() + QLatin1Char('|') + rec.datdoc() + QLatin1Char('|') +
                                           rec.Emitt() + QLatin1Char('|') + rec.TipoDoc();
        before.insert(p, {QFileInfo(p).fileName(), QFileInfo(p).size(), identity});
    }
    const QMap<QString, qint64> bases = tree(fx.b), bases2 = tree(fx.b2);

    F_XMLCompact& w = fx.window();
    QCOMPARE(w.Lst_FoldSub->count(), 3);
    ScriptedDialogs& d = fx.env.dialogs();
    d.answer(vb::Yes).answer(vb::Yes);
    w.Cmd_Compact_Click();

    QCOMPARE(tree(fx.b), bases);
    QCOMPARE(tree(fx.b2), bases2);
    int gone = 0;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (QFileInfo::exists(it.key())) continue;
        ++gone;
        bool survivor = false;
        for (auto s = before.cbegin(); !survivor && s != before.cend(); ++s)
            survivor = s.key() != it.key() && QFileInfo::exists(s.key()) &&
                       ((s->name == it->name && s->size == it->size) ||
                        (!it->identity.isEmpty() && s->identity == it->identity));
        QVERIFY2(survivor, qPrintable(it.key()));
    }
    // f2.xml has f2's name and length but not its bytes: it is read, and no invoice is it.
    const QStringList kept{"f2.xml", "f6.xml", "rc_9.xml", "x5.xml"};
    QCOMPARE(names(fx.l), kept);
    QCOMPARE(names(l2), (QStringList{"f7.xml"}));
    QVERIFY(QFileInfo(fx.l + QStringLiteral("sotto.xml")).isDir());
    QCOMPARE(gone, 6);
    QCOMPARE(w.N_Deleted, gone);
    QCOMPARE(w.status(), deletedText(gone));
    const QString stamp = QStringLiteral("10/12/2026 09:15:42");
    QCOMPARE(Qor().IniRead(QStringLiteral("ParamXML"), QStringLiteral("LastCompact"), QString(),
                           QStringLiteral("QOR_PLCR.INI")),
             stamp);

    fx.env.clock().set(QDateTime(QDate(2026, 12, 11), QTime(0, 0)));
    w.Cmd_Compact_Click();
    QCOMPARE(d.messages(), (QStringList{kAsk, kAsk}));
    QCOMPARE(w.N_Deleted, 0);
    QCOMPARE(w.status(), kNone);
    QCOMPARE(Qor().IniRead(QStringLiteral("ParamXML"), QStringLiteral("LastCompact"), QString(),
                           QStringLiteral("QOR_PLCR.INI")),
             QStringLiteral("11/12/2026"));
    QCOMPARE(names(fx.l), kept);
    QCOMPARE(names(l2), (QStringList{"f7.xml"}));
}

void TstXMLCompactCompact::waysOut_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("answer"); // 0: not asked
    QTest::addColumn<bool>("thrown");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<bool>("removed");   // the linked copy went
    QTest::addColumn<QString>("status"); // "*" any text
    QTest::addColumn<bool>("stamped");   // "LastCompact" written

    const QString fileShown = QStringLiteral("* , f1.xml");
    QTest::newRow("declined") << "" << int(vb::No) << false << 5 << false << "" << false;
    QTest::newRow("no linked folder") << "nolinks" << 0 << false << 5 << false << "" << false;
    QTest::newRow("whole-archive call: no question, count goes on, no end text")
        << "auto" << 0 << false << 6 << true << fileShown << true;
    QTest::newRow("database error inside a whole-archive call")
        << "autofail" << 0 << true << 5 << false << fileShown << false;
    QTest::newRow("a second click and a close during the run are refused")
        << "posted" << int(vb::Yes) << false << 1 << true << deletedText(1) << true;
}

void TstXMLCompactCompact::waysOut()
{
    QFETCH(QString, how);
    QFETCH(int, answer);
    QFETCH(bool, thrown);
    QFETCH(int, deleted);
    QFETCH(bool, removed);
    QFETCH(QString, status);
    QFETCH(bool, stamped);

    Fixture fx;
    fx.make(QStringLiteral("b/f1.xml=1"));
    fx.make(QStringLiteral("l/f1.xml=1"));
    if (how != QLatin1String("nolinks")) fx.link(fx.b, fx.l);
    MDB_UpdFiles(fx.cn, MDB_FolderKey(fx.b));
    F_XMLCompact& w = fx.window();
    w.N_Deleted = 5;
    w.setStatus(QString());
    ScriptedDialogs& d = fx.env.dialogs();
    if (answer) d.answer(answer);
    if (how.startsWith(QLatin1String("auto"))) w.B_AutoRun = true;
    if (how == QLatin1String("autofail")) w.Cn_DirTmp.Execute(QStringLiteral("DROP TABLE FILES"));

    QStringList during;
    if (how == QLatin1String("posted")) {
        QMetaObject::invokeMethod(
            &w,
            [&] {
                during << (w.running() ? QStringLiteral("held") : QStringLiteral("free"));
                during << (w.Lbl_Wait->isVisible() ? QStringLiteral("wait") : QString());
                w.Cmd_Compact->click();
                during << (w.Unload() ? QStringLiteral("closed") : QStringLiteral("open"));
            },
            Qt::QueuedConnection);
    }
    const int beeps = d.beeps;
    bool threw = false;
    try {
        w.Cmd_Compact_Click();
    } catch (const ado::Error&) {
        threw = true;
    }

    QCOMPARE(threw, thrown);
    QVERIFY(d.allAnswered());
    QCOMPARE(d.calls.size(), answer ? 1 : 0);
    QCOMPARE(w.N_Deleted, deleted);
    QVERIFY2(globMatch(status, w.status()), qPrintable(w.status()));
    QCOMPARE(QFileInfo::exists(fx.l + QStringLiteral("f1.xml")), !removed);
    QCOMPARE(Qor().IniRead(QStringLiteral("ParamXML"), QStringLiteral("LastCompact"), QString(),
                           QStringLiteral("QOR_PLCR.INI")),
             stamped ? QStringLiteral("10/12/2026 09:00:00") : QString());
    // Every way out leaves the window idle and the next single click asking.
    QVERIFY(!w.B_AutoRun);
    QVERIFY(!w.running());
    QVERIFY(!w.Lbl_Wait->isVisible());
    QVERIFY(w.cursor().shape() != Qt::WaitCursor);
    if (how == QLatin1String("posted")) {
        QCOMPARE(during, (QStringList{"held", "wait", "open"}));
        QCOMPARE(d.beeps - beeps, 3); // the refused click, the refused close, the end
        QVERIFY(F_XMLCompact::isLoaded());
    } else if (!thrown) {
        QCOMPARE(d.beeps - beeps, how == QLatin1String("auto") ? 0 : 1);
    }
}

QTEST_MAIN(TstXMLCompactCompact)
#include "tst_xmlcompact_compact.moc"
