#include "Proc_MV.h"

#include "F_ChEAzi.h"
#include "F_SQLAccess.h"
#include "StartSettings.h"
#include "M_MV.h"
#include "ModRegistro.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QDir>
#include <QFileInfo>

QString DB_Srv;
QString Us_Id;
QString Us_Pwd;
QString Db_Azi;
QString MV_ProgDir;
ado::Connection Cn_kSYS;
ado::Connection Cn_kCONN;
ado::Connection Cn_kSESS;

QString MV_Azi;
QString MV_RagSoc;
QString Db_AziCom;
QString MV_NomeProdotto;
QString MV_BaseDir;
QString MV_PubDir;
QString MV_VBADir;
QString MV_S2kDir;
QString MV_S2kAziDir;

namespace
{

const QString kMarvo = QStringLiteral("MARVO_Z.INI");
const QString kOwnIni = QStringLiteral("QOR_PLCR.INI");
const QString kLogin = QStringLiteral("Login");
const QString kSettingsKey = QStringLiteral("Software\\Ostera Software\\k\\Settings");
const QString kBaseDatiKey = QStringLiteral("Software\\Ostera Software\\k\\BaseDati");
const QString kLastLoginKey = QStringLiteral("Software\\Ostera Software\\k\\UltimoLoginAppl");
const QString kLoginKey = QStringLiteral("Software\\Ostera Software\\k\\Login");
const QString kFailTail = QStringLiteral("\r\n\r\nINTERRUZIONE PROGRAMMA !");

void logLine(const QString& text)
{
    Qor().WriteLog(text, 0, Pth_DebugLog, true);
}

QString backupPath()
{
    return G_DirApp + QStringLiteral("SQLOG_BACK.INI");
}

// These files hold the SQL password in clear, in the ERP's own format; the settings
// files make any file with a password key its owner's alone.
bool writeMarvo(const QString& key, const QString& value)
{
    return Qor().IniWrite(kLogin, key, value, kMarvo);
}

QString readMarvo(const QString& key, const QString& def = QString())
{
    return Qor().IniRead(kLogin, key, def, kMarvo);
}

// Quote rule of the login: a matching pair of single or double quotes goes.
QString unquoted(const QString& v)
{
    if (v.size() >= 2 && ((v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\''))) ||
                          (v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))))
        return Qor().CutRight(v.mid(1), 1);
    return v;
}

QString providerOf(const QString& fallback)
{
    const QString p = Dove_MV(11);
    return p.isEmpty() ? fallback : p;
}

// One layout for every SQL Server connection; each value quoted when it could end its item.
QString cnString(const QString& provider, const QString& catalog)
{
    return QStringLiteral("Provider=") + provider + QStringLiteral(";Persist Security Info=False;User ID=") +
           ado::ConnValue(Us_Id) + QStringLiteral(";Password=") + ado::ConnValue(Us_Pwd) +
           QStringLiteral(";Initial Catalog=") + ado::ConnValue(catalog) + QStringLiteral(";Data Source=") +
           ado::ConnValue(DB_Srv);
}

void readLogin()
{
    DB_Srv = unquoted(readMarvo(QStringLiteral("Server")));
    Us_Id = readMarvo(QStringLiteral("UserId"));
    Us_Pwd = readMarvo(QStringLiteral("UserPwd"));
    logLine(QStringLiteral("     DB_Srv : ") + DB_Srv + QStringLiteral("<"));
    logLine(QStringLiteral("     Us_Id : ") + Us_Id + QStringLiteral("<"));
    logLine(QStringLiteral("     Us_Pwd : ") + MV_MaskPwd(Us_Pwd) + QStringLiteral("<"));
}

// Shows the SQL login window modally; true when the user left it with "Abbandona".
bool askLoginWindow()
{
    F_SQLAccess& w = F_SQLAccess::instance();
    w.ShowModal();
    const bool quit = F_SQLAccess::isLoaded() && F_SQLAccess::instance().Is_Quit();
    if (F_SQLAccess::isLoaded()) F_SQLAccess::instance().Unload();
    return quit;
}

bool isAbsolute(const QString& path)
{
    return path.startsWith(QLatin1Char('/'));
}

