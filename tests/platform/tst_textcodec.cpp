#include "platform/TextCodec.h"

#include <QTest>

class TstTextCodec : public QObject
{
    Q_OBJECT
  private slots:
    void decoding_data();
    void decoding();
};

void TstTextCodec::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("whole");
    QTest::addColumn<QString>("head");
    QTest::newRow("ascii") << QByteArray("abc") << true << QStringLiteral("abc") << QStringLiteral("abc");
    QTest::newRow("utf-8") << QByteArray("Societ\xc3\xa0") << true << QStringLiteral("Società")
                           << QStringLiteral("Società");
    QTest::newRow("bom skipped") << QByteArray("\xef\xbb\xbf"
                                               "a")
                                 << true << QStringLiteral("a") << QStringLiteral("a");
    QTest::newRow("windows-1252") << QByteArray("Societ\xe0 \x80") << false << QStringLiteral("Società €")
                                  << QStringLiteral("Società €");
    // A head cut inside a character is still UTF-8; a whole text ending so is not.
    QTest::newRow("cut sequence") << QByteArray("Societ\xc3\xa0 \xe2\x82") << false
                                  << QStringLiteral("Societ\u00c3\u00a0 \u00e2\u201a")
                                  << QStringLiteral("Società ");
}

void TstTextCodec::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(QString, whole);
    QFETCH(QString, head);
    QCOMPARE(TextCodec::isValidUtf8(bytes), valid);
    QCOMPARE(TextCodec::decode(bytes), whole);
    QCOMPARE(TextCodec::decodeHead(bytes), head);
}

QTEST_GUILESS_MAIN(TstTextCodec)
#include "tst_textcodec.moc"
