// The check control as a host window uses it: Click, focus colours, change
// detection with the host's save command, persistence.
#include "controls/Ordalis.h"
#include "controls/PropertyBag.h"

#include "support/TestEnv.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace Ordalis;

namespace
{

class Host : public QWidget
{
  public:
    Host()
    {
        resize(300, 100);
        box = createControl(QStringLiteral("Ordalis.Chk_"), this);
        box->setGeometry(10, 10, 200, 22);
        other = new QLineEdit(this);
        other->setGeometry(10, 40, 200, 22);
        dispConnect(box, QStringLiteral("GotFocus"), this,
                    [this](const QVariantList&) { dispPut(box, QStringLiteral("MskModified"), save); });
        dispConnect(box, QStringLiteral("Click"), this, [this](const QVariantList&) {
            ++clicks;
            save = true;
        });
        dispConnect(box, QStringLiteral("LostFocus"), this, [this](const QVariantList&) {
            save = dispGet(box, QStringLiteral("MskModified")).toBool();
        });
        for (const char* e : {"DblClick", "KeyDown", "KeyPress", "KeyUp", "MouseDown", "MouseMove"})
            dispConnect(box, QLatin1String(e), this,
                        [this, e](const QVariantList&) { others << QLatin1String(e); });
        show();
        activateWindow();
        if (!QTest::qWaitForWindowActive(this)) qWarning("host window not active");
        other->setFocus();
    }
    QAbstractButton* check1() const { return qobject_cast<QAbstractButton*>(box->focusProxy()); }
    void enter() { dispInvoke(box, QStringLiteral("SetFocus")); }
    void leave() { other->setFocus(Qt::TabFocusReason); }
    QColor caption() const { return check1()->palette().color(QPalette::WindowText); }
    QPoint onBox() const { return QPoint(8, check1()->height() / 2); } // on the square itself
    int value() const { return dispGet(box, QStringLiteral("Value")).toInt(); }

    QWidget* box = nullptr;
    QLineEdit* other = nullptr;
    bool save = false;
    int clicks = 0;
    QStringList others;
};

} // namespace

class TstChk : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void init() { env_ = std::make_unique<TestEnv>(); }
    void cleanup() { env_.reset(); }
    void newInstance();
    void clickOnEveryValueChange_data();
    void clickOnEveryValueChange();
    void userTogglesRaiseClick();
    void valueOutOfRangeRefused();
    void focusColours();
    void mskModified_data();
    void mskModified();
    void onlyClickResizeAndMouseUpReachTheHost();
    void ownStateOnly();
    void persistenceOrder();
    void persistenceDefaults();

  private:
    std::unique_ptr<TestEnv> env_;
};

void TstChk::newInstance()
{
    std::unique_ptr<QWidget> c(createControl(QStringLiteral("Ordalis.Chk_")));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Caption")).toString(), QStringLiteral("Check1"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Prompt")).toString(), QStringLiteral("Chk_"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Value")).toInt(), 0);
    QCOMPARE(dispGet(c.get(), QStringLiteral("MskModified")).toBool(), false);
    QCOMPARE(dispGet(c.get(), QStringLiteral("ForeColor")).toInt(), qint32(0x80000012));
}

void TstChk::clickOnEveryValueChange_data()
{
    QTest::addColumn<QList<int>>("puts");
    QTest::addColumn<int>("clicks");
    QTest::newRow("tick") << QList<int>{1} << 1;
    QTest::newRow("same value again") << QList<int>{1, 1} << 1;
    QTest::newRow("unchanged from 0") << QList<int>{0} << 0;
    QTest::newRow("tick and clear") << QList<int>{1, 0} << 2;
    QTest::newRow("grey") << QList<int>{2} << 1;
    QTest::newRow("grey to ticked") << QList<int>{2, 1} << 2;
}

void TstChk::clickOnEveryValueChange()
{
    QFETCH(QList<int>, puts);
    QFETCH(int, clicks);
    Host h;
    for (int v : puts)
        QVERIFY(dispPut(h.box, QStringLiteral("Value"), v));
    QCOMPARE(h.clicks, clicks);
    QCOMPARE(h.value(), puts.last());
    // A host that switches saving on in Click does it for changes made by code too.
    QCOMPARE(h.save, clicks > 0);
}

