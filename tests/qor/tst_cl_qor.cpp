#include "qor/Cl_QOR.h"
#include "support/TestEnv.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringListModel>
#include <QTest>

class TstClQor : public QObject
{
    Q_OBJECT
  private slots:
    void sharedInstance();
    void getField_data();
    void getField();
    void fieldCountAndIndex_data();
    void fieldCountAndIndex();
    void setField_data();
    void setField();
    void multiCharSeparators_data();
    void multiCharSeparators();
    void textOps();
    void padding_data();
    void padding();
    void formatNum_data();
    void formatNum();
    void toDouble_data();
    void toDouble();
    void paths_data();
    void paths();
    void dates_data();
    void dates();
    void passwordRoundTrip_data();
    void passwordRoundTrip();
    void wrapLines();
    void iniThroughClass();
    void writeLog();
    void writeLogStamp_data();
    void writeLogStamp();
    void writeLogFileChanged_data();
    void writeLogFileChanged();
    void widgetOps();
    void listFitWidestRow_data();
    void listFitWidestRow();
    void showList_data();
    void showList();
    void numKeyFilter_data();
    void numKeyFilter();
};

void TstClQor::sharedInstance()
{
    QCOMPARE(&Qor(), &Cl_QOR::instance());
}

void TstClQor::getField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<bool>("trim");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first") << "a|b|c" << 1 << "|" << false << "a";
    QTest::newRow("last") << "a|b|c" << 3 << "|" << false << "c";
    QTest::newRow("beyond") << "a|b|c" << 4 << "|" << false << "";
    QTest::newRow("zero") << "a|b" << 0 << "|" << false << "";
    QTest::newRow("empty field") << "a||c" << 2 << "|" << false << "";
    QTest::newRow("blank field written | |") << "a| |c" << 2 << "|" << false << " ";
    QTest::newRow("trimmed") << "a|  b  |c" << 2 << "|" << true << "b";
    QTest::newRow("untrimmed") << "a|  b  |c" << 2 << "|" << false << "  b  ";
    QTest::newRow("no separator in text") << "abc" << 1 << "<" << true << "abc";
    QTest::newRow("multi-char separator") << "x§§y§§z" << 2 << "§§" << false << "y";
    QTest::newRow("blank separator") << "09/12/2026 08:05:03,007" << 2 << " " << false << "08:05:03,007";
}

void TstClQor::getField()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, sep);
    QFETCH(bool, trim);
    QFETCH(QString, expected);
    QCOMPARE(Qor().GetField(text, n, sep, trim), expected);
}

void TstClQor::fieldCountAndIndex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("find");
    QTest::addColumn<int>("index");
    QTest::newRow("trailing separator not counted") << "a|b|" << 2 << "b" << 2;
    QTest::newRow("no trailing") << "a|b|c" << 3 << "c" << 3;
    QTest::newRow("empty text") << "" << 0 << "a" << 0;
    QTest::newRow("single") << "a" << 1 << "a" << 1;
    QTest::newRow("inner empty") << "a||b" << 3 << "b" << 3;
    QTest::newRow("padded header title") << "NOMEFILE  |DATARIC.  |DATAINVIO|" << 3 << "DATARIC." << 2;
    QTest::newRow("absent") << "a|b" << 2 << "z" << 0;
}

void TstClQor::fieldCountAndIndex()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QString, find);
    QFETCH(int, index);
    QCOMPARE(Qor().FieldCount(text, QStringLiteral("|")), count);
    QCOMPARE(Qor().FieldIndex(text, find, QStringLiteral("|")), index);
}

void TstClQor::setField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("window state") << "0|1|1|1500|1500|" << 1 << "2"
                                  << "2|1|1|1500|1500|";
    QTest::newRow("middle") << "a|b|c" << 2 << "X"
                            << "a|X|c";
    QTest::newRow("beyond adds empty fields") << "a|b" << 4 << "d"
                                              << "a|b||d";
    QTest::newRow("beyond keeps closing separator") << "a|" << 3 << "c"
                                                    << "a||c|";
    QTest::newRow("empty text") << "" << 1 << "v"
                                << "v";
}

