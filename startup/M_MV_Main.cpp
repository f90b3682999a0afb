// The entry procedure: from the executable's name to the main window.
#include "startup/M_MV_Main.h"

#include "archive/M_Files.h"
#include "archive/M_MDB.h"
#include "foundation/F_Splash.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "foundation/Proc_MV.h"
#include "foundation/Proc_Qor.h"
#include "foundation/Proc_Qor_Files.h"
#include "mainwindow/F_ZipXML.h"
#include "platform/Dialogs.h"
#include "platform/ado/Ado.h"
#include "qor/Cl_QOR.h"
#include "startup/InitVBProc.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");

void MV_Noop() {}

void closeSplash()
{
    if (F_Splash::isLoaded()) {
        F_Splash::instance().hide();
        F_Splash::instance().Unload();
    }
}

// Fills DIRBASE of a new archive from the folders the settings list.
void seedDirBase(ado::Connection& cn)
{
    ado::Recordset all;
    all.Open(QStringLiteral("SELECT * FROM DIRBASE ORDER BY des_cartella"), cn, ado::adOpenStatic,
             ado::adLockReadOnly);
    const bool empty = all.EOF_() && all.BOF();
    all.Close();
    if (empty) {
        for (int n = 0;; ++n) {
            const QString path = Qor().IniRead(QStringLiteral("ParamXML"),
                                               QStringLiteral("Pth_") + QString::number(n), QString(), kIni);
            if (path.isEmpty()) break;
            const qint32 key = MDB_FolderKey(path);
            ado::Recordset rs;
            rs.Open(QStringLiteral("SELECT * FROM DIRBASE WHERE cod_firma=") + QString::number(key), cn,
                    ado::adOpenKeyset, ado::adLockOptimistic);
            if (rs.EOF_()) {
                rs.AddNew();
                rs[QStringLiteral("cod_firma")] = key;
            }
            rs[QStringLiteral("des_cartella")] = path;
            rs.Update();
            rs.Close();
        }
    }
    MsgBox(QStringLiteral("Definire le cartella Base e quelle Collegate.\r\n\r\nUsando il pulsante 'Compatta "
                          "Cartelle Temporanee'"),
           vb::OKOnly, QStringLiteral("M_MV.Main"));
}

// The C library keeps the room a large job freed (a list of many thousands of files
// builds and drops a great deal of small texts) inside its heap, still counted against
// the program. Once the program waits for the user again and much of its heap lies
// unused, that room goes back to the system.
void giveBackFreedMemoryWhenIdle()
{
#ifdef __GLIBC__
    static bool installed = false;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(qApp->thread());
    if (installed || !dispatcher) return;
    installed = true;
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, qApp, [] {
        constexpr size_t kFreeWorthIt = size_t(4) << 20; // unused heap bytes
        constexpr size_t kChanged = size_t(1) << 20;     // heap movement since the last time
        static QElapsedTimer lastLook;
        static size_t usedThen = 0, freeThen = 0;
        if (lastLook.isValid() && lastLook.elapsed() < 200) return;
        lastLook.start();
        const struct mallinfo2 m = mallinfo2();
        const auto apart = [](size_t a, size_t b) { return a > b ? a - b : b - a; };
        if (m.fordblks < kFreeWorthIt || apart(m.uordblks, usedThen) + apart(m.fordblks, freeThen) < kChanged)
            return;
        malloc_trim(0);
        usedThen = m.uordblks;
        freeThen = m.fordblks;
    });
#endif
}

} // namespace

bool LoadQtTranslations()
{
    static QTranslator* installed = nullptr;
    if (installed) return true;
    auto* t = new QTranslator(qApp);
    if (!t->load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete t;
        return false;
    }
    QCoreApplication::installTranslator(t);
    installed = t;
    return true;
}

