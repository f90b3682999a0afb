#include "archive/XML_Stru.h"

#include <QTest>

namespace
{

// Issued invoice with every field set.
XML_Stru fullRecord()
{
    XML_Stru r;
    r.setNomeFile(QStringLiteral("/fatt/IT01234567890_00001.xml"));
    r.setLenFile(15230);
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
    r.setDestinNome(QStringLiteral("LUCA"));
    r.setDestinCogn(QStringLiteral("BIANCHI"));
    r.setAttachName(QStringLiteral("Doc.pdf"));
    return r;
}

// Credit note with a long name and number, a "|" in a name, no recipient, no attachment
// and a date without time.
XML_Stru oddRecord()
{
    XML_Stru r;
    r.setNomeFile(QStringLiteral("/x/") + QString(75, QLatin1Char('N')) + QStringLiteral(".xml"));
    r.setLenFile(500);
    r.setDataFile(QStringLiteral("01/02/2020"));
    r.setTipoDoc(QStringLiteral("TD04"));
    r.setNumDoc(QStringLiteral("ABCDE12345FGHIJ67890KLMNO"));
    r.setdatdoc(QStringLiteral("2020-02-01"));
    r.setEmitt(QStringLiteral("GAMMA | DELTA"));
    return r;
}

XML_Stru byName(const QString& which)
{
    return which == QLatin1String("r1") ? fullRecord() : oddRecord();
}

} // namespace

class TstXmlStru : public QObject
{
    Q_OBJECT
  private slots:
    void newRecordIsEmpty();
    void nomeFileDerivesName_data();
    void nomeFileDerivesName();
    void datdocDropsTimeZone_data();
    void datdocDropsTimeZone();
    void keyIsBuiltOnFirstRead();
    void keyOfNearlyEmptyRecord();
    void keyFrozenAfterClearAndChanges();
    void setKeyIsKept();
    void clearKeepsLength();
    void toPipeLines_data();
    void toPipeLines();
    void fullLayoutForOtherCodes_data();
    void fullLayoutForOtherCodes();
    void fullLayoutNeverBuildsKey();
    void pipeInsideValuesDoesNotShiftFields();
    void numStr_data();
    void numStr();
    void generalDate();
};

void TstXmlStru::newRecordIsEmpty()
{
    const XML_Stru r;
    QCOMPARE(r.NomeFile(), QString());
    QCOMPARE(r.NomeFileSolo(), QString());
    QCOMPARE(r.LenFile(), 0.0);
    QCOMPARE(r.ToPipe(0, QStringLiteral("|")), QStringLiteral("|| 0|") + QString(16, QLatin1Char('|')));
}

void TstXmlStru::nomeFileDerivesName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("solo");
    QTest::newRow("backslash belongs to the name") << QStringLiteral("/fatt/back\\IT01234567890_00001.xml")
                                                   << QStringLiteral("back\\IT01234567890_00001.xml");
    QTest::newRow("linux path") << QStringLiteral("/home/u/fatt/IT01234567890_00001.XML")
                                << QStringLiteral("IT01234567890_00001.XML");
    QTest::newRow("double extension")
        << QStringLiteral("/f/IT02182030391_31.xml.p7m") << QStringLiteral("IT02182030391_31.xml.p7m");
    QTest::newRow("no extension") << QStringLiteral("/f/README") << QStringLiteral("README.");
    QTest::newRow("bare name") << QStringLiteral("A.xml") << QStringLiteral("A.xml");
}

void TstXmlStru::nomeFileDerivesName()
{
    QFETCH(QString, path);
    QFETCH(QString, solo);
    XML_Stru r;
    r.setNomeFile(path);
    QCOMPARE(r.NomeFile(), path);
    QCOMPARE(r.NomeFileSolo(), solo);
}

