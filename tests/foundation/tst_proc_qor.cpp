#include "foundation/Proc_Qor.h"
#include "support/TestEnv.h"

#include <QTest>

class TstProcQor : public QObject {
    Q_OBJECT
private slots:
    void checkSum_data();
    void checkSum();
    void padNum_data();
    void padNum();
    void hex_data();
    void hex();
    void base64AllBytes();
    void base64_data();
    void base64();
    void ora2Sec_data();
    void ora2Sec();
    void timeStamp_data();
    void timeStamp();
    void attesaWaitsOnTheClock();
};

void TstProcQor::checkSum_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("key");
    QTest::newRow("C:\\A") << "C:\\A" << 399;
    QTest::newRow("closing backslash") << "C:\\A\\" << 699;
    QTest::newRow("blanks around") << "  C:\\A  " << 399;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("all blank") << "    " << 0;
    QTest::newRow("a-grave counts 224") << QStringLiteral("à") << 224 - 32;
    QTest::newRow("euro is 128 in 1252") << QStringLiteral("€") << 128 - 32;
    QTest::newRow("outside 1252 counts 63") << QStringLiteral("Ж") << 63 - 32;
    QTest::newRow("case matters") << "c:\\a" << (99 - 32) * 1 + (58 - 32) * 2 + (92 - 32) * 3 + (97 - 32) * 4;
}

void TstProcQor::checkSum()
{
    QFETCH(QString, text);
    QFETCH(int, key);
    QCOMPARE(Str_CheckSum(text), key);
}

void TstProcQor::padNum_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("fill");
    QTest::addColumn<QString>("expected");
    QTest::newRow("5 in 3") << QVariant(5) << 3 << "0" << "005";
    QTest::newRow("longer loses leading") << QVariant(12345) << 3 << "0" << "345";
    QTest::newRow("text longer") << QVariant(QStringLiteral("abcdef")) << 2 << "0" << "ef";
    QTest::newRow("length 0") << QVariant(5) << 0 << "0" << "";
    QTest::newRow("blanks trimmed") << QVariant(QStringLiteral(" 7 ")) << 2 << "0" << "07";
    QTest::newRow("empty fill") << QVariant(7) << 3 << "" << "7";
}

void TstProcQor::padNum()
{
    QFETCH(QVariant, value);
    QFETCH(int, length);
    QFETCH(QString, fill);
    QFETCH(QString, expected);
    QCOMPARE(PadNum(value, length, fill), expected);
}

void TstProcQor::hex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isHex");
    QTest::addColumn<QString>("decoded");
    QTest::newRow("ABC") << "414243" << true << "ABC";
    QTest::newRow("odd length") << "0A1" << true << QString(QChar(0x0A)) + QChar(0x01);
    QTest::newRow("lower case refused") << "0a1" << false << QString(QChar(0x0A)) + QChar(0x01);
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("single digit") << "4" << true << QString(QChar(4));
    QTest::newRow("digit then junk reads the digit") << "4Z" << false << QString(QChar(4));
    QTest::newRow("junk first reads 0") << "Z4" << false << QString(QChar(0));
    QTest::newRow("1252 high code") << "E0" << true << QStringLiteral("à");
}

void TstProcQor::hex()
{
    QFETCH(QString, text);
    QFETCH(bool, isHex);
    QFETCH(QString, decoded);
    QCOMPARE(IsHexStr(text), isHex);
    QCOMPARE(Hex2Str(text), decoded);
}

void TstProcQor::base64AllBytes()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    for (int cut = 0; cut < 3; ++cut) {
        const QByteArray data = all.left(all.size() - cut);
        const QString b64 = QString::fromLatin1(data.toBase64());
        QCOMPARE(Base64Dec(b64), data);
        // Split over lines of 76 characters with CR LF, as an invoice attachment is.
        QString wrapped;
        for (int i = 0; i < b64.size(); i += 76)
            wrapped += b64.mid(i, 76) + QStringLiteral("\r\n");
        QCOMPARE(Base64Dec(QStringLiteral("  ") + wrapped), data);
        QCOMPARE(Base64Dec(QString(wrapped).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))), data);
    }
}

