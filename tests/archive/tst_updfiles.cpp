// The refresh of a base folder's files in FILES: new rows, names filled once, the key and
// folder text the rows go under, errors mid-folder and the progress shown.
#include "archive/F_XMLCompact.h"
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/F_MSG.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_Qor.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"
#include "support/InvoiceMaker.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

using namespace ado;

namespace
{

// Counts the times the progress window is shown.
class ShowCounter final : public QObject
{
  public:
    ShowCounter() { qApp->installEventFilter(this); }
    ~ShowCounter() override { qApp->removeEventFilter(this); }
    int shows = 0;

  protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show && o->objectName() == QLatin1String("F_MSG")) ++shows;
        return false;
    }
};

QDateTime day(int y, int m, int d, int h = 10)
{
    return QDateTime(QDate(y, m, d), QTime(h, 0));
}

struct Fixture {
    TestEnv env;
    Connection cn;
    QString folder;

    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        B_Develop = false;
        folder = env.work() + QStringLiteral("Fatture d'acquisto è/");
        QDir().mkpath(folder);
        MDB_Create(Pth_DirTmpMDB);
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
    }
    ~Fixture()
    {
        if (cn.State() == adStateOpen) cn.Close();
        if (F_XMLCompact::isLoaded()) F_XMLCompact::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The folder as a base folder, stored as given; answers its DIRBASE key.
    qint32 base(const QString& stored)
    {
        const qint32 key = Str_CheckSum(stored);
        cn.Execute(QStringLiteral(
                       "INSERT INTO DIRBASE (cod_firma, des_cartella, flg_tipo_cartella) VALUES (?, ?, 'E')"),
                   {key, stored});
        return key;
    }
    QString write(const QString& name, const QByteArray& bytes, const QDateTime& modified = day(2024, 1, 10))
    {
        const QString path = env.writeFile(folder + name, bytes);
        QFile f(path);
        if (f.open(QIODevice::ReadWrite)) f.setFileTime(modified, QFileDevice::FileModificationTime);
        return path;
    }
    QString write(const QString& name, const Doc& d) { return write(name, invoiceXml(d)); }

    QList<QVariantList> rows(const QString& columns, const QString& where = QString(),
                             const QVariantList& params = {})
    {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM FILES") + where +
                    QStringLiteral(" ORDER BY des_fileonly, val_lunfile"),
                cn, adOpenStatic, adLockReadOnly, params);
        QList<QVariantList> out;
        while (!rs.EOF_()) {
            QVariantList r;
            for (int i = 0; i < rs.GetFields().Count(); ++i)
                r << rs[i].Value();
            out << r;
            rs.MoveNext();
        }
        rs.Close();
        return out;
    }
    QString log() const { return QString::fromUtf8(TestEnv::readFile(Pth_DebugLog)); }
};

QString text(const QVariant& v)
{
    return IsNull(v) ? QStringLiteral("<Null>") : ValueText(v);
}

} // namespace

class TstUpdFiles : public QObject
{
    Q_OBJECT
  private slots:
    void unknownKeyShowsNothing();
    void newFilesGetOneRowEach();
    void namesFilledOnce_data();
    void namesFilledOnce();
    void changedLengthGivesSecondRow();
    void oddFiles();
    void nameNotUtf8Logged();
    void folderWithoutSlashListsItsOwnFiles();
    void unreadableFileKeepsEarlierRows();
    void fileShownInLoadedWindow();
};

void TstUpdFiles::unknownKeyShowsNothing()
{
    Fixture fx;
    fx.write(QStringLiteral("IT01_A.xml"), Doc{QStringLiteral("1")});
    ShowCounter shown;
    QCOMPARE(MDB_UpdFiles(fx.cn, 12345), 0);
    QCOMPARE(shown.shows, 0);
    QVERIFY(fx.rows(QStringLiteral("*")).isEmpty());

    // A base folder that is gone answers 0 and says so in the log.
    const qint32 gone = fx.base(fx.env.work() + QStringLiteral("sparita/"));
    QCOMPARE(MDB_UpdFiles(fx.cn, gone), 0);
    QVERIFY(fx.log().contains(QStringLiteral("sparita/")));
    QCOMPARE(fx.cn.TransLevel(), 0);
}

