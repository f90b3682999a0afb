// The quick date readers against the general parsers they stand in for: the same value,
// zone state included, for every text, in a zone with clock changes and in one without.
#include "archive/XML_Stru.h"
#include "platform/DateText.h"
#include "platform/ado/Ado.h"
#include "qor/Cl_QOR.h"

#include <QTemporaryDir>
#include <QTest>

#include <ctime>

namespace
{

// ---- the general parsers as they were before the quick readers, kept as the reference

QDateTime refTextToDate(const QString& text, const QDateTime& fallback = QDateTime())
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return fallback;
    static const char* const forms[] = {
        "d/M/yyyy H:mm:ss", "d/M/yyyy H:mm",       "d/M/yyyy",   "d-M-yyyy",
        "d.M.yyyy",         "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd",
        "yyyyMMdd",         "yyyy/MM/dd HH:mm:ss", "yyyy/MM/dd HH:mm",    "yyyy/MM/dd",
    };
    for (const char* f : forms) {
        const QDateTime d = QDateTime::fromString(t, QLatin1String(f));
        if (d.isValid()) return d;
    }
    for (const char* f : {"d/M/yy", "d-M-yy"}) {
        QDate d = QDate::fromString(t, QLatin1String(f));
        if (d.isValid()) {
            if (d.year() < 1930) d = d.addYears(100);
            return QDateTime(d, QTime(0, 0));
        }
    }
    return fallback;
}

QDateTime refParseDate(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    static const char* const forms[] = {
        "d/M/yyyy H:mm:ss",    "d/M/yyyy H:mm",           "d/M/yyyy",         "yyyy-MM-dd HH:mm:ss",
        "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm", "yyyy-MM-dd",
    };
    for (const char* f : forms) {
        const QDateTime d = QDateTime::fromString(t, QLatin1String(f));
        if (d.isValid()) return d;
    }
    return {};
}

// What a date column of the archive gives back for a stored text.
QVariant refReadDate(const QString& s)
{
    QDateTime d = QDateTime::fromString(s, QLatin1String("yyyy-MM-dd HH:mm:ss"));
    if (!d.isValid()) d = refParseDate(s);
    if (d.isValid()) return QVariant(d);
    return QVariant(s);
}

QString refDayKey(const QString& text)
{
    const QDateTime d = refTextToDate(text);
    return d.isValid() ? d.date().toString(QStringLiteral("yyyyMMdd")) : QString();
}

// ---- helpers

