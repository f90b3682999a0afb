#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "support/TestEnv.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

class TstIniFile : public QObject
{
    Q_OBJECT
  private slots:
    void bareNameLandsInWindowsFolder();
    void read_data();
    void read();
    void writeKeepsLayout_data();
    void writeKeepsLayout();
    void sectionOperations();
    void windows1252FileReadRight();
    void unwritableFolderKeepsOldFile();
    void concurrentWritersLoseNoKey();
    void refusedTexts_data();
    void refusedTexts();
    void unreadableFileNeverRewritten_data();
    void unreadableFileNeverRewritten();
    void passwordFilesOwnersAlone_data();
    void passwordFilesOwnersAlone();
};

void TstIniFile::bareNameLandsInWindowsFolder()
{
    TestEnv env;
    QVERIFY(IniFile::write(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("ParamXML"),
                           QStringLiteral("Pth_0"), QStringLiteral("/tmp/a/")));
    QCOMPARE(Folders::resolveIniPath(QStringLiteral("QOR_PLCR.INI")),
             env.winDir() + QStringLiteral("QOR_PLCR.INI"));
    QCOMPARE(TestEnv::readFile(env.winDir() + QStringLiteral("QOR_PLCR.INI")),
             QByteArray("[ParamXML]\r\nPth_0=/tmp/a/\r\n"));
}

void TstIniFile::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("present");

    const QString def = QStringLiteral("<def>");
    QTest::newRow("plain") << QByteArray("[A]\r\nk=v\r\n") << "A"
                           << "k"
                           << "v" << true;
    QTest::newRow("case-insensitive section and key") << QByteArray("[ParamXML]\nDirZIP=x\n") << "PARAMXML"
                                                      << "dirzip"
                                                      << "x" << true;
    QTest::newRow("first duplicate key wins") << QByteArray("[A]\nk=1\nk=2\n") << "A"
                                              << "k"
                                              << "1" << true;
    QTest::newRow("first duplicate section wins") << QByteArray("[A]\nk=1\n[A]\nk=2\nj=3\n") << "A"
                                                  << "j" << def << false;
    QTest::newRow("blanks trimmed") << QByteArray("[A]\n  k  =   v w  \n") << "A"
                                    << "k"
                                    << "v w" << true;
    QTest::newRow("double quote pair removed") << QByteArray("[A]\nk=\" v \"\n") << "A"
                                               << "k"
                                               << " v " << true;
    QTest::newRow("single quote pair removed") << QByteArray("[A]\nk='v'\n") << "A"
                                               << "k"
                                               << "v" << true;
    QTest::newRow("unmatched quote kept") << QByteArray("[A]\nk=\"v\n") << "A"
                                          << "k"
                                          << "\"v" << true;
    QTest::newRow("empty value is present") << QByteArray("[A]\nk=\n") << "A"
                                            << "k"
                                            << "" << true;
    QTest::newRow("missing key gives default") << QByteArray("[A]\nj=1\n") << "A"
                                               << "k" << def << false;
    QTest::newRow("key of another section") << QByteArray("[A]\nj=1\n[B]\nk=2\n") << "A"
                                            << "k" << def << false;
    QTest::newRow("comment line is not a key") << QByteArray("[A]\n;k=1\nk=2\n") << "A"
                                               << "k"
                                               << "2" << true;
    QTest::newRow("value keeps its equals signs") << QByteArray("[A]\nk=a=b\n") << "A"
                                                  << "k"
                                                  << "a=b" << true;
    QTest::newRow("CR LF file") << QByteArray("[A]\r\nk=v\r\n[B]\r\nk=w\r\n") << "B"
                                << "k"
                                << "w" << true;
    QTest::newRow("UTF-8 section sign") << QByteArray("[A]\nk=riga1\xC2\xA7riga2\n") << "A"
                                        << "k" << QStringLiteral("riga1§riga2") << true;
    QTest::newRow("empty file") << QByteArray() << "A"
                                << "k" << def << false;
}

void TstIniFile::read()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QFETCH(bool, present);
    TestEnv env;
    env.writeFile(env.winDir() + QStringLiteral("T.INI"), content);
    QCOMPARE(IniFile::read(QStringLiteral("T.INI"), section, key, QStringLiteral("<def>")), expected);
    QCOMPARE(IniFile::hasKey(QStringLiteral("T.INI"), section, key), present);
}

