// The archive maintenance window: load, first activation, the run guard, unload.
#include "archive/F_XMLCompact.h"
#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "support/TestEnv.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace ado;

class TstXMLCompact : public QObject
{
    Q_OBJECT
  private slots:
    void loadAndFirstActivation();
    void closeRefusedDuringRun();
    void archiveMissingAtLoad();
};

namespace
{
struct Fixture {
    TestEnv env;
    Connection cn;
    Fixture()
    {
        G_DirApp = Folders::appDir();
        G_DirWin = Folders::windowsDir();
        Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
        Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
        B_Develop = false;
    }
    void archive(const QStringList& bases)
    {
        MDB_Create(Pth_DirTmpMDB);
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB));
        Upd_Tabs_Compact(cn);
        for (const QString& b : bases)
            cn.Execute(QStringLiteral("INSERT INTO DIRBASE (cod_firma, des_cartella) VALUES (?, ?)"),
                       {MDB_FolderKey(b), b});
    }
    ~Fixture()
    {
        if (cn.State() == adStateOpen) cn.Close();
        if (F_XMLCompact::isLoaded()) F_XMLCompact::instance().Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};
} // namespace

void TstXMLCompact::loadAndFirstActivation()
{
    Fixture fx;
    const QString b = fx.env.work() + QStringLiteral("b/"), a = fx.env.work() + QStringLiteral("a/");
    fx.archive({b, a});
    fx.cn.Execute(QStringLiteral("INSERT INTO DIRSUB (cod_firma_base, cod_firma, des_cartella, num_cartella) "
                                 "VALUES (?, ?, ?, 1)"),
                  {MDB_FolderKey(a), 4711, QStringLiteral("/srv/link/")});
    F_XMLCompact& w = F_XMLCompact::instance();
    QCOMPARE(w.windowTitle(), QStringLiteral("Compattamento cartelle temporanee"));
    QCOMPARE(w.Cmb_FoldXML->count(), 2);
    QCOMPARE(w.Cmb_FoldXML->itemText(0), a);
    QVERIFY(w.Cmd_UpdFiles->isHidden());
    w.Show();
    QCOMPARE(w.Cmb_FoldXML->currentIndex(), 0);
    QCOMPARE(w.Lbl_FoldBase->toolTip(), QString::number(MDB_FolderKey(a)));
    QCOMPARE(w.Lbl_AttPass->text(), QStringLiteral("Attive"));
    QCOMPARE(w.Lbl_LastDo->text(), QString());
    QCOMPARE(w.Lst_FoldSub->count(), 1);
    QCOMPARE(w.Lst_FoldSub->item(0)->text(), QStringLiteral("        4711|/srv/link/"));
    QVERIFY(w.Unload());
    QCOMPARE(OpenConnectionCount(Pth_DirTmpMDB), 1); // the test's own
}

void TstXMLCompact::closeRefusedDuringRun()
{
    Fixture fx;
    fx.archive({fx.env.work()});
    F_XMLCompact& w = F_XMLCompact::instance();
    w.Show();
    {
        F_XMLCompact::RunGuard run(w);
        QVERIFY(!w.Unload());
        QCOMPARE(fx.env.dialogs().beeps, 1);
    }
    QVERIFY(w.Unload());
}

void TstXMLCompact::archiveMissingAtLoad()
{
    Fixture fx;
    fx.env.dialogs().answer(vb::OK);
    F_XMLCompact& w = F_XMLCompact::instance();
    QVERIFY(!w.ArchiveOpen());
    QVERIFY(
        fx.env.dialogs().messages().value(0).startsWith(QStringLiteral("ERRORE apertura archivio :\r\n")));
    w.Unload();
}

QTEST_MAIN(TstXMLCompact)
#include "tst_f_xmlcompact.moc"
