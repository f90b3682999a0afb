#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <exception>
#include <functional>
#include <memory>

// A small ADO-like data access layer. The program was written against ADO on an
// Access file; here the archive is an SQLite database and this layer gives the
// code the objects and the behaviour it relies on:
//
//   ado::Connection cn;
//   cn.Open(MDB_OpenConn(path));                        // "Provider=...;Data Source='...'"
//   ado::Recordset rs;
//   rs.Open("SELECT * FROM FILES WHERE cod_firma=?", cn, ado::adOpenKeyset, ado::adLockOptimistic,
//           {key});                                      // '?' takes the values in order
//   if (rs.EOF_()) { rs.AddNew(); rs["cod_firma"] = key; }
//   rs["dat_send"] = today;                              // or rs.GetFields().Item(i).setValue(v)
//   rs.Update();
//   rs.Close();
//   cn.BeginTrans();
//   cn.Execute("UPDATE FILES SET dat_send=? WHERE cod_firma=?", {date, key});
//   cn.CommitTrans();
//
// Values are QVariant: an invalid QVariant is Null (distinct from ""), dates are
// QDateTime, whole numbers qint64, other numbers double, texts QString. A value
// given to a field is converted as the column keeps it (text to a date column is
// read in the day-first form; "" there is no date).
// Every failure throws ado::Error with an ADO-like number and a description.
//
// Static and keyset recordsets are read whole at Open, so a walk is not upset by
// its own changes; a keyset recordset writes each row back by its row identity,
// so two identical rows stay two rows. Moving off a changed row stores it; Close
// drops a change that was not stored. Field names match without regard to case.

namespace ado
{

// --- ADO enumerations (the values the program's code uses) ---
enum CursorTypeEnum : int {
    adOpenUnspecified = -1,
    adOpenForwardOnly = 0,
    adOpenKeyset = 1,
    adOpenDynamic = 2,
    adOpenStatic = 3,
};
enum LockTypeEnum : int {
    adLockUnspecified = -1,
    adLockReadOnly = 1,
    adLockPessimistic = 2,
    adLockOptimistic = 3,
    adLockBatchOptimistic = 4,
};
enum ObjectStateEnum : int { adStateClosed = 0, adStateOpen = 1 };
enum CommandTypeEnum : int { adCmdUnspecified = -1, adCmdText = 1, adCmdTable = 2 };
enum DataTypeEnum : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBSTR = 8,
    adBoolean = 11,
    adDecimal = 14,
    adUnsignedTinyInt = 17,
    adBigInt = 20,
    adUnsignedInt = 19,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// --- error numbers (ADO errors and OLE DB HRESULTs as the signed Long VB shows) ---
enum ErrorNumber : int {
    adErrNoCurrentRecord = 3021,     // BOF or EOF is True, or the record was deleted
    adErrIllegalOperation = 3219,    // not allowed in this state (e.g. Update without a change)
    adErrFeatureNotAvailable = 3251, // e.g. updating a read-only recordset
    adErrItemNotFound = 3265,        // no field of that name or index
    adErrObjectClosed = 3704,
    adErrObjectOpen = 3705,
    adErrProviderNotFound = 3706,
    E_FAIL = -2147467259,                    // 0x80004005: unspecified failure, cannot open the file
    DB_E_ERRORSINCOMMAND = -2147217900,      // 0x80040E14: the statement is not valid
    DB_E_PARAMNOTOPTIONAL = -2147217904,     // 0x80040E10: unknown column name
    DB_E_NOTABLE = -2147217865,              // 0x80040E37: no such table
    DB_E_INTEGRITYVIOLATION = -2147217873,   // 0x80040E2F: NOT NULL or other constraint
    DB_E_CANTCONVERTVALUE = -2147217913,     // 0x80040E07: a value that does not fit the column
    DB_E_CONCURRENCYVIOLATION = -2147217864, // 0x80040E38: the row is gone or changed
};

class Error : public std::exception
{
  public:
    Error(int number, QString description, QString source = QString());
    int Number() const { return number_; }
    const QString& Description() const { return description_; }
    const QString& Source() const { return source_; }
    const char* what() const noexcept override { return what_.constData(); }

