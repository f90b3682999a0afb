#include "archive/XML_Stru.h"

#include "archive/M_XML.h"
#include "foundation/Proc_Qor.h"
#include "platform/DateText.h"
#include "qor/Cl_QOR.h"

#include <QDirIterator>
#include <QTest>

#include <climits>
#include <cmath>
#include <limits>

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

// The record's texts as first written, built from Cl_QOR's helpers: the reference the
// record is compared with. key is the stored comparison key ("" while never read).
namespace reference
{

QString numStr(double value)
{
    if (std::isnan(value) || std::isinf(value)) return QStringLiteral(" 0");
    QString t = QString::number(value, 'g', 15);
    if (t.startsWith(QLatin1String("0.")))
        t.remove(0, 1);
    else if (t.startsWith(QLatin1String("-0.")))
        t.remove(1, 1);
    return value < 0 ? t : QLatin1Char(' ') + t;
}

QString soloName(const QString& path)
{
    return Qor().FileBase(path) + QLatin1Char('.') + Qor().FileExt(path);
}

bool digitsAt(QStringView t, qsizetype from, qsizetype count)
{
    for (qsizetype i = from; i < from + count; ++i)
        if (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9')) return false;
    return true;
}

QString datdoc(const QString& v)
{
    if (v.contains(QLatin1Char('+'))) return Qor().GetField(v, 1, QStringLiteral("+"), true);
    const QStringView t = QStringView(v).trimmed();
    bool zoned = false;
    if ((t.size() == 11 || t.size() == 16) && digitsAt(t, 0, 4) && t[4] == QLatin1Char('-') &&
        digitsAt(t, 5, 2) && t[7] == QLatin1Char('-') && digitsAt(t, 8, 2)) {
        zoned = t.size() == 11 ? t[10] == QLatin1Char('Z')
                               : t[10] == QLatin1Char('-') && digitsAt(t, 11, 2) && t[13] == QLatin1Char(':') &&
                                     digitsAt(t, 14, 2);
    }
    return zoned ? t.left(10).toString() : v;
}

QString toPipe(const XML_Stru& r, const QString& key, int code, const QString& sep)
{
    const Cl_QOR& q = Qor();
    const auto f = [](const QString& v) {
        QString t = v;
        return t.replace(QLatin1Char('|'), QChar(u'¦'));
    };
    const QString S = sep;
    const QString colEnd = QLatin1Char(' ') + S + QLatin1Char(' ');

    const QString nomeFile = f(r.NomeFile()), soloName = f(r.NomeFileSolo()), dataFile = f(r.DataFile());
    const QString tipo = f(r.TipoDoc()), num = f(r.NumDoc()), dat = f(r.datdoc());
    const QString emitt = f(r.Emitt()), destin = f(r.Destin()), attach = f(r.AttachName());
    const QString size = numStr(r.LenFile());
    const QString mark = r.TipoDoc() == QLatin1String("TD01") ? QStringLiteral(" ") : QStringLiteral("-");
    const QString tipoMark = tipo + mark;

    if (code < 1 || (code > 7 && code != 31)) {
        QString line;
        for (const QString& v : {nomeFile, soloName, size, dataFile, tipo, num, dat, emitt, f(r.EmittPI()),
                                 f(r.EmittCF()), destin, f(r.DestinPI()), f(r.DestinCF()), attach, f(key),
                                 f(r.EmittCogn()), f(r.EmittNome()), f(r.DestinCogn()), f(r.DestinNome())})
            line += v + S;
        return line;
    }
    if (code == 1) return soloName + S + size + S;
    if (code == 4) return soloName + S + size + S + tipo + S + num + S + dat + S + emitt + S;

    const QString fileWord = q.GetField(dataFile, 1, QStringLiteral(" "), false);
    QString fileDay = DateText::DayKey(QStringView(fileWord).trimmed());
    if (fileDay.isNull()) fileDay = q.DateToStr(q.TextToDate(fileWord));
    const QString fileDateTime =
        fileDay + QLatin1Char(' ') + q.GetField(dataFile, 2, QStringLiteral(" "), false);
    const QString fileDate = fileDay + QLatin1Char(' ');
    const QString name70 = q.PadStr(soloName, static_cast<int>(q.Max(70, soloName.size())), QString());
    const QString attach45 = q.PadStr(attach, static_cast<int>(q.Max(45, attach.size())), QString());
    const auto text40 = [&](const QString& x) { return q.PadStr(x, 40, QString()); };
    const auto text20 = [&](const QString& x) { return q.PadStr(x, 20, QString()); };
    const QString number20 = PadNum(num, 20, QStringLiteral(" "));

    switch (code) {
    case 2:
        return fileDateTime + colEnd + name70 + colEnd + dataFile + colEnd + tipoMark + colEnd + text20(num) +
               colEnd + dat + colEnd + text40(destin) + colEnd + text40(emitt) + colEnd + attach45 +
               QLatin1Char(' ') + S + QString(21, QLatin1Char(' ')) + S;
    case 3:
        return number20 + colEnd + tipoMark + colEnd + fileDateTime + colEnd + name70 + colEnd + dat +
               colEnd + text40(destin) + colEnd + text40(emitt) + colEnd + attach;
    case 5:
        return text40(destin) + colEnd + text40(emitt) + colEnd + dat + colEnd + number20 + colEnd +
               tipoMark + colEnd + fileDateTime + colEnd + name70 + colEnd + attach;
    case 6:
        return text40(emitt) + colEnd + text40(destin) + colEnd + dat + colEnd + number20 + colEnd +
               tipoMark + colEnd + fileDateTime + colEnd + name70 + colEnd + attach;
    case 7:
        return QString(25, QLatin1Char('*')) + colEnd + fileDate + colEnd + dat + colEnd + number20 + colEnd +
               tipoMark + colEnd + text40(emitt) + colEnd + text40(destin) + colEnd + name70 + colEnd +
               attach;
    case 31:
        return dat + colEnd + number20 + colEnd + tipoMark + colEnd + fileDateTime + colEnd + name70 +
               colEnd + text40(destin) + colEnd + text40(emitt) + colEnd + attach;
    }
    return {};
}

QString key(const XML_Stru& r)
{
    const QChar s(u'§');
    return r.NomeFileSolo() + s + numStr(r.LenFile()) + s + r.TipoDoc() + s + r.NumDoc() + s + r.datdoc() + s +
           r.Emitt() + s + r.Destin() + s;
}

} // namespace reference

// A field's value and whether it is null: a null text is stored as NULL, an empty one as "".
QString shown(const QString& v)
{
    return v.isNull() ? QStringLiteral("<null>") : QLatin1Char('[') + v + QLatin1Char(']');
}

// Every getter of a record.
QStringList getters(const XML_Stru& r)
{
    return {shown(r.NomeFile()),   shown(r.NomeFileSolo()), QString::number(r.LenFile(), 'g', 17),
            shown(r.DataFile()),   shown(r.TipoDoc()),      shown(r.NumDoc()),
            shown(r.datdoc()),     shown(r.Emitt()),        shown(r.EmittPI()),
            shown(r.EmittCF()),    shown(r.EmittNome()),    shown(r.EmittCogn()),
            shown(r.Destin()),     shown(r.DestinPI()),     shown(r.DestinCF()),
            shown(r.DestinNome()), shown(r.DestinCogn()),   shown(r.AttachName())};
}

// What the generated records are made of; a null text leaves the setter uncalled.
struct Fields {
    QString path, dataFile, tipo, num, dat, emitt, emittPI, emittCF, emittNome, emittCogn;
    QString destin, destinPI, destinCF, destinNome, destinCogn, attach;
    double len = 0;
};

XML_Stru build(const Fields& x)
{
    XML_Stru r;
    const auto set = [&r](void (XML_Stru::*setter)(const QString&), const QString& v) {
        if (!v.isNull()) (r.*setter)(v);
    };
    set(&XML_Stru::setNomeFile, x.path);
    r.setLenFile(x.len);
    set(&XML_Stru::setDataFile, x.dataFile);
    set(&XML_Stru::setTipoDoc, x.tipo);
    set(&XML_Stru::setNumDoc, x.num);
    set(&XML_Stru::setdatdoc, x.dat);
    set(&XML_Stru::setEmitt, x.emitt);
    set(&XML_Stru::setEmittPI, x.emittPI);
    set(&XML_Stru::setEmittCF, x.emittCF);
    set(&XML_Stru::setEmittNome, x.emittNome);
    set(&XML_Stru::setEmittCogn, x.emittCogn);
    set(&XML_Stru::setDestin, x.destin);
    set(&XML_Stru::setDestinPI, x.destinPI);
    set(&XML_Stru::setDestinCF, x.destinCF);
    set(&XML_Stru::setDestinNome, x.destinNome);
    set(&XML_Stru::setDestinCogn, x.destinCogn);
    set(&XML_Stru::setAttachName, x.attach);
    return r;
}

// The getters a record built from x must give.
QStringList expected(const Fields& x)
{
    const QString none;
    const QString solo = x.path.isNull() ? none : reference::soloName(x.path);
    const QString dat = x.dat.isNull() ? none : reference::datdoc(x.dat);
    return {shown(x.path),       shown(solo),        QString::number(x.len, 'g', 17), shown(x.dataFile),
            shown(x.tipo),       shown(x.num),       shown(dat),                      shown(x.emitt),
            shown(x.emittPI),    shown(x.emittCF),   shown(x.emittNome),              shown(x.emittCogn),
            shown(x.destin),     shown(x.destinPI),  shown(x.destinCF),               shown(x.destinNome),
            shown(x.destinCogn), shown(x.attach)};
}

Fields typical()
{
    Fields x;
    x.path = QStringLiteral("/fatt/IT01234567890_00001.xml");
    x.len = 15230;
    x.dataFile = QStringLiteral("31/03/2019 10:22:33");
    x.tipo = QStringLiteral("TD01");
    x.num = QStringLiteral("12");
    x.dat = QStringLiteral("2019-03-31");
    x.emitt = QStringLiteral("ALFA SRL");
    x.emittPI = QStringLiteral("IT-01234567890");
    x.emittCF = QStringLiteral("01234567890");
    x.emittNome = QStringLiteral("MARIO");
    x.emittCogn = QStringLiteral("ROSSI");
    x.destin = QStringLiteral("BETA SPA");
    x.destinPI = QStringLiteral("IT-09876543210");
    x.destinCF = QStringLiteral("09876543210");
    x.destinNome = QStringLiteral("LUCA");
    x.destinCogn = QStringLiteral("BIANCHI");
    x.attach = QStringLiteral("Doc.pdf");
    return x;
}


} // namespace