// Sets the process's time zone for the life of the object ("" = none set, the machine's own).
class ZoneScope
{
  public:
    explicit ZoneScope(const QByteArray& zone) : had_(qEnvironmentVariableIsSet("TZ")), old_(qgetenv("TZ"))
    {
        if (zone.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        tzset();
    }
    ~ZoneScope()
    {
        if (had_)
            qputenv("TZ", old_);
        else
            qunsetenv("TZ");
        tzset();
    }

  private:
    bool had_;
    QByteArray old_;
};

// Everything a caller can see of a date: validity, local date and time, offset from UTC,
// daylight-saving flag and kind of time.
QString describe(const QDateTime& d)
{
    if (!d.isValid()) return QStringLiteral("invalid");
    return d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz ")) + QString::number(d.offsetFromUtc()) +
           (d.isDaylightTime() ? QStringLiteral(" dst") : QStringLiteral(" std")) + QStringLiteral(" kind ") +
           QString::number(int(d.timeSpec())) + QStringLiteral(" utc ") +
           QString::number(d.toMSecsSinceEpoch());
}

QString describe(const QVariant& v)
{
    if (v.metaType().id() == QMetaType::QDateTime) return describe(v.toDateTime());
    return QString::fromLatin1(v.metaType().name()) + QLatin1Char(' ') + v.toString();
}

const QByteArray kZones[] = {"Europe/Rome", "UTC", ""};

QString zoneName(const QByteArray& z)
{
    return z.isEmpty() ? QStringLiteral("machine zone") : QString::fromLatin1(z);
}

// Texts of every kind the program meets, and what the quick reader must decide:
// "always", "no clock change" (decides only in a zone without one there), or "never".
struct Case {
    const char* text;
    const char* quick;
};

const Case kCases[] = {
    {"05/03/2021", "always"},
    {"5/3/2021", "always"},
    {"05/03/2021 14:30", "always"},
    {"05/03/2021 14:30:10", "always"},
    {"5/3/2021 9:05", "always"},
    {"5/3/2021 9:05:07", "always"},
    {"5/03/2021 09:05:07", "always"},
    {"15/7/2021 23:59:59", "always"},
    {"2021-03-05 14:30:10", "always"},
    {"2021-03-05 00:00:00", "always"},
    {"  05/03/2021 14:30:10  ", "always"},
    // Forms only the general parsers read.
    {"2021-03-05", "never"},
    {"2021-03-05T14:30:10", "never"},
    {"20210305", "never"},
    {"2024/03/15 08:05:09", "never"},
    {"2024/03/15", "never"},
    {"5-3-2021", "never"},
    {"05.03.2021", "never"},
    {"05/03/21", "never"},
    {"5-3-99", "never"},
    {"2021-03-05 14:30", "never"},
    {"2021-03-05 14:30:10.500", "never"},
    {"1/2/-2024 01:02:03", "never"},
    // Days and times that do not exist.
    {"31/02/2021", "never"},
    {"31/02/2021 10:00:00", "never"},
    {"29/02/2023", "never"},
    {"29/02/2024", "always"},
    {"29/02/2024 23:59:59", "always"},
    {"2023-02-29 10:00:00", "never"},
    {"2024-02-29 10:00:00", "always"},
    {"00/03/2021", "never"},
    {"05/00/2021", "never"},
    {"05/13/2021", "never"},
    {"31/04/2021", "never"},
    {"05/03/2021 24:00:00", "never"},
    {"05/03/2021 10:60", "never"},
    {"05/03/2021 10:59:60", "never"},
    {"2021-03-05 24:00:00", "never"},
    // Around clock changes: the skipped spring hour, the repeated autumn hour, the day of
    // a change at midnight, and the hours next to them.
    {"31/03/2024 02:30:00", "no clock change"},
    {"31/03/2024 2:30", "no clock change"},
    {"2024-03-31 02:30:00", "no clock change"},
    {"31/03/2024 01:59:59", "no clock change"},
    {"31/03/2024 03:00:00", "no clock change"},
    {"31/03/2024", "no clock change"},
    {"30/03/2024 12:00:00", "no clock change"},
    {"27/10/2024 02:30:00", "no clock change"},
    {"27/10/2024 2:30", "no clock change"},
    {"2024-10-27 02:30:00", "no clock change"},
    {"27/10/2024 01:30:00", "no clock change"},
    {"27/10/2024 03:00:00", "no clock change"},
    {"27/10/2024", "no clock change"},
    {"22/05/1966", "no clock change"},
    {"22/05/1966 00:30:00", "no clock change"},
    {"24/09/1967", "no clock change"},
    {"24/09/1967 00:30:00", "no clock change"},
    {"1966-05-22 00:30:00", "no clock change"},
    // The years the quick reader takes.
    {"1/1/1900 12:00:00", "always"},
    {"31/12/2199 23:59:59", "always"},
    {"31/12/1899 12:00:00", "never"},
    {"1/1/2200", "never"},
    // Garbage.
    {"abc", "never"},
    {"05/03/2021x", "never"},
    {"05/03/2021 1:5", "never"},
    {"05/03/2021 10:5:07", "never"},
    {"05/03/2021  10:00", "never"},
    {"05/03/2021\t10:00", "never"},
    {"05/03/2021 10:00:", "never"},
    {"05/03/2021 ", "always"},
    {"005/03/2021", "never"},
    {"05/003/2021", "never"},
    {"05/03/02021", "never"},
    {"05/03/021", "never"},
    {"05//2021", "never"},
    {"/03/2021", "never"},
    {"+5/3/2021", "never"},
    {"05/03/2021 10:00:00.123", "never"},
    {"2021-3-5 14:30:10", "never"},
    {"2021-03-05  14:30:10", "never"},
    {"\u0660\u0665/\u0660\u0663/\u0662\u0660\u0662\u0661", "never"},
    {"\uff10\uff15/03/2021", "never"},
    {"", "never"},
    {"   ", "never"},
};

} // namespace

class TstDateText : public QObject
{
    Q_OBJECT
  private slots:
    void sameAsGeneralParsers_data();
    void sameAsGeneralParsers();
    void sameAroundEveryClockChange_data();
    void sameAroundEveryClockChange();
    void archiveDateColumn_data();
    void archiveDateColumn();
    void sameTextInAnotherZone();
};

void TstDateText::sameAsGeneralParsers_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("quick");
    for (const QByteArray& z : kZones)
        for (const Case& c : kCases)
            QTest::addRow("%s: [%s]", qPrintable(zoneName(z)), c.text)
                << z << QString::fromUtf8(c.text) << QString::fromLatin1(c.quick);
}