void TstClQor::setField()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(Qor().SetField(text, n, value, QStringLiteral("|")), expected);
    QCOMPARE(Qor().GetField(Qor().SetField(text, n, value, QStringLiteral("|")), n, QStringLiteral("|")),
             value);
}

// Count, split and set agree on one left-to-right, non-overlapping reading of the text.
void TstClQor::multiCharSeparators_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sep");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("setSecond"); // the text with field 2 set to "N"
    QTest::newRow("doubled separator") << "x||||y"
                                       << "||" << QStringList{"x", "", "y"} << "x||N||y";
    QTest::newRow("odd run") << "x|||y"
                             << "||" << QStringList{"x", "|y"} << "x||N";
    QTest::newRow("closing separator") << "a§§b§§"
                                       << "§§" << QStringList{"a", "b"} << "a§§N§§";
    QTest::newRow("run at the end") << "a|||"
                                    << "||" << QStringList{"a", "|"} << "a||N";
    QTest::newRow("overlapping pattern") << "1aaa2"
                                         << "aa" << QStringList{"1", "a2"} << "1aaN";
}

void TstClQor::multiCharSeparators()
{
    QFETCH(QString, text);
    QFETCH(QString, sep);
    QFETCH(QStringList, fields);
    QFETCH(QString, setSecond);
    QCOMPARE(Qor().FieldCount(text, sep), int(fields.size()));
    for (int i = 0; i < fields.size(); ++i)
        QCOMPARE(Qor().GetField(text, i + 1, sep), fields[i]);
    QCOMPARE(Qor().GetField(text, int(fields.size()) + 1, sep), QString());
    QCOMPARE(Qor().SetField(text, 2, QStringLiteral("N"), sep), setSecond);
}

void TstClQor::textOps()
{
    const Cl_QOR& q = Qor();
    QCOMPARE(q.Replace(QStringLiteral("a&amp;b&amp;c"), QStringLiteral("&amp;"), QStringLiteral("&")),
             QStringLiteral("a&b&c"));
    QCOMPARE(q.Replace(QStringLiteral("abc"), QString(), QStringLiteral("x")), QStringLiteral("abc"));
    QCOMPARE(q.Replace(QStringLiteral("aaaa"), QStringLiteral("a"), QStringLiteral("b"), 2, 2),
             QStringLiteral("abba"));
    QCOMPARE(q.TrChars(QStringLiteral("12.30,15"), QStringLiteral(".,"), QStringLiteral("::")),
             QStringLiteral("12:30:15"));
    QCOMPARE(q.TrChars(QStringLiteral("a-b_c"), QStringLiteral("-_"), QStringLiteral("+")),
             QStringLiteral("a+bc"));
    QCOMPARE(q.TrChars(QStringLiteral("a-b"), QStringLiteral("-"), QString()), QStringLiteral("ab"));
    QCOMPARE(q.Replicate(5, QStringLiteral("ab")), QStringLiteral("ababa"));
    QCOMPARE(q.Replicate(3, QString()), QString());
    QCOMPARE(q.Replicate(0, QStringLiteral("x")), QString());
    QCOMPARE(q.Reverse(QStringLiteral("abc>")), QStringLiteral(">cba"));
    QCOMPARE(q.CutRight(QStringLiteral("abc|"), 1), QStringLiteral("abc"));
    QCOMPARE(q.CutRight(QStringLiteral("ab"), 5), QString());
    QCOMPARE(q.SqlQuote(QStringLiteral("dell'azienda")), QStringLiteral("dell''azienda"));
    QCOMPARE(q.FixStr(QStringLiteral("LPT1   ")), QStringLiteral("LPT1"));
    QCOMPARE(q.FixStr(QStringLiteral("  a ")), QStringLiteral("  a"));
    QCOMPARE(q.ToHex(QStringLiteral("AZ")), QStringLiteral("415A"));
    QCOMPARE(q.ToHex(QStringLiteral("à")), QStringLiteral("C3A0"));
    QCOMPARE(q.MonthName(1), QStringLiteral("Gennaio"));
    QCOMPARE(q.MonthName(12), QStringLiteral("Dicembre"));
    QCOMPARE(q.MonthName(13), QString());
    QVERIFY(q.ColorBrightness(QStringLiteral("FFFFFF"), 1000) == 1000);
    QVERIFY(q.ColorBrightness(QStringLiteral("0"), 1000) == 0);
    // Green weighs more than blue: &H00FF00 is brighter than &HFF0000 (blue in BBGGRR).
    QVERIFY(q.ColorBrightness(QStringLiteral("FF00"), 1000) >
            q.ColorBrightness(QStringLiteral("FF0000"), 1000));
}