void TstIniFile::writeKeepsLayout_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("missing file") << QByteArray() << "S"
                                  << "k"
                                  << "v" << QByteArray("[S]\r\nk=v\r\n");
    QTest::newRow("replace keeps key case of the call and other lines")
        << QByteArray("; note\n[S]\nKEY=old\nx=1\n") << "s"
        << "key"
        << "new" << QByteArray("; note\r\n[S]\r\nkey=new\r\nx=1\r\n");
    QTest::newRow("new key goes after the section's last key, before blank lines")
        << QByteArray("[S]\na=1\n\n[T]\nb=2\n") << "S"
        << "c"
        << "3" << QByteArray("[S]\r\na=1\r\nc=3\r\n\r\n[T]\r\nb=2\r\n");
    QTest::newRow("new section appended") << QByteArray("[S]\na=1\n") << "T"
                                          << "b"
                                          << "2" << QByteArray("[S]\r\na=1\r\n[T]\r\nb=2\r\n");
    QTest::newRow("empty value keeps the key") << QByteArray("[S]\na=1\n") << "S"
                                               << "a"
                                               << "" << QByteArray("[S]\r\na=\r\n");
    QTest::newRow("unknown lines kept") << QByteArray("garbage line\n[S]\n???\na=1\n") << "S"
                                        << "a"
                                        << "2" << QByteArray("garbage line\r\n[S]\r\n???\r\na=2\r\n");
}

void TstIniFile::writeKeepsLayout()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    TestEnv env;
    const QString path = env.winDir() + QStringLiteral("T.INI");
    if (!before.isEmpty()) env.writeFile(path, before);
    QVERIFY(IniFile::write(QStringLiteral("T.INI"), section, key, value));
    QCOMPARE(TestEnv::readFile(path), after);
    QCOMPARE(IniFile::read(QStringLiteral("T.INI"), section, key, QStringLiteral("<def>")), value);
}

void TstIniFile::sectionOperations()
{
    TestEnv env;
    const QString f = QStringLiteral("T.INI");
    env.writeFile(env.winDir() + f, "[S]\nb=2\na=1\nB=3\n[T]\nx=1\n");
    QCOMPARE(IniFile::keys(f, QStringLiteral("s")), QStringList({QStringLiteral("b"), QStringLiteral("a")}));
    QCOMPARE(IniFile::readSection(f, QStringLiteral("S")),
             QStringList({QStringLiteral("b=2"), QStringLiteral("a=1"), QStringLiteral("B=3")}));
    QCOMPARE(IniFile::readInt(f, QStringLiteral("S"), QStringLiteral("b"), 9), 2);
    QCOMPARE(IniFile::readInt(f, QStringLiteral("S"), QStringLiteral("zz"), 9), 9);

    QVERIFY(IniFile::writeSection(f, QStringLiteral("S"), {QStringLiteral("n=5")}));
    QCOMPARE(TestEnv::readFile(env.winDir() + f), QByteArray("[S]\r\nn=5\r\n[T]\r\nx=1\r\n"));
    QVERIFY(IniFile::removeKey(f, QStringLiteral("T"), QStringLiteral("X")));
    QVERIFY(IniFile::removeSection(f, QStringLiteral("s")));
    QCOMPARE(TestEnv::readFile(env.winDir() + f), QByteArray("[T]\r\n"));
    QCOMPARE(IniFile::sections(f), QStringList({QStringLiteral("T")}));
}

void TstIniFile::windows1252FileReadRight()
{
    TestEnv env;
    // "§" is 0xA7 and "è" 0xE8 in Windows-1252: not valid UTF-8.
    env.writeFile(env.winDir() + QStringLiteral("OLD.INI"), "[MailXML]\r\nTesto=Fatture\xA7"
                                                            "di d\xE8"
                                                            "cembre\r\n");
    QCOMPARE(IniFile::read(QStringLiteral("OLD.INI"), QStringLiteral("MailXML"), QStringLiteral("Testo")),
             QStringLiteral("Fatture§di dècembre"));
    // Written back in UTF-8, the other keys intact.
    QVERIFY(IniFile::write(QStringLiteral("OLD.INI"), QStringLiteral("MailXML"), QStringLiteral("Mode"),
                           QStringLiteral("CDO")));
    QCOMPARE(IniFile::read(QStringLiteral("OLD.INI"), QStringLiteral("MailXML"), QStringLiteral("Testo")),
             QStringLiteral("Fatture§di dècembre"));
}