void TstUpdFiles::newFilesGetOneRowEach()
{
    Fixture fx;
    const qint32 key = fx.base(fx.folder);
    Doc a(QStringLiteral("FT/7"));
    a.attach = QStringLiteral("Fattura 7.pdf");
    a.emitt = QStringLiteral("L'ALFA SRL");
    const QString pathA = fx.write(QStringLiteral("IT01_A.xml"), a);
    fx.write(QStringLiteral("IT01_B.XML"), Doc{QStringLiteral("8")});
    fx.write(QStringLiteral("IT01_C.Xml"), Doc{QStringLiteral("9")});
    fx.write(QStringLiteral("note.txt"), "not listed");
    QDir().mkpath(fx.folder + QStringLiteral("cartella.xml")); // a folder is no file

    ShowCounter shown;
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 3);
    QCOMPARE(shown.shows, 1);
    QVERIFY(!F_MSG::isLoaded());
    QCOMPARE(fx.cn.TransLevel(), 0);

    const auto all = fx.rows(QStringLiteral("des_fileonly, cod_firma"));
    QCOMPARE(all.size(), 3);
    for (const QVariantList& r : all)
        QCOMPARE(r[1].toLongLong(), qint64(key));

    XML_Stru rec;
    XML_ReadHeader(pathA, rec);
    const auto golden =
        fx.rows(QStringLiteral("des_fileonly, val_lunfile, cod_firma, des_file, cod_tipodoc_min, "
                               "des_numdoc, des_datdoc, des_emit, cod_emit_cf, cod_emit_pi, des_ric, "
                               "cod_ric_cf, cod_ric_pi, des_allegato, des_confronto, dat_ric, "
                               "dat_send, dat_contab, des_emit_cogn, des_emit_nome, des_ric_cogn, "
                               "des_ric_nome"),
                QStringLiteral(" WHERE des_fileonly=?"), {QStringLiteral("IT01_A.xml")});
    QCOMPARE(golden.size(), 1);
    const QVariantList& r = golden.first();
    const QStringList want{QStringLiteral("IT01_A.xml"),
                           QString::number(QFileInfo(pathA).size()),
                           QString::number(key),
                           pathA,
                           QStringLiteral("TD01"),
                           QStringLiteral("FT/7"),
                           QStringLiteral("2024-01-10"),
                           QStringLiteral("L'ALFA SRL"),
                           rec.EmittCF(),
                           QStringLiteral("IT-01234567890"),
                           QStringLiteral("BETA SPA"),
                           QStringLiteral("09876543210"),
                           rec.DestinPI(),
                           QStringLiteral("Fattura 7.pdf"),
                           rec.Confronto(),
                           QStringLiteral("10/01/2024 10:00:00"),
                           QStringLiteral("<Null>"),
                           QStringLiteral("<Null>"),
                           QStringLiteral("<Null>"),
                           QStringLiteral("<Null>"),
                           QStringLiteral("<Null>"),
                           QStringLiteral("<Null>")};
    QStringList got;
    for (const QVariant& v : r)
        got << text(v);
    QCOMPARE(got, want);
    QCOMPARE(r[15].toDateTime(), day(2024, 1, 10));

    // Nothing new the second time; the list would record none of them again either.
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 0);
    QCOMPARE(fx.rows(QStringLiteral("*")).size(), 3);
    for (const QString& name : QDir(fx.folder).entryList({QStringLiteral("*.xml")}, QDir::Files)) {
        XML_Stru one;
        XML_ReadHeader(fx.folder + name, one);
        bool sent = true;
        QVERIFY2(MDB_FilesSave(fx.cn, one, sent), qPrintable(name));
        QVERIFY(!sent);
    }
}

void TstUpdFiles::namesFilledOnce_data()
{
    QTest::addColumn<QString>("emittNome");
    QTest::addColumn<QString>("emittCogn");
    QTest::addColumn<QString>("destinCogn");
    QTest::addColumn<bool>("namedBefore"); // the row has a name column filled already
    QTest::addColumn<QVariant>("emitBefore");
    QTest::addColumn<QStringList>("want"); // ric_cogn, ric_nome, emit_cogn, emit_nome, des_emit, des_ric

    const QString n = QStringLiteral("<Null>");
    QTest::newRow("person issuer, company des_emit kept")
        << QStringLiteral("MARIO") << QStringLiteral("ROSSI") << QString() << false
        << QVariant(QStringLiteral("ROSSI MARIO SNC"))
        << QStringList{n,
                       n,
                       QStringLiteral("ROSSI"),
                       QStringLiteral("MARIO"),
                       QStringLiteral("ROSSI MARIO SNC"),
                       QStringLiteral("BETA SPA")};
    QTest::newRow("empty des_emit built from the names")
        << QStringLiteral(" MARIO ") << QStringLiteral("ROSSI") << QString() << false << QVariant(QString())
        << QStringList{n,
                       n,
                       QStringLiteral("ROSSI"),
                       QStringLiteral("MARIO"),
                       QStringLiteral("ROSSI MARIO"),
                       QStringLiteral("BETA SPA")};
    QTest::newRow("Null des_emit, surname only")
        << QString() << QStringLiteral("ROSSI") << QString() << false << QVariant()
        << QStringList{n, n, QStringLiteral("ROSSI"), n, QStringLiteral("ROSSI"), QStringLiteral("BETA SPA")};
    QTest::newRow("person recipient")
        << QString() << QString() << QStringLiteral("VERDI") << false << QVariant(QStringLiteral("ALFA SRL"))
        << QStringList{QStringLiteral("VERDI"),   n, n, n, QStringLiteral("ALFA SRL"),
                       QStringLiteral("BETA SPA")};
    QTest::newRow("companies only: nothing to fill")
        << QString() << QString() << QString() << false << QVariant(QString())
        << QStringList{n, n, n, n, QString(), QStringLiteral("BETA SPA")};
    QTest::newRow("a name there already: row left alone")
        << QStringLiteral("MARIO") << QStringLiteral("ROSSI") << QString() << true << QVariant(QString())
        << QStringList{QStringLiteral("X"), n, n, n, QString(), QStringLiteral("BETA SPA")};
}