bool isSep(QChar c)
{
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

// Makes a folder that is missing; only absolute paths (a Windows default such as
// "c:\temp\" would make folders in the current one).
void makeFolder(const QString& path)
{
    if (!isAbsolute(path) || QFileInfo(path).isDir()) return;
    if (!QDir().mkpath(path)) logLine(QStringLiteral("// IMPOSSIBILE CREARE LA CARTELLA : ") + path);
}

} // namespace

QString MV_MaskPwd(const QString& pwd)
{
    return pwd.isEmpty() ? QString() : QStringLiteral("********");
}

void MV_ResetGlobals()
{
    for (QString* s : {&DB_Srv, &Us_Id, &Us_Pwd, &Db_Azi, &MV_ProgDir, &MV_Azi, &MV_RagSoc, &Db_AziCom,
                       &MV_NomeProdotto, &MV_BaseDir, &MV_PubDir, &MV_VBADir, &MV_S2kDir, &MV_S2kAziDir})
        s->clear();
    for (ado::Connection* c : {&Cn_kSYS, &Cn_kCONN, &Cn_kSESS}) {
        c->Close();
        *c = ado::Connection();
    }
}

// --- login ---

void GetLoginData(const QString& Kind, const QString& Hint)
{
    const QString kind = Kind.toUpper();
    QString suffix;
    if (!Hint.isEmpty())
        suffix = QStringLiteral("\r\n (   ") + Hint + QStringLiteral("   ??   )");
    else if (kind == QLatin1String("PWD"))
        suffix = QStringLiteral("\r\n (   PASSWORD NULLA  ??   )");

    QString title, prompt, def;
    if (kind == QLatin1String("SERVER")) {
        title = QStringLiteral("Inserire Server (GetLoginData)");
        prompt = QStringLiteral("Nome SERVER/Istanza Nominata (NO Barre: \\ )");
        def = Dove_MV(9);
        if (def.isEmpty()) def = Qor().ComputerName();
    } else if (kind == QLatin1String("USER")) {
        title = QStringLiteral("Inserire Utente (GetLoginData)");
        prompt = QStringLiteral("Nome Utente");
        def = QStringLiteral("sa");
    } else if (kind == QLatin1String("PWD")) {
        title = QStringLiteral("Inserire Password (GetLoginData)");
        prompt = QStringLiteral("Password Utente");
    } else {
        MsgBox(QStringLiteral("ERRORE RICHIAMANDO GetLoginData: ") + Kind, vb::OKOnly);
        EndProcess(0);
        return;
    }

    QString answer;
    for (;;) {
        answer = dialogs().inputBox(prompt + suffix, title, def).trimmed();
        if (!answer.isEmpty()) break;
        if (kind == QLatin1String("PWD") &&
            MsgBox(QStringLiteral("CONFERMI PASSWORD NULLA ?"), vb::YesNo | vb::Question,
                   QStringLiteral("Proc_MV")) == vb::Yes) {
            writeMarvo(QStringLiteral("NullPwd"), QStringLiteral("1"));
            break;
        }
        if (MsgBox(QStringLiteral("NESSUN valore inserito !\r\rConfermi abbandono operazione ??"),
                   vb::YesNo | vb::Question, QStringLiteral("GetLoginData - ") + kind) == vb::Yes) {
            answer = QStringLiteral("-1");
            break;
        }
    }
    if (kind == QLatin1String("SERVER"))
        DB_Srv = answer;
    else if (kind == QLatin1String("USER"))
        Us_Id = answer;
    else
        Us_Pwd = answer;
}

QString PW_OpenMDB()
{
    const QString path = G_DirApp + QStringLiteral("PW_k.MDB");
    if (!Qor().FileExists(path)) return QString();
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source='") + quoted +
           QStringLiteral("';Mode=ReadWrite;Persist Security Info=False");
}