void TstChk::userTogglesRaiseClick()
{
    Host h;
    h.enter();
    QTest::mouseClick(h.check1(), Qt::LeftButton, {}, h.onBox());
    QCOMPARE(h.value(), 1);
    QTest::keyClick(h.check1(), Qt::Key_Space);
    QCOMPARE(h.value(), 0);
    QCOMPARE(h.clicks, 2);
    // A grey box is ticked by the user's click.
    QVERIFY(dispPut(h.box, QStringLiteral("Value"), 2));
    QTest::mouseClick(h.check1(), Qt::LeftButton, {}, h.onBox());
    QCOMPARE(h.value(), 1);
    QTest::mouseClick(h.check1(), Qt::LeftButton, {}, h.onBox());
    QCOMPARE(h.value(), 0);
}

void TstChk::valueOutOfRangeRefused()
{
    Host h;
    QVERIFY(dispPut(h.box, QStringLiteral("Value"), 1));
    for (int bad : {3, -1, 100}) {
        QVERIFY(!dispPut(h.box, QStringLiteral("Value"), bad));
        QVERIFY(!dispError(h.box).isEmpty());
    }
    QCOMPARE(h.value(), 1);
    QCOMPARE(h.clicks, 1);
}

void TstChk::focusColours()
{
    Host h;
    QVERIFY(dispPut(h.box, QStringLiteral("ForeColor"), 0xFF0000)); // blue
    QCOMPARE(h.caption(), QColor(0, 0, 255));
    h.enter();
    QCOMPARE(h.caption(), QColor(0xB0, 0, 0)); // dark red
    h.leave();
    // After the first exit the caption is black whatever ForeColor was.
    QCOMPARE(h.caption(), QColor(0, 0, 0));
    QCOMPARE(dispGet(h.box, QStringLiteral("ForeColor")).toInt(), 0);
}

void TstChk::mskModified_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("saveBefore");
    QTest::addColumn<int>("toggles");
    QTest::addColumn<bool>("mskModified");
    QTest::newRow("left alone") << 0 << false << 0 << false;
    QTest::newRow("left alone, window had changes") << 1 << true << 0 << true;
    QTest::newRow("toggled") << 0 << false << 1 << true;
    QTest::newRow("toggled and back") << 1 << false << 2 << false;
}

void TstChk::mskModified()
{
    QFETCH(int, start);
    QFETCH(bool, saveBefore);
    QFETCH(int, toggles);
    QFETCH(bool, mskModified);
    Host h;
    QVERIFY(dispPut(h.box, QStringLiteral("Value"), start));
    h.save = saveBefore;
    h.enter();
    QCOMPARE(dispGet(h.box, QStringLiteral("MskModified")).toBool(), saveBefore);
    for (int i = 0; i < toggles; ++i)
        QTest::keyClick(h.check1(), Qt::Key_Space);
    h.leave();
    QCOMPARE(dispGet(h.box, QStringLiteral("MskModified")).toBool(), mskModified);
    QCOMPARE(h.save, mskModified);
}

void TstChk::onlyClickResizeAndMouseUpReachTheHost()
{
    Host h;
    int resizes = 0;
    QVariantList up;
    dispConnect(h.box, QStringLiteral("Resize"), this, [&](const QVariantList&) { ++resizes; });
    dispConnect(h.box, QStringLiteral("MouseUp"), this, [&](const QVariantList& a) { up = a; });
    h.enter();
    QTest::mouseClick(h.check1(), Qt::LeftButton, Qt::ShiftModifier, QPoint(2, 3));
    QTest::mouseDClick(h.check1(), Qt::LeftButton);
    QTest::keyClick(h.check1(), Qt::Key_A);
    QCOMPARE(up, (QVariantList{1, 1, 30.0f, 45.0f}));
    QCOMPARE(h.others, QStringList());
    h.box->resize(150, 30);
    QCOMPARE(resizes, 1);
    QCOMPARE(h.check1()->size(), QSize(150, 30));
}

