// FILES rows and folder paths on a real archive file.
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "archive/M_XML.h"
#include "foundation/Proc_Qor.h"
#include "qor/Cl_QOR.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

using namespace ado;

namespace
{

XML_Stru invoice(const QString& path, double length)
{
    XML_Stru r;
    r.setNomeFile(path);
    r.setLenFile(length);
    r.setDataFile(QStringLiteral("31/03/2019 10:22:33"));
    r.setTipoDoc(QStringLiteral("TD01"));
    r.setNumDoc(QStringLiteral("12"));
    r.setdatdoc(QStringLiteral("2019-03-31"));
    r.setEmitt(QStringLiteral("ALFA SRL"));
    r.setEmittPI(QStringLiteral("IT-01234567890"));
    r.setEmittCF(QStringLiteral("01234567890"));
    r.setEmittNome(QStringLiteral("MARIO"));
    r.setEmittCogn(QStringLiteral("ROSSI"));
    r.setDestin(QStringLiteral("BETA SPA"));
    r.setDestinPI(QStringLiteral("IT-09876543210"));
    r.setDestinCF(QStringLiteral("09876543210"));
    r.setAttachName(QStringLiteral("Doc.pdf"));
    return r;
}

QVariantList column(Connection& cn, const QString& sql, const QVariantList& params = {})
{
    Recordset rs;
    rs.Open(sql, cn, adOpenStatic, adLockReadOnly, params);
    QVariantList out;
    while (!rs.EOF_()) {
        out << rs[0].Value();
        rs.MoveNext();
    }
    return out;
}

} // namespace

class TstMFiles : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestEnv> env_;
    Connection cn_;
    QString folderA_, folderB_;

    qint64 rows() { return column(cn_, QStringLiteral("SELECT COUNT(*) FROM FILES")).value(0).toLongLong(); }
    void setSent(const QVariant& when) { cn_.Execute(QStringLiteral("UPDATE FILES SET dat_send=?"), {when}); }

  private slots:
    void init();
    void cleanup();
    void newRowHoldsTheRecord();
    void sameFileTwiceOneRow();
    void changedLengthAddsARow();
    void sameNameInTwoFoldersTwoRows();
    void sentReading_data();
    void sentReading();
    void nameWithQuote();
    void namesDifferingInCaseTwoRows_data();
    void namesDifferingInCaseTwoRows();
    void sendDateText_data();
    void sendDateText();
    void sendDateByKeyOrLength();
    void folderKeyIsOneForm();
    void loadFolders();
    void errorsGoToCaller();
    void scannedFileEndToEnd();
    void newRowStoredAsThroughARecordset_data();
    void newRowStoredAsThroughARecordset();
    void exactNameLookupsUseAnIndex_data();
    void exactNameLookupsUseAnIndex();
    void saveAndSendDateAsTheTwoCalls_data();
    void saveAndSendDateAsTheTwoCalls();
};

void TstMFiles::init()
{
    env_ = std::make_unique<TestEnv>();
    const QString db = env_->appDir() + QStringLiteral("DIR_TMP.MDB");
    QCOMPARE(MDB_Create(db), 0);
    cn_ = Connection();
    cn_.Open(MDB_OpenConn(db));
    Upd_Tabs_Compact(cn_);
    folderA_ = env_->work() + QStringLiteral("fatture/emesse");
    folderB_ = env_->work() + QStringLiteral("fatture/ricevute");
}

void TstMFiles::cleanup()
{
    cn_.Close();
    env_.reset();
}