void TstClQor::padding_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<QString>("expected");
    QTest::newRow("PadStr fills") << "PadStr"
                                  << "ab" << 5 << ""
                                  << "ab   ";
    QTest::newRow("PadStr cuts") << "PadStr"
                                 << "abcdef" << 3 << ""
                                 << "abc";
    QTest::newRow("PadStr pattern") << "PadStr"
                                    << "ab" << 5 << "."
                                    << "ab...";
    QTest::newRow("PadStr zero width") << "PadStr"
                                       << "ab" << 0 << ""
                                       << "";
    QTest::newRow("PadLeft") << "PadLeft"
                             << "3" << 2 << "0"
                             << "03";
    QTest::newRow("PadLeft longer kept whole") << "PadLeft"
                                               << "12345" << 3 << "0"
                                               << "12345";
    QTest::newRow("PadLeft empty fill uses blanks") << "PadLeft"
                                                    << "7" << 3 << ""
                                                    << "  7";
}

void TstClQor::padding()
{
    QFETCH(QString, op);
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, fill);
    QFETCH(QString, expected);
    const QString got =
        op == QLatin1String("PadStr") ? Qor().PadStr(text, width, fill) : Qor().PadLeft(text, width, fill);
    QCOMPARE(got, expected);
}

void TstClQor::formatNum_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("integer") << 7.0 << 3 << 0 << "  7";
    QTest::newRow("decimal comma") << 12.5 << 8 << 2 << "   12,50";
    QTest::newRow("rounding") << 2.675 << 5 << 1 << "  2,7";
    QTest::newRow("negative") << -3.0 << 4 << 1 << "-3,0";
    QTest::newRow("no negative zero") << -0.001 << 5 << 2 << " 0,00";
    QTest::newRow("overflow keeps every digit") << 12345.0 << 3 << 0 << "12345";
}

void TstClQor::formatNum()
{
    QFETCH(double, value);
    QFETCH(int, width);
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    QCOMPARE(Qor().FormatNum(value, width, decimals), expected);
}

void TstClQor::toDouble_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("comma") << "12,5" << 12.5;
    QTest::newRow("dot") << "12.5" << 12.5;
    QTest::newRow("thousands dot") << "1.234,56" << 1234.56;
    QTest::newRow("thousands comma") << "1,234.56" << 1234.56;
    QTest::newRow("blanks") << "  42 " << 42.0;
    QTest::newRow("negative") << "-0,25" << -0.25;
    QTest::newRow("leading number") << "15abc" << 15.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("garbage") << "abc" << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("exponent") << "1e3" << 1000.0;
}

void TstClQor::toDouble()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Qor().ToDouble(text), expected);
}

void TstClQor::paths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("ext");
    QTest::newRow("unix") << "/tmp/inv/IT01_001.xml"
                          << "/tmp/inv/"
                          << "IT01_001"
                          << "xml";
    QTest::newRow("backslash is part of a name") << "/srv/fe/back\\slash.xml"
                                                 << "/srv/fe/"
                                                 << "back\\slash"
                                                 << "xml";
    QTest::newRow("a Windows path is one name here") << "C:\\FE\\A.B.XML"
                                                     << ""
                                                     << "C:\\FE\\A.B"
                                                     << "XML";
    QTest::newRow("folder ending in backslash") << "/x/a\\/b.xml"
                                                << "/x/a\\/"
                                                << "b"
                                                << "xml";
    QTest::newRow("bare name") << "file.p7m"
                               << ""
                               << "file"
                               << "p7m";
    QTest::newRow("no extension") << "/a/b/README"
                                  << "/a/b/"
                                  << "README"
                                  << "";
}