void TstXmlStru::datdocDropsTimeZone_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("plain") << QStringLiteral("2019-03-31") << QStringLiteral("2019-03-31");
    QTest::newRow("plus zone") << QStringLiteral("2019-03-31+02:00") << QStringLiteral("2019-03-31");
    QTest::newRow("first plus") << QStringLiteral("2019-03-31+01:00+x") << QStringLiteral("2019-03-31");
    QTest::newRow("Z") << QStringLiteral("2019-03-31Z") << QStringLiteral("2019-03-31");
    QTest::newRow("minus zone") << QStringLiteral("2019-03-31-05:00") << QStringLiteral("2019-03-31");
    QTest::newRow("not a date stays") << QStringLiteral("31/03/2019") << QStringLiteral("31/03/2019");
    QTest::newRow("minus, no zone") << QStringLiteral("2019-03-31-x") << QStringLiteral("2019-03-31-x");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("Z, blanks around") << QStringLiteral(" 2019-03-31Z\n") << QStringLiteral("2019-03-31");
    QTest::newRow("minus zone, blanks around")
        << QStringLiteral("\t2019-03-31-05:00 ") << QStringLiteral("2019-03-31");
    QTest::newRow("lower-case z stays") << QStringLiteral("2019-03-31z") << QStringLiteral("2019-03-31z");
    QTest::newRow("one-digit zone hour stays")
        << QStringLiteral("2019-03-31-5:00") << QStringLiteral("2019-03-31-5:00");
    QTest::newRow("zone without colon stays")
        << QStringLiteral("2019-03-31-0500") << QStringLiteral("2019-03-31-0500");
    QTest::newRow("text after zone stays")
        << QStringLiteral("2019-03-31-05:00x") << QStringLiteral("2019-03-31-05:00x");
    QTest::newRow("Z twice stays") << QStringLiteral("2019-03-31ZZ") << QStringLiteral("2019-03-31ZZ");
    QTest::newRow("one-digit month stays") << QStringLiteral("2019-3-31Z") << QStringLiteral("2019-3-31Z");
    QTest::newRow("slashes stay") << QStringLiteral("2019/03/31Z") << QStringLiteral("2019/03/31Z");
    QTest::newRow("blanks, no zone, kept as given")
        << QStringLiteral(" 2019-03-31 ") << QStringLiteral(" 2019-03-31 ");
    QTest::newRow("other digits stay") << QString::fromUtf8("\u0662\u0660\u0661\u0669-03-31Z")
                                       << QString::fromUtf8("\u0662\u0660\u0661\u0669-03-31Z");
    QTest::newRow("zone only") << QStringLiteral("Z") << QStringLiteral("Z");
}

void TstXmlStru::datdocDropsTimeZone()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    XML_Stru r;
    r.setdatdoc(in);
    QCOMPARE(r.datdoc(), out);
}

void TstXmlStru::keyIsBuiltOnFirstRead()
{
    XML_Stru r;
    r.setNomeFile(QStringLiteral("/fatt/IT01234567890_00001.xml"));
    r.setLenFile(15230);
    r.setTipoDoc(QStringLiteral("TD01"));
    r.setNumDoc(QStringLiteral("12"));
    r.setdatdoc(QStringLiteral("2019-03-31"));
    r.setEmitt(QStringLiteral("ALFA SRL"));
    r.setDestin(QStringLiteral("BETA SPA"));
    const QString key =
        QStringLiteral("IT01234567890_00001.xml§ 15230§TD01§12§2019-03-31§ALFA SRL§BETA SPA§");
    QCOMPARE(r.Confronto(), key);
    QCOMPARE(r.Confronto(), key);
}

void TstXmlStru::keyOfNearlyEmptyRecord()
{
    XML_Stru r;
    r.setNomeFileSolo(QStringLiteral("A.xml"));
    QCOMPARE(r.Confronto(), QStringLiteral("A.xml§ 0§§§§§§"));
}

void TstXmlStru::keyFrozenAfterClearAndChanges()
{
    XML_Stru r = fullRecord();
    const QString key = r.Confronto();
    QCOMPARE(key, QStringLiteral("IT01234567890_00001.xml§ 15230§TD01§12§2019-03-31§ALFA SRL§BETA SPA§"));
    r.Clear();
    QCOMPARE(r.Confronto(), key);
    r.setNomeFile(QStringLiteral("/other/B.xml"));
    r.setLenFile(1);
    r.setEmitt(QStringLiteral("ALTRO"));
    QCOMPARE(r.Confronto(), key);
    // A copy carries the key it had.
    const XML_Stru copy = r;
    QCOMPARE(copy.Confronto(), key);
}

void TstXmlStru::setKeyIsKept()
{
    XML_Stru r = fullRecord();
    r.setConfronto(QStringLiteral("K§"));
    QCOMPARE(r.Confronto(), QStringLiteral("K§"));
    // Setting it empty lets the next read build it from the fields.
    r.setConfronto(QString());
    QVERIFY(r.Confronto().startsWith(QStringLiteral("IT01234567890_00001.xml§")));
}

void TstXmlStru::clearKeepsLength()
{
    XML_Stru r = fullRecord();
    r.Clear();
    QCOMPARE(r.LenFile(), 15230.0);
    QCOMPARE(r.ToPipe(0, QStringLiteral("|")), QStringLiteral("|| 15230|") + QString(16, QLatin1Char('|')));
}