  private:
    int number_;
    QString description_;
    QString source_;
    QByteArray what_;
};

// --- values ---
inline QVariant Null()
{
    return QVariant();
}
inline bool IsNull(const QVariant& v)
{
    return !v.isValid() || v.metaType().id() == QMetaType::Nullptr;
}
// The general date form the program shows (dd/MM/yyyy, plus " HH:mm:ss" when the
// time is not midnight); "" for a Null. Numbers come out as the program shows them.
QString ValueText(const QVariant& v);
// Date text in the program's forms (dd/MM/yyyy [HH:mm[:ss]], yyyy-MM-dd[ HH:mm:ss]);
// an invalid QDateTime when the text is not one of them.
QDateTime ParseDate(const QString& text);

namespace detail
{
struct ConnectionData;
struct RecordsetData;
} // namespace detail

class Recordset;

// A connection. Copies share one connection, as object references do.
class Connection
{
  public:
    Connection();
    // Opens the connection string ("Provider=...;Data Source='...'"; a quote inside the
    // quoted path is doubled). User, password and options are accepted and unused here.
    void Open(const QString& connectionString = QString(), const QString& user = QString(),
              const QString& password = QString(), int options = -1);
    void Close();
    int State() const;
    // As ADO gives it: once open, a text that says "Persist Security Info=False" no
    // longer shows its Password item.
    QString ConnectionString() const;
    void setConnectionString(const QString& text);
    // The provider text of the connection string ("Microsoft.Jet.OLEDB.4.0").
    QString Provider() const;
    // The file the connection string names (Data Source, quotes removed).
    QString DataSource() const;

    // Runs a statement that returns no rows; '?' marks take the values in order.
    // Returns the number of rows it changed.
    qint64 Execute(const QString& sql, const QVariantList& params = {});

    // Transactions nest: the outer level is a real transaction, inner levels savepoints.
    int BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    int TransLevel() const;

    bool operator==(const Connection& o) const { return d_ == o.d_; }
    std::shared_ptr<detail::ConnectionData> data() const { return d_; }

  private:
    friend class Recordset;
    explicit Connection(std::shared_ptr<detail::ConnectionData> d) : d_(std::move(d)) {}
    std::shared_ptr<detail::ConnectionData> d_;
};

// One field of the current row of a recordset (a light handle; valid while the
// recordset is open).
class Field
{
  public:
    QString Name() const;
    int Type() const;
    qint32 DefinedSize() const;
    int Precision() const;
    int NumericScale() const;
    QVariant Value() const;
    QVariant OriginalValue() const; // the value as read, before any change
    void setValue(const QVariant& v);
    Field& operator=(const QVariant& v)
    {
        setValue(v);
        return *this;
    }
    operator QVariant() const { return Value(); }
    QString toString() const { return ValueText(Value()); }
    bool isNull() const { return IsNull(Value()); }

  private:
    friend class Fields;
    friend class Recordset;
    Field(std::shared_ptr<detail::RecordsetData> rs, int index) : rs_(std::move(rs)), index_(index) {}
    std::shared_ptr<detail::RecordsetData> rs_;
    int index_;
};

class Fields
{
  public:
    int Count() const;
    Field Item(int index) const;           // from 0
    Field Item(const QString& name) const; // letter case does not matter
    Field operator[](int index) const { return Item(index); }
    Field operator[](const QString& name) const { return Item(name); }
    Field operator[](const char* name) const { return Item(name); }
    Field Item(const char* name) const; // UTF-8
    bool contains(const QString& name) const;