void TstMFiles::newRowHoldsTheRecord()
{
    XML_Stru r = invoice(folderA_ + QStringLiteral("/IT01234567890_00001.xml"), 15230);
    bool sent = true;
    QCOMPARE(MDB_FilesSave(cn_, r, sent), false);
    QCOMPARE(sent, false);

    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM FILES"), cn_, adOpenStatic, adLockReadOnly);
    QCOMPARE(rs.RecordCount(), 1);
    QCOMPARE(rs["cod_firma"].Value().toDouble(), double(Str_CheckSum(folderA_ + QLatin1Char('/'))));
    QCOMPARE(rs["des_file"].toString(), r.NomeFile());
    QCOMPARE(rs["des_fileonly"].toString(), QStringLiteral("IT01234567890_00001.xml"));
    QCOMPARE(rs["val_lunfile"].Value().toDouble(), 15230.0);
    QCOMPARE(rs["dat_ric"].Value().toDateTime(), QDateTime(QDate(2019, 3, 31), QTime(10, 22, 33)));
    QVERIFY(rs["dat_send"].isNull());
    QCOMPARE(rs["des_datdoc"].toString(), QStringLiteral("2019-03-31"));
    QCOMPARE(rs["des_numdoc"].toString(), QStringLiteral("12"));
    QCOMPARE(rs["cod_tipodoc_min"].toString(), QStringLiteral("TD01"));
    QCOMPARE(rs["des_emit"].toString(), QStringLiteral("ALFA SRL"));
    QCOMPARE(rs["cod_emit_cf"].toString(), QStringLiteral("01234567890"));
    QCOMPARE(rs["cod_emit_pi"].toString(), QStringLiteral("IT-01234567890"));
    QCOMPARE(rs["des_ric"].toString(), QStringLiteral("BETA SPA"));
    QCOMPARE(rs["cod_ric_cf"].toString(), QStringLiteral("09876543210"));
    QCOMPARE(rs["cod_ric_pi"].toString(), QStringLiteral("IT-09876543210"));
    QCOMPARE(rs["des_allegato"].toString(), QStringLiteral("Doc.pdf"));
    QCOMPARE(rs["des_confronto"].toString(),
             QStringLiteral("IT01234567890_00001.xml§ 15230§TD01§12§2019-03-31§ALFA SRL§BETA SPA§"));
    // Saving read (and so built) the caller's key.
    QCOMPARE(r.Confronto(), rs["des_confronto"].toString());
    // The name columns belong to the refresh scan; an empty field is "" and not Null.
    for (const char* c : {"des_emit_nome", "des_emit_cogn", "des_ric_nome", "des_ric_cogn", "dat_contab"})
        QVERIFY2(rs[c].isNull(), c);
    XML_Stru bare;
    bare.setNomeFile(folderA_ + QStringLiteral("/empty.xml"));
    QCOMPARE(MDB_FilesSave(cn_, bare, sent), false);
    QCOMPARE(column(cn_, QStringLiteral("SELECT des_emit FROM FILES WHERE des_fileonly='empty.xml'")),
             QVariantList{QString()});
}

void TstMFiles::sameFileTwiceOneRow()
{
    const XML_Stru r = invoice(folderA_ + QStringLiteral("/A.xml"), 500);
    bool sent = true;
    QCOMPARE(MDB_FilesSave(cn_, r, sent), false);
    QCOMPARE(MDB_FilesSave(cn_, r, sent), true);
    QCOMPARE(sent, false);
    QCOMPARE(rows(), 1);
    // A file name in another letter case is another file on this system.
    XML_Stru upper = invoice(folderA_ + QStringLiteral("/a.XML"), 500);
    QCOMPARE(MDB_FilesSave(cn_, upper, sent), false);
    QCOMPARE(rows(), 2);
}

void TstMFiles::changedLengthAddsARow()
{
    bool sent = false;
    QCOMPARE(MDB_FilesSave(cn_, invoice(folderA_ + QStringLiteral("/A.xml"), 500), sent), false);
    setSent(QDateTime(QDate(2020, 5, 1), QTime(0, 0)));
    QCOMPARE(MDB_FilesSave(cn_, invoice(folderA_ + QStringLiteral("/A.xml"), 501), sent), false);
    QCOMPARE(sent, false);
    QCOMPARE(rows(), 2);
    QCOMPARE(column(cn_, QStringLiteral("SELECT val_lunfile FROM FILES ORDER BY val_lunfile")),
             (QVariantList{500.0, 501.0}));
    // The old row keeps its send date.
    QCOMPARE(column(cn_, QStringLiteral("SELECT dat_send FROM FILES WHERE val_lunfile=500")),
             QVariantList{QDateTime(QDate(2020, 5, 1), QTime(0, 0))});
}