void TstXmlStru::toPipeLines_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("line");
    QTest::newRow("r1 code 1") << QStringLiteral("r1") << 1
                               << QStringLiteral("IT01234567890_00001.xml| 15230|");
    QTest::newRow("r1 code 2")
        << QStringLiteral("r1") << 2
        << QStringLiteral("20190331 10:22:33 | IT01234567890_00001.xml                                       "
                          "         | 31/03/2019 10:22:33 | TD01  | 12                   | 2019-03-31 | BETA "
                          "SPA                                 | ALFA SRL                                 | "
                          "Doc.pdf                                       |                     |");
    QTest::newRow("r1 code 3")
        << QStringLiteral("r1") << 3
        << QStringLiteral("                  12 | TD01  | 20190331 10:22:33 | IT01234567890_00001.xml        "
                          "                                        | 2019-03-31 | BETA SPA                   "
                          "              | ALFA SRL                                 | Doc.pdf");
    QTest::newRow("r1 code 4") << QStringLiteral("r1") << 4
                               << QStringLiteral(
                                      "IT01234567890_00001.xml| 15230|TD01|12|2019-03-31|ALFA SRL|");
    QTest::newRow("r1 code 5")
        << QStringLiteral("r1") << 5
        << QStringLiteral("BETA SPA                                 | ALFA SRL                               "
                          "  | 2019-03-31 |                   12 | TD01  | 20190331 10:22:33 | "
                          "IT01234567890_00001.xml                                                | Doc.pdf");
    QTest::newRow("r1 code 6")
        << QStringLiteral("r1") << 6
        << QStringLiteral("ALFA SRL                                 | BETA SPA                               "
                          "  | 2019-03-31 |                   12 | TD01  | 20190331 10:22:33 | "
                          "IT01234567890_00001.xml                                                | Doc.pdf");
    QTest::newRow("r1 code 7")
        << QStringLiteral("r1") << 7
        << QStringLiteral(
               "************************* | 20190331  | 2019-03-31 |                   12 | TD01  | ALFA SRL "
               "                                | BETA SPA                                 | "
               "IT01234567890_00001.xml                                                | Doc.pdf");
    QTest::newRow("r1 code 31")
        << QStringLiteral("r1") << 31
        << QStringLiteral(
               "2019-03-31 |                   12 | TD01  | 20190331 10:22:33 | IT01234567890_00001.xml      "
               "                                          | BETA SPA                                 | ALFA "
               "SRL                                 | Doc.pdf");
    QTest::newRow("r2 code 1")
        << QStringLiteral("r2") << 1
        << QStringLiteral(
               "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN.xml| 500|");
    QTest::newRow("r2 code 2")
        << QStringLiteral("r2") << 2
        << QStringLiteral(
               "20200201  | NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN.xml "
               "| 01/02/2020 | TD04- | ABCDE12345FGHIJ67890 | 2020-02-01 |                                   "
               "       | GAMMA ¦ DELTA                            |                                          "
               "     |                     |");
    QTest::newRow("r2 code 3")
        << QStringLiteral("r2") << 3
        << QStringLiteral(
               "12345FGHIJ67890KLMNO | TD04- | 20200201  | "
               "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN.xml | 2020-02-01 "
               "|                                          | GAMMA ¦ DELTA                            | ");
    QTest::newRow("r2 code 4")
        << QStringLiteral("r2") << 4
        << QStringLiteral("NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN.xml| "
                          "500|TD04|ABCDE12345FGHIJ67890KLMNO|2020-02-01|GAMMA ¦ DELTA|");
    QTest::newRow("r2 code 5")
        << QStringLiteral("r2") << 5
        << QStringLiteral(
               "                                         | GAMMA ¦ DELTA                            | "
               "2020-02-01 | 12345FGHIJ67890KLMNO | TD04- | 20200201  | "
               "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN.xml | ");
    QTest::newRow("r2 code 6")
        << QStringLiteral("r2") << 6
        << QStringLiteral(
               "GAMMA ¦ DELTA                            |                                          | "
               "2020-02-01 | 12345FGHIJ67890KLMNO | TD04- | 20200201  | "
               "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN.xml | ");
    QTest::newRow("r2 code 7")
        << QStringLiteral("r2") << 7
        << QStringLiteral(
               "************************* | 20200201  | 2020-02-01 | 12345FGHIJ67890KLMNO | TD04- | GAMMA ¦ "
               "DELTA                            |                                          | "
               "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN.xml | ");
    QTest::newRow("r2 code 31")
        << QStringLiteral("r2") << 31
        << QStringLiteral(
               "2020-02-01 | 12345FGHIJ67890KLMNO | TD04- | 20200201  | "
               "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN.xml |            "
               "                              | GAMMA ¦ DELTA                            | ");
}