void Main()
{
    // Qt's own texts (standard buttons, input and file dialogs) in Italian like the rest.
    LoadQtTranslations();

    // 1. The run mode comes from the executable's own name.
    B_MVMode = IsMVBuildName(App_ExeName());

    // 2. One copy per program folder.
    if (App_PrevInstance()) {
        MsgBox(QStringLiteral("ATTENZIONE !!  Programma già in esecuzione !"), vb::OKOnly | vb::Critical,
               App_Title());
        EndProcess(0);
        return;
    }

    // 3. Splash.
    F_Splash& splash = F_Splash::instance();
    splash.lblVersion->setText(QStringLiteral("Rel.: 2.19.xx"));
    QFont f = splash.lblProductName->font();
    f.setPointSize(16);
    splash.lblProductName->setFont(f);
    QCoreApplication::processEvents();
    splash.Show();
    splash.repaint();
    QCoreApplication::processEvents();

    // 4.-7. Shared paths, develop flag, debug log.
    InitVBProc();
    Pth_Prot = G_DirApp + QStringLiteral("PROT/");
    B_Develop = Qor().FileExists(G_DirApp + QStringLiteral("_Develop.txt"));
    Pth_DebugLog = G_DirApp + QStringLiteral("XMLGESTALO_Debug.LOG");
    File_BAK(Pth_DebugLog, 512);
    Qor().WriteLog(QStringLiteral("§=>=>=>=>=>  Inizio Programma _Main  <=<=<=<=<=  ") + App_ExeName(), 0,
                   Pth_DebugLog, true);

    // 8. The archive must exist.
    Pth_DirTmpMDB = G_DirApp + QStringLiteral("DIR_TMP.MDB");
    bool justCreated = false;
    if (!Qor().FileExists(Pth_DirTmpMDB)) {
        G_Risp = MsgBox(QStringLiteral("ATTENZIONE !!\r\nFile ") + Pth_DirTmpMDB +
                            QStringLiteral(" NON TROVATO !!\r\n\r\nPROSEGUO ?\r\n\r\n") + MDB_SupportNotice(),
                        vb::YesNo | vb::Question | vb::DefaultButton1, QStringLiteral("_MAIN_"));
        if (G_Risp == vb::No) {
            closeSplash();
            EndProcess(0);
            return;
        }
        MDB_Create(Pth_DirTmpMDB);
        justCreated = true;
    } else if (QFileInfo(Pth_DirTmpMDB).isFile() && QFileInfo(Pth_DirTmpMDB).size() == 0) {
        // A new archive always has its header, so 0 bytes means the old one was
        // emptied (a full disk, a failed copy): the user is told before it is
        // filled again as a new archive.
        Qor().WriteLog(QStringLiteral("*** ARCHIVIO VUOTO ") + Pth_DirTmpMDB +
                           QStringLiteral(" : 0 byte, ricreato come nuovo archivio"),
                       0, Pth_DebugLog, true);
        MsgBox(QStringLiteral("ATTENZIONE !!\r\nFile ") + Pth_DirTmpMDB +
                   QStringLiteral(" VUOTO (0 byte) !!\r\n\r\nL'archivio viene ricreato senza dati.\r\n\r\n") +
                   MDB_SupportNotice(),
               vb::OKOnly | vb::Exclamation, QStringLiteral("_MAIN_"));
        justCreated = true;
    }

    // 9.-11. Tables brought up to date; a new archive gets its base folders.
    try {
        ado::Connection cn;
        cn.Open(MDB_OpenConn(Pth_DirTmpMDB), QString(), QString(), -1);
        Upd_Tabs_Compact(cn);
        MV_Noop();
        if (justCreated) seedDirBase(cn);
        cn.Close();
    } catch (const std::exception& e) {
        // Descriptions are Italian text: take them whole, not through the C locale.
        const auto* adoError = dynamic_cast<const ado::Error*>(&e);
        const QString why = adoError ? adoError->Description() : QString::fromUtf8(e.what());
        Qor().WriteLog(QStringLiteral("*** ERRORE apertura archivio ") + Pth_DirTmpMDB +
                           QStringLiteral(" : ") + why,
                       0, Pth_DebugLog, true);
        MsgBox(QStringLiteral("ERRORE apertura archivio :\r\n") + Pth_DirTmpMDB + QStringLiteral("\r\n\r\n") +
                   why + QStringLiteral("\r\n\r\n") + MDB_SupportNotice(),
               vb::OKOnly | vb::Critical, QStringLiteral("_MAIN_"));
        closeSplash();
        EndProcess(1);
        return;
    }

    // 12. Periodic compaction.
    MDBCompact(Pth_DirTmpMDB, App_ExeName(), G_DirApp, 30);

    // 13. The integrated mode sets up the ERP environment and shows none of these windows.
    if (B_MVMode) {
        if (!MV_InitLib(true)) {
            MsgBox(QStringLiteral("ERRORI Inizializzando l'Ambiente di Gestalo !!"),
                   vb::OKOnly | vb::Critical, QStringLiteral("Main"));
            closeSplash();
            EndProcess(0);
            return;
        }
        InitMVProc(16380);
        // The integrated windows that follow belong to the ERP's own program.
        closeSplash();
        EndProcess(0);
        return;
    }

    // 14. The main window, without waiting; its load closes the splash.
    giveBackFreedMemoryWhenIdle();
    F_ZipXML& main = F_ZipXML::instance();
    main.Show();

    // A run without a user (the start-up smoke test) closes the window as the user would.
    const int closeAfter = qEnvironmentVariableIntValue("PLICORA_TEST_CLOSE_MS");
    if (closeAfter > 0)
        QTimer::singleShot(closeAfter, &main, [] {
            if (F_ZipXML::isLoaded()) F_ZipXML::instance().close();
        });

    // 15.
    QCoreApplication::processEvents();
}