void TstMFiles::sameNameInTwoFoldersTwoRows()
{
    bool sent = false;
    QCOMPARE(MDB_FilesSave(cn_, invoice(folderA_ + QStringLiteral("/A.xml"), 500), sent), false);
    QCOMPARE(MDB_FilesSave(cn_, invoice(folderB_ + QStringLiteral("/A.xml"), 500), sent), false);
    QCOMPARE(rows(), 2);
    const QVariantList keys = column(cn_, QStringLiteral("SELECT cod_firma FROM FILES"));
    QCOMPARE(keys.value(0).toDouble(), double(MDB_FolderKey(folderA_)));
    QCOMPARE(keys.value(1).toDouble(), double(MDB_FolderKey(folderB_)));
    QVERIFY(keys.value(0) != keys.value(1));
}

void TstMFiles::sentReading_data()
{
    QTest::addColumn<QVariant>("datSend");
    QTest::addColumn<bool>("sent");
    QTest::newRow("null") << QVariant() << false;
    QTest::newRow("1999") << QVariant(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))) << false;
    QTest::newRow("01/01/2000 00:00") << QVariant(QDateTime(QDate(2000, 1, 1), QTime(0, 0))) << false;
    QTest::newRow("01/01/2000 with a time") << QVariant(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 1))) << true;
    QTest::newRow("02/01/2000") << QVariant(QDateTime(QDate(2000, 1, 2), QTime(0, 0))) << true;
    QTest::newRow("recent") << QVariant(QDateTime(QDate(2026, 12, 10), QTime(9, 0))) << true;
}

void TstMFiles::sentReading()
{
    QFETCH(QVariant, datSend);
    QFETCH(bool, sent);
    const XML_Stru r = invoice(folderA_ + QStringLiteral("/A.xml"), 500);
    bool got = !sent;
    QCOMPARE(MDB_FilesSave(cn_, r, got), false);
    setSent(datSend);
    got = !sent;
    QCOMPARE(MDB_FilesSave(cn_, r, got), true);
    QCOMPARE(got, sent);
    // Reading never changes the recorded date.
    QCOMPARE(column(cn_, QStringLiteral("SELECT dat_send FROM FILES")), QVariantList{datSend});
}

void TstMFiles::namesDifferingInCaseTwoRows_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::newRow("A.xml, a.xml") << "A.xml"
                                  << "a.xml";
    QTest::newRow("upper and lower extension") << "IT01_1.XML"
                                               << "IT01_1.xml";
    QTest::newRow("back\\slash, another folder's name") << "back\\slash.xml"
                                                        << "slash.xml";
}

// Linux file names differ by case (and "\\" is part of a name): each file has its own row
// and its own send date, in one folder and with one length.
void TstMFiles::namesDifferingInCaseTwoRows()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    const XML_Stru a = invoice(folderA_ + QLatin1Char('/') + first, 500);
    const XML_Stru b = invoice(folderA_ + QLatin1Char('/') + second, 500);
    QCOMPARE(a.NomeFileSolo(), first);
    bool sent = false;
    QCOMPARE(MDB_FilesSave(cn_, a, sent), false);
    QCOMPARE(MDB_FilesSave(cn_, b, sent), false);
    QCOMPARE(rows(), 2);
    QCOMPARE(column(cn_, QStringLiteral("SELECT DISTINCT cod_firma FROM FILES")),
             QVariantList{double(MDB_FolderKey(folderA_))});
    cn_.Execute(QStringLiteral("UPDATE FILES SET dat_send=? WHERE des_fileonly=? COLLATE BINARY"),
                {QDateTime(QDate(2020, 2, 3), QTime(0, 0)), first});
    QCOMPARE(MDB_FilesGetDatSend(cn_, a, MDB_FolderKey(folderA_)), QStringLiteral("03/02/2020"));
    QCOMPARE(MDB_FilesGetDatSend(cn_, b, MDB_FolderKey(folderA_)), QString());
    QCOMPARE(MDB_FilesGetDatSend(cn_, b, 0), QString());
    QCOMPARE(MDB_FilesSave(cn_, b, sent), true);
    QVERIFY(!sent);
}

