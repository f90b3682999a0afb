// The event-handler texts the property pages write, compared byte for byte with
// hand-written expectations in golden/ (CR LF, trailing blanks and blank-only lines
// included).
#include "controls/CodeGen.h"

#include <QFile>
#include <QStringList>
#include <QTest>

using namespace Ordalis;

namespace
{

QByteArray golden(const QString& file)
{
    QFile f(QStringLiteral(ORDALIS_GOLDEN "/") + file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// The first line that differs, so a failure shows where, not two 3 KB blobs.
QString firstDifference(const QByteArray& got, const QByteArray& want)
{
    const QList<QByteArray> g = got.split('\n');
    const QList<QByteArray> w = want.split('\n');
    for (int i = 0; i < qMax(g.size(), w.size()); ++i) {
        const QByteArray a = i < g.size() ? g[i] : QByteArray("<none>");
        const QByteArray b = i < w.size() ? w[i] : QByteArray("<none>");
        if (a != b)
            return QStringLiteral("line %1:\n  got  [%2]\n  want [%3]")
                .arg(i + 1)
                .arg(QString::fromUtf8(a.toPercentEncoding(" '\"*<>-=(),.:&_")),
                     QString::fromUtf8(b.toPercentEncoding(" '\"*<>-=(),.:&_")));
    }
    return {};
}

} // namespace

class TestCodeGen : public QObject
{
    Q_OBJECT

  private slots:
    void textControl_data();
    void textControl();
    void checkAndDate_data();
    void checkAndDate();
    void nameCheck_data();
    void nameCheck();
    void numbers_data();
    void numbers();
    void everyLineEndsWithCrLf();
};

void TestCodeGen::textControl_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("maxChars");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("isKey");
    QTest::addColumn<bool>("zeros");
    QTest::addColumn<bool>("tb");
    QTest::addColumn<bool>("sb");
    QTest::addColumn<QString>("file");

    const QString n = QStringLiteral("Txt_Cod");
    const QString t = QStringLiteral("ANAGR");
    const QString f = QStringLiteral("COD");
    // Without IsKey the kind, table and field leave no trace.
    QTest::newRow("plain") << n << t << f << "" << 1 << false << false << false << false << "txt_plain.txt";
    QTest::newRow("ignore toolbar") << n << t << f << "" << 0 << false << false << true << false
                                    << "txt_toolbar.txt";
    QTest::newRow("ignore statusbar")
        << n << t << f << "" << 2 << false << false << false << true << "txt_statusbar.txt";
    QTest::newRow("ignore both") << n << t << f << "" << 0 << false << false << true << true
                                 << "txt_both.txt";
    QTest::newRow("zeros 6") << n << t << f << "6" << 0 << false << true << false << false
                             << "txt_zeros6.txt";
    QTest::newRow("zeros abc, toolbar")
        << n << t << f << "abc" << 0 << false << true << true << false << "txt_zerosabc_toolbar.txt";
    // Kind 0 upper-cases the table of its help call.
    QTest::newRow("key 0") << n << "Anagr" << f << "" << 0 << true << false << false << false << "key0.txt";
    QTest::newRow("key 0 zeros") << n << "Anagr" << f << "6" << 0 << true << true << false << false
                                 << "key0_zeros.txt";
    QTest::newRow("key 1") << n << t << f << "" << 1 << true << false << false << false << "key1.txt";
    QTest::newRow("key 1 zeros 8, toolbar")
        << n << t << f << "8" << 1 << true << true << true << false << "key1_zeros_toolbar.txt";
    QTest::newRow("key 1 *ANAGR") << n << "*ANAGR" << f << "" << 1 << true << false << false << false
                                  << "key1_star.txt";
    QTest::newRow("key 2") << n << t << f << "" << 2 << true << false << false << false << "key2.txt";
    QTest::newRow("key 2 zeros 5") << n << t << f << "5" << 2 << true << true << false << false
                                   << "key2_zeros.txt";
    QTest::newRow("key 2 T_ANAGR") << n << "T_ANAGR" << f << "" << 2 << true << false << false << false
                                   << "key2_prefixed.txt";
    QTest::newRow("key 2 ANAGR_") << n << "ANAGR_" << f << "" << 2 << true << false << false << false
                                  << "key2_trailing.txt";
    QTest::newRow("key 2 *T_ANAGR") << n << "*T_ANAGR" << f << "" << 2 << true << false << false << false
                                    << "key2_star_prefixed.txt";
    QTest::newRow("key, kind 3") << n << t << f << "" << 3 << true << false << false << false << "key3.txt";
}

void TestCodeGen::textControl()
{
    QFETCH(QString, name);
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, maxChars);
    QFETCH(int, kind);
    QFETCH(bool, isKey);
    QFETCH(bool, zeros);
    QFETCH(bool, tb);
    QFETCH(bool, sb);
    QFETCH(QString, file);

    const QByteArray want = golden(file);
    QVERIFY2(!want.isEmpty(), qPrintable(file));
    const QByteArray got = GenTxtCode(name, table, field, maxChars, kind, isKey, zeros, tb, sb).toUtf8();
    QVERIFY2(got == want, qPrintable(firstDifference(got, want)));
}

