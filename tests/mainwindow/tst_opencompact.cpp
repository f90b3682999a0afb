// The main window opens the maintenance window modally, with its company caption.
#include "archive/F_XMLCompact.h"
#include "archive/M_MDB.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

class TstOpenCompact : public QObject
{
    Q_OBJECT
  private slots:
    void opens_data();
    void opens();
};

void TstOpenCompact::opens_data()
{
    QTest::addColumn<int>("how"); // 0 right release on Cmd_DelDir, 1 Cmd_Temp, 2 left release
    QTest::addColumn<bool>("shown");
    QTest::newRow("right release") << 0 << true;
    QTest::newRow("Cmd_Temp") << 1 << true;
    QTest::newRow("left release") << 2 << false;
}

void TstOpenCompact::opens()
{
    QFETCH(int, how);
    QFETCH(bool, shown);
    TestEnv env;
    G_DirApp = Folders::appDir();
    G_DirWin = Folders::windowsDir();
    Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
    Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
    setProcessEndHandler([](int) {});
    IniFile::write(QStringLiteral("QOR_PLCR.INI"), QStringLiteral("ParamXML"), QStringLiteral("LastCompact"),
                   QStringLiteral("10/12/2026"));
    MDB_Create(Pth_DirTmpMDB);
    {
        ado::Connection cn;
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
        cn.Close();
    }
    F_ZipXML& main = F_ZipXML::instance();
    main.Show();
    main.Lbl_Azi->setText(QStringLiteral("DITTA PROVA SRL"));
    QString azi;
    VbForm* opened = nullptr;
    setModalRunner([&](VbForm& form) {
        opened = &form;
        azi = static_cast<F_XMLCompact&>(form).Lbl_Azi->text();
        form.Unload();
    });
    if (how == 1)
        main.Cmd_Temp_Click();
    else
        main.Cmd_DelDir_MouseUp(how == 0 ? 2 : 1, 0, 0, 0);
    setModalRunner({});
    QCOMPARE(opened != nullptr, shown);
    if (shown) QCOMPARE(azi, QStringLiteral("DITTA PROVA SRL"));
    main.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setProcessEndHandler({});
}

QTEST_MAIN(TstOpenCompact)
#include "tst_opencompact.moc"
