// The header scanner against the literal-search scanner it replaced (ScanOracle): on a
// generated corpus, on every sample file and on the paths that read nothing, both must
// give the same record, field by field, the same line and the same error.
#include "ScanOracle.h"
#include "archive/M_XML.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <QTest>

#include <cstdlib>
#include <ctime>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>

namespace
{

// Every field of a record, the comparison key last (reading it builds it).
QStringList dump(const XML_Stru& r)
{
    return {
        QStringLiteral("NomeFile=") + r.NomeFile(),
        QStringLiteral("NomeFileSolo=") + r.NomeFileSolo(),
        QStringLiteral("LenFile=") + QString::number(r.LenFile(), 'g', 17),
        QStringLiteral("DataFile=") + r.DataFile(),
        QStringLiteral("TipoDoc=") + r.TipoDoc(),
        QStringLiteral("NumDoc=") + r.NumDoc(),
        QStringLiteral("datdoc=") + r.datdoc(),
        QStringLiteral("Emitt=") + r.Emitt(),
        QStringLiteral("EmittPI=") + r.EmittPI(),
        QStringLiteral("EmittCF=") + r.EmittCF(),
        QStringLiteral("EmittNome=") + r.EmittNome(),
        QStringLiteral("EmittCogn=") + r.EmittCogn(),
        QStringLiteral("Destin=") + r.Destin(),
        QStringLiteral("DestinPI=") + r.DestinPI(),
        QStringLiteral("DestinCF=") + r.DestinCF(),
        QStringLiteral("DestinNome=") + r.DestinNome(),
        QStringLiteral("DestinCogn=") + r.DestinCogn(),
        QStringLiteral("AttachName=") + r.AttachName(),
        QStringLiteral("Confronto=") + r.Confronto(),
    };
}

// A record that already holds something, so that "left as it was" shows.
XML_Stru previous()
{
    XML_Stru r;
    r.setNomeFile(QStringLiteral("/previous/file.xml"));
    r.setEmitt(QStringLiteral("PREVIOUS"));
    r.setNumDoc(QStringLiteral("7"));
    r.setLenFile(7);
    return r;
}

struct Outcome {
    QString line;
    QStringList record;
    std::optional<XML_ReadError> error;
};

template <typename Read> Outcome run(Read read, const QString& path)
{
    Outcome o;
    XML_Stru r = previous();
    try {
        o.line = read(path, r);
    } catch (const XML_ReadError& e) {
        o.error = e;
    }
    o.record = dump(r);
    return o;
}

// Compares the two scanners on one path; a failure names the file.
bool same(const QString& path, QString* why)
{
    // The new scanner first: the old one sets the C library's time zone on every read,
    // which would hide a new one that fails to follow a change of TZ.
    const Outcome got = run(XML_ReadHeader, path);
    const Outcome want = run(scanoracle::readHeader, path);
    const auto fail = [&](const QString& what, const QString& a, const QString& b) {
        *why = path + QStringLiteral(": ") + what + QStringLiteral("\n  oracle: ") + a +
               QStringLiteral("\n  new:    ") + b;
        return false;
    };
    if (want.error.has_value() != got.error.has_value())
        return fail(QStringLiteral("error"), want.error ? want.error->Description : QStringLiteral("none"),
                    got.error ? got.error->Description : QStringLiteral("none"));
    if (want.error &&
        (want.error->Number != got.error->Number || want.error->Description != got.error->Description))
        return fail(QStringLiteral("error"), want.error->Description, got.error->Description);
    if (want.line != got.line) return fail(QStringLiteral("line"), want.line, got.line);
    for (qsizetype i = 0; i < want.record.size(); ++i)
        if (want.record[i] != got.record[i])
            return fail(QStringLiteral("field"), want.record[i], got.record[i]);

    // The record-only call fills the same record and says what it found.
    XML_Stru r = previous();
    XML_Found found = XML_Found::Nothing;
    try {
        found = XML_ReadRecord(path, r);
    } catch (const XML_ReadError& e) {
        if (!got.error) return fail(QStringLiteral("record-only error"), QString(), e.Description);
        return true;
    }
    if (got.error) return fail(QStringLiteral("record-only error"), got.error->Description, QString());
    const XML_Found expected = got.line.isEmpty()               ? XML_Found::Nothing
                               : got.record != dump(previous()) ? XML_Found::Invoice
                                                                : XML_Found::Other;
    if (found != expected) return fail(QStringLiteral("record-only kind"), QString(), QString());
    const QStringList only = dump(r);
    for (qsizetype i = 0; i < only.size(); ++i)
        if (only[i] != got.record[i])
            return fail(QStringLiteral("record-only field"), got.record[i], only[i]);
    return true;
}

// Sets a file's modified time to the second and nanosecond.
bool setMtime(const QString& path, qint64 secs, long nsecs)
{
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(secs);
    times[1].tv_nsec = nsecs;
    return utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

// Random invoice-like files: the tags the scanner looks for in every order, some missing,
// some doubled, values that test its decoding, and filler that moves tags across the end
// of the head.
class Corpus
{
  public:
    explicit Corpus(quint32 seed) : rng_(seed) {}

    QByteArray file()
    {
        QList<QByteArray> parts;
        parts << party("CedentePrestatore") << party("CessionarioCommittente") << document();
        if (chance(25)) parts << party(chance(50) ? "CedentePrestatore" : "CessionarioCommittente");
        if (chance(20))
            parts << "<RappresentanteFiscale>" + party("DatiAnagrafici") + "</RappresentanteFiscale>";
        if (chance(30)) parts << attachment();
        if (chance(20)) parts << "<Nome>" + name() + "</Nome>"; // a name outside any party
        if (chance(15)) parts << document();
        if (chance(60))
            shuffle(parts);
        else if (chance(30))
            std::swap(parts[0], parts[1]);

        QByteArray x = chance(10) ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        x += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<p:FatturaElettronica versione=\"FPR12\">\n";
        for (const QByteArray& p : parts) {
            x += p;
            if (chance(30)) x += filler(pick(4000));
        }
        if (chance(12)) x += noise();
        // Tags, or a two-byte character, across the end of the head.
        if (chance(35)) {
            const QByteArray late = chance(30)   ? QByteArray("\xC3\xA0")
                                    : chance(50) ? attachment()
                                                 : parts[pick(parts.size())];
            const qsizetype at = XML_HeadBytes - pick(qMin<qsizetype>(late.size(), 40) + 1);
            if (x.size() < at) x += filler(at - x.size());
            x += late;
        }
        if (chance(30)) x += filler(pick(60000));
        if (chance(30)) x += attachment();
        x += "</p:FatturaElettronica>\n";
        if (chance(3)) x.truncate(pick(x.size() + 1));
        // Ending right after a tag, where a search must still find it.
        if (chance(6)) {
            const qsizetype gt = x.lastIndexOf('>', pick(qMin<qsizetype>(x.size(), XML_HeadBytes)));
            if (gt > 0) x.truncate(gt + 1);
        }
        return x;
    }

    bool chance(int percent) { return int(rng_.bounded(100u)) < percent; }
    qsizetype pick(qsizetype below) { return below <= 1 ? 0 : qsizetype(rng_.bounded(quint32(below))); }

  private:
    void shuffle(QList<QByteArray>& list)
    {
        for (qsizetype i = list.size() - 1; i > 0; --i)
            std::swap(list[i], list[pick(i + 1)]);
    }

    QByteArray name()
    {
        static const QByteArray names[] = {
            "ALFA SRL",
            "SOCIET\xC3\x80 BETA", // UTF-8
            "SOCIET\xC0 GAMMA",    // Windows-1252: the whole file is read as such
            "DELTA &amp; FIGLI (SEDE DI ROMA) SPA",
            "  EPSILON  ",
            "ZETA\n   SNC",
            "ETA | ETA",
            "[THETA] IOTA {KAPPA}",
            "",
            "LAMBDA &amp;amp; MU",
            "TAU &amp; UPSILON &amp; PHI",
            "NU) XI (OMICRON",
            "\xE2\x82\xAC PI",      // three-byte UTF-8
            "\xF0\x9F\x98\x80 RHO", // four-byte UTF-8
            "SIGMA\xC3",            // a sequence cut short
        };
        return names[pick(std::size(names))];
    }

    QByteArray code() { return QByteArray::number(rng_.bounded(100000000u)).rightJustified(11, '0'); }

    QByteArray party(const char* tag)
    {
        QList<QByteArray> in;
        if (chance(85)) {
            QByteArray id = "<IdFiscaleIVA>";
            QList<QByteArray> idParts;
            if (chance(90)) idParts << "<IdPaese>" + QByteArray(chance(80) ? "IT" : "DE") + "</IdPaese>";
            if (chance(90)) idParts << "<IdCodice>" + code() + "</IdCodice>";
            if (chance(20)) shuffle(idParts);
            for (const QByteArray& p : idParts)
                id += p;
            in << id + (chance(95) ? "</IdFiscaleIVA>" : "");
        }
        if (chance(60)) in << "<CodiceFiscale>" + code() + "</CodiceFiscale>";
        QByteArray anag = "<Anagrafica>";
        const int kind = int(pick(5));
        if (kind == 0 || kind == 4) anag += "<Denominazione>" + name() + "</Denominazione>";
        if (kind == 1 || kind == 3 || kind == 4) anag += "<Nome>" + name() + "</Nome>";
        if (kind == 1 || kind == 2 || kind == 4) anag += "<Cognome>" + name() + "</Cognome>";
        in << anag + "</Anagrafica>";
        if (chance(25)) shuffle(in);
        QByteArray x = QByteArray("<") + tag + ">";
        if (chance(90)) x += "<DatiAnagrafici>";
        for (const QByteArray& p : in)
            x += p;
        if (chance(90)) x += "</DatiAnagrafici>";
        if (chance(15)) x += "<Sede><Nome>SEDE " + name() + "</Nome></Sede>";
        if (chance(90)) x += QByteArray("</") + tag + ">";
        return x + "\n";
    }

    QByteArray document()
    {
        static const QByteArray dates[] = {"2019-03-31",
                                           "  2014-12-18 ",
                                           "2020-02-29+01:00",
                                           "2021-06-01Z",
                                           "2018-01-02-05:00",
                                           "31/12/2019",
                                           "",
                                           "2019-13-45",
                                           "2019-01-01\n"};
        QList<QByteArray> in;
        if (chance(90))
            in << "<TipoDocumento>" + QByteArray(chance(70) ? "TD01" : "TD04") + "</TipoDocumento>";
        if (chance(90)) in << "<Data>" + dates[pick(std::size(dates))] + "</Data>";
        if (chance(90))
            in << "<Numero>" + (chance(20) ? name() : QByteArray::number(rng_.bounded(10000u))) + "</Numero>";
        if (chance(30)) shuffle(in);
        QByteArray x = chance(92) ? "<DatiGeneraliDocumento>" : "<DatiGenerali>";
        for (const QByteArray& p : in)
            x += p;
        return x + "</DatiGeneraliDocumento>\n";
    }

    QByteArray attachment()
    {
        return "<Allegati><NomeAttachment>" +
               (chance(80) ? "FT_" + QByteArray::number(pick(1000)) + ".pdf" : name()) +
               "</NomeAttachment><Attachment>" + filler(pick(200)) + "</Attachment></Allegati>\n";
    }

    // Detail lines or base64, n bytes of it.
    QByteArray filler(qsizetype n)
    {
        QByteArray x;
        if (chance(50)) {
            while (x.size() < n)
                x += "<DettaglioLinee><NumeroLinea>1</NumeroLinea><Descrizione>ARTICOLO " +
                     QByteArray::number(pick(100000)) +
                     "</Descrizione><Data>2019-01-01</Data></DettaglioLinee>\n";
        } else {
            static const char b64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
            x.reserve(n);
            while (x.size() < n)
                x += (x.size() % 77 == 76) ? '\n' : b64[pick(64)];
        }
        x.truncate(n);
        return x;
    }

    // Tag fragments and stray brackets.
    QByteArray noise()
    {
        static const QByteArray bits[] = {"<",
                                          "<<Data>",
                                          "<Data >",
                                          "<Nome",
                                          "</Nome>",
                                          "<Numero",
                                          ">",
                                          "<Cognome>",
                                          "<IdCodice>X",
                                          "</DatiAnagrafici>",
                                          "<NomeAttachment>",
                                          "<TipoDocumento>TD07",
                                          "<Denominazione>",
                                          "&amp;"};
        QByteArray x;
        for (int i = 0, n = 1 + int(pick(12)); i < n; ++i)
            x += bits[pick(std::size(bits))];
        return x;
    }

    QRandomGenerator rng_;
};

// Modified times that test the date: ordinary ones, local midnights, the hours around
// the clock changes, before 1970 and past 2037, with and without fractions of a second.
qint64 someTime(Corpus& c)
{
    static const qint64 times[] = {
        1553977353, // 2019-03-30 20:22:33 UTC
        1553986800, // 2019-03-30 23:00 UTC: midnight in Rome
        1554001200, // 2019-03-31 03:00 UTC
        1553994000, // 2019-03-31 01:00 UTC: Rome's clocks go forward
        1553993999, //   and the second before
        1572138000, // 2019-10-27 01:00 UTC: Rome's clocks go back
        1572134400, // 2019-10-27 00:00 UTC: the first of Rome's two 02:00
        1572148800, // 2019-10-27 04:00 UTC: midnight in New York
        0,          -1,         -86400 * 365, -2208988800,             // 1970, 1969, 1900
        2145916799, 2145916800, 2147483647,   2147483648,  4102444800, // 2037 and on
        86400 * 10, 1700000000,
    };
    if (c.chance(40)) return 1546300800 + c.pick(86400 * 365 * 3); // 2019-2021
    return times[c.pick(std::size(times))];
}

class ZoneGuard
{
  public:
    explicit ZoneGuard(const QByteArray& zone)
    {
        had_ = qEnvironmentVariableIsSet("TZ");
        old_ = qgetenv("TZ");
        if (zone.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", zone);
        // No tzset() here: the scanner must notice the change itself, as Qt does.
    }
    ~ZoneGuard()
    {
        if (had_)
            qputenv("TZ", old_);
        else
            qunsetenv("TZ");
    }

  private:
    bool had_ = false;
    QByteArray old_;
};

} // namespace

class TstScanOracle : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void corpus_data();
    void corpus();
    void samples_data();
    void samples();
    void pathsThatReadNothing_data();
    void pathsThatReadNothing();

  private:
    QTemporaryDir dir_;
    QString folder_;
};

void TstScanOracle::initTestCase()
{
    QVERIFY(dir_.isValid());
    folder_ = dir_.path() + QLatin1Char('/');
}

void TstScanOracle::corpus_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("files");
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("zone from /etc/localtime") << 20190331u << 2000 << QByteArray();
    QTest::newRow("Europe/Rome") << 20191027u << 2000 << QByteArrayLiteral("Europe/Rome");
    QTest::newRow("America/New_York") << 20240110u << 1000 << QByteArrayLiteral("America/New_York");
    QTest::newRow("fixed offset, no rules") << 7u << 500 << QByteArrayLiteral("XYZ-5:30");
}