QString T_Guess(const QString& Codes, const QString& Separator)
{
    const QString path = G_DirApp + QStringLiteral("PW_k.MDB");
    if (Codes.trimmed().isEmpty() || !Qor().FileExists(path)) return QString();
    if (ado::IsForeignFile(path)) {
        logLine(QStringLiteral("T_Guess : PW_k.MDB non leggibile (formato non riconosciuto)"));
        return QString();
    }
    QString out;
    try {
        ado::Connection cn;
        cn.Open(PW_OpenMDB());
        for (int n = 1;; ++n) {
            const QString field = Qor().GetField(Codes, n, Separator, true);
            if (field.isEmpty()) break;
            const qint64 code = qint64(Qor().ToDouble(field));
            ado::Recordset rs;
            rs.Open(QStringLiteral("SELECT * FROM codes WHERE num_code=? AND num_posiz=?"), cn,
                    ado::adOpenStatic, ado::adLockReadOnly, QVariantList{code, n});
            out += rs.EOF_() ? QStringLiteral("?") : rs[QStringLiteral("des_carat")].toString();
            rs.Close();
        }
        cn.Close();
    } catch (const ado::Error& e) {
        // Never reported: what could be read stands.
        logLine(QStringLiteral("T_Guess : ") + e.Description());
    }
    return out;
}

QString MV_CnStr(const QString& Catalog)
{
    return cnString(providerOf(QStringLiteral("SQLOLEDB")) + QStringLiteral(".1"),
                    Catalog.isEmpty() ? Db_Azi : Catalog);
}

QString MV_CnStrProv(const QString& Catalog)
{
    return cnString(providerOf(QStringLiteral("SQLOLEDB")) + QStringLiteral(".1"),
                    Catalog.isEmpty() ? Db_AziCom : Catalog);
}

QString Reg_GetDBServer()
{
    const QString sw = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE");
    const QString tail = QStringLiteral("\\Ostera Software\\k\\BaseDati\\DBServer");
    QString s = Qor().RegRead(sw + tail, QStringLiteral("\\"));
    if (s.isEmpty()) s = Qor().RegRead(sw + QStringLiteral("\\Wow6432Node") + tail, QStringLiteral("\\"));
    return s;
}

void MV_ClearACCESSI(ado::Connection& Conn)
{
    if (MV_NomeProdotto.isEmpty() || MV_NomeProdotto == QLatin1String("k/VERTICALE") ||
        MV_NomeProdotto == QLatin1String("k/"))
        return;
    // One statement for every access row of this computer and product.
    Conn.Execute(QStringLiteral("DELETE FROM TS_ACCESSI WHERE cod_utente='admk' AND nomecomputer=? AND "
                                "des_nomeprodotto=?"),
                 QVariantList{Qor().ComputerName(), MV_NomeProdotto});
}