void TstUpdFiles::namesFilledOnce()
{
    QFETCH(QString, emittNome);
    QFETCH(QString, emittCogn);
    QFETCH(QString, destinCogn);
    QFETCH(bool, namedBefore);
    QFETCH(QVariant, emitBefore);
    QFETCH(QStringList, want);
    Fixture fx;
    const qint32 key = fx.base(fx.folder);
    Doc d(QStringLiteral("5"));
    d.emittNome = emittNome;
    d.emittCogn = emittCogn;
    d.destinCogn = destinCogn;
    fx.write(QStringLiteral("IT01_P.xml"), d);
    // A new row gets no names; the next run fills them.
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 1);
    QCOMPARE(text(fx.rows(QStringLiteral("des_emit_cogn")).first().first()), QStringLiteral("<Null>"));
    fx.cn.Execute(
        QStringLiteral("UPDATE FILES SET des_emit=?, des_ric=?, des_ric_cogn=?"),
        {emitBefore, QStringLiteral("BETA SPA"), namedBefore ? QVariant(QStringLiteral("X")) : QVariant()});

    QCOMPARE(MDB_UpdFiles(fx.cn, key), 0);
    const auto r = fx.rows(
        QStringLiteral("des_ric_cogn, des_ric_nome, des_emit_cogn, des_emit_nome, des_emit, des_ric"));
    QCOMPARE(r.size(), 1);
    QStringList got;
    for (const QVariant& v : r.first())
        got << text(v);
    QCOMPARE(got, want);

    // Once filled, a later run leaves the names as they are.
    fx.cn.Execute(QStringLiteral("UPDATE FILES SET des_emit=?"), {QStringLiteral("CAMBIATA")});
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 0);
    const auto again = fx.rows(QStringLiteral("des_emit"));
    QCOMPARE(text(again.first().first()), QStringLiteral("CAMBIATA"));
}

void TstUpdFiles::changedLengthGivesSecondRow()
{
    Fixture fx;
    const qint32 key = fx.base(fx.folder);
    const QString path = fx.write(QStringLiteral("IT01_A.xml"), Doc{QStringLiteral("1")});
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 1);
    fx.write(QStringLiteral("IT01_A.xml"), invoiceXml(Doc{QStringLiteral("1")}) + "\n\n");
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 1);
    const auto r = fx.rows(QStringLiteral("des_fileonly, val_lunfile"));
    QCOMPARE(r.size(), 2);
    QCOMPARE(r[1][1].toLongLong(), r[0][1].toLongLong() + 2);
    Q_UNUSED(path);
}

// Zero-length, truncated and non-invoice files are recorded like any other.
void TstUpdFiles::oddFiles()
{
    Fixture fx;
    const qint32 key = fx.base(fx.folder);
    fx.write(QStringLiteral("vuoto.xml"), QByteArray());
    fx.write(QStringLiteral("tronco.xml"), invoiceXml(Doc{QStringLiteral("3")}).left(300));
    fx.write(QStringLiteral("ricevuta.xml"),
             "<ns3:RicevutaConsegna><IdentificativoSdI>1</IdentificativoSdI>");
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 3);
    const auto r = fx.rows(QStringLiteral("des_fileonly, val_lunfile, des_numdoc, des_file"));
    QCOMPARE(r.size(), 3);
    QCOMPARE(r[2][0].toString(), QStringLiteral("vuoto.xml"));
    QCOMPARE(r[2][1].toLongLong(), qint64(0));
    QCOMPARE(r[2][2].toString(), QString());
    QCOMPARE(r[2][3].toString(), fx.folder + QStringLiteral("vuoto.xml"));
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 0);
}