void TstMFiles::nameWithQuote()
{
    const XML_Stru r = invoice(folderA_ + QStringLiteral("/D'ANNUNZIO'S.xml"), 500);
    bool sent = false;
    QCOMPARE(MDB_FilesSave(cn_, r, sent), false);
    QCOMPARE(MDB_FilesSave(cn_, r, sent), true);
    QCOMPARE(rows(), 1);
    setSent(QDateTime(QDate(2020, 2, 3), QTime(0, 0)));
    QCOMPARE(MDB_FilesGetDatSend(cn_, r, MDB_FolderKey(folderA_)), QStringLiteral("03/02/2020"));
    QCOMPARE(MDB_FilesGetDatSend(cn_, r, 0), QStringLiteral("03/02/2020"));
    // A quote cannot end the literal and let the rest run as a statement.
    XML_Stru hostile = invoice(folderA_ + QStringLiteral("/x' OR '1'='1.xml"), 500);
    QCOMPARE(MDB_FilesGetDatSend(cn_, hostile, 0), QString());
    QCOMPARE(MDB_FilesSave(cn_, hostile, sent), false);
    QCOMPARE(rows(), 2);
}

void TstMFiles::sendDateText_data()
{
    QTest::addColumn<QVariant>("datSend");
    QTest::addColumn<QString>("text");
    QTest::newRow("null") << QVariant() << QString();
    QTest::newRow("midnight") << QVariant(QDateTime(QDate(2000, 1, 2), QTime(0, 0)))
                              << QStringLiteral("02/01/2000");
    QTest::newRow("with time") << QVariant(QDateTime(QDate(2019, 3, 31), QTime(10, 22, 33)))
                               << QStringLiteral("31/03/2019 10:22:33");
}

void TstMFiles::sendDateText()
{
    QFETCH(QVariant, datSend);
    QFETCH(QString, text);
    const XML_Stru r = invoice(folderA_ + QStringLiteral("/A.xml"), 500);
    bool sent = false;
    MDB_FilesSave(cn_, r, sent);
    setSent(datSend);
    QCOMPARE(MDB_FilesGetDatSend(cn_, r, MDB_FolderKey(folderA_)), text);
}

void TstMFiles::sendDateByKeyOrLength()
{
    bool sent = false;
    MDB_FilesSave(cn_, invoice(folderA_ + QStringLiteral("/A.xml"), 500), sent);
    MDB_FilesSave(cn_, invoice(folderB_ + QStringLiteral("/A.xml"), 500), sent);
    cn_.Execute(QStringLiteral("UPDATE FILES SET dat_send=? WHERE cod_firma=?"),
                {QDateTime(QDate(2020, 1, 10), QTime(0, 0)), MDB_FolderKey(folderA_)});
    cn_.Execute(QStringLiteral("UPDATE FILES SET dat_send=? WHERE cod_firma=?"),
                {QDateTime(QDate(2020, 1, 20), QTime(0, 0)), MDB_FolderKey(folderB_)});

    // With a key the length takes no part: a file that grew still finds its row.
    const XML_Stru grown = invoice(folderB_ + QStringLiteral("/A.xml"), 999);
    QCOMPARE(MDB_FilesGetDatSend(cn_, grown, MDB_FolderKey(folderB_)), QStringLiteral("20/01/2020"));
    // Without one, name and length: the first row recorded.
    const XML_Stru any = invoice(QStringLiteral("/elsewhere/A.xml"), 500);
    QCOMPARE(MDB_FilesGetDatSend(cn_, any, 0), QStringLiteral("10/01/2020"));
    QCOMPARE(MDB_FilesGetDatSend(cn_, any, -5), QStringLiteral("10/01/2020"));
    QCOMPARE(MDB_FilesGetDatSend(cn_, grown, 0), QString());
    QCOMPARE(MDB_FilesGetDatSend(cn_, invoice(folderA_ + QStringLiteral("/none.xml"), 500),
                                 MDB_FolderKey(folderA_)),
             QString());
}