void TstXmlStru::toPipeLines()
{
    QFETCH(QString, which);
    QFETCH(int, code);
    QFETCH(QString, line);
    const XML_Stru r = byName(which);
    QCOMPARE(r.ToPipe(code, QStringLiteral("|")), line);
}

void TstXmlStru::fullLayoutForOtherCodes_data()
{
    QTest::addColumn<int>("code");
    for (int code : {0, 8, 30, 32, 99, -1})
        QTest::newRow(qPrintable(QString::number(code))) << code;
}

void TstXmlStru::fullLayoutForOtherCodes()
{
    QFETCH(int, code);
    XML_Stru r = fullRecord();
    (void)r.Confronto();
    QCOMPARE(r.ToPipe(code, QStringLiteral("|")),
             QStringLiteral(
                 "/fatt/IT01234567890_00001.xml|IT01234567890_00001.xml| 15230|31/03/2019 10:22:33|TD01|"
                 "12|2019-03-31|ALFA SRL|IT-01234567890|01234567890|BETA SPA|IT-09876543210|09876543210|"
                 "Doc.pdf|IT01234567890_00001.xml§ 15230§TD01§12§2019-03-31§ALFA SRL§BETA SPA§|ROSSI|"
                 "MARIO|BIANCHI|LUCA|"));
    // The separator is the caller's.
    QCOMPARE(r.ToPipe(code, QStringLiteral(";")).count(QLatin1Char(';')), 19);
}

void TstXmlStru::fullLayoutNeverBuildsKey()
{
    const XML_Stru r = fullRecord();
    QCOMPARE(r.ToPipe(0, QStringLiteral("|")),
             QStringLiteral(
                 "/fatt/IT01234567890_00001.xml|IT01234567890_00001.xml| 15230|31/03/2019 10:22:33|TD01|"
                 "12|2019-03-31|ALFA SRL|IT-01234567890|01234567890|BETA SPA|IT-09876543210|09876543210|"
                 "Doc.pdf||ROSSI|MARIO|BIANCHI|LUCA|"));
    // Writing the line left the key unbuilt: it is built now, from the fields.
    XML_Stru copy = r;
    copy.setEmitt(QStringLiteral("CHANGED"));
    QVERIFY(copy.Confronto().contains(QStringLiteral("§CHANGED§")));
}

void TstXmlStru::pipeInsideValuesDoesNotShiftFields()
{
    XML_Stru r;
    r.setNomeFile(QStringLiteral("/f/a|b.xml"));
    r.setEmitt(QStringLiteral("X|Y"));
    r.setNumDoc(QStringLiteral("1|2"));
    const QString key = r.Confronto();
    QCOMPARE(key, QStringLiteral("a|b.xml§ 0§§1|2§§X|Y§§"));
    const QString full = r.ToPipe(0, QStringLiteral("|"));
    QCOMPARE(full.count(QLatin1Char('|')), 19);
    QCOMPARE(full, QStringLiteral("/f/a¦b.xml|a¦b.xml| 0|||1¦2||X¦Y|||||||a¦b.xml§ 0§§1¦2§§X¦Y§§|||||"));
    QCOMPARE(r.ToPipe(4, QStringLiteral("|")), QStringLiteral("a¦b.xml| 0||1¦2||X¦Y|"));
    // The record keeps the values as read.
    QCOMPARE(r.Emitt(), QStringLiteral("X|Y"));
    QCOMPARE(r.Confronto(), key);
}

void TstXmlStru::numStr_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << QStringLiteral(" 0");
    QTest::newRow("length") << 15230.0 << QStringLiteral(" 15230");
    QTest::newRow("big file, no grouping") << 2147483648.0 << QStringLiteral(" 2147483648");
    QTest::newRow("fraction") << 0.5 << QStringLiteral(" .5");
    QTest::newRow("negative") << -3.0 << QStringLiteral("-3");
    QTest::newRow("negative fraction") << -0.25 << QStringLiteral("-.25");
}

void TstXmlStru::numStr()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(XML_NumStr(value), text);
}

void TstXmlStru::generalDate()
{
    QCOMPARE(XML_GeneralDate(QDateTime(QDate(2019, 3, 31), QTime(10, 22, 33))),
             QStringLiteral("31/03/2019 10:22:33"));
    QCOMPARE(XML_GeneralDate(QDateTime(QDate(2019, 3, 1), QTime(0, 0))), QStringLiteral("01/03/2019"));
    QCOMPARE(XML_GeneralDate(QDateTime()), QString());
}

QTEST_GUILESS_MAIN(TstXmlStru)
#include "tst_xml_stru.moc"
