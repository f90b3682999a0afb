// Date texts per row: times Cl_QOR::TextToDate on the forms the program reads most
// ("dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy", "yyyy-MM-dd HH:mm:ss") against the general
// QDateTime::fromString tries it makes for other forms, and the archive layer's read of
// a date column against the same texts in a text column (the difference is the cost of
// the date conversion per row) and against the general parse of those texts. Prints the time per call and whether TZ was set (with TZ
// unset the C library looks at /etc/localtime on every local-time conversion).
//
//   bench_dates [--calls N] [--rows N]

#include "platform/ado/Ado.h"
#include "qor/Cl_QOR.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace
{

// The general parse, every form tried in turn.
QDateTime generalParse(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    static const char* const forms[] = {
        "d/M/yyyy H:mm:ss", "d/M/yyyy H:mm",       "d/M/yyyy",   "d-M-yyyy",
        "d.M.yyyy",         "yyyy-MM-dd HH:mm:ss", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd",
        "yyyyMMdd",         "yyyy/MM/dd HH:mm:ss", "yyyy/MM/dd HH:mm",    "yyyy/MM/dd",
    };
    for (const char* f : forms) {
        const QDateTime d = QDateTime::fromString(t, QLatin1String(f));
        if (d.isValid()) return d;
    }
    return {};
}

// The archive's read of a stored date text by the general parse: its own form first,
// then the day-first forms and the others.
QDateTime generalRead(const QString& s)
{
    const QDateTime d = QDateTime::fromString(s, QLatin1String("yyyy-MM-dd HH:mm:ss"));
    if (d.isValid()) return d;
    static const char* const forms[] = {
        "d/M/yyyy H:mm:ss",    "d/M/yyyy H:mm",           "d/M/yyyy",         "yyyy-MM-dd HH:mm:ss",
        "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm", "yyyy-MM-dd",
    };
    for (const char* f : forms) {
        const QDateTime e = QDateTime::fromString(s.trimmed(), QLatin1String(f));
        if (e.isValid()) return e;
    }
    return {};
}

QStringList texts(int n, const QString& form)
{
    QStringList out;
    out.reserve(n);
    const QDateTime start(QDate(2023, 1, 1), QTime(8, 0));
    for (int i = 0; i < n; ++i)
        out << start.addSecs(qint64(i) * 977).toString(form);
    return out;
}

double nsPerCall(const QStringList& in, const std::function<QDateTime(const QString&)>& f)
{
    qint64 sink = 0;
    QElapsedTimer t;
    t.start();
    for (const QString& s : in)
        sink += f(s).date().day();
    const double ns = double(t.nsecsElapsed()) / in.size();
    if (sink == 42) std::puts("");
    return ns;
}

// Reads every row's second column through a static recordset; nanoseconds per row.
double nsPerRow(ado::Connection& cn, const QString& table, int rows)
{
    qint64 sink = 0;
    QElapsedTimer t;
    t.start();
    ado::Recordset rs;
    rs.Open(QStringLiteral("SELECT k, d FROM ") + table, cn, ado::adOpenStatic, ado::adLockReadOnly);
    for (; !rs.EOF_(); rs.MoveNext())
        sink += rs[1].Value().isValid() ? 1 : 0;
    rs.Close();
    const double ns = double(t.nsecsElapsed()) / rows;
    if (sink != rows) std::printf("unexpected: %lld rows read of %d\n", static_cast<long long>(sink), rows);
    return ns;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    p.addOption({QStringLiteral("calls"), QStringLiteral("Texts read per form."), QStringLiteral("N"),
                 QStringLiteral("100000")});
    p.addOption({QStringLiteral("rows"), QStringLiteral("Rows of the date table."), QStringLiteral("N"),
                 QStringLiteral("50000")});
    p.process(app);
    const int calls = qMax(1, p.value(QStringLiteral("calls")).toInt());
    const int rows = qMax(1, p.value(QStringLiteral("rows")).toInt());

    std::printf("TZ %s\n", qEnvironmentVariableIsSet("TZ") ? qgetenv("TZ").constData() : "not set");
    std::printf("TextToDate, %d texts per form (ns per call)\n", calls);
    std::printf("  %-22s %12s %12s %8s\n", "form", "general", "TextToDate", "ratio");
    for (const char* form : {"dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy", "yyyy-MM-dd HH:mm:ss"}) {
        const QStringList in = texts(calls, QString::fromLatin1(form));
        const double general = nsPerCall(in, generalParse);
        const double quick = nsPerCall(in, [](const QString& s) { return Qor().TextToDate(s); });
        std::printf("  %-22s %12.0f %12.0f %8.1f\n", form, general, quick, general / quick);
    }

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/DIR_TMP.MDB");
    ado::CreateDatabase(path);
    ado::Connection cn;
    cn.Open(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
    cn.Execute(QStringLiteral("CREATE TABLE D (k int, d datetime NULL)"));
    cn.Execute(QStringLiteral("CREATE TABLE S (k int, d varchar(30) NULL)"));
    const QStringList stored = texts(rows, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    cn.BeginTrans();
    for (int i = 0; i < rows; ++i) {
        cn.Execute(QStringLiteral("INSERT INTO D VALUES (?, ?)"), {i, stored.at(i)});
        cn.Execute(QStringLiteral("INSERT INTO S VALUES (?, ?)"), {i, stored.at(i)});
    }
    cn.CommitTrans();
    nsPerRow(cn, QStringLiteral("S"), rows); // warm up
    const double text = nsPerRow(cn, QStringLiteral("S"), rows);
    const double date = nsPerRow(cn, QStringLiteral("D"), rows);
    const double general = nsPerCall(stored, generalRead);
    std::printf("archive read, %d rows (ns per row)\n", rows);
    std::printf("  text column %.0f, date column %.0f: date conversion %.0f; by the general parse %.0f\n",
                text, date, date - text, general);
    cn.Close();
    return 0;
}