void TstScanOracle::corpus()
{
    QFETCH(quint32, seed);
    QFETCH(int, files);
    QFETCH(QByteArray, zone);
    const ZoneGuard guard(zone);
    Corpus c(seed);
    const QString sub = folder_ + QString::number(seed) + QLatin1Char('/');
    QVERIFY(QDir().mkpath(sub));
    for (int i = 0; i < files; ++i) {
        static const char* const ext[] = {".xml", ".XML", ".Xml", ".xml.p7m", ".txt", ""};
        const QString path = sub + QStringLiteral("IT%1_%2").arg(seed).arg(i) +
                             QLatin1String(c.chance(90) ? ext[c.pick(3)] : ext[3 + c.pick(3)]);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QByteArray bytes = i == 0 ? QByteArray() : i == 1 ? QByteArray("\xEF\xBB\xBF") : c.file();
        QCOMPARE(f.write(bytes), bytes.size());
        f.close();
        QVERIFY(setMtime(path, someTime(c), c.chance(50) ? long(c.pick(1000000000)) : 0));
        QString why;
        QVERIFY2(same(path, &why), qPrintable(why));
    }
}

void TstScanOracle::samples_data()
{
    QTest::addColumn<QString>("path");
    QDirIterator it(QStringLiteral(PLICORA_FIXTURES "/fatturapa"), QDir::Files, QDirIterator::Subdirectories);
    int n = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        QTest::newRow(qPrintable(path.mid(path.indexOf(QLatin1String("fatturapa"))))) << path;
        ++n;
    }
    QVERIFY(n > 0);
}