Q_DECLARE_METATYPE(XML_Stru)

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
    void linesAsReference_data();
    void linesAsReference();
    void numStrAsReference_data();
    void numStrAsReference();
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

void TstXmlStru::linesAsReference_data()
{
    QTest::addColumn<XML_Stru>("record");
    QTest::addColumn<QStringList>("fields"); // the getters it must give; empty for a file read

    QDirIterator it(QStringLiteral(PLICORA_FIXTURES "/fatturapa"), QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        XML_Stru r;
        try {
            XML_ReadRecord(path, r);
        } catch (const XML_ReadError&) {
        }
        const QString name = path.mid(path.indexOf(QLatin1String("fatturapa")));
        QTest::newRow(qPrintable(name)) << r << QStringList();
        r.Clear();
        QTest::newRow(qPrintable(name + QStringLiteral(", cleared"))) << r << QStringList();
        ++files;
    }
    QVERIFY(files > 0);

    const auto row = [](const char* name, const Fields& x) { QTest::newRow(name) << build(x) << expected(x); };
    const auto typicalWith = [](auto change) {
        Fields x = typical();
        change(x);
        return x;
    };
    row("nothing set", Fields());
    row("typical", typical());
    Fields empty;
    for (QString* v : {&empty.path, &empty.dataFile, &empty.tipo, &empty.num, &empty.dat, &empty.emitt,
                       &empty.emittPI, &empty.emittCF, &empty.emittNome, &empty.emittCogn, &empty.destin,
                       &empty.destinPI, &empty.destinCF, &empty.destinNome, &empty.destinCogn, &empty.attach})
        *v = QStringLiteral("");
    row("every text empty", empty);
    Fields pipes;
    pipes.path = QStringLiteral("/f|g/a|b.xml");
    pipes.dataFile = QStringLiteral("01/02|2020 10:00|00 x|y");
    pipes.tipo = QStringLiteral("TD|1");
    pipes.num = QStringLiteral(" 1|2 ");
    pipes.dat = QStringLiteral("2020|02-01");
    for (QString* v : {&pipes.emitt, &pipes.emittPI, &pipes.emittCF, &pipes.emittNome, &pipes.emittCogn,
                       &pipes.destin, &pipes.destinPI, &pipes.destinCF, &pipes.destinNome, &pipes.destinCogn,
                       &pipes.attach})
        *v = QStringLiteral("|A|B||");
    pipes.len = 7;
    row("pipes in every field", pipes);
    row("pipe at the cut of each width", typicalWith([](Fields& x) {
            x.path = QStringLiteral("/f/") + QString(69, QLatin1Char('n')) + QStringLiteral("|.xml");
            x.emitt = QString(39, QLatin1Char('e')) + QStringLiteral("||");
            x.destin = QString(40, QLatin1Char('d')) + QStringLiteral("|");
            x.num = QStringLiteral("|") + QString(20, QLatin1Char('9'));
            x.attach = QString(44, QLatin1Char('a')) + QStringLiteral("|x");
        }));
    for (const int extra : {-1, 0, 1, 30}) {
        const QString name = QStringLiteral("widths %1").arg(extra);
        QTest::newRow(qPrintable(name)) << build(typicalWith([extra](Fields& x) {
            x.path = QStringLiteral("/a/") + QString(66 + extra, QLatin1Char('N')) + QStringLiteral(".xml");
            x.attach = QString(45 + extra, QLatin1Char('A'));
            x.emitt = QString(40 + extra, QLatin1Char('E'));
            x.destin = QString(40 + extra, QLatin1Char('D'));
            x.num = QString(20 + extra, QLatin1Char('7'));
        })) << QStringList();
    }
    row("accents and a character outside the basic plane", typicalWith([](Fields& x) {
            x.path = QStringLiteral("/fatture/è/Società_Ñ.xml");
            x.emitt = QStringLiteral("CAFFÈ € NERO S.R.L. ") + QString(30, QChar(u'à'));
            x.destin = QString(39, QLatin1Char('x')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("z");
            x.num = QString::fromUtf8("N\xC2\xB0 12\xF0\x9F\x98\x80");
            x.attach = QStringLiteral("Fattura n° 1 – copia.pdf");
            x.emittNome = QStringLiteral("NICCOLÒ");
        }));
    const char* const fileDates[] = {
        "01/02/2020",           "1/2/2020 9:05",       "01/02/2020 10:00:00 extra", " 01/02/2020 10:00",
        "01/02/2020\t10:00",    "01/02/2020  10:00",   "ieri",                      "31/02/2020 10:00:00",
        "31/03/2019 02:30:00",  "27/10/2019 02:30:00", "31/03/2019",                "27/10/2019",
        "2020-02-01 10:00:00",  "2020-02-01",          "01/02/20",                  "01/02/1899",
        "01/02/2200 00:00:01",  " ",                   "00/00/0000",                "\u00A001/02/2020",
        "01/02/2020\u00A010:00"};
    for (const char* text : fileDates) {
        const QString name = QStringLiteral("file date \"%1\"").arg(QString::fromUtf8(text));
        QTest::newRow(qPrintable(name)) << build(typicalWith([text](Fields& x) {
            x.dataFile = QString::fromUtf8(text);
        })) << QStringList();
    }
    row("no file date", typicalWith([](Fields& x) { x.dataFile = QString(); }));
    for (const char* type : {"TD04", "TD01 ", "td01", "", " TD01", "TD011"}) {
        const QString name = QStringLiteral("type \"%1\"").arg(QString::fromUtf8(type));
        QTest::newRow(qPrintable(name)) << build(typicalWith([type](Fields& x) {
            x.tipo = QString::fromUtf8(type);
        })) << QStringList();
    }
    const char* const numbers[] = {"  12  ",   "\t12\u00A0", "1 2",  "                         ",
                                   "   " "ABCDEFGHIJKLMNOPQRSTUVWXY", "\u2003" "5\u2003", "\n", "0"};
    for (const char* text : numbers) {
        const QString name = QStringLiteral("number \"%1\"").arg(QString::fromUtf8(text));
        QTest::newRow(qPrintable(name)) << build(typicalWith([text](Fields& x) {
            x.num = QString::fromUtf8(text);
        })) << QStringList();
    }
    const char* const paths[] = {"A.xml", "/f/README", "/f/.hidden", "/f/a.", "/f.d/name", "/f/", "back\\a.xml",
                                 "a.b.c.xml", ".", "/", "//", "/x/y/z/w.XML", "  /f/a.xml  "};
    for (const char* path : paths) {
        const Fields x = typicalWith([path](Fields& x) { x.path = QString::fromUtf8(path); });
        QTest::newRow(qPrintable(QStringLiteral("path \"%1\"").arg(QString::fromUtf8(path))))
            << build(x) << expected(x);
    }
    const char* const dates[] = {"2019-03-31+02:00", "+02:00", "2019-03-31 +02:00", "2019-03-31Z", " 2019-03-31Z ",
                                 "2019-03-31-05:00", " 2019-03-31 ", "2019-03-31+", "++", "31/03/2019"};
    for (const char* date : dates) {
        const Fields x = typicalWith([date](Fields& x) { x.dat = QString::fromUtf8(date); });
        QTest::newRow(qPrintable(QStringLiteral("document date \"%1\"").arg(QString::fromUtf8(date))))
            << build(x) << expected(x);
    }
    const double lengths[] = {0.5,
                              -3,
                              -0.25,
                              1e14,
                              999999999999999.0,
                              1e15,
                              9007199254740992.0,
                              2147483648.0,
                              4294967295.0,
                              123.456,
                              1e-5,
                              1e21,
                              -1e15,
                              -999999999999999.0,
                              -0.0,
                              0.1 + 0.2,
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::max()};
    for (const double len : lengths) {
        const Fields x = typicalWith([len](Fields& x) { x.len = len; });
        QTest::newRow(qPrintable(QStringLiteral("length %1").arg(len, 0, 'g', 17))) << build(x) << expected(x);
    }
    XML_Stru onlySolo;
    onlySolo.setNomeFileSolo(QStringLiteral("Solo|name.xml"));
    QTest::newRow("file name set alone") << onlySolo << QStringList();
}

void TstXmlStru::linesAsReference()
{
    QFETCH(XML_Stru, record);
    QFETCH(QStringList, fields);
    if (!fields.isEmpty()) QCOMPARE(getters(record), fields);
    if (!record.NomeFile().isNull()) QCOMPARE(record.NomeFileSolo(), reference::soloName(record.NomeFile()));

    const QList<int> codes{INT_MIN, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 30, 31, 32, 99, INT_MAX};
    const QStringList seps{QStringLiteral("|"), QStringLiteral(";"), QString(), QStringLiteral(" ¦ ")};
    const auto compareLines = [&](const XML_Stru& r, const QString& key, const char* state) {
        for (const int code : codes)
            for (const QString& sep : seps) {
                const QString line = r.ToPipe(code, sep);
                const QString want = reference::toPipe(r, key, code, sep);
                if (line != want)
                    QFAIL(qPrintable(QStringLiteral("key %1, code %2, separator \"%3\":\n  got  \"%4\"\n  want \"%5\"")
                                         .arg(QString::fromUtf8(state))
                                         .arg(code)
                                         .arg(sep, line, want)));
                QCOMPARE(line.isNull(), want.isNull());
            }
    };
    // Writing lines builds no key: the key read afterwards is the one the fields give.
    XML_Stru unread = record;
    compareLines(unread, QString(), "unread");
    QCOMPARE(unread.Confronto(), reference::key(unread));
    compareLines(unread, unread.Confronto(), "read");
    XML_Stru given = record;
    given.setConfronto(QStringLiteral("K|1§|"));
    compareLines(given, given.Confronto(), "given");
    // The getters are left as they were.
    QCOMPARE(getters(unread), getters(record));
}

void TstXmlStru::numStrAsReference_data()
{
    QTest::addColumn<double>("value");
    const double values[] = {0, -0.0, 1, 9, 10, 99, 100, 12345, 15230, 1e14, 999999999999999.0, 1e15,
                             1e15 + 2, 9007199254740993.0, 1e16, 123456789012345678.0, 0.5, 0.05, 1.5,
                             -1, -0.5, -1e14, -999999999999999.0, -1e15, 1e-4, 1e-5, 2.5e-7, 3.14159265358979,
                             1.0 / 3, 2e300, -2e300, 4294967296.0, 2147483647.0};
    for (const double v : values)
        QTest::newRow(qPrintable(QString::number(v, 'g', 17))) << v;
}

void TstXmlStru::numStrAsReference()
{
    QFETCH(double, value);
    QCOMPARE(XML_NumStr(value), reference::numStr(value));
}

QTEST_GUILESS_MAIN(TstXmlStru)
#include "tst_xml_stru.moc"