void TstProcQor::base64_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("alphabet");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ABC") << "QUJD" << "" << QByteArray("ABC");
    QTest::newRow("one pad gives two bytes") << "QUI=" << "" << QByteArray("AB");
    QTest::newRow("two pads give one byte") << "QQ==" << "" << QByteArray("A");
    QTest::newRow("length 3 is empty") << "QUJ" << "" << QByteArray();
    QTest::newRow("inner blanks removed") << "QU JD" << "" << QByteArray("ABC");
    QTest::newRow("character outside alphabet") << "QU*D" << "" << QByteArray();
    QTest::newRow("own alphabet of 64")
        << "qujd" << "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789+/" << QByteArray("ABC");
    QTest::newRow("alphabet of other length ignored") << "QUJD" << "abc" << QByteArray("ABC");
}

void TstProcQor::base64()
{
    QFETCH(QString, text);
    QFETCH(QString, alphabet);
    QFETCH(QByteArray, expected);
    QCOMPARE(Base64Dec(text, alphabet), expected);
}

void TstProcQor::ora2Sec_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<double>("seconds");
    QTest::newRow("colons") << "12:30:15" << 45015.0;
    QTest::newRow("dots") << "12.30.15" << 45015.0;
    QTest::newRow("fraction 250") << "12:30:15,250" << 45015.25;
    QTest::newRow("fraction 050") << "12:30:15,050" << 45015.05;
    QTest::newRow("fraction 007") << "08:05:03,007" << 29103.007;
    QTest::newRow("fraction 5") << "12:30:15,5" << 45015.5;
    QTest::newRow("no seconds") << "12:30" << 45000.0;
    QTest::newRow("blanks") << " 00:00:01 " << 1.0;
    QTest::newRow("empty") << "" << 0.0;
}

void TstProcQor::ora2Sec()
{
    QFETCH(QString, time);
    QFETCH(double, seconds);
    QVERIFY2(qAbs(Ora2Sec(time) - seconds) < 1e-9, qPrintable(QString::number(Ora2Sec(time), 'f', 6)));
}

void TstProcQor::timeStamp_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("expected");
    QTest::newRow("every field filled") << QDateTime(QDate(2026, 12, 9), QTime(8, 5, 3, 7)) << "09/12/2026 08:05:03,007";
    QTest::newRow("one past eight") << QDateTime(QDate(2026, 1, 1), QTime(8, 1, 0, 0)) << "01/01/2026 08:01:00,000";
    QTest::newRow("end of day") << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59, 999)) << "31/12/2026 23:59:59,999";
}

void TstProcQor::timeStamp()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, expected);
    TestEnv env;
    env.clock().set(now);
    QCOMPARE(TimeStamp(QStringLiteral("0")), expected);
    // The time part reads back as seconds.
    const QString time = expected.section(QLatin1Char(' '), 1);
    QVERIFY(qAbs(Ora2Sec(time) - now.time().msecsSinceStartOfDay() / 1000.0) < 1e-9);
}

void TstProcQor::attesaWaitsOnTheClock()
{
    TestEnv env;
    const qint64 before = env.clock().monotonicMs();
    Attesa(0.7);
    QCOMPARE(env.clock().monotonicMs() - before, qint64(700));
    env.clock().sleeps.clear();
    AttesaSec(0);
    QVERIFY(env.clock().sleeps.isEmpty());
    // Across midnight the wait still lasts its time.
    env.clock().set(QDateTime(QDate(2026, 12, 10), QTime(23, 59, 59, 800)));
    const qint64 t0 = env.clock().monotonicMs();
    Attesa(0.5);
    QCOMPARE(env.clock().monotonicMs() - t0, qint64(500));
}

QTEST_MAIN(TstProcQor)
#include "tst_proc_qor.moc"
