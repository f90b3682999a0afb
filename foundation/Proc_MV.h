#pragma once
#include "platform/ado/Ado.h"

#include <QString>

// The host ERP's environment in the integrated mode: its installation, the SQL login
// of its databases, the three connections kept open for the whole run, its folders and
// settings by kind, and the current company.

// --- login and connections (process lifetime; nothing here closes them) ---
extern QString DB_Srv;     // SQL Server name or named instance (Data Source)
extern QString Us_Id;      // SQL user
extern QString Us_Pwd;     // SQL password; may be empty
extern QString Db_Azi;     // catalog of the current company's database
extern QString MV_ProgDir; // the ERP's installation folder
extern ado::Connection Cn_kSYS;
extern ado::Connection Cn_kCONN;
extern ado::Connection Cn_kSESS;

// --- paths, product and company ---
extern QString MV_Azi;          // current company code
extern QString MV_RagSoc;       // company name
extern QString Db_AziCom;       // catalog of the company's common database
extern QString MV_NomeProdotto; // ERP product name
extern QString MV_BaseDir;      // the folder above "PathTemp", with its closing separator
extern QString MV_PubDir;
extern QString MV_VBADir;
extern QString MV_S2kDir;
extern QString MV_S2kAziDir;

// Sets up logins and connections; True when the three connections are open and the
// backup "SQLOG_BACK.INI" is written. ShowMessages False keeps the failure messages
// back (not the questions, not the end of the program).
bool MV_InitLib(bool ShowMessages);
// Asks for one login value (Kind "Server", "User" or "Pwd") into DB_Srv, Us_Id or Us_Pwd;
// "-1" when the user gives up.
void GetLoginData(const QString& Kind, const QString& Hint);
// A value the ERP stores as numbers, one per character, read back from "PW_k.MDB".
QString T_Guess(const QString& Codes, const QString& Separator);
QString PW_OpenMDB();
QString MV_CnStr(const QString& Catalog);
QString MV_CnStrProv(const QString& Catalog);
QString Reg_GetDBServer();
void MV_ClearACCESSI(ado::Connection& Conn);

// An ERP path or setting by kind; "" for an unknown kind.
QString Dove_MV(int Kind);
void InitMVProc(int Flags);
QString AziMarvo(int Flag);
// Opens company Code (which the user may replace by the last one used); True when
// exactly one company matches.
bool AziOpen(QString& Code);
QString MV_VerCO(const QString& Catalog);
QString MV_VerCA(const QString& Catalog);

// The text a log line or message shows for a password: "********", "" for none.
QString MV_MaskPwd(const QString& pwd);
// Puts every value of this module back as at the start of the process (tests).
void MV_ResetGlobals();
