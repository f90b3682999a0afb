// The library's about box and its road to the system information program.
#include "controls/Ordalis.h"
#include "controls/frmAbout.h"

#include "platform/registry/Registry.h"
#include "support/TestEnv.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Ordalis;

class TstAbout : public QObject
{
    Q_OBJECT
  private Q_SLOTS:
    void init();
    void cleanup();
    void everyControlShowsTheBox_data();
    void everyControlShowsTheBox();
    void okUnloadsTheBox();
    void systemInformation_data();
    void systemInformation();

  private:
    std::unique_ptr<TestEnv> env_;
    QStringList shown_;
};

void TstAbout::init()
{
    env_ = std::make_unique<TestEnv>();
    shown_.clear();
    frmAbout::setShowHook([this](frmAbout* f) {
        shown_ << f->windowTitle() << f->lblTitle->text() << f->lblVersion->text();
        QVERIFY(f->isModal());
    });
}

void TstAbout::cleanup()
{
    frmAbout::setShowHook(nullptr);
    if (frmAbout::isLoaded()) frmAbout::instance()->cmdOK_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    env_.reset();
}

void TstAbout::everyControlShowsTheBox_data()
{
    QTest::addColumn<QString>("progId");
    QTest::newRow("Txt_") << "Ordalis.Txt_";
    QTest::newRow("Chk_") << "Ordalis.Chk_";
    QTest::newRow("library") << "";
}

void TstAbout::everyControlShowsTheBox()
{
    QFETCH(QString, progId);
    std::unique_ptr<QWidget> c(progId.isEmpty() ? nullptr : createControl(progId));
    if (c) {
        dispInvoke(c.get(), QStringLiteral("About"));
        QCOMPARE(dispError(c.get()), QString());
    } else {
        About();
    }
    QCOMPARE(shown_, (QStringList{"Informazioni : Ordalis", "Ordalis", "Version 1.1.0"}));
    // One box, made on first use and shown again.
    frmAbout* first = frmAbout::instance();
    About();
    QCOMPARE(frmAbout::instance(), first);
    QCOMPARE(first->cmdSysInfo->text(), QStringLiteral("&System Info..."));
}

void TstAbout::okUnloadsTheBox()
{
    About();
    QVERIFY(frmAbout::isLoaded());
    QVERIFY(!canUnloadNow());
    frmAbout::instance()->cmdOK->click();
    QVERIFY(!frmAbout::isLoaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(canUnloadNow());
    // The title bar's close button (Esc too) unloads it the same way.
    About();
    frmAbout::instance()->reject();
    QVERIFY(!frmAbout::isLoaded());
}

void TstAbout::systemInformation_data()
{
    QTest::addColumn<QString>("msinfoPath");    // "" leaves the key out
    QTest::addColumn<QString>("toolsLocation"); // "" leaves the key out
    QTest::addColumn<bool>("fileInLocation");
    QTest::addColumn<bool>("startWorks");
    QTest::addColumn<QString>("started"); // "" : the message instead
    QTest::newRow("nothing registered") << ""
                                        << "" << false << true << "";
    QTest::newRow("path started without a check") << "/opt/msinfo/msinfo32"
                                                  << "" << false << true << "/opt/msinfo/msinfo32";
    QTest::newRow("path wins over location") << "/opt/msinfo/msinfo32"
                                             << "LOC" << true << true << "/opt/msinfo/msinfo32";
    QTest::newRow("location without the program") << ""
                                                  << "LOC" << false << true << "";
    QTest::newRow("location with the program") << ""
                                               << "LOC" << true << true << "LOC/MSINFO32.EXE";
    QTest::newRow("program does not start") << "/opt/msinfo/msinfo32"
                                            << "" << false << false << "";
}

void TstAbout::systemInformation()
{
    QFETCH(QString, msinfoPath);
    QFETCH(QString, toolsLocation);
    QFETCH(bool, fileInLocation);
    QFETCH(bool, startWorks);
    QFETCH(QString, started);
    const QString location = env_->work() + QStringLiteral("tools");
    toolsLocation.replace(QStringLiteral("LOC"), location);
    started.replace(QStringLiteral("LOC"), location);
    if (!msinfoPath.isEmpty())
        QVERIFY(Registry::setValue(Registry::HKEY_LOCAL_MACHINE,
                                   QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                                   QStringLiteral("PATH"), Registry::Value{Registry::REG_SZ, msinfoPath, 0}));
    if (!toolsLocation.isEmpty())
        QVERIFY(Registry::setValue(
            Registry::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
            QStringLiteral("MSINFO"), Registry::Value{Registry::REG_SZ, toolsLocation, 0}));
    if (fileInLocation) env_->writeFile(location + QStringLiteral("/MSINFO32.EXE"), "x");
    env_->launcher().startsSucceed = startWorks;
    env_->dialogs().acceptOkBoxes = true;

    About();
    frmAbout::instance()->cmdSysInfo->click();

    if (started.isEmpty()) {
        QCOMPARE(env_->dialogs().messages(), QStringList{"System Information Is Unavailable At This Time"});
        QCOMPARE(env_->dialogs().calls.first().style, 0); // OK only, no icon
    } else {
        QCOMPARE(env_->dialogs().messages(), QStringList());
    }
    QStringList starts;
    for (const auto& s : env_->launcher().starts)
        starts << s.kind + QLatin1Char(' ') + s.program;
    if (started.isEmpty() && !startWorks)
        QCOMPARE(starts, QStringList{"detached " + msinfoPath});
    else
        QCOMPARE(starts, started.isEmpty() ? QStringList() : QStringList{"detached " + started});
}

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