void TstClQor::paths()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(QString, base);
    QFETCH(QString, ext);
    QCOMPARE(Qor().PathFolder(path), folder);
    QCOMPARE(Qor().FileBase(path), base);
    QCOMPARE(Qor().FileExt(path), ext);
    // The folder form PathFolder gives is the one PathSlash gives: one key per folder.
    if (folder.endsWith(QLatin1Char('/'))) QCOMPARE(Qor().PathSlash(Qor().CutRight(folder, 1)), folder);
}

void TstClQor::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("italian") << "05/03/2021" << QDateTime(QDate(2021, 3, 5), QTime(0, 0));
    QTest::newRow("short parts") << "5/3/2021" << QDateTime(QDate(2021, 3, 5), QTime(0, 0));
    QTest::newRow("with time") << "05/03/2021 14:30:10" << QDateTime(QDate(2021, 3, 5), QTime(14, 30, 10));
    QTest::newRow("iso") << "2021-03-05" << QDateTime(QDate(2021, 3, 5), QTime(0, 0));
    QTest::newRow("compact") << "20210305" << QDateTime(QDate(2021, 3, 5), QTime(0, 0));
    QTest::newRow("two-digit year") << "05/03/21" << QDateTime(QDate(2021, 3, 5), QTime(0, 0));
    QTest::newRow("year first") << "2024/03/15" << QDateTime(QDate(2024, 3, 15), QTime(0, 0));
    QTest::newRow("year first, time")
        << "2024/03/15 08:05:09" << QDateTime(QDate(2024, 3, 15), QTime(8, 5, 9));
    QTest::newRow("year first, no such day") << "2024/02/30" << QDateTime();
    QTest::newRow("not a date") << "31/02/2021" << QDateTime();
    QTest::newRow("empty") << "" << QDateTime();
}

void TstClQor::dates()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    QCOMPARE(Qor().TextToDate(text), expected);
    if (expected.isValid()) {
        QCOMPARE(Qor().DateToStr(expected), expected.date().toString(QStringLiteral("yyyyMMdd")));
    }
    QCOMPARE(Qor().MonthEnd(QDateTime(QDate(2024, 2, 10), QTime(0, 0))), QStringLiteral("29/02/2024"));
    QCOMPARE(Qor().DateToStr(QDateTime()), QString());
}

void TstClQor::passwordRoundTrip_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("ascii") << "segreto123";
    QTest::newRow("accents and symbols") << "pàssw§rd€";
    QTest::newRow("empty") << "";
}

void TstClQor::passwordRoundTrip()
{
    QFETCH(QString, password);
    const QString stored = Qor().PwdEncode(password);
    for (QChar c : stored)
        QVERIFY2(c.unicode() < 128, "stored form must be plain ASCII");
    QVERIFY(password.isEmpty() || stored != password);
    QCOMPARE(Qor().PwdDecode(stored), password);
    QCOMPARE(Qor().PwdDecode(QStringLiteral("not a stored form!")), QString());
}