void TstDateText::sameAsGeneralParsers()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, text);
    QFETCH(QString, quick);
    const ZoneScope scope(zone);
    const QDateTime fallback(QDate(1899, 12, 30), QTime(0, 0));

    // The C library resolves a repeated hour from the offset of the conversion before, so
    // each reading follows once a winter and once a summer conversion.
    for (const QDate& before : {QDate(2024, 1, 15), QDate(2024, 7, 15)}) {
        (void)QDateTime(before, QTime(12, 0)).toMSecsSinceEpoch();
        const QDateTime got = Qor().TextToDate(text);
        QCOMPARE(describe(got), describe(refTextToDate(text)));
        QCOMPARE(got == refTextToDate(text), true);
        (void)QDateTime(before, QTime(12, 0)).toMSecsSinceEpoch();
        QCOMPARE(describe(Qor().TextToDate(text, fallback)), describe(refTextToDate(text, fallback)));
        (void)QDateTime(before, QTime(12, 0)).toMSecsSinceEpoch();
        const QDateTime parsed = ado::ParseDate(text);
        QCOMPARE(describe(parsed), describe(refParseDate(text)));
    }

    // The file's day in the list rows, from the file date text the scanner writes.
    XML_Stru r;
    r.setDataFile(text);
    const QString day = refDayKey(Qor().GetField(text, 1, QStringLiteral(" "), false));
    QCOMPARE(r.ToPipe(7, QStringLiteral("|")).mid(25, day.size() + 7),
             QStringLiteral(" | ") + day + QStringLiteral("  | "));

    const QString t = text.trimmed();
    QDateTime quickValue;
    const bool decided = DateText::ToLocal(t, quickValue);
    if (decided) QCOMPARE(describe(quickValue), describe(refTextToDate(t)));
    const QString key = DateText::DayKey(t);
    if (!key.isNull()) QCOMPARE(key, refDayKey(t));
    // The archive's text of the same reading, when it decides.
    const QString iso = DateText::IsoText(t);
    QCOMPARE(!iso.isNull(), decided);
    if (decided) QCOMPARE(iso, refParseDate(t).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));

    // Where the quick reader decides; a zone with no clock change near the text counts as one
    // without (Europe/Rome has them, the others here are UTC).
    const bool changesHere = zone == "Europe/Rome";
    const bool expected = quick == QLatin1String("always") || (quick == QLatin1String("no clock change") && !changesHere);
    QCOMPARE(decided, expected);
    const bool dayOnly = decided && !t.contains(QLatin1Char(' ')) && t.contains(QLatin1Char('/'));
    QCOMPARE(!key.isNull(), dayOnly);
}

void TstDateText::sameAroundEveryClockChange_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<int>("firstYear");
    QTest::addColumn<int>("lastYear");
    QTest::newRow("Rome, first clock changes") << QByteArray("Europe/Rome") << 1915 << 1921;
    QTest::newRow("Rome, war years") << QByteArray("Europe/Rome") << 1939 << 1949;
    QTest::newRow("Rome, changes at midnight") << QByteArray("Europe/Rome") << 1965 << 1981;
    QTest::newRow("Rome, today's rules") << QByteArray("Europe/Rome") << 2023 << 2027;
    QTest::newRow("Rome, far ahead") << QByteArray("Europe/Rome") << 2098 << 2101;
    QTest::newRow("UTC") << QByteArray("UTC") << 2023 << 2025;
}