// A name written by a Windows-1252 system ("è" as one byte) cannot be recorded: it is
// skipped, and the log names it, as the invoice list does.
void TstUpdFiles::nameNotUtf8Logged()
{
    Fixture fx;
    const qint32 key = fx.base(fx.folder);
    fx.write(QStringLiteral("a.xml"), Doc{QStringLiteral("1")});
    QVERIFY(TestEnv::writeRawName(fx.folder, "fattura_\xE8.xml", invoiceXml(Doc{QStringLiteral("2")})));
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 1);
    QCOMPARE(fx.rows(QStringLiteral("des_fileonly")), (QList<QVariantList>{{QStringLiteral("a.xml")}}));
    QVERIFY(fx.log().contains(QStringLiteral("   *** Nome file non valido (non UTF-8), saltato : ") + fx.folder +
                              QStringLiteral("fattura_")));
}

// A folder kept without its closing "/" records its own files, under the key the list
// gives them, and none of its parent's.
void TstUpdFiles::folderWithoutSlashListsItsOwnFiles()
{
    Fixture fx;
    const QString folder = fx.env.work() + QStringLiteral("fatt");
    fx.env.writeFile(folder + QStringLiteral("/IT01_A.xml"), invoiceXml(Doc{QStringLiteral("1")}));
    fx.env.writeFile(fx.env.work() + QStringLiteral("fatt_vecchia.xml"),
                     invoiceXml(Doc{QStringLiteral("2")}));
    fx.env.writeFile(fx.env.work() + QStringLiteral("fattB.XML"), invoiceXml(Doc{QStringLiteral("3")}));
    const qint32 key = fx.base(folder);
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 1);
    const auto r = fx.rows(QStringLiteral("des_fileonly, cod_firma, des_file"));
    QCOMPARE(r.size(), 1);
    QCOMPARE(r[0][0].toString(), QStringLiteral("IT01_A.xml"));
    QCOMPARE(r[0][1].toLongLong(), qint64(MDB_FolderKey(folder + QStringLiteral("/"))));
    QCOMPARE(r[0][2].toString(), folder + QStringLiteral("/IT01_A.xml"));
    XML_Stru rec;
    XML_ReadHeader(folder + QStringLiteral("/IT01_A.xml"), rec);
    bool sent = false;
    QVERIFY(MDB_FilesSave(fx.cn, rec, sent));
}

void TstUpdFiles::unreadableFileKeepsEarlierRows()
{
    Fixture fx;
    const qint32 key = fx.base(fx.folder);
    fx.write(QStringLiteral("IT01_A.xml"), Doc{QStringLiteral("1")});
    if (TestEnv::unreadableFile(fx.folder + QStringLiteral("IT01_B.xml"),
                                invoiceXml(Doc{QStringLiteral("2")}))
            .isEmpty())
        QSKIP("no unreadable file can be made here");
    fx.write(QStringLiteral("IT01_C.xml"), Doc{QStringLiteral("3")});

    bool raised = false;
    try {
        MDB_UpdFiles(fx.cn, key);
    } catch (const XML_ReadError&) {
        raised = true;
    }
    QVERIFY(raised);
    QVERIFY(!F_MSG::isLoaded());
    QCOMPARE(fx.cn.TransLevel(), 0);

    Connection other;
    other.Open(MDB_OpenConn(Pth_DirTmpMDB));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT des_fileonly FROM FILES"), other, adOpenStatic, adLockReadOnly);
    QCOMPARE(rs.RecordCount(), qint64(1));
    QCOMPARE(rs[0].Value().toString(), QStringLiteral("IT01_A.xml"));
    rs.Close();
    other.Close();
}

void TstUpdFiles::fileShownInLoadedWindow()
{
    Fixture fx;
    const qint32 key = fx.base(fx.folder);
    fx.write(QStringLiteral("IT01_A.xml"), Doc{QStringLiteral("1")});
    fx.write(QStringLiteral("IT01_B.xml"), Doc{QStringLiteral("2")});
    F_XMLCompact& w = F_XMLCompact::instance();
    QVERIFY(w.ArchiveOpen());
    QCOMPARE(MDB_UpdFiles(fx.cn, key), 2);
    QCOMPARE(w.Lbl_XMLFile->text(), QStringLiteral("IT01_B"));
}

QTEST_MAIN(TstUpdFiles)
#include "tst_updfiles.moc"