void TstMFiles::folderKeyIsOneForm()
{
    // The folder as configured (no closing "/"), with it, and as a listed file's folder:
    // one key.
    const qint32 key = MDB_FolderKey(folderA_);
    QCOMPARE(MDB_FolderKey(folderA_ + QLatin1Char('/')), key);
    QCOMPARE(MDB_FolderKey(QStringLiteral("  ") + folderA_ + QStringLiteral(" ")), key);
    QCOMPARE(MDB_FolderKey(Qor().PathFolder(folderA_ + QStringLiteral("/A.xml"))), key);
    QCOMPARE(key, Str_CheckSum(folderA_ + QLatin1Char('/')));
    QVERIFY(MDB_FolderKey(folderB_) != key);
    QCOMPARE(MDB_FolderKey(QString()), 0);

    bool sent = false;
    MDB_FilesSave(cn_, invoice(folderA_ + QStringLiteral("/A.xml"), 500), sent);
    setSent(QDateTime(QDate(2020, 1, 10), QTime(0, 0)));
    QCOMPARE(MDB_FilesGetDatSend(cn_, invoice(folderA_ + QStringLiteral("/A.xml"), 500), key),
             QStringLiteral("10/01/2020"));
}

void TstMFiles::loadFolders()
{
    const qint32 base = MDB_FolderKey(folderA_);
    const qint32 sub = MDB_FolderKey(folderA_ + QStringLiteral("/2019"));
    cn_.Execute(
        QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella, flg_tipo_cartella) VALUES (?, ?, 'E')"),
        {base, folderA_ + QStringLiteral("   ")});
    cn_.Execute(QStringLiteral("INSERT INTO DIRSUB (cod_firma_base, num_cartella, cod_firma, des_cartella) "
                               "VALUES (?, 1, ?, ?)"),
                {base, sub, QStringLiteral("  ") + folderA_ + QStringLiteral("/2019")});
    QCOMPARE(MDB_LoadFolders(cn_, base, false), folderA_);
    QCOMPARE(MDB_LoadFolders(cn_, sub, true), folderA_ + QStringLiteral("/2019"));
    // A sub-folder is found by its own key, not by its base folder's.
    QCOMPARE(MDB_LoadFolders(cn_, base, true), QString());
    QCOMPARE(MDB_LoadFolders(cn_, sub, false), QString());
    QCOMPARE(MDB_LoadFolders(cn_, 12345, false), QString());
}

void TstMFiles::errorsGoToCaller()
{
    const XML_Stru r = invoice(folderA_ + QStringLiteral("/A.xml"), 500);
    bool sent = true;
    cn_.Execute(QStringLiteral("DROP TABLE FILES"));
    QVERIFY_THROWS_EXCEPTION(ado::Error, MDB_FilesSave(cn_, r, sent));
    QCOMPARE(sent, false);
    try {
        MDB_FilesGetDatSend(cn_, r, 1);
        QFAIL("no error");
    } catch (const ado::Error& e) {
        QCOMPARE(e.Number(), int(DB_E_NOTABLE));
    }
    cn_.Close();
    QVERIFY_THROWS_EXCEPTION(ado::Error, MDB_LoadFolders(cn_, 1, false));
}

void TstMFiles::scannedFileEndToEnd()
{
    const QString folder = env_->work() + QStringLiteral("in");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/IT01234567890_FPR02.xml");
    QVERIFY(QFile::copy(QStringLiteral(PLICORA_FIXTURES "/fatturapa/IT01234567890_FPR02.xml"), path));
    XML_Stru r;
    XML_ReadHeader(path, r);
    bool sent = true;
    QCOMPARE(MDB_FilesSave(cn_, r, sent), false);
    QCOMPARE(sent, false);
    QCOMPARE(MDB_FilesSave(cn_, r, sent), true);
    QCOMPARE(
        column(cn_, QStringLiteral("SELECT des_ric FROM FILES WHERE cod_firma=?"), {MDB_FolderKey(folder)}),
        QVariantList{QStringLiteral("BETA GAMMA")});
    QCOMPARE(column(cn_, QStringLiteral("SELECT cod_ric_pi FROM FILES")), QVariantList{QString()});
    QCOMPARE(column(cn_, QStringLiteral("SELECT dat_ric FROM FILES")).value(0).toDateTime(),
             QFileInfo(path).lastModified().addMSecs(-QFileInfo(path).lastModified().time().msec()));
}