void TstScanOracle::samples()
{
    QFETCH(QString, path);
    QString why;
    QVERIFY2(same(path, &why), qPrintable(why));
    // A copy past the end of 2037, and one as the first second of 1970.
    const QString copy = folder_ + QStringLiteral("sample_") + QFileInfo(path).fileName();
    QFile::remove(copy);
    QVERIFY(QFile::copy(path, copy));
    for (const qint64 t : {qint64(4102444800), qint64(0)}) {
        QVERIFY(setMtime(copy, t, 0));
        QVERIFY2(same(copy, &why), qPrintable(why));
    }
}

void TstScanOracle::pathsThatReadNothing_data()
{
    QTest::addColumn<QString>("kind");
    for (const char* k : {"empty path", "blank path", "vanished file", "folder named like a file",
                          "pipe named like a file", "link to nothing", "unreadable file",
                          "unreadable, not XML", "trailing slash", "NUL inside the path", "not XML"})
        QTest::newRow(k) << QString::fromLatin1(k);
}

void TstScanOracle::pathsThatReadNothing()
{
    QFETCH(QString, kind);
    const QString base = folder_ + QStringLiteral("odd/");
    QVERIFY(QDir().mkpath(base));
    const QByteArray invoice = "<CedentePrestatore><Denominazione>ALFA</Denominazione></CedentePrestatore>";
    QString path;
    if (kind == QLatin1String("empty path")) {
    } else if (kind == QLatin1String("blank path")) {
        path = QStringLiteral("   ");
    } else if (kind == QLatin1String("vanished file")) {
        path = base + QStringLiteral("gone.xml");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(invoice);
        f.close();
        QVERIFY(QFile::remove(path));
    } else if (kind == QLatin1String("folder named like a file")) {
        path = base + QStringLiteral("folder.xml");
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("pipe named like a file")) {
        path = base + QStringLiteral("pipe.xml");
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (kind == QLatin1String("link to nothing")) {
        path = base + QStringLiteral("dangling.xml");
        QVERIFY(QFile::link(base + QStringLiteral("nothing.xml"), path));
    } else if (kind == QLatin1String("unreadable file") || kind == QLatin1String("unreadable, not XML")) {
        path = TestEnv::unreadableFile(base + (kind.contains(QLatin1String("not"))
                                                   ? QStringLiteral("locked.txt")
                                                   : QStringLiteral("locked.xml")),
                                       invoice);
        if (path.isEmpty()) QSKIP("no unreadable file can be made here");
    } else if (kind == QLatin1String("trailing slash")) {
        const QString file = base + QStringLiteral("slash.xml");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(invoice);
        f.close();
        path = file + QLatin1Char('/');
    } else if (kind == QLatin1String("NUL inside the path")) {
        // Cut at the NUL, the path would name a readable invoice.
        const QString file = base + QStringLiteral("real.xml");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(invoice);
        f.close();
        path = file + QChar(0) + QStringLiteral("other.xml");
    } else {
        path = base + QStringLiteral("notes.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(invoice);
        f.close();
    }
    QString why;
    QVERIFY2(same(path, &why), qPrintable(why));
}

QTEST_GUILESS_MAIN(TstScanOracle)
#include "tst_scan_oracle.moc"