bool MV_InitLib(bool ShowMessages)
{
    QString label = QStringLiteral("MV_ProgDir");
    // Errors of the first steps: Abort leaves, Retry repeats the statement, Ignore goes on.
    auto generalStep = [&](const std::function<void()>& body) {
        const ado::StepResult r = ado::RunStep(body, [&](const ado::Error& e) {
            return MsgBox(QString::number(e.Number()) + QStringLiteral(": ") + e.Description(),
                          vb::AbortRetryIgnore | vb::Exclamation, QStringLiteral("MV_InitLib - ") + label);
        });
        return r != ado::StepResult::Abort;
    };

    QString provider;
    if (!generalStep([&] {
            provider = Dove_MV(11);
            if (provider.isEmpty()) provider = QStringLiteral("SQLOLEDB.1");
            logLine(QStringLiteral("§   -----    MV_InitLib  -------"));
        }))
        return false;
    if (!generalStep([&] {
            MV_ProgDir = Dove_MV(7);
            logLine(QStringLiteral("-* MV_ProgDir"));
            logLine(QStringLiteral("-> MV_ProgDir : >") + MV_ProgDir + QStringLiteral("<"));
            logLine(QStringLiteral("Risultato - MV_ProgDir: >") + MV_ProgDir + QStringLiteral("<"));
        }))
        return false;
    if (MV_ProgDir.isEmpty()) {
        if (ShowMessages)
            MsgBox(QStringLiteral("MV NON INSTALLATO  !!!!\r\rIMPOSSIBILE ESEGUIRE IL PROGRAMMA !!"),
                   vb::OKOnly, QStringLiteral("Proc_MV:MV_InitLib"));
        return false;
    }
    logLine(QStringLiteral("Dopo MV_ProgDir : ") + MV_ProgDir + QStringLiteral("<"));
    logLine(QStringLiteral("     MV_Ini : ") + kMarvo + QStringLiteral("<"));

    if (!generalStep(readLogin)) return false;
    while (DB_Srv.isEmpty() || Us_Id.isEmpty()) {
        logLine(QStringLiteral("--- Richiamo  F_SQLAccess ---"));
        if (askLoginWindow()) {
            TaskKill();
            return false;
        }
        if (!generalStep(readLogin)) return false;
    }

    label = QStringLiteral("Prima di T_Guess 3 (Password)");
    const QString hint = T_Guess(Dove_MV(23), QStringLiteral(" "));
    while (Us_Pwd.isEmpty()) {
        if (Qor().IniReadInt(kLogin, QStringLiteral("NullPwd"), 0, kMarvo) == 1) break;
        label = QStringLiteral("Prima di GetLData 3");
        GetLoginData(QStringLiteral("Pwd"), hint);
        if (Us_Pwd.isEmpty()) {
            if (MsgBox(QStringLiteral("SICURO DI CONFERMARE PASSWORD NULLA ?"), vb::YesNo | vb::Question,
                       QStringLiteral("Proc_MV")) == vb::Yes) {
                writeMarvo(QStringLiteral("NullPwd"), QStringLiteral("1"));
                break;
            }
        }
        if (Us_Pwd == QLatin1String("-1")) {
            if (ShowMessages)
                MsgBox(QStringLiteral("IMPOSSIBILE Determinare la PASSWORD UTENTE !!") + kFailTail,
                       vb::OKOnly | vb::Critical, QStringLiteral("MV_InitLib"));
            TaskKill();
            return false;
        }
        writeMarvo(QStringLiteral("UserPwd"), Us_Pwd);
    }

    // From here a failure is a connection failure.
    logLine(QStringLiteral("InitLib       User           Us_Id  : ") + Us_Id + QStringLiteral("<"));
    logLine(QStringLiteral("InitLib       Password       Us_Pwd : ") + MV_MaskPwd(Us_Pwd) +
            QStringLiteral("<"));
    logLine(QStringLiteral("InitLib       DataSource     DB_Srv : ") + DB_Srv + QStringLiteral("<"));
    logLine(QStringLiteral("InitLib       Catalog Azi    Db_Azi : ") + Db_Azi + QStringLiteral("<"));

    QString cnStr;
    enum class Trap { Done, Failed };
    // Runs one statement under the connection trap; Failed means MV_InitLib is over (False).
    auto connStep = [&](const std::function<void()>& body) {
        for (;;) {
            try {
                body();
                return Trap::Done;
            } catch (const ado::Error& e) {
                const QString text =
                    QString::number(e.Number()) + QStringLiteral(": ") + e.Description() +
                    QStringLiteral("\r\n- Source: ") + e.Source() + QStringLiteral("\r\n\r\nLabel: ") +
                    label + QStringLiteral("\r\n\r\n") + ado::MaskPassword(cnStr) +
                    QStringLiteral("\r\n\r\nParametri di Connessione :\r\n- ") + DB_Srv +
                    QStringLiteral(" - ") + Us_Id + QStringLiteral(" - ") + MV_MaskPwd(Us_Pwd) +
                    QStringLiteral(" -") + QStringLiteral("\r\n\r\n Riprovo ??") +
                    QStringLiteral("\r\n\r\n ANNULLA : REIMPOSTA DATI LOGIN !");
                logLine(QStringLiteral("MV_InitLib - ") + label + QStringLiteral(" : ") +
                        QString::number(e.Number()) + QStringLiteral(": ") + e.Description());
                const int answer =
                    MsgBox(text, vb::YesNoCancel | vb::Critical, QStringLiteral("MV_InitLib - ") + label);
                if (answer == vb::Yes) continue;
                if (answer == vb::No) {
                    MsgBox(QStringLiteral("IMPOSSIBILE CONNETTERSI !!"), vb::OKOnly | vb::Critical,
                           QStringLiteral("MV_InitLib: ") + label);
                    TaskKill();
                    return Trap::Failed;
                }
                const QString srv = DB_Srv, usr = Us_Id, pwd = Us_Pwd;
                askLoginWindow();
                const QString nSrv = readMarvo(QStringLiteral("Server"), srv);
                const QString nUsr = readMarvo(QStringLiteral("UserId"), usr);
                const QString nPwd = readMarvo(QStringLiteral("UserPwd"), pwd);
                if (nSrv != srv || nUsr != usr || nPwd != pwd) {
                    writeMarvo(QStringLiteral("Server"), nSrv);
                    writeMarvo(QStringLiteral("UserId"), nUsr);
                    writeMarvo(QStringLiteral("UserPwd"), nPwd);
                    MsgBox(QStringLiteral("MODIFICATI PARAMETRI LOGIN !!\r\rRIAVVIARE IL PROGRAMMA !!"),
                           vb::OKOnly,
                           App_ExeName() + QStringLiteral(" - ") + App_Title() + QStringLiteral(" - ") +
                               QStringLiteral("Rel.: 2.19.xx"));
                    TaskKill();
                }
                return Trap::Failed;
            }
        }
    };

    struct Target {
        ado::Connection* cn;
        const char* name;
        const char* catalog;
    };
    const Target targets[] = {{&Cn_kSYS, "Cn_kSYS", "kSYS"},
                              {&Cn_kCONN, "Cn_kCONN", "kCONNESSIONI"},
                              {&Cn_kSESS, "Cn_kSESS", "kSESSIONI"}};
    for (const Target& t : targets) {
        const QString name = QString::fromLatin1(t.name);
        label = name;
        cnStr = cnString(provider, QString::fromLatin1(t.catalog));
        logLine(QStringLiteral("     Cn_Str ") + name + QStringLiteral(" : ") + ado::MaskPassword(cnStr) +
                QStringLiteral("<"));
        const bool first = t.cn == &Cn_kSYS;
        if (connStep([&] {
                t.cn->Close();
                *t.cn = ado::Connection();
                t.cn->setConnectionString(cnStr);
                if (first) {
                    logLine(QStringLiteral("- Inizio ") + name);
                    logLine(QStringLiteral("- Prima di Open : ") + ado::MaskPassword(cnStr));
                }
                t.cn->Open(QString(), QString(), QString(), -1);
                if (first) logLine(QStringLiteral("- Dopo Open"));
            }) == Trap::Failed)
            return false;
        if (first) {
            label = QStringLiteral("TS_VERSIONE");
            if (connStep([&] {
                    ado::Recordset rs;
                    rs.Open(QStringLiteral("SELECT TOP 1 * FROM TS_VERSIONE ORDER BY num_versione DESC"),
                            Cn_kSYS, ado::adOpenKeyset, ado::adLockOptimistic);
                    if (!rs.EOF_()) (void)rs[QStringLiteral("num_versione")].Value();
                    rs.Close();
                }) == Trap::Failed)
                return false;
        }
    }

    logLine(QStringLiteral("- Prima di MV_ClearACCESSI"));
    label = QStringLiteral("MV_ClearACCESSI");
    if (connStep([] { MV_ClearACCESSI(Cn_kSESS); }) == Trap::Failed) return false;

    label = QStringLiteral("SQLOG_BACK");
    if (connStep([] {
            const QString path = backupPath();
            Qor().IniWrite(kLogin, QStringLiteral("Server"), DB_Srv, path);
            Qor().IniWrite(kLogin, QStringLiteral("UserId"), Us_Id, path);
            Qor().IniWrite(kLogin, QStringLiteral("UserPwd"), Us_Pwd, path);
        }) == Trap::Failed)
        return false;
    return true;
}

