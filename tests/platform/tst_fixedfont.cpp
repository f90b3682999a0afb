#include "platform/FixedFont.h"
#include "support/FixedPitch.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

class TstFixedFont : public QObject
{
    Q_OBJECT
  private slots:
    void fixedPitchFont_data();
    void fixedPitchFont();
    void proportionalFaceIsNotFixed();
};

void TstFixedFont::fixedPitchFont_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("face"); // empty: any fixed-pitch stand-in
    // Installed or not, the lists' and the controls' family comes out fixed pitch.
    QTest::newRow("Lucida Console") << "Lucida Console" << 8.25 << "";
    QTest::newRow("missing family") << "Plicora Missing Face" << 9.0 << "";
    QTest::newRow("default size") << "Plicora Missing Face" << 0.0 << "";
    const QString installed = QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
    QTest::newRow("installed fixed face") << installed << 10.0 << installed;
}

void TstFixedFont::fixedPitchFont()
{
    QFETCH(QString, family);
    QFETCH(double, size);
    QFETCH(QString, face);
    const QFont f = Plicora::fixedPitchFont(family, size);
    QCOMPARE(f.family(), family);
    if (size > 0) QCOMPARE(f.pointSizeF(), size);
    QVERIFY2(showsFixedPitch(f), qPrintable(QFontInfo(f).family()));
    QVERIFY(isFixedPitch(f));
    if (!face.isEmpty()) QCOMPARE(QFontInfo(f).family(), face);
}

void TstFixedFont::proportionalFaceIsNotFixed()
{
    // What a bare missing family falls back to: the desktop's proportional default.
    const QFont f(QStringLiteral("Plicora Missing Face"));
    if (showsFixedPitch(f)) QSKIP("the desktop's default face is fixed pitch");
    QVERIFY(!isFixedPitch(f));
}

QTEST_MAIN(TstFixedFont)
#include "tst_fixedfont.moc"