void TstIniFile::unwritableFolderKeepsOldFile()
{
    TestEnv env;
    const QString dir = env.work() + QStringLiteral("ro/");
    const QString path = env.writeFile(dir + QStringLiteral("T.INI"), "[S]\r\na=1\r\n");
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(dir).isWritable()) QSKIP("running with rights that ignore folder permissions");
    QVERIFY(!IniFile::write(path, QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("2")));
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(IniFile::read(path, QStringLiteral("S"), QStringLiteral("a")), QStringLiteral("1"));
}

void TstIniFile::concurrentWritersLoseNoKey()
{
    TestEnv env;
    const QString path = env.winDir() + QStringLiteral("SHARED.INI");
    // Two shells append 40 keys each through the same lock and atomic-rename protocol by
    // re-running this test program in writer mode.
    const QString self = QCoreApplication::applicationFilePath();
    QList<QProcess*> writers;
    for (const char* who : {"A", "B"}) {
        auto* p = new QProcess(this);
        QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
        pe.insert(QStringLiteral("INI_WRITER"), QString::fromLatin1(who));
        pe.insert(QStringLiteral("INI_PATH"), path);
        p->setProcessEnvironment(pe);
        p->start(self, {});
        writers << p;
    }
    for (QProcess* p : writers) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
    }
    const QStringList keys = IniFile::keys(path, QStringLiteral("S"));
    QCOMPARE(keys.size(), 80);
}

void TstIniFile::refusedTexts_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    const QString s = QStringLiteral("ParamXML"), k = QStringLiteral("Pth_1");
    QTest::newRow("value plants a section") << s << k << "/x/evil\n[MailXML]\nIndir=a@b.it";
    QTest::newRow("value with CR") << s << k << "/x/a\rb";
    QTest::newRow("value with CR LF") << s << k << "/x/a\r\nb=1";
    QTest::newRow("key with LF") << s << "Pth_\n1"
                                 << "/x/";
    QTest::newRow("key with CR") << s << "Pth_1\r"
                                 << "/x/";
    QTest::newRow("key with =") << s << "Pth=1"
                                << "/x/";
    QTest::newRow("section with ]") << "Param]XML" << k << "/x/";
    QTest::newRow("section with LF") << "Param\nXML" << k << "/x/";
    QTest::newRow("section with CR") << "ParamXML\r" << k << "/x/";
}

void TstIniFile::refusedTexts()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    TestEnv env;
    const QByteArray before = "[ParamXML]\r\nPth_0=/a/\r\n[MailXML]\r\nIndir=io@qui.it\r\n";
    const QString path = env.writeFile(env.winDir() + QStringLiteral("T.INI"), before);
    QVERIFY(!IniFile::write(QStringLiteral("T.INI"), section, key, value));
    // A whole section written at once refuses the same texts ("=" is a line's own there).
    if (!key.contains(QLatin1Char('=')))
        QVERIFY(!IniFile::writeSection(QStringLiteral("T.INI"), section,
                                       {QStringLiteral("a=1"), key + QLatin1Char('=') + value}));
    QCOMPARE(TestEnv::readFile(path), before);
    QCOMPARE(IniFile::read(QStringLiteral("T.INI"), QStringLiteral("MailXML"), QStringLiteral("Indir")),
             QStringLiteral("io@qui.it"));
    // A value may still hold "=" and "]", and "§" for its line breaks.
    QVERIFY(IniFile::write(QStringLiteral("T.INI"), QStringLiteral("ParamXML"), QStringLiteral("Rif_1"),
                           QStringLiteral("a=b]c§d")));
    QCOMPARE(IniFile::read(QStringLiteral("T.INI"), QStringLiteral("ParamXML"), QStringLiteral("Rif_1")),
             QStringLiteral("a=b]c§d"));
}

// op: 0 write, 1 removeKey, 2 removeSection, 3 writeSection.
void TstIniFile::unreadableFileNeverRewritten_data()
{
    QTest::addColumn<int>("op");
    QTest::newRow("write") << 0;
    QTest::newRow("removeKey") << 1;
    QTest::newRow("removeSection") << 2;
    QTest::newRow("writeSection") << 3;
}