// --- paths and company ---

QString Dove_MV(int Kind)
{
    logLine(QStringLiteral("\\\\ ENTRO in Dove_MV : ") + QString::number(Kind) + QStringLiteral(" < "));
    const QString tempDefault = QStringLiteral("c:\\temp\\");
    QString value;
    switch (Kind) {
    case 1:
    case 5:
    case 6:
        value = Reg_GetValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("PathTemp"));
        if (value.isEmpty()) value = tempDefault;
        break;
    case 4:
        value = Reg_GetValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("PathVBA"));
        if (value.isEmpty()) value = tempDefault;
        break;
    case 7:
        logLine(QStringLiteral("\\\\ ENTRO in Dove_MV : MVD_Prog < "));
        value = Reg_GetValue(HKEY_LOCAL_MACHINE, kSettingsKey, QStringLiteral("PercorsoInstallazione"));
        break;
    case 9:
        value = Reg_GetValue(HKEY_LOCAL_MACHINE, kBaseDatiKey, QStringLiteral("DBServer"));
        break;
    case 11:
        value = Reg_GetValue(HKEY_LOCAL_MACHINE, kBaseDatiKey, QStringLiteral("OLEDBProvider"));
        break;
    case 21:
    case 22:
    case 23: {
        static const char* const names[] = {"PS", "PU", "PW"};
        value = Reg_GetValue(HKEY_LOCAL_MACHINE, kSettingsKey, QString::fromLatin1(names[Kind - 21]));
        if (value.isEmpty()) value = QStringLiteral("   ");
        break;
    }
    default:
        logLine(QStringLiteral("// Tipo Dove_MV NON TROVATO !! : ") + QString::number(Kind));
        return QString();
    }

    if (Kind == 1) {
        // The folder above "PathTemp": cut back to the separator before the last part.
        QString base = value.left(value.size() - 1);
        while (base.size() > 2 && !isSep(base.back()))
            base.chop(1);
        if (!base.isEmpty() && isSep(base.back())) MV_BaseDir = base;
    }
    if (Kind == 5 || Kind == 6) {
        QString norm = value;
        norm.replace(QLatin1Char('/'), QLatin1Char('\\'));
        bool any = false;
        for (int n = 10; n >= 1 && !any; --n)
            any = !Qor().GetField(norm, n, QStringLiteral("\\")).isEmpty();
        if (any) {
            value = MV_BaseDir + QStringLiteral("mv_S2K/");
            makeFolder(value);
            if (Kind == 6) {
                value = MV_BaseDir + QStringLiteral("mv_S2K/") + MV_Azi + QStringLiteral("/");
                makeFolder(value);
            }
        }
    }
    // The ERP's password codes decode with "PW_k.MDB" beside the log: never shown.
    const QString shown = Kind == 23 ? QStringLiteral("********") : value;
    logLine(QStringLiteral("// ESCO da Dove_MV : ") + QString::number(Kind) + QStringLiteral(" : ") + shown);
    return value;
}