void TstMFiles::newRowStoredAsThroughARecordset_data()
{
    QTest::addColumn<QString>("received");
    QTest::addColumn<bool>("emptyTexts");
    QTest::addColumn<bool>("refused");
    QTest::newRow("file time") << "31/03/2019 10:22:33" << false << false;
    QTest::newRow("day only") << "31/03/2019" << false << false;
    QTest::newRow("one-digit day and month") << "1/3/2019 08:05" << false << false;
    QTest::newRow("iso form") << "2019-03-31 10:22:33" << false << false;
    QTest::newRow("blanks") << "   " << false << false;
    QTest::newRow("empty texts, no time") << "" << true << false;
    QTest::newRow("no such day") << "31/02/2019 10:00:00" << false << true;
    QTest::newRow("not a date") << "ieri" << false << true;
}

// A new FILES row holds, column by column and in the same storage, what a recordset of
// the table stores from the same record; a file time that is no date is refused the
// same way, and nothing is written.
void TstMFiles::newRowStoredAsThroughARecordset()
{
    QFETCH(QString, received);
    QFETCH(bool, emptyTexts);
    QFETCH(bool, refused);
    XML_Stru r;
    if (emptyTexts) {
        r.setNomeFile(folderA_ + QStringLiteral("/vuoto.xml"));
    } else {
        r = invoice(folderA_ + QStringLiteral("/IT01234567890_00001.xml"), 15230);
        r.setEmitt(QStringLiteral("L'ALFA \u00e0 S.R.L."));
    }
    r.setDataFile(received);
    const qint32 key = MDB_FolderKey(folderA_);
    auto throughRecordset = [&] {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT * FROM FILES WHERE 0"), cn_, adOpenKeyset, adLockOptimistic);
        rs.AddNew();
        rs["cod_firma"] = key;
        rs["des_file"] = r.NomeFile();
        rs["des_fileonly"] = r.NomeFileSolo();
        rs["val_lunfile"] = r.LenFile();
        rs["dat_ric"] = r.DataFile();
        rs["dat_send"] = Null();
        rs["des_datdoc"] = r.datdoc();
        rs["des_numdoc"] = r.NumDoc();
        rs["cod_tipodoc_min"] = r.TipoDoc();
        rs["des_emit"] = r.Emitt();
        rs["cod_emit_cf"] = r.EmittCF();
        rs["cod_emit_pi"] = r.EmittPI();
        rs["des_ric"] = r.Destin();
        rs["cod_ric_cf"] = r.DestinCF();
        rs["cod_ric_pi"] = r.DestinPI();
        rs["des_allegato"] = r.AttachName();
        rs["des_confronto"] = r.Confronto();
        rs.Update();
        rs.Close();
    };
    bool sent = true;
    if (refused) {
        int expected = 0;
        try {
            throughRecordset();
        } catch (const Error& e) {
            expected = e.Number();
        }
        QCOMPARE(expected, int(DB_E_CANTCONVERTVALUE));
        try {
            MDB_FilesSave(cn_, r, sent);
            QFAIL("no error");
        } catch (const Error& e) {
            QCOMPARE(e.Number(), expected);
        }
        QCOMPARE(rows(), 0);
        return;
    }
    QCOMPARE(MDB_FilesSave(cn_, r, sent), false);
    throughRecordset();
    QCOMPARE(rows(), 2);
    QString each;
    for (const QVariant& name : column(cn_, QStringLiteral("SELECT name FROM pragma_table_info('FILES')")))
        each += QStringLiteral("||'|'||typeof(%1)||':'||quote(%1)").arg(name.toString());
    const QVariantList stored =
        column(cn_, QStringLiteral("SELECT ''") + each + QStringLiteral(" FROM FILES ORDER BY rowid"));
    QCOMPARE(stored.at(0).toString(), stored.at(1).toString());
}

