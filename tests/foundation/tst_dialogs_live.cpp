// The real Qt dialog service next to windows that go away: a box is never owned by a
// window being unloaded, and a box whose window is destroyed while it waits ends cleanly.
// A box that comes while no window is active (the window manager has not yet given the
// activation back after the box before) still belongs to the program's window.
#include "foundation/VbForm.h"
#include "platform/Dialogs.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace
{

class F_Gone final : public VbFormOf<F_Gone>
{
  public:
    F_Gone()
    {
        setObjectName(QStringLiteral("F_Gone"));
        resize(200, 100);
    }
};

// Answers the first message box that comes up by its button text, like a user would.
// onShown runs once when the box is first seen (with the box's parent window).
class BoxAnswerer : public QObject
{
  public:
    BoxAnswerer(QString button, std::function<void(QWidget*)> onShown)
        : button_(std::move(button)), onShown_(std::move(onShown))
    {
        connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
        timer_.start(10);
    }
    QWidget* parentSeen = nullptr;
    bool seen = false;

  private:
    void tick()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        if (!seen) {
            seen = true;
            parentSeen = box->parentWidget();
            if (onShown_) {
                onShown_(parentSeen);
                return; // the next tick answers, if the box is still there
            }
        }
        for (QAbstractButton* b : box->buttons())
            if (b->text() == button_) {
                b->click();
                return;
            }
    }
    QTimer timer_;
    QString button_;
    std::function<void(QWidget*)> onShown_;
};

} // namespace

class TestDialogsLive : public QObject
{
    Q_OBJECT
  private slots:
    void init() { setDialogService(nullptr); } // the real Qt service
    void boxAfterUnloadingTheActiveWindow_data();
    void boxAfterUnloadingTheActiveWindow();
    void windowDestroyedWhileBoxWaits();
    void boxWhileNoWindowIsActive_data();
    void boxWhileNoWindowIsActive();

  private:
    TestEnv env_;
};

void TestDialogsLive::boxAfterUnloadingTheActiveWindow_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("answer");
    QTest::newRow("ok") << int(vb::OKOnly) << QStringLiteral("OK") << int(vb::OK);
    QTest::newRow("yes-no, no") << int(vb::YesNo | vb::Question) << QStringLiteral("No") << int(vb::No);
    QTest::newRow("yes-no-cancel, yes")
        << int(vb::YesNoCancel | vb::Exclamation) << QStringLiteral("Sì") << int(vb::Yes);
}

void TestDialogsLive::boxAfterUnloadingTheActiveWindow()
{
    QFETCH(int, style);
    QFETCH(QString, button);
    QFETCH(int, answer);
    QPointer<F_Gone> form = &F_Gone::instance();
    form->Show();
    QApplication::setActiveWindow(form);
    QCOMPARE(QApplication::activeWindow(), form.data());
    const QWidget* formAddress = form.data();
    QVERIFY(form->Unload()); // hidden, its deletion deferred: the deletion runs in the box's loop

    BoxAnswerer user(button, {});
    const int got = MsgBox(QStringLiteral("Archivio pronto"), style, QStringLiteral("Prova"));
    QVERIFY(user.seen);
    QVERIFY(user.parentSeen != formAddress);
    QCOMPARE(got, answer);
    QTRY_VERIFY(form.isNull());
}

void TestDialogsLive::windowDestroyedWhileBoxWaits()
{
    auto* w = new QWidget;
    w->resize(200, 100);
    w->show();
    QApplication::setActiveWindow(w);
    QPointer<QWidget> guard = w;
    // The window goes while the question is open: the box goes with it, answered as cancelled.
    BoxAnswerer user(QStringLiteral("Sì"), [](QWidget* parent) {
        if (parent) parent->deleteLater();
    });
    const int got = MsgBox(QStringLiteral("Continuare ?"), vb::YesNoCancel, QStringLiteral("Prova"));
    QVERIFY(user.seen);
    if (user.parentSeen) {
        QVERIFY(guard.isNull());
        QCOMPARE(got, int(vb::Cancel));
    } else {
        QCOMPARE(got, int(vb::Yes));
        delete w;
    }
}

// A first box on the active window, answered; then, between the two boxes, "between"
// happens and no window is active when the second box comes.
void TestDialogsLive::boxWhileNoWindowIsActive_data()
{
    QTest::addColumn<QString>("between");
    QTest::addColumn<QString>("owner"); // "window", "modal", "form" or "" for none
    QTest::newRow("nothing: the window of the box before") << QString() << QStringLiteral("window");
    QTest::newRow("a modal window shown") << QStringLiteral("modal") << QStringLiteral("modal");
    QTest::newRow("a program window shown and activated by the program")
        << QStringLiteral("form") << QStringLiteral("form");
    QTest::newRow("that program window unloaded since") << QStringLiteral("form gone")
                                                        << QStringLiteral("window");
    QTest::newRow("the window of the box before hidden") << QStringLiteral("hidden") << QString();
}

void TestDialogsLive::boxWhileNoWindowIsActive()
{
    QFETCH(QString, between);
    QFETCH(QString, owner);
    QWidget window;
    window.resize(300, 200);
    window.show();
    QApplication::setActiveWindow(&window);
    QCOMPARE(QApplication::activeWindow(), &window);
    {
        BoxAnswerer user(QStringLiteral("Sì"), {});
        QCOMPARE(MsgBox(QStringLiteral("Confermi ?"), vb::YesNo | vb::Question, QStringLiteral("Prova")),
                 int(vb::Yes));
        QCOMPARE(user.parentSeen, &window);
    }
    QWidget modal;
    modal.resize(200, 100);
    if (between == QStringLiteral("modal")) {
        modal.setWindowModality(Qt::ApplicationModal);
        modal.show();
    } else if (between == QStringLiteral("hidden")) {
        window.hide();
    }
    QPointer<F_Gone> form;
    if (between.startsWith(QStringLiteral("form"))) {
        form = &F_Gone::instance();
        form->Show(); // its activation handler runs before the window system activates it
        if (between == QStringLiteral("form gone")) QVERIFY(form->Unload());
    }
    QApplication::setActiveWindow(nullptr);
    QVERIFY(!QApplication::activeWindow());

    BoxAnswerer user(QStringLiteral("Sì"), {});
    QCOMPARE(MsgBox(QStringLiteral("Definitiva ?"), vb::YesNo | vb::Question, QStringLiteral("Prova")),
             int(vb::Yes));
    QVERIFY(user.seen);
    QWidget* expected = nullptr;
    if (owner == QStringLiteral("window")) expected = &window;
    if (owner == QStringLiteral("modal")) expected = &modal;
    if (owner == QStringLiteral("form")) expected = form.data();
    QCOMPARE(user.parentSeen, expected);
    if (form) form->Unload();
    QTRY_VERIFY(form.isNull());
}

QTEST_MAIN(TestDialogsLive)
#include "tst_dialogs_live.moc"