void InitMVProc(int)
{
    MV_Azi = AziMarvo(0);
    MV_PubDir = Dove_MV(1);
    MV_VBADir = Dove_MV(4);
    MV_S2kDir = Dove_MV(5);
    MV_S2kAziDir = Dove_MV(6);
    if (MV_NomeProdotto.isEmpty()) MV_NomeProdotto = QStringLiteral("k/VERTICALE");
}

QString AziMarvo(int Flag)
{
    QString azi = Reg_GetValue(HKEY_CURRENT_USER, kLastLoginKey, QStringLiteral("Azienda"));
    if (azi.isEmpty()) {
        Beep();
        MsgBox(QStringLiteral("Azienda Gestalo NON Definita !!"), vb::OKOnly | vb::Critical,
               QStringLiteral("AziMarvo"));
        F_ChEAzi::instance().ShowModal();
        azi = Reg_GetValue(HKEY_CURRENT_USER, kLoginKey, QStringLiteral("UltimaAzienda"));
        qint32 root = HKEY_CURRENT_USER;
        qint32 key = 0;
        if (Reg_OpenKey(root, kLastLoginKey, key)) {
            Reg_SetString(key, QStringLiteral("Azienda"), MV_Azi);
            Reg_CloseKey(key);
        }
    } else if (Flag != 0) {
        return azi;
    }
    const QString def = Qor().IniRead(QStringLiteral("AMBIENTE"), QStringLiteral("Codice Azienda"),
                                      QStringLiteral("demor"), kMarvo);
    QString current =
        Qor().IniRead(QStringLiteral("AMBIENTE"), QStringLiteral("Codice Azienda"), QString(), kOwnIni);
    if (!current.isEmpty()) {
        QString c = current;
        if (AziOpen(c)) azi = c;
    }
    if (azi.isEmpty()) {
        if (current.isEmpty()) {
            current = def;
            Qor().IniWrite(QStringLiteral("AMBIENTE"), QStringLiteral("Codice Azienda"), current, kOwnIni);
        }
    } else {
        current = azi;
        Qor().IniWrite(QStringLiteral("AMBIENTE"), QStringLiteral("Codice Azienda"), current, kOwnIni);
    }
    if (!AziOpen(current)) {
        MsgBox(QStringLiteral("DISASTRO APRENDO L'AZIENDA !!"), vb::OKOnly | vb::Critical,
               QStringLiteral("AziMarvo - AziOpen"));
        return QString();
    }
    return current;
}