void TstClQor::wrapLines()
{
    int count = 10;
    const QStringList lines =
        Qor().WrapLines(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source='x'"), 20, count);
    QCOMPARE(count, lines.size());
    for (const QString& l : lines)
        QVERIFY(l.size() <= 20);
    QCOMPARE(lines.join(QString()).remove(QLatin1Char(' ')),
             QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;DataSource='x'"));
    int two = 2;
    QCOMPARE(Qor().WrapLines(QString(100, QLatin1Char('x')), 10, two).size(), 2);
    QCOMPARE(two, 2);
}

void TstClQor::iniThroughClass()
{
    TestEnv env;
    const Cl_QOR& q = Qor();
    const QString f = QStringLiteral("QOR_PLCR.INI");
    QCOMPARE(q.IniRead(QStringLiteral("ParamXML"), QStringLiteral("DirZIP"), QStringLiteral("def"), f),
             QStringLiteral("def"));
    q.IniWriteInt(QStringLiteral("ParamXML"), QStringLiteral("N"), -12, f);
    q.IniWriteLng(QStringLiteral("ParamXML"), QStringLiteral("DirID"), 1234567, f);
    q.IniWriteVar(QStringLiteral("ParamXML"), QStringLiteral("D"), 2.5, f);
    q.IniWriteVar(QStringLiteral("ParamXML"), QStringLiteral("T"),
                  QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), f);
    QCOMPARE(q.IniReadInt(QStringLiteral("ParamXML"), QStringLiteral("N"), 0, f), -12);
    QCOMPARE(q.IniReadInt(QStringLiteral("ParamXML"), QStringLiteral("DirID"), 0, f), 1234567);
    QCOMPARE(q.IniReadDbl(QStringLiteral("ParamXML"), QStringLiteral("D"), 0, f), 2.5);
    QCOMPARE(q.IniReadDbl(QStringLiteral("ParamXML"), QStringLiteral("missing"), 7, f), 7.0);
    QCOMPARE(q.IniRead(QStringLiteral("ParamXML"), QStringLiteral("T"), QString(), f),
             QStringLiteral("02/01/2026 03:04:05"));
    QVERIFY(q.FileExists(env.winDir() + f));
    QVERIFY(!q.FileExists(env.winDir()));
    QVERIFY(!q.FileExists(QString()));
}

void TstClQor::writeLog()
{
    TestEnv env;
    const QString log = env.appDir() + QStringLiteral("X.LOG");
    QVERIFY(Qor().WriteLog(QStringLiteral("uno"), 0, log, false));
    QVERIFY(Qor().WriteLog(QStringLiteral("due"), 0, log, true));
    QCOMPARE(TestEnv::readFile(log), QByteArray("uno\r\n10/12/2026 09:00:00 due\r\n"));
    QVERIFY(Qor().WriteLog(QStringLiteral("tre"), 1, log, false));
    QCOMPARE(TestEnv::readFile(log), QByteArray("tre\r\n"));
    QVERIFY(!Qor().WriteLog(QStringLiteral("x"), 0, env.work() + QStringLiteral("missing/dir/X.LOG"), false));
}

// The stamp text is reused within one second only: a later second, or the same
// second of another day, gets its own.
void TstClQor::writeLogStamp_data()
{
    QTest::addColumn<QDateTime>("next");
    QTest::addColumn<QByteArray>("content");
    const QDate day(2026, 12, 10);
    QTest::newRow("same second") << QDateTime(day, QTime(9, 0, 0, 999))
                                 << QByteArray("10/12/2026 09:00:00 uno\r\n10/12/2026 09:00:00 due\r\n");
    QTest::newRow("next second") << QDateTime(day, QTime(9, 0, 1))
                                 << QByteArray("10/12/2026 09:00:00 uno\r\n10/12/2026 09:00:01 due\r\n");
    QTest::newRow("same time next day")
        << QDateTime(day.addDays(1), QTime(9, 0))
        << QByteArray("10/12/2026 09:00:00 uno\r\n11/12/2026 09:00:00 due\r\n");
    QTest::newRow("clock set back") << QDateTime(day, QTime(8, 59, 59, 500))
                                    << QByteArray("10/12/2026 09:00:00 uno\r\n10/12/2026 08:59:59 due\r\n");
}

void TstClQor::writeLogStamp()
{
    QFETCH(QDateTime, next);
    QFETCH(QByteArray, content);
    TestEnv env;
    const QString log = env.appDir() + QStringLiteral("X.LOG");
    QVERIFY(Qor().WriteLog(QStringLiteral("uno"), 1, log, true));
    env.clock().set(next);
    QVERIFY(Qor().WriteLog(QStringLiteral("due"), 0, log, true));
    QCOMPARE(TestEnv::readFile(log), content);
}

// Whatever happens to the log between two lines, the next line lands in the file
// now at that path, and a file moved aside keeps what it had.
void TstClQor::writeLogFileChanged_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("aside");
    QTest::newRow("nothing") << "" << QByteArray("uno\r\ndue\r\n") << QByteArray();
    QTest::newRow("removed") << "remove" << QByteArray("due\r\n") << QByteArray();
    QTest::newRow("moved aside") << "move" << QByteArray("due\r\n") << QByteArray("uno\r\n");
    QTest::newRow("replaced") << "replace" << QByteArray("nuovo\r\ndue\r\n") << QByteArray();
    QTest::newRow("permissions changed") << "chmod" << QByteArray("uno\r\ndue\r\n") << QByteArray();
    QTest::newRow("another log between")
        << "other" << QByteArray("uno\r\ndue\r\n") << QByteArray("altro\r\n");
}

