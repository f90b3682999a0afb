// The window lifecycle every window of the program relies on.
#include "foundation/M_MV.h"
#include "foundation/VbForm.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <stdexcept>

namespace
{

QStringList& journal()
{
    static QStringList j;
    return j;
}

class F_Probe final : public VbFormOf<F_Probe>
{
  public:
    F_Probe()
    {
        setObjectName(QStringLiteral("F_Probe"));
        auto* l = new QVBoxLayout(this);
        edit = new QLineEdit(this);
        l->addWidget(edit);
        setKeyPreview(true);
    }
    QLineEdit* edit = nullptr;
    bool refuseUnload = false;
    bool failActivate = false;
    using VbForm::setModalResult;

  protected:
    void Form_Load() override { journal() << QStringLiteral("load"); }
    void Form_Activate() override
    {
        journal() << QStringLiteral("activate");
        if (failActivate) throw std::runtime_error("guasto");
    }
    void Form_Deactivate() override { journal() << QStringLiteral("deactivate"); }
    void Form_Unload(int& cancel) override
    {
        journal() << QStringLiteral("unload");
        if (refuseUnload) cancel = 1;
    }
    void Form_KeyDown(int keyCode, int shift) override
    {
        journal() << QStringLiteral("keydown %1 %2").arg(keyCode).arg(shift);
    }
};

class F_Child final : public VbFormOf<F_Child>
{
  public:
    F_Child() { setObjectName(QStringLiteral("F_Child")); }