bool AziOpen(QString& Code)
{
    while (Code.isEmpty()) {
        const QString previous = Reg_GetValue(HKEY_CURRENT_USER, kLastLoginKey, QStringLiteral("Azienda"));
        const int answer =
            MsgBox(QStringLiteral("ERRORE Recuperando i Dati Azienda !! (") + Code +
                       QStringLiteral(")\r\rAttivo azienda ") + previous + QStringLiteral(" ?"),
                   vb::YesNo | vb::Exclamation, QStringLiteral("Func. : AziOpen"));
        // With no last company to offer, Yes would ask the same question for ever.
        if (answer != vb::Yes || previous.isEmpty()) return false;
        Code = previous;
    }
    MV_Azi.clear();
    MV_RagSoc.clear();
    Db_Azi.clear();
    Db_AziCom.clear();
    // A company table that cannot be read is a company not found: the caller reports it
    // and the start goes on without a company, rather than ending on the error.
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral(
                    "SELECT * FROM TS_AZIENDE AS a inner join TS_AZIENDE_INFO AS i on (a.cod_azienda = "
                    "i.cod_anagra) WHERE cod_azienda =?"),
                Cn_kSYS, ado::adOpenStatic, ado::adLockReadOnly, QVariantList{Code});
        if (rs.RecordCount() == 1) {
            const QString azi = rs[QStringLiteral("cod_azienda")].toString();
            const QString ragSoc = rs[QStringLiteral("des_ragsoc")].toString();
            const QString db = rs[QStringLiteral("des_database")].toString();
            const QString dbCom = rs[QStringLiteral("des_database_com")].toString();
            rs.Close();
            MV_Azi = azi;
            MV_RagSoc = ragSoc;
            Db_Azi = db;
            Db_AziCom = dbCom;
            return true;
        }
        rs.Close();
    } catch (const std::exception& e) {
        const auto* adoError = dynamic_cast<const ado::Error*>(&e);
        logLine(QStringLiteral("*** ERRORE AziOpen (") + Code + QStringLiteral(") : ") +
                (adoError ? adoError->Description() : QString::fromUtf8(e.what())));
    }
    MsgBox(QStringLiteral("ERRORE Recuperando i Dati Azienda !! (") + Code + QStringLiteral(")"),
           vb::OKOnly | vb::Critical, QStringLiteral("Func. : AziOpen"));
    return false;
}

namespace
{
QString version(const QString& table, const QString& cnStr)
{
    QString out;
    try {
        ado::Recordset rs;
        rs.Open(QStringLiteral("SELECT TOP 1 num_versione FROM ") + table +
                    QStringLiteral(" ORDER BY num_versione DESC"),
                cnStr, ado::adOpenStatic, ado::adLockReadOnly);
        if (!(rs.BOF() && rs.EOF_())) out = rs[QStringLiteral("num_versione")].toString();
        rs.Close();
    } catch (const ado::Error&) {
        // A missing table, database or login gives no version.
    }
    return out;
}
} // namespace

QString MV_VerCO(const QString& Catalog)
{
    return version(QStringLiteral("CO_VERSIONE"), MV_CnStr(Catalog));
}

QString MV_VerCA(const QString& Catalog)
{
    return version(QStringLiteral("CA_VERSIONE"), MV_CnStrProv(Catalog));
}