  private:
    friend class Recordset;
    explicit Fields(std::shared_ptr<detail::RecordsetData> rs) : rs_(std::move(rs)) {}
    std::shared_ptr<detail::RecordsetData> rs_;
};

// A recordset. Copies share one cursor, as object references do; Clone gives a
// second cursor over the same rows.
class Recordset
{
  public:
    Recordset();
    void Open(const QString& source, const Connection& connection, int cursorType = adOpenForwardOnly,
              int lockType = adLockReadOnly, int options = -1);
    void Open(const QString& source, const Connection& connection, int cursorType, int lockType,
              const QVariantList& params);
    // With a connection string: the recordset opens a connection of its own.
    void Open(const QString& source, const QString& connectionString, int cursorType = adOpenForwardOnly,
              int lockType = adLockReadOnly, int options = -1);
    void Close(); // closing a closed recordset does nothing
    int State() const;
    QString Source() const;
    Connection ActiveConnection() const;
    int CursorType() const;
    int LockType() const;

    // -1 for a forward-only cursor, as ADO gives.
    qint64 RecordCount() const;
    bool BOF() const;
    bool EOF_() const; // EOF is a macro of <cstdio>
    bool isEOF() const { return EOF_(); }
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    qint64 AbsolutePosition() const; // from 1; -1 at BOF or EOF

    // Only the empty filter: the program reads the filter but never sets one.
    QString Filter() const;
    void setFilter(const QString& filter);

    Fields GetFields() const;
    Field operator[](const QString& name) const { return GetFields().Item(name); }
    Field operator[](const char* name) const { return GetFields().Item(name); }
    Field operator[](int index) const { return GetFields().Item(index); }

    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    bool EditMode() const; // a change or a new row waits for Update
    Recordset Clone() const;
    // Reads the rows again with the same statement.
    void Requery();

    bool operator==(const Recordset& o) const { return d_ == o.d_; }

  private:
    void open(const QString& source, const Connection& connection, int cursorType, int lockType,
              const QVariantList& params);
    std::shared_ptr<detail::RecordsetData> d_;
};

// A text command on a connection.
class Command
{
  public:
    Connection ActiveConnection;
    QString CommandText;
    int CommandType = adCmdText;
    QVariantList Parameters;
    // Returns the number of rows changed.
    qint64 Execute();
};

// One statement of a procedure whose failures are answered Abort/Retry/Ignore:
// ask gets the error and gives the answer (the message-box answers 3 Abort,
// 4 Retry, 5 Ignore); Retry runs body again.
enum class StepResult { Done, Abort, Ignore };
StepResult RunStep(const std::function<void()>& body, const std::function<int(const Error&)>& ask);

// --- files ---
// True when the file is an SQLite database (an empty file counts as a new one).
bool IsDatabaseFile(const QString& path);
// True when the file exists and is not an SQLite database (an old Access file).
bool IsForeignFile(const QString& path);
// Creates an empty database; the file must not exist.
void CreateDatabase(const QString& path);
// Writes a compacted copy of source to target (which must not exist) and checks it.
void CompactDatabase(const QString& source, const QString& target);
// Holds the file's write lock on a connection of its own until destroyed: other
// connections still read, none writes. Throws when a writer does not finish
// within a couple of seconds.
class WriteLock
{
  public:
    explicit WriteLock(const QString& path);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

  private:
    void* db_ = nullptr;
};
// "ok" or the first problem PRAGMA integrity_check reports.
QString IntegrityCheck(const QString& path);
// Connections of this process now open on that file.
int OpenConnectionCount(const QString& path);

// Jet SQL in the dialect of the SQLite back end: TOP n, #date#, MEMO and the
// case-insensitive text columns. Texts in quotes are left alone.
QString TranslateJetSql(const QString& sql);

// The connection string's values: keys are matched without regard to case and
// a quote inside a quoted value is doubled.
QString ConnectionStringValue(const QString& connectionString, const QString& key);

// A value for a connection string built by hand: kept as it is when plain, in double
// quotes (inner ones doubled) when it holds ";", a quote or blanks at its ends, so it
// can neither end its item nor add another one. ConnectionStringValue reads it back.
QString ConnValue(const QString& value);

// The text with the value of its Password (or Pwd) item replaced by "********" (an
// empty value stays empty), for log lines and messages.
QString MaskPassword(const QString& connectionString);

} // namespace ado