void TstClQor::writeLogFileChanged()
{
    QFETCH(QString, change);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, aside);
    TestEnv env;
    const QString log = env.appDir() + QStringLiteral("X.LOG");
    const QString other = env.appDir() + QStringLiteral("X_BAK.LOG");
    QVERIFY(Qor().WriteLog(QStringLiteral("uno"), 0, log, false));
    if (change == QLatin1String("remove")) {
        QVERIFY(QFile::remove(log));
    } else if (change == QLatin1String("move")) {
        QVERIFY(QFile::rename(log, other));
    } else if (change == QLatin1String("replace")) {
        QVERIFY(QFile::remove(log));
        env.writeFile(log, "nuovo\r\n");
    } else if (change == QLatin1String("chmod")) {
        QVERIFY(QFile::setPermissions(log, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    } else if (change == QLatin1String("other")) {
        QVERIFY(Qor().WriteLog(QStringLiteral("altro"), 0, other, false));
    }
    QVERIFY(Qor().WriteLog(QStringLiteral("due"), 0, log, false));
    QCOMPARE(TestEnv::readFile(log), content);
    QCOMPARE(TestEnv::readFile(other), aside);
}

void TstClQor::widgetOps()
{
    TestEnv env;
    QListWidget list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b|c")});
    QCOMPARE(Qor().ListFind(&list, QStringLiteral("b|c")), 1);
    QVERIFY(Qor().ListFind(&list, QStringLiteral("z")) < 0);
    QComboBox combo;
    combo.addItems({QStringLiteral("/x/"), QStringLiteral("/y/")});
    QCOMPARE(Qor().ComboFind(&combo, QStringLiteral("/y/")), 1);
    QVERIFY(Qor().ComboFind(&combo, QStringLiteral("/Y/")) < 0);
    QRadioButton r0, r1, r2;
    r2.setChecked(true);
    QCOMPARE(Qor().OptSelected({&r0, &r1, &r2}), 2);

    QVERIFY(Qor().ShowList(&list, QStringLiteral("/usr/bin/viewer"), env.work()));
    QCOMPARE(env.launcher().starts.size(), 1);
    const auto start = env.launcher().starts.first();
    QCOMPARE(start.program, QStringLiteral("/usr/bin/viewer"));
    QCOMPARE(TestEnv::readFile(start.args.value(0)), QByteArray("a\r\nb|c\r\n"));
}

// The text handed over is the viewer, optionally followed by "|" and a title for the file's head.
void TstClQor::showList_data()
{
    QTest::addColumn<QString>("viewer");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("viewer alone") << "/usr/bin/viewer"
                                  << "/usr/bin/viewer" << QByteArray("a\r\nb|c\r\n");
    QTest::newRow("viewer and title")
        << "/usr/bin/viewer|_Num. ! Data  :  399"
        << "/usr/bin/viewer" << QByteArray("_Num. ! Data  :  399\r\na\r\nb|c\r\n");
    QTest::newRow("split at the first bar") << "/opt/my viewer/v|t|u"
                                            << "/opt/my viewer/v" << QByteArray("t|u\r\na\r\nb|c\r\n");
    QTest::newRow("empty title") << "/usr/bin/viewer|"
                                 << "/usr/bin/viewer" << QByteArray("a\r\nb|c\r\n");
}

void TstClQor::showList()
{
    QFETCH(QString, viewer);
    QFETCH(QString, program);
    QFETCH(QByteArray, content);
    TestEnv env;
    QListWidget list;
    list.addItems({QStringLiteral("a"), QStringLiteral("b|c")});
    QVERIFY(Qor().ShowList(&list, viewer, env.work()));
    QCOMPARE(env.launcher().starts.size(), 1);
    const auto start = env.launcher().starts.first();
    QCOMPARE(start.kind, QStringLiteral("detached"));
    QCOMPARE(start.program, program);
    QCOMPARE(start.args, QStringList{env.work() + QStringLiteral("LISTA.TXT")});
    QCOMPARE(TestEnv::readFile(start.args.value(0)), content);

    // A viewer that cannot be started is told to the caller; so is a folder that cannot take the file.
    env.launcher().startsSucceed = false;
    QVERIFY(!Qor().ShowList(&list, viewer, env.work()));
    env.launcher().startsSucceed = true;
    QVERIFY(!Qor().ShowList(&list, viewer, env.work() + QStringLiteral("missing/")));
}

void TstClQor::numKeyFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("digit") << "12" << 2 << 2 << int('5') << int('5');
    QTest::newRow("letter dropped") << "12" << 2 << 2 << int('a') << 0;
    QTest::newRow("dot becomes comma") << "12" << 2 << 2 << int('.') << int(',');
    QTest::newRow("second comma dropped") << "1,2" << 3 << 2 << int(',') << 0;
    QTest::newRow("no decimals no comma") << "12" << 2 << 0 << int(',') << 0;
    QTest::newRow("minus at start") << "12" << 0 << 2 << int('-') << int('-');
    QTest::newRow("minus inside dropped") << "12" << 1 << 2 << int('-') << 0;
    QTest::newRow("backspace passes") << "12" << 2 << 2 << 8 << 8;
}