// Every day of the years in every form the quick readers take: days next to a clock
// change at every hour such changes use, the other days at one of them in turn.
void TstDateText::sameAroundEveryClockChange()
{
    QFETCH(QByteArray, zone);
    QFETCH(int, firstYear);
    QFETCH(int, lastYear);
    const ZoneScope scope(zone);
    const QTime times[] = {QTime(0, 0), QTime(0, 30), QTime(1, 30, 5), QTime(2, 30), QTime(3, 0), QTime(23, 30)};
    for (QDate d(firstYear, 1, 1); d.year() <= lastYear; d = d.addDays(1)) {
        const QString day = QStringLiteral("%1/%2/%3").arg(d.day()).arg(d.month()).arg(d.year());
        QCOMPARE(describe(Qor().TextToDate(day)), describe(refTextToDate(day)));
        const QString key = DateText::DayKey(day);
        if (!key.isNull()) QCOMPARE(key, refDayKey(day));
        const bool nearChange = QDateTime(d.addDays(-2), QTime(12, 0)).offsetFromUtc() !=
                                QDateTime(d.addDays(2), QTime(12, 0)).offsetFromUtc();
        const int turn = int(d.toJulianDay() % std::size(times));
        for (int i = 0; i < int(std::size(times)); ++i) {
            if (!nearChange && i != turn) continue;
            const QTime& t = times[i];
            const QStringList texts = {
                d.toString(QStringLiteral("dd/MM/yyyy ")) + t.toString(QStringLiteral("HH:mm:ss")),
                day + t.toString(QStringLiteral(" H:mm")),
                d.toString(QStringLiteral("yyyy-MM-dd ")) + t.toString(QStringLiteral("HH:mm:ss")),
            };
            for (const QString& text : texts) {
                QCOMPARE(describe(Qor().TextToDate(text)), describe(refTextToDate(text)));
                QCOMPARE(describe(ado::ParseDate(text)), describe(refParseDate(text)));
                const QString iso = DateText::IsoText(text);
                if (!iso.isNull())
                    QCOMPARE(iso, refParseDate(text).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
            }
        }
    }
}

void TstDateText::archiveDateColumn_data()
{
    QTest::addColumn<QByteArray>("zone");
    for (const QByteArray& z : kZones)
        QTest::newRow(qPrintable(zoneName(z))) << z;
}

// A date column gives back, for every stored text, what it gave before; and a text
// assigned to a date column is stored as before, or refused as before.
void TstDateText::archiveDateColumn()
{
    QFETCH(QByteArray, zone);
    const ZoneScope scope(zone);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.path() + QStringLiteral("/DIR_TMP.MDB");
    ado::CreateDatabase(path);
    ado::Connection cn;
    cn.Open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
    cn.Execute(QStringLiteral("CREATE TABLE T (k int, d datetime NULL)"));
    QStringList texts;
    for (const Case& c : kCases)
        texts << QString::fromUtf8(c.text);
    cn.BeginTrans();
    for (int k = 0; k < texts.size(); ++k)
        cn.Execute(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {k, texts.at(k)});
    cn.CommitTrans();

    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT k, d FROM T ORDER BY k"), cn, ado::adOpenStatic, ado::adLockReadOnly);
    int k = 0;
    for (; !rs.EOF_(); rs.MoveNext(), ++k) {
        QCOMPARE(rs[0].Value().toInt(), k);
        const QString& text = texts.at(k);
        bool number = false;
        text.toDouble(&number);
        if (number) continue; // the column's numeric affinity stores it as a number
        QVERIFY2(describe(rs[1].Value()) == describe(refReadDate(text)), qPrintable(text));
    }
    QCOMPARE(k, int(texts.size()));
    rs.Close();

    ado::Recordset w;
    w.Open(QStringLiteral("SELECT * FROM T"), cn, ado::adOpenKeyset, ado::adLockOptimistic);
    for (const QString& text : texts) {
        w.AddNew();
        w["k"] = 1000;
        const QDateTime want = refParseDate(text);
        bool refused = false;
        try {
            w["d"] = text;
        } catch (const ado::Error&) {
            refused = true;
        }
        QVERIFY2(refused == (!want.isValid() && !text.trimmed().isEmpty()), qPrintable(text));
        if (!refused) QVERIFY2(describe(w["d"].Value()) == describe(want.isValid() ? QVariant(want) : QVariant()),
                               qPrintable(text));
        w.CancelUpdate();
    }
    w.Close();
    cn.Close();
}

// One text read again right after the zone changed: the value is the new zone's, both
// from a text and from the archive's date column.
void TstDateText::sameTextInAnotherZone()
{
    const QString text = QStringLiteral("15/07/2025 10:30:00");
    for (const QByteArray& zone : {QByteArray("Europe/Rome"), QByteArray("UTC"), QByteArray("America/New_York"),
                                   QByteArray("Europe/Rome")}) {
        const ZoneScope scope(zone);
        QDateTime quick;
        QVERIFY(DateText::ToLocal(text, quick));
        QCOMPARE(describe(quick), describe(refTextToDate(text)));
        QCOMPARE(describe(Qor().TextToDate(text)), describe(refTextToDate(text)));
        QCOMPARE(describe(ado::ParseDate(text)), describe(refParseDate(text)));
    }
}

QTEST_GUILESS_MAIN(TstDateText)
#include "tst_datetext.moc"