void TstIniFile::unreadableFileNeverRewritten()
{
    QFETCH(int, op);
    TestEnv env;
    const QByteArray content = "[S]\r\na=1\r\nb=2\r\n";
    const QString path = TestEnv::unreadableFile(env.winDir() + QStringLiteral("T.INI"), content);
    if (path.isEmpty()) QSKIP("no unreadable file can be made here");
    const QString s = QStringLiteral("S");
    bool done = true;
    switch (op) {
    case 0:
        done = IniFile::write(path, s, QStringLiteral("c"), QStringLiteral("3"));
        break;
    case 1:
        done = IniFile::removeKey(path, s, QStringLiteral("a"));
        break;
    case 2:
        done = IniFile::removeSection(path, s);
        break;
    default:
        done = IniFile::writeSection(path, s, {QStringLiteral("c=3")});
        break;
    }
    QVERIFY(!done);
    if (QFileInfo(path).isSymLink()) return; // stands for a device file: it is still the link
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(TestEnv::readFile(path), content);
    // A missing file is no failure: it is created with the one key.
    const QString fresh = env.winDir() + QStringLiteral("NEW.INI");
    QVERIFY(IniFile::write(fresh, s, QStringLiteral("c"), QStringLiteral("3")));
    QCOMPARE(TestEnv::readFile(fresh), QByteArray("[S]\r\nc=3\r\n"));
}

// A file that holds a password key is readable by its owner only after any write,
// new or old, by whichever writer; other files keep the rights the user's umask gives.
void TstIniFile::passwordFilesOwnersAlone_data()
{
    QTest::addColumn<QByteArray>("before"); // "" for no file
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("how"); // 0 write, 1 writeSection, 2 removeKey of another key
    QTest::addColumn<bool>("owners");
    QTest::newRow("fresh SQL login") << QByteArray() << "UserPwd" << 0 << true;
    QTest::newRow("fresh mail password") << QByteArray() << "Passwd" << 0 << true;
    QTest::newRow("password written in a whole section") << QByteArray() << "UserPwd" << 1 << true;
    QTest::newRow("open file gets a password")
        << QByteArray("[Login]\r\nServer=s\r\n") << "UserPwd" << 0 << true;
    QTest::newRow("file that holds one, another key removed")
        << QByteArray("[Login]\r\nUserPwd=x\r\nOld=1\r\n") << "Old" << 2 << true;
    QTest::newRow("no password") << QByteArray() << "Server" << 0 << false;
}

void TstIniFile::passwordFilesOwnersAlone()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(int, how);
    QFETCH(bool, owners);
    TestEnv env;
    const mode_t mask = ::umask(022);
    const QString path = env.winDir() + QStringLiteral("MARVO_Z.INI");
    if (!before.isEmpty()) {
        env.writeFile(path, before);
        QFile::setPermissions(path,
                              QFile::permissions(path) | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    const QString s = QStringLiteral("Login");
    bool done = false;
    if (how == 0) done = IniFile::write(QStringLiteral("MARVO_Z.INI"), s, key, QStringLiteral("segreta"));
    if (how == 1)
        done = IniFile::writeSection(QStringLiteral("MARVO_Z.INI"), s, {key + QStringLiteral("=segreta")});
    if (how == 2) done = IniFile::removeKey(QStringLiteral("MARVO_Z.INI"), s, key);
    ::umask(mask);
    QVERIFY(done);
    const QFileDevice::Permissions others =
        QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    QCOMPARE(QFile::permissions(path) & others,
             owners ? QFileDevice::Permissions()
                    : QFileDevice::Permissions(QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QVERIFY(QFile::permissions(path) & QFileDevice::ReadOwner);
}

int main(int argc, char** argv)
{
    // Writer mode for the concurrency test.
    const QString who = qEnvironmentVariable("INI_WRITER");
    if (!who.isEmpty()) {
        QCoreApplication app(argc, argv);
        const QString path = qEnvironmentVariable("INI_PATH");
        for (int i = 0; i < 40; ++i)
            if (!IniFile::write(path, QStringLiteral("S"), who + QString::number(i), QString::number(i)))
                return 1;
        return 0;
    }
    QCoreApplication app(argc, argv);
    TstIniFile t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_inifile.moc"