  protected:
    void Form_Activate() override { journal() << QStringLiteral("child activate"); }
    void Form_Deactivate() override { journal() << QStringLiteral("child deactivate"); }
};

void flush()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestVbForm : public QObject
{
    Q_OBJECT
  private slots:
    void init() { journal().clear(); }
    void cleanup()
    {
        F_Child::unloadInstance();
        F_Probe::unloadInstance();
        flush();
        setModalRunner({});
    }
    void loadOnFirstReachUnloadResets();
    void cancelledUnloadKeepsWindow();
    void modalActivatesOpenerAgain();
    void deactivateOnlyByAnotherWindow();
    void modalResult_data();
    void modalResult();
    void handlerFailureIsReported();
    void rightButtonRelease();
    void formSeesKeyOnce();
};

void TestVbForm::loadOnFirstReachUnloadResets()
{
    QVERIFY(!F_Probe::isLoaded());
    F_Probe* first = &F_Probe::instance();
    QCOMPARE(journal(), QStringList{QStringLiteral("load")});
    QCOMPARE(&F_Probe::instance(), first); // one instance
    first->Show();
    QCOMPARE(journal().last(), QStringLiteral("activate"));
    QVERIFY(first->Unload());
    QVERIFY(!F_Probe::isLoaded());
    flush();
    F_Probe::instance();
    QCOMPARE(journal(), (QStringList{QStringLiteral("load"), QStringLiteral("activate"),
                                     QStringLiteral("unload"), QStringLiteral("load")}));
}

void TestVbForm::cancelledUnloadKeepsWindow()
{
    F_Probe& p = F_Probe::instance();
    p.Show();
    p.refuseUnload = true;
    QVERIFY(!p.close());
    QVERIFY(F_Probe::isLoaded());
    QVERIFY(p.isVisible());
    p.refuseUnload = false;
    QVERIFY(p.close());
    QVERIFY(!F_Probe::isLoaded());
}

void TestVbForm::modalActivatesOpenerAgain()
{
    F_Probe& opener = F_Probe::instance();
    opener.Show();
    journal().clear();
    setModalRunner([](VbForm& f) {
        f.show();
        f.Activate();
        f.Unload();
    });
    F_Child::instance().ShowModal(&opener);
    // The opener hears of the child's activation; the unloaded child hears nothing after.
    QCOMPARE(journal(), (QStringList{QStringLiteral("deactivate"), QStringLiteral("child activate"),
                                     QStringLiteral("activate")}));
}

// Deactivate comes only from another program window's Activate: not from the window's
// own second Activate, nor from a message box or a plain Qt window taking the focus.
void TestVbForm::deactivateOnlyByAnotherWindow()
{
    TestEnv env;
    F_Probe& p = F_Probe::instance();
    p.Show();
    p.Activate();
    env.dialogs().answer(vb::OK);
    MsgBox(QStringLiteral("avviso"));
    QWidget other;
    other.show();
    other.activateWindow();
    QCoreApplication::processEvents();
    QCOMPARE(journal(), (QStringList{QStringLiteral("load"), QStringLiteral("activate"),
                                     QStringLiteral("activate")}));
    F_Child& c = F_Child::instance();
    c.Show();
    p.Activate();
    QCOMPARE(journal().mid(3), (QStringList{QStringLiteral("deactivate"), QStringLiteral("child activate"),
                                            QStringLiteral("child deactivate"), QStringLiteral("activate")}));
}

void TestVbForm::modalResult_data()
{
    QTest::addColumn<int>("set");
    QTest::addColumn<bool>("unload");
    QTest::newRow("accepted, unloaded") << int(VbForm::Accepted) << true;
    QTest::newRow("closed without a word") << -1 << true;
    QTest::newRow("accepted, only hidden") << int(VbForm::Accepted) << false;
}

void TestVbForm::modalResult()
{
    QFETCH(int, set);
    QFETCH(bool, unload);
    setModalRunner([&](VbForm& f) {
        if (set >= 0) static_cast<F_Probe&>(f).setModalResult(set);
        if (unload)
            f.Unload();
        else
            f.hide();
    });
    QCOMPARE(F_Probe::instance().ShowModal(), set >= 0 ? set : int(VbForm::Cancelled));
    QCOMPARE(F_Probe::isLoaded(), !unload);
}

void TestVbForm::handlerFailureIsReported()
{
    TestEnv env;
    Pth_DebugLog = env.appDir() + QStringLiteral("XMLGESTALO_Debug.LOG");
    env.dialogs().answer(vb::OK);
    F_Probe& p = F_Probe::instance();
    p.failActivate = true;
    p.Show(); // the failure stops at the handler
    QCOMPARE(env.dialogs().calls.size(), 1);
    QVERIFY(env.dialogs().calls.first().text.contains(QStringLiteral("guasto")));
    QCOMPARE(env.dialogs().calls.first().icon(), int(vb::Critical));
    QVERIFY(TestEnv::readFile(Pth_DebugLog).contains("F_Probe.Form_Activate"));
    QVERIFY(F_Probe::isLoaded());
}

void TestVbForm::rightButtonRelease()
{
    QLabel label(QStringLiteral("etichetta"));
    label.resize(100, 20);
    QList<QList<int>> ups;
    int clicks = 0;
    VbForm::onMouseUp(&label, [&](int b, int s, int x, int y) { ups << QList<int>{b, s, x, y}; });
    VbForm::onClick(&label, [&] { ++clicks; });
    QTest::mouseClick(&label, Qt::RightButton, Qt::ControlModifier, QPoint(10, 5));
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(4, 2));
    QCOMPARE(ups.size(), 2);
    QCOMPARE(ups[0], (QList<int>{2, 2, 150, 75})); // twips
    QCOMPARE(ups[1].first(), 1);
    QCOMPARE(clicks, 1); // the right button is no click
}

void TestVbForm::formSeesKeyOnce()
{
    F_Probe& p = F_Probe::instance();
    p.Show();
    journal().clear();
    QTest::keyClick(p.edit, Qt::Key_F9, Qt::ShiftModifier);
    QTest::keyClick(p.edit, Qt::Key_F9);
    // The modifier's own key comes first, then the key itself: each seen once.
    QCOMPARE(journal(), (QStringList{QStringLiteral("keydown 16 1"), QStringLiteral("keydown 120 1"),
                                     QStringLiteral("keydown 120 0")}));
}

QTEST_MAIN(TestVbForm)
#include "tst_vbform.moc"