void TstChk::ownStateOnly()
{
    Host h;
    const QPalette before = h.check1()->palette();
    QVERIFY(dispPut(h.box, QStringLiteral("BackColor"), 0x0000FF));
    QCOMPARE(dispGet(h.box, QStringLiteral("BackColor")).toInt(), 0x0000FF);
    QCOMPARE(h.check1()->palette(), before); // nothing shown changes
    for (const char* n : {"Caption", "Value", "Bogus", ""})
        QCOMPARE(dispInvoke(h.box, QStringLiteral("CanPropertyChange"), {QLatin1String(n)}).toBool(), false);
    QVERIFY(dispError(h.box).isEmpty());
    dispInvoke(h.box, QStringLiteral("PopupMenu"), {QVariant::fromValue<QObject*>(this), 2, 10.0, 20.0});
    QVERIFY(dispError(h.box).isEmpty());
}

void TstChk::persistenceOrder()
{
    std::unique_ptr<QWidget> c(createControl(QStringLiteral("Ordalis.Chk_")));
    auto put = [&](const char* n, const QVariant& v) { QVERIFY2(dispPut(c.get(), QLatin1String(n), v), n); };
    put("BackColor", 0x123456);
    put("BackStyle", 1);
    put("BorderStyle", 1);
    put("AutoRedraw", true);
    put("CurrentY", 2.5);
    put("ForeColor", 0x0000FF);
    put("Enabled", false);
    put("CurrentX", 1.5);
    put("Font", QFont(QStringLiteral("DejaVu Serif"), 13));
    put("Caption", QStringLiteral("Invia Mail"));
    put("Value", 1);
    put("Alignment", 1);
    put("ToolTipText", QStringLiteral("aiuto"));
    put("Prompt", QStringLiteral("Spedisce"));
    put("MskModified", true);
    put("TagZ", QStringLiteral("etichetta"));
    PropertyBag bag;
    writeProperties(c.get(), bag);
    const QStringList order = {"BackColor", "BackStyle", "BorderStyle", "AutoRedraw", "CurrentY",
                               "ForeColor", "Enabled",   "CurrentX",    "Font",       "Caption",
                               "Value",     "Alignment", "ToolTipText", "Prompt",     "MskModified"};
    QCOMPARE(bag.names(), order);
    // Reading it back gives every value, except TagZ, which is not kept.
    std::unique_ptr<QWidget> d(createControl(QStringLiteral("Ordalis.Chk_")));
    QVERIFY(dispPut(d.get(), QStringLiteral("TagZ"), QStringLiteral("di prima")));
    readProperties(d.get(), bag);
    for (const QString& n : order)
        QCOMPARE(dispGet(d.get(), n), dispGet(c.get(), n));
    QCOMPARE(dispGet(d.get(), QStringLiteral("TagZ")).toString(), QStringLiteral("di prima"));
}

void TstChk::persistenceDefaults()
{
    QWidget form;
    std::unique_ptr<QWidget> c(createControl(QStringLiteral("Ordalis.Chk_"), &form));
    PropertyBag fresh;
    writeProperties(c.get(), fresh);
    QCOMPARE(fresh.names(), QStringList()); // a new check box is all defaults
    QVERIFY(dispPut(c.get(), QStringLiteral("Caption"), QStringLiteral("x")));
    QVERIFY(dispPut(c.get(), QStringLiteral("Prompt"), QStringLiteral("y")));
    readProperties(c.get(), PropertyBag());
    QCOMPARE(dispGet(c.get(), QStringLiteral("Caption")).toString(), QStringLiteral("Check1"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Prompt")).toString(), QStringLiteral("Chk_"));
    QCOMPARE(dispGet(c.get(), QStringLiteral("ForeColor")).toInt(), qint32(0x80000012));
    QCOMPARE(dispGet(c.get(), QStringLiteral("Enabled")).toBool(), true);
}

QTEST_MAIN(TstChk)
#include "tst_chk.moc"
