// The files the invoice list reads from a folder: the same names, in the same order, as
// Qt's folder listing with the "*.XML" filter, files only, sorted by name without regard
// to case; names that are not UTF-8 apart.
#include "archive/M_Files.h"
#include "platform/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// One entry to make: "f:name" a file, "d:name" a folder, "p:name" a pipe,
// "l:name>target" a link; names in UTF-8 with %XX for raw bytes.
QByteArray rawName(const QString& text)
{
    return QByteArray::fromPercentEncoding(text.toUtf8());
}

bool make(const QByteArray& folder, const QString& entry)
{
    const QChar kind = entry.at(0);
    const QString rest = entry.mid(2);
    if (kind == QLatin1Char('l')) {
        const qsizetype at = rest.indexOf(QLatin1Char('>'));
        return ::symlink(rawName(rest.mid(at + 1)).constData(), (folder + rawName(rest.left(at))).constData()) == 0;
    }
    const QByteArray path = folder + rawName(rest);
    if (kind == QLatin1Char('d')) return ::mkdir(path.constData(), 0755) == 0;
    if (kind == QLatin1Char('p')) return ::mkfifo(path.constData(), 0644) == 0;
    QFile f(QFile::decodeName(path));
    if (path.contains('\xff') || !QByteArrayView(path).isValidUtf8()) {
        // Qt cannot name it: made with the C call.
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        return fd >= 0 && ::write(fd, "<x/>", 4) == 4 && ::close(fd) == 0;
    }
    return f.open(QIODevice::NewOnly) && f.write("<x/>") == 4;
}

// Removes what Qt cannot name (names not UTF-8) before the temporary folder goes.
struct RawCleanup {
    QByteArray folder;
    ~RawCleanup()
    {
        DIR* dir = ::opendir(folder.constData());
        if (!dir) return;
        while (const dirent* e = ::readdir(dir)) {
            const QByteArray path = folder + e->d_name;
            if (!QByteArrayView(e->d_name).isValidUtf8() && ::unlink(path.constData()) != 0)
                ::rmdir(path.constData());
        }
        ::closedir(dir);
    }
};

} // namespace

class TstFolderFiles : public QObject
{
    Q_OBJECT

  private slots:
    void sameAsQtListing_data();
    void sameAsQtListing();
};

void TstFolderFiles::sameAsQtListing_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("form"); // how the folder is written: "slash", "bare", "dotdot"
    QTest::addColumn<QStringList>("undecodable");

    QTest::newRow("empty folder") << QStringList{} << "slash" << QStringList{};
    QTest::newRow("extension in any case")
        << QStringList{"f:a.xml", "f:B.XML", "f:c.Xml", "f:d.xMl", "f:e.txt", "f:f.xml.bak", "f:xml",
                       "f:g.xmlx", "f:h xml", "f:i.x ml", "f:j..xml", "f:k.xml "}
        << "slash" << QStringList{};
    QStringList ties{"f:A.xml", "f:a.XML", "f:a.xMl"};
    for (int i = 0; i < 24; ++i) {
        ties << QStringLiteral("f:n%1.xml").arg(i, 2, 10, QLatin1Char('0'))
             << QStringLiteral("f:N%1.XML").arg(i, 2, 10, QLatin1Char('0'));
        ties << QStringLiteral("f:IT01234567890_%1.xml").arg(23 - i, 5, 10, QLatin1Char('0'));
    }
    QTest::newRow("names equal but for case") << ties << "slash" << QStringList{};
    QTest::newRow("hidden names")
        << QStringList{"f:.xml", "f:.h.xml", "f:.XML", "f:..xml", "f:visible.xml", "d:.d.xml"} << "slash"
        << QStringList{};
    QTest::newRow("folders named like files")
        << QStringList{"d:x.xml", "d:Y.XML", "f:z.xml", "d:sub", "f:sub.xml"} << "bare" << QStringList{};
    QTest::newRow("links and special files")
        << QStringList{"f:z.xml",           "d:sub",           "p:pipe",          "p:pipe.xml",
                       "l:to-file.xml>z.xml", "l:dangling.xml>none", "l:to-dir.xml>sub", "l:to-pipe.xml>pipe",
                       "l:loop.xml>loop.xml", "l:chain.XML>to-file.xml", "l:abs.xml>/dev/null", "l:other.lnk>z.xml"}
        << "slash" << QStringList{};
    QTest::newRow("letters beyond ASCII")
        << QStringList{"f:\u0130.xml", "f:i.xml",      "f:j.xml",      "f:\u00df.xml", "f:ss.xml",
                       "f:SS.XML",     "f:\u00e9.xml", "f:E.xml",      "f:f.xml",      "f:\u03a9.xml",
                       "f:\u03c9.xml", "f:\u03c2.xml", "f:\u03c3.xml", "f:\u03a3.xml", "f:\U0001F600.xml",
                       "f:\U0001F601.xml", "f:\uFB00.xml", "f:ff.xml", "f:_.xml", "f:[.xml", "f:a_b.xml",
                       "f:aB.xml",     "f:\u212a.xml", "f:k.xml", "f:\u017f.xml", "f:s.xml", "f:t.xml", "f:\u03c4.xml",      "f:\uff58.xml", "f:a\uff38\uff2d\uff2c"}
        << "slash" << QStringList{};
    QTest::newRow("names not UTF-8")
        << QStringList{"f:caff%E8.xml", "f:%FF.XML", "f:.%E8.xml", "d:%E9.xml", "l:%E0link.xml>ok.xml",
                       "l:%E1dangling.xml>none", "f:ok.xml", "f:%E8.txt", "f:%C3.xml"}
        << "slash"
        << QStringList{".\u00e8.xml", "caff\u00e8.xml", "\u00c3.xml", "\u00e0link.xml", "\u00ff.XML"};
    QTest::newRow("folder written with ..")
        << QStringList{"f:b.xml", "f:A.xml"} << "dotdot" << QStringList{};
}

void TstFolderFiles::sameAsQtListing()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, form);
    QFETCH(QStringList, undecodable);
    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    const QString base = temp.path() + QStringLiteral("/list/");
    QVERIFY(QDir().mkpath(base + QStringLiteral("other")));
    const QByteArray raw = QFile::encodeName(base);
    const RawCleanup cleanup{raw};
    for (const QString& e : entries)
        QVERIFY2(make(raw, e), qPrintable(e));

    QString folder = base;
    if (form == QLatin1String("bare")) folder.chop(1);
    if (form == QLatin1String("dotdot")) folder = base + QStringLiteral("other/../");

    const QStringList qt =
        QDir(folder).entryList({QStringLiteral("*.XML")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList bad{QStringLiteral("?")};
    const QStringList ours = MDB_XmlFiles(folder, &bad);
    QCOMPARE(ours, qt);
    QCOMPARE(bad, undecodable);
    QCOMPARE(MDB_XmlFiles(folder), qt);
}

QTEST_MAIN(TstFolderFiles)
#include "tst_folderfiles.moc"
