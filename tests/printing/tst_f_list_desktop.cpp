// The list window on a real desktop (an X server with a window manager, see
// tests/e2e/list_window.sh): where it opens, and that it opens again where it was closed.
// Offscreen windows have no frame, so elsewhere there is nothing to measure.
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/VbForm.h"
#include "platform/Folders.h"
#include "printing/F_List.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace
{

// Opens the list window modally with a few rows, waits until the desktop has framed it and
// gives its outer rectangle; moveTo, when set, is where the user then drags it.
QRect openAndClose(const QPoint& moveTo = QPoint(-1, -1))
{
    QRect frame;
    F_List& f = F_List::instance();
    f.Lst_Lista->Clear();
    for (int i = 0; i < 5; ++i)
        f.Lst_Lista->AddItem(QStringLiteral("riga %1").arg(i));
    f.setWindowTitle(QStringLiteral("Lista Prova"));
    QTimer::singleShot(0, &f, [&f, &frame, moveTo] {
        QTRY_VERIFY_WITH_TIMEOUT(f.frameGeometry() != f.geometry(), 5000);
        QTest::qWait(300); // the desktop's own moves come first
        if (moveTo.x() >= 0) {
            f.move(moveTo);
            QTRY_COMPARE_WITH_TIMEOUT(f.pos(), moveTo, 3000);
            QTest::qWait(200);
        }
        frame = f.frameGeometry();
        f.Cmd_Cancel_Click();
    });
    f.ShowModal();
    return frame;
}

} // namespace

class TestFListDesktop : public QObject
{
    Q_OBJECT
  private slots:
    void init()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs a desktop that frames windows (tests/e2e/list_window.sh)");
    }

    void opensWhereItWasClosed()
    {
        TestEnv env;
        G_DirApp = Folders::appDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        G_NomeLista = QStringLiteral("Prova");
        B_Rs2List = false;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();

        // First opening: no stored place, the title bar is on the screen.
        const QRect first = openAndClose();
        QVERIFY2(area.contains(first.topLeft()),
                 qPrintable(QStringLiteral("first at %1,%2").arg(first.x()).arg(first.y())));
        // Moved by the user, then opened twice more: it comes back where it was left.
        const QRect moved = openAndClose(QPoint(200, 150));
        QCOMPARE(moved.topLeft(), QPoint(200, 150));
        for (int round = 0; round < 2; ++round) {
            const QRect again = openAndClose();
            QCOMPARE(again, moved);
        }
    }
};

QTEST_MAIN(TestFListDesktop)
#include "tst_f_list_desktop.moc"