void TstMFiles::exactNameLookupsUseAnIndex_data()
{
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<bool>("olderArchive");
    const QStringList lookups{
        QStringLiteral("des_fileonly=? COLLATE BINARY AND val_lunfile=? and cod_firma=?"),
        QStringLiteral("des_fileonly=? COLLATE BINARY AND cod_firma=?"),
        QStringLiteral("des_fileonly=? COLLATE BINARY AND val_lunfile=?"),
        QStringLiteral("cod_firma=? AND des_fileonly=? COLLATE BINARY"),
        QStringLiteral("cod_firma=? AND des_fileonly=? COLLATE BINARY ORDER BY rowid LIMIT 1"),
    };
    for (const QString& l : lookups) {
        QTest::addRow("new archive: %s", qPrintable(l)) << l << false;
        QTest::addRow("older archive: %s", qPrintable(l)) << l << true;
    }
}

// A file's own row is found through an index, not by walking the folder's rows: a
// folder of thousands of new files would otherwise cost time growing with its square.
void TstMFiles::exactNameLookupsUseAnIndex()
{
    QFETCH(QString, lookup);
    QFETCH(bool, olderArchive);
    if (olderArchive) {
        // An archive made before the index: the next start adds it.
        cn_.Execute(QStringLiteral("DROP INDEX IX_FILES_fileonly_exact"));
        Upd_Tabs_Compact(cn_);
    }
    const QVariantList params(lookup.count(QLatin1Char('?')), QVariant(qint64(1)));
    Recordset rs;
    rs.Open(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM FILES WHERE ") + lookup, cn_, adOpenStatic,
            adLockReadOnly, params);
    QString plan;
    for (; !rs.EOF_(); rs.MoveNext())
        plan += rs["detail"].toString() + QLatin1Char(';');
    QVERIFY2(plan.contains(QLatin1String("INDEX IX_FILES_fileonly_exact (des_fileonly=?")), qPrintable(plan));
}

// Rows already there before the call: "folder|name|length|dat_send", the folder "A" or
// "B", the length or "null", the send date as yyyy-MM-dd, "null" or a text kept as it is.
using Rows = QStringList;

