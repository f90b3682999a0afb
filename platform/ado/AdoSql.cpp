#include "AdoSql.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>

#include <sqlite3.h>

namespace ado::sql
{
namespace
{

struct Tok {
    enum Kind { Space, Word, Number, Str, Ident, Punct } kind;
    QString text;
    int depth = 0; // parenthesis depth before the token
};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

QList<Tok> tokenize(const QString& s)
{
    QList<Tok> out;
    int depth = 0;
    const int n = int(s.size());
    int i = 0;
    auto closing = [&](QChar close, int from) {
        int j = from + 1;
        while (j < n) {
            if (s.at(j) == close) {
                if (close == QLatin1Char('\'') && j + 1 < n && s.at(j + 1) == close) {
                    j += 2; // a doubled quote stays inside the text
                    continue;
                }
                return j + 1;
            }
            ++j;
        }
        return n;
    };
    while (i < n) {
        const QChar c = s.at(i);
        Tok t{Tok::Punct, QString(), depth};
        int j = i + 1;
        if (c.isSpace()) {
            while (j < n && s.at(j).isSpace())
                ++j;
            t.kind = Tok::Space;
        } else if (c == QLatin1Char('\'')) {
            j = closing(c, i);
            t.kind = Tok::Str;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`')) {
            j = closing(c, i);
            t.kind = Tok::Ident;
        } else if (c == QLatin1Char('[')) {
            j = closing(QLatin1Char(']'), i);
            t.kind = Tok::Ident;
        } else if (c == QLatin1Char('#')) {
            // Jet date literal: the program writes it in its own day-first form.
            const int end = int(s.indexOf(QLatin1Char('#'), i + 1));
            const QString inner = end < 0 ? s.mid(i + 1) : s.mid(i + 1, end - i - 1);
            const QDateTime d = ParseDate(inner);
            if (end < 0 || !d.isValid())
                throw Error(DB_E_ERRORSINCOMMAND,
                            QStringLiteral("Data non valida nell'istruzione SQL: #%1#").arg(inner));
            out << Tok{Tok::Str,
                       QLatin1Char('\'') + d.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
                           QLatin1Char('\''),
                       depth};
            i = end + 1;
            continue;
        } else if (isWordStart(c)) {
            while (j < n && isWordChar(s.at(j)))
                ++j;
            t.kind = Tok::Word;
        } else if (c.isDigit()) {
            while (j < n && (s.at(j).isDigit() || s.at(j) == QLatin1Char('.')))
                ++j;
            t.kind = Tok::Number;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        }
        t.text = s.mid(i, j - i);
        out << t;
        i = j;
    }
    return out;
}

bool isWord(const Tok& t, const char* w)
{
    return t.kind == Tok::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}

int nextSignificant(const QList<Tok>& toks, int from)
{
    while (from < toks.size() && toks.at(from).kind == Tok::Space)
        ++from;
    return from;
}

bool isTextType(const QString& typeText)
{
    const QString u = typeText.toUpper();
    return u.contains(QLatin1String("CHAR")) || u.contains(QLatin1String("TEXT")) ||
           u.contains(QLatin1String("CLOB")) || u.contains(QLatin1String("MEMO"));
}

// Text columns compare without regard to letter case, as Jet does.
void collateColumn(QList<Tok>& toks, int a, int b, QMap<int, QString>& suffix)
{
    a = nextSignificant(toks, a);
    if (a >= b) return;
    const Tok& name = toks.at(a);
    for (const char* k : {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"})
        if (isWord(name, k)) return;
    for (int i = a; i < b; ++i)
        if (isWord(toks.at(i), "COLLATE")) return;
    QString typeText;
    int last = -1;
    int i = a + 1;
    while (i < b) {
        const Tok& t = toks.at(i);
        if (t.kind == Tok::Space) {
            ++i;
            continue;
        }
        if (t.kind == Tok::Word) {
            bool constraint = false;
            for (const char* k : {"NOT", "NULL", "PRIMARY", "UNIQUE", "CHECK", "DEFAULT", "COLLATE",
                                  "REFERENCES", "CONSTRAINT", "GENERATED", "AS"})
                constraint = constraint || isWord(t, k);
            if (constraint) break;
            typeText += t.text;
            last = i++;
            continue;
        }
        if (t.kind == Tok::Punct && t.text == QLatin1String("(") && last >= 0) {
            const int d = t.depth;
            int j = i + 1;
            while (j < b && !(toks.at(j).text == QLatin1String(")") && toks.at(j).depth == d + 1))
                ++j;
            last = qMin(j, b - 1);
            i = j + 1;
            continue;
        }
        break;
    }
    if (last >= 0 && isTextType(typeText)) suffix[last] += QStringLiteral(" COLLATE NOCASE");
}

void translateDdl(QList<Tok>& toks, int first)
{
    const bool create = isWord(toks.at(first), "CREATE");
    const int second = nextSignificant(toks, first + 1);
    if (second >= toks.size() || !isWord(toks.at(second), "TABLE")) return;
    // MEMO has no text affinity in SQLite: '0012' would turn into 12.
    for (Tok& t : toks)
        if (isWord(t, "MEMO")) t.text = QStringLiteral("LONGTEXT");
    QMap<int, QString> suffix;
    if (create) {
        int open = -1;
        for (int i = second; i < toks.size(); ++i)
            if (toks.at(i).text == QLatin1String("(") && toks.at(i).depth == 0) {
                open = i;
                break;
            }
        if (open < 0) return;
        int start = open + 1;
        for (int i = open + 1; i < toks.size(); ++i) {
            const Tok& t = toks.at(i);
            if (t.depth == 1 && t.text == QLatin1String(",")) {
                collateColumn(toks, start, i, suffix);
                start = i + 1;
            } else if (t.depth == 1 && t.text == QLatin1String(")")) {
                collateColumn(toks, start, i, suffix);
                break;
            }
        }
    } else {
        for (int i = second; i < toks.size(); ++i) {
            if (toks.at(i).depth == 0 && isWord(toks.at(i), "ADD")) {
                int a = nextSignificant(toks, i + 1);
                if (a < toks.size() && isWord(toks.at(a), "COLUMN")) a = a + 1;
                int b = int(toks.size());
                while (b > a &&
                       (toks.at(b - 1).kind == Tok::Space || toks.at(b - 1).text == QLatin1String(";")))
                    --b;
                collateColumn(toks, a, b, suffix);
                break;
            }
        }
    }
    for (auto it = suffix.cbegin(); it != suffix.cend(); ++it)
        toks[it.key()].text += it.value();
}

QString join(const QList<Tok>& toks, int a, int b)
{
    QString s;
    for (int i = a; i < b; ++i)
        s += toks.at(i).text;
    return s;
}

} // namespace

namespace
{
Translated translateText(const QString& jetSql);
}

// The program sends the same few texts again and again: each is translated once.
Translated translate(const QString& jetSql)
{
    thread_local QHash<QString, Translated> done;
    const auto it = done.constFind(jetSql);
    if (it != done.cend()) return *it;
    Translated t = translateText(jetSql);
    if (done.size() >= 512) done.clear();
    done.insert(jetSql, t);
    return t;
}

namespace
{
Translated translateText(const QString& jetSql)
{
    QList<Tok> toks = tokenize(jetSql);
    Translated t;
    const int first = nextSignificant(toks, 0);
    if (first >= toks.size()) {
        t.text = jetSql;
        return t;
    }
    if (isWord(toks.at(first), "CREATE") || isWord(toks.at(first), "ALTER")) {
        translateDdl(toks, first);
        t.text = join(toks, 0, int(toks.size()));
        return t;
    }
    if (!isWord(toks.at(first), "SELECT")) {
        t.text = join(toks, 0, int(toks.size()));
        return t;
    }
    t.isSelect = true;
    QString top;
    int k = nextSignificant(toks, first + 1);
    if (k < toks.size() &&
        (isWord(toks.at(k), "DISTINCT") || isWord(toks.at(k), "DISTINCTROW") || isWord(toks.at(k), "ALL"))) {
        if (isWord(toks.at(k), "DISTINCTROW")) toks[k].text = QStringLiteral("DISTINCT");
        k = nextSignificant(toks, k + 1);
    }
    if (k < toks.size() && isWord(toks.at(k), "TOP")) {
        const int num = nextSignificant(toks, k + 1);
        if (num >= toks.size() || toks.at(num).kind != Tok::Number)
            throw Error(DB_E_ERRORSINCOMMAND,
                        QStringLiteral("TOP senza numero di righe nell'istruzione SQL."));
        const int after = nextSignificant(toks, num + 1);
        if (after < toks.size() && isWord(toks.at(after), "PERCENT"))
            throw Error(DB_E_ERRORSINCOMMAND, QStringLiteral("TOP ... PERCENT non è gestito."));
        top = toks.at(num).text;
        toks.erase(toks.begin() + k, toks.begin() + after);
    }
    int limitAt = -1;
    for (int i = first + 1; i < toks.size(); ++i) {
        const Tok& x = toks.at(i);
        if (x.depth != 0 || x.kind != Tok::Word) continue;
        if (isWord(x, "ORDER"))
            t.hasOrder = true;
        else if (isWord(x, "GROUP"))
            t.hasGroup = true;
        else if (isWord(x, "UNION") || isWord(x, "EXCEPT") || isWord(x, "INTERSECT"))
            t.hasUnion = true;
        else if (isWord(x, "DISTINCT"))
            t.hasDistinct = true;
        else if (isWord(x, "JOIN") || x.text == QLatin1String(","))
            t.hasJoin = true;
        else if (isWord(x, "LIMIT") && limitAt < 0)
            limitAt = i;
    }
    // A comma at depth 0 after FROM is an old-style join.
    bool inFrom = false;
    for (int i = first + 1; i < toks.size(); ++i) {
        const Tok& x = toks.at(i);
        if (x.depth != 0) continue;
        if (isWord(x, "FROM"))
            inFrom = true;
        else if (isWord(x, "WHERE") || isWord(x, "ORDER") || isWord(x, "GROUP") || isWord(x, "LIMIT"))
            inFrom = false;
        else if (inFrom && x.text == QLatin1String(","))
            t.hasJoin = true;
    }
    int end = int(toks.size());
    while (end > first &&
           (toks.at(end - 1).kind == Tok::Space || toks.at(end - 1).text == QLatin1String(";")))
        --end;
    t.head = join(toks, 0, first + 1);
    if (limitAt >= 0) {
        t.body = join(toks, first + 1, limitAt);
        while (t.body.endsWith(QLatin1Char(' ')))
            t.body.chop(1);
        t.limit = QLatin1Char(' ') + join(toks, limitAt, end);
    } else {
        t.body = join(toks, first + 1, end);
        if (!top.isEmpty()) t.limit = QStringLiteral(" LIMIT ") + top;
    }
    t.text = t.head + t.body + t.limit;
    return t;
}
} // namespace

QString withKeyColumn(const Translated& t, bool orderByRowid)
{
    return t.head + QStringLiteral(" rowid AS __ado_key,") + t.body +
           (orderByRowid ? QStringLiteral(" ORDER BY rowid") : QString()) + t.limit;
}

QString withRowidOrder(const Translated& t)
{
    return t.head + t.body + QStringLiteral(" ORDER BY rowid") + t.limit;
}

void columnType(const QString& declared, backend::ColumnInfo& c)
{
    const QString u = declared.trimmed().toUpper();
    static const QRegularExpression args(QStringLiteral("\\(\\s*(\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\)"));
    const QRegularExpressionMatch m = args.match(u);
    const int a1 = m.hasMatch() ? m.captured(1).toInt() : -1;
    const int a2 = m.hasMatch() && m.capturedLength(2) > 0 ? m.captured(2).toInt() : -1;
    auto set = [&](int type, qint32 size, int precision, int scale) {
        c.type = type;
        c.definedSize = size;
        c.precision = precision;
        c.numericScale = scale;
    };
    auto has = [&](const char* w) { return u.contains(QLatin1String(w)); };
    if (u.isEmpty())
        set(adVarWChar, 255, 255, 255);
    else if (has("LONGTEXT") || has("MEMO") || has("CLOB") || has("NOTE") || (has("TEXT") && a1 < 0))
        set(adLongVarWChar, 536870910, 255, 255);
    else if (has("CHAR") || has("TEXT"))
        set(adVarWChar, a1 > 0 ? a1 : 255, 255, 255);
    else if (has("DATE") || has("TIME"))
        set(adDate, 8, 0, 255);
    else if (has("SMALLINT") || has("SHORT") || has("INTEGER2"))
        set(adSmallInt, 2, 5, 255);
    else if (has("TINYINT") || has("BYTE"))
        set(adUnsignedTinyInt, 1, 3, 255);
    else if (has("BIGINT"))
        set(adBigInt, 8, 19, 255);
    else if (has("BIT") || has("BOOL") || has("YESNO") || has("LOGICAL"))
        set(adBoolean, 2, 255, 255);
    else if (has("INT") || has("LONG") || has("COUNTER") || has("AUTOINCREMENT"))
        set(adInteger, 4, 10, 255);
    else if (has("DOUBLE") || has("FLOAT"))
        set(adDouble, 8, 15, 255);
    else if (has("REAL") || has("SINGLE"))
        set(adSingle, 4, 7, 255);
    else if (has("CURRENCY") || has("MONEY"))
        set(adCurrency, 8, 19, 255);
    else if (has("NUMERIC") || has("DECIMAL"))
        set(adNumeric, 19, a1 > 0 ? a1 : 18, a2 >= 0 ? a2 : 0);
    else if (has("BLOB") || has("BINARY") || has("IMAGE") || has("OLE"))
        set(a1 > 0 ? adVarBinary : adLongVarBinary, a1 > 0 ? a1 : 1073741823, 255, 255);
    else
        set(adVarWChar, 255, 255, 255);
}

void columnTypeOfValue(int sqliteType, backend::ColumnInfo& c)
{
    switch (sqliteType) {
    case SQLITE_INTEGER:
        c.type = adInteger, c.definedSize = 4, c.precision = 10, c.numericScale = 255;
        break;
    case SQLITE_FLOAT:
        c.type = adDouble, c.definedSize = 8, c.precision = 15, c.numericScale = 255;
        break;
    case SQLITE_BLOB:
        c.type = adLongVarBinary, c.definedSize = 1073741823, c.precision = 255, c.numericScale = 255;
        break;
    default:
        break;
    }
}

} // namespace ado::sql

QString ado::TranslateJetSql(const QString& sql)
{
    return sql::translate(sql).text;
}