void TstClQor::numKeyFilter()
{
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(int, decimals);
    QFETCH(int, key);
    QFETCH(int, expected);
    QLineEdit box;
    box.setText(text);
    box.setCursorPosition(cursor);
    Qor().NumKeyFilter(&box, key, decimals);
    QCOMPARE(key, expected);
}

void TstClQor::listFitWidestRow_data()
{
    QTest::addColumn<int>("at");    // where the long row is: -1 = last
    QTest::addColumn<int>("given"); // the row the caller names
    QTest::newRow("long row first") << 0 << 0;
    QTest::newRow("long row last") << -1 << -1;
    QTest::newRow("long row first, caller names the last") << 0 << 49;
    QTest::newRow("long row in the middle, caller names row 0") << 20 << 0;
}

void TstClQor::listFitWidestRow()
{
    QFETCH(int, at);
    QFETCH(int, given);
    QStringList rows;
    for (int i = 0; i < 50; ++i)
        rows << QStringLiteral("row %1").arg(i, 2, 10, QLatin1Char('0'));
    const QString longRow = QStringLiteral("long ") + QString(300, QLatin1Char('x')) + QStringLiteral(" end");
    rows[at < 0 ? rows.size() - 1 : at] = longRow;
    QStringListModel model(rows);
    QListView view;
    view.setUniformItemSizes(true);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view.setModel(&model);
    view.resize(200, 150);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    Qor().ListFit(&view, given < 0 ? rows.size() - 1 : given);
    QCoreApplication::processEvents();
    view.doItemsLayout();

    // Every row is as wide as the long one, and the view scrolls to the end of it.
    const int need = view.fontMetrics().horizontalAdvance(longRow);
    const QModelIndex longIndex = model.index(rows.indexOf(longRow));
    QVERIFY2(view.visualRect(longIndex).width() >= need,
             qPrintable(QString::number(view.visualRect(longIndex).width()) + " < " + QString::number(need)));
    QVERIFY(view.horizontalScrollBar()->maximum() + view.viewport()->width() >= need);
    QCOMPARE(view.visualRect(model.index(3)).width(), view.visualRect(longIndex).width());
}

QTEST_MAIN(TstClQor)
#include "tst_cl_qor.moc"