void TestCodeGen::checkAndDate_data()
{
    QTest::addColumn<bool>("date");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("triState");
    QTest::addColumn<bool>("tb");
    QTest::addColumn<bool>("sb");
    QTest::addColumn<QString>("file");

    QTest::newRow("check plain") << false << "Chk_Ok"
                                 << "Pagato" << false << false << false << "chk_plain.txt";
    QTest::newRow("check tristate") << false << "Chk_Ok"
                                    << "Pagato" << true << false << false << "chk_tristate.txt";
    QTest::newRow("check tristate, ignore both")
        << false << "Chk_Ok"
        << "Pagato" << true << true << true << "chk_tristate_both.txt";
    QTest::newRow("date plain") << true << "Dat_Doc"
                                << "" << false << false << false << "dat_plain.txt";
    QTest::newRow("date, ignore both") << true << "Dat_Doc"
                                       << "" << false << true << true << "dat_both.txt";
}

void TestCodeGen::checkAndDate()
{
    QFETCH(bool, date);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(bool, triState);
    QFETCH(bool, tb);
    QFETCH(bool, sb);
    QFETCH(QString, file);

    const QByteArray want = golden(file);
    QVERIFY2(!want.isEmpty(), qPrintable(file));
    const QByteArray got =
        (date ? GenDatCode(name, tb, sb) : GenChkCode(name, caption, triState, tb, sb)).toUtf8();
    QVERIFY2(got == want, qPrintable(firstDifference(got, want)));
}

void TestCodeGen::nameCheck_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("refused");

    QTest::newRow("Txt_ on text") << "Txt_"
                                  << "TXT_" << true;
    QTest::newRow("txt_ on text") << "txt_"
                                  << "TXT_" << true;
    QTest::newRow("TXT_ on text") << "TXT_"
                                  << "TXT_" << true;
    QTest::newRow("Chk_ on text") << "Chk_"
                                  << "TXT_" << false;
    QTest::newRow("chk_ on check") << "chk_"
                                   << "CHK_" << true;
    QTest::newRow("dat_ on date") << "dat_"
                                  << "DAT_" << true;
    QTest::newRow("Cod on text") << "Cod"
                                 << "TXT_" << false;
    QTest::newRow("Txt_Cod on text") << "Txt_Cod"
                                     << "TXT_" << false;
    QTest::newRow("Txt_ with a blank") << "Txt_ "
                                       << "TXT_" << false;
    QTest::newRow("empty") << ""
                           << "TXT_" << false;
}

void TestCodeGen::nameCheck()
{
    QFETCH(QString, name);
    QFETCH(QString, prefix);
    QFETCH(bool, refused);
    QCOMPARE(NomeErrato(name, prefix), refused);
}

void TestCodeGen::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("plain");

    QTest::newRow("6") << "6"
                       << "6";
    QTest::newRow("abc") << "abc"
                         << "0";
    QTest::newRow("empty") << ""
                           << "0";
    QTest::newRow("blanks, leading number") << "  12abc"
                                            << "12";
    QTest::newRow("decimal comma") << "8,25"
                                   << "8,25";
    QTest::newRow("decimal point") << "8.5"
                                   << "8,5";
    QTest::newRow("second mark ends it") << "1,5,7"
                                         << "1,5";
    QTest::newRow("negative") << "-3"
                              << "-3";
    QTest::newRow("huge") << "123456789012"
                          << "123456789012";
    // Fractions a double cannot hold exactly keep the digits typed.
    QTest::newRow("12,7") << "12,7"
                          << "12,7";
    QTest::newRow("0,1") << "0,1"
                         << "0,1";
    QTest::newRow("8.3") << "8.3"
                         << "8,3";
    QTest::newRow("small fraction") << "0,000001"
                                    << "0,000001";
    QTest::newRow("no exponent") << "100000000000000000000"
                                 << "100000000000000000000";
    QTest::newRow("minus zero") << "-0"
                                << "0";
}

void TestCodeGen::numbers()
{
    QFETCH(QString, text);
    QFETCH(QString, plain);
    QCOMPARE(plainNumber(fieldNumber(text)), plain);
    // "Max Chars" reaches the zero-fill call in the same form.
    const QString code =
        GenTxtCode(QStringLiteral("Txt_Cod"), QString(), QString(), text, 0, false, true, false, false);
    QVERIFY2(code.contains(QStringLiteral("MettiADes(T_Cod, ") + plain + QStringLiteral(", \"0\")")),
             qPrintable(code));
}

void TestCodeGen::everyLineEndsWithCrLf()
{
    // A name with no prefix still gives text; {bare} is then what follows four characters.
    const QString cases[] = {
        GenTxtCode(QStringLiteral("Cod"), QString(), QString(), QStringLiteral("x"), 2, true, true, true,
                   true),
        GenChkCode(QStringLiteral("Ok"), QString(), true, false, false),
        GenDatCode(QStringLiteral("D"), false, false),
    };
    for (const QString& text : cases) {
        QVERIFY(text.endsWith(QLatin1String("\r\n")));
        QCOMPARE(text.count(QLatin1Char('\n')), text.count(QLatin1String("\r\n")));
        QCOMPARE(text.count(QLatin1Char('\r')), text.count(QLatin1String("\r\n")));
    }
    QVERIFY(cases[0].contains(QLatin1String("Lbl_Des = GetDes(T_Cod, Cn_MDB)\r\n")));
}

QTEST_GUILESS_MAIN(TestCodeGen)
#include "tst_codegen.moc"