void TstMFiles::saveAndSendDateAsTheTwoCalls_data()
{
    QTest::addColumn<Rows>("before");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("length");
    QTest::addColumn<QString>("keyOf"); // "A", "B", "0" or "-1"
    QTest::addColumn<QString>("received");
    const QString when = QStringLiteral("31/03/2019 10:22:33");
    QTest::newRow("empty table") << Rows{} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("there, sent") << Rows{"A|A.xml|500|2020-02-03"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("there, not sent") << Rows{"A|A.xml|500|null"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("there, sent in 1999") << Rows{"A|A.xml|500|1999-12-31"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("there, send date a text") << Rows{"A|A.xml|500|ieri"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("grown: new row, old date")
        << Rows{"A|A.xml|400|2020-02-03"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("same length second")
        << Rows{"A|A.xml|400|2020-01-10", "A|A.xml|500|2020-01-20"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("same length first")
        << Rows{"A|A.xml|500|null", "A|A.xml|400|2020-01-20"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("two of the same length")
        << Rows{"A|A.xml|500|1999-01-01", "A|A.xml|500|2020-01-20"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("length null") << Rows{"A|A.xml|null|2020-01-10"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("other case") << Rows{"A|a.xml|500|2020-01-10"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("other folder") << Rows{"B|A.xml|500|2020-01-10"} << "A.xml" << 500.0 << "A" << when;
    QTest::newRow("key of another folder")
        << Rows{"B|A.xml|500|2020-01-10", "A|A.xml|500|2020-01-20"} << "A.xml" << 500.0 << "B" << when;
    QTest::newRow("no key") << Rows{"B|A.xml|500|2020-01-10"} << "A.xml" << 500.0 << "0" << when;
    QTest::newRow("negative key") << Rows{"A|A.xml|400|2020-01-10"} << "A.xml" << 500.0 << "-1" << when;
    QTest::newRow("quote in the name") << Rows{"A|x' OR '1'='1.xml|500|2020-01-10"} << "x' OR '1'='1.xml"
                                       << 500.0 << "A" << when;
    QTest::newRow("blank file time") << Rows{"A|A.xml|400|2020-01-10"} << "A.xml" << 500.0 << "A" << "  ";
    QTest::newRow("file time no date") << Rows{"A|A.xml|400|2020-01-10"} << "A.xml" << 500.0 << "A"
                                       << "31/02/2019 10:00:00";
}

// The one-look call leaves the same FILES rows, answers the same and gives the same send
// date as MDB_FilesSave followed by MDB_FilesGetDatSend on a twin archive.
void TstMFiles::saveAndSendDateAsTheTwoCalls()
{
    QFETCH(Rows, before);
    QFETCH(QString, name);
    QFETCH(double, length);
    QFETCH(QString, keyOf);
    QFETCH(QString, received);
    Connection twin;
    const QString twinDb = env_->appDir() + QStringLiteral("TWIN.MDB");
    QCOMPARE(MDB_Create(twinDb), 0);
    twin.Open(MDB_OpenConn(twinDb));
    Upd_Tabs_Compact(twin);
    const auto folderOf = [&](const QString& f) { return f == QLatin1String("A") ? folderA_ : folderB_; };
    for (Connection* c : {&cn_, &twin})
        for (const QString& row : before) {
            const QStringList f = row.split(QLatin1Char('|'));
            const QVariant len = f[2] == QLatin1String("null") ? QVariant() : QVariant(f[2].toDouble());
            QVariant sent;
            if (f[3] != QLatin1String("null")) {
                const QDate d = QDate::fromString(f[3], Qt::ISODate);
                sent = d.isValid() ? QVariant(QDateTime(d, QTime(0, 0))) : QVariant(f[3]);
            }
            c->Execute(QStringLiteral("INSERT INTO FILES (cod_firma, des_file, des_fileonly, val_lunfile, dat_send) "
                                      "VALUES (?,?,?,?,?)"),
                       {double(MDB_FolderKey(folderOf(f[0]))), folderOf(f[0]) + QLatin1Char('/') + f[1], f[1],
                        len, sent});
        }
    XML_Stru r = invoice(folderA_ + QLatin1Char('/') + name, length);
    r.setDataFile(received);
    const double key = keyOf == QLatin1String("A") || keyOf == QLatin1String("B")
                           ? double(MDB_FolderKey(folderOf(keyOf)))
                           : keyOf.toDouble();

    bool sent = true, twinSent = true;
    QString date = QStringLiteral("?"), twinDate = QStringLiteral("?");
    int error = 0, twinError = 0;
    bool there = false, twinThere = false;
    try {
        there = MDB_FilesSaveGetDatSend(cn_, r, key, sent, date);
    } catch (const Error& e) {
        error = e.Number();
    }
    try {
        twinThere = MDB_FilesSave(twin, r, twinSent);
        twinDate = MDB_FilesGetDatSend(twin, r, key);
    } catch (const Error& e) {
        twinError = e.Number();
    }
    QCOMPARE(error, twinError);
    if (!error) {
        QCOMPARE(there, twinThere);
        QCOMPARE(sent, twinSent);
        QCOMPARE(date, twinDate);
    }
    QString each;
    for (const QVariant& col : column(cn_, QStringLiteral("SELECT name FROM pragma_table_info('FILES')")))
        each += QStringLiteral("||'|'||typeof(%1)||':'||quote(%1)").arg(col.toString());
    const QString table = QStringLiteral("SELECT rowid") + each + QStringLiteral(" FROM FILES ORDER BY rowid");
    QCOMPARE(column(cn_, table), column(twin, table));
    twin.Close();
}

QTEST_MAIN(TstMFiles)
#include "tst_m_files.moc"
