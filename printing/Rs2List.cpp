#include "Rs2List.h"

#include "F_List.h"
#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Dialogs.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QSaveFile>

#include <exception>
#include <functional>

namespace
{

const QString kSep = QStringLiteral("|");

struct Column {
    QString kind = QStringLiteral("S");
    int width = 0;
    int decimals = 0;
    QString typeName;
};

// Steps that may fail without ending the listing.
void tolerant(const std::function<void()>& step)
{
    try {
        step();
    } catch (const std::exception&) {
    } catch (...) {
    }
}

int clampWidth(qint64 w)
{
    return static_cast<int>(qBound(qint64(0), w, qint64(32767)));
}

QString valueText(const QVariant& v)
{
    return ado::IsNull(v) ? QString() : ado::ValueText(v);
}

QString noBreaks(QString t)
{
    return t.remove(QStringLiteral("\r\n"));
}

} // namespace

namespace
{
// The widest row, which the list is fitted to: two running pairs of width and row index
// (the index of the row added last when a line is measured).
struct WidestRow {
    int wa = 0, ia = -1, wb = 0, ib = 0;
    void connection(qsizetype len, int index)
    {
        if (len > wa) {
            wa = wb = static_cast<int>(len);
            ia = ib = index;
        }
    }
    void clause(qsizetype len, int index)
    {
        if (len > wb) {
            wb = static_cast<int>(len);
            ib = index;
        }
    }
    void merge()
    {
        if (wb > wa) {
            wa = wb;
            ia = ib;
        }
    }
    void line(const QString& text, int index)
    {
        if (text.trimmed().size() > wa) {
            wa = static_cast<int>(text.size());
            ia = index;
        }
    }
    int index(const ListaRows& list) const
    {
        const int count = list.ListCount();
        int i = ib;
        if (count > 0 && i < 0) i = 0;
        if (count >= 2) {
            if (wa > list.List(0).size()) i = qMax(ia, 0);
            if (list.List(1).size() > list.List(i).size()) i = 1;
        }
        return i;
    }
};
} // namespace

void Rs2List(ado::Recordset* rs, const QString& nomeLista, qint32 maxRec, qint16& maxCol, bool batch,
             bool noInfo, qint16& numDec, bool verticale)
{
    auto refuse = [&](const QString& text) {
        if (!batch) MsgBox(text, vb::OKOnly | vb::Critical, QStringLiteral("Rs2List :") + nomeLista);
        Beep();
    };
    if (!rs) {
        refuse(QStringLiteral("Recorset Nullo !"));
        return;
    }
    if (rs->State() == ado::adStateClosed) {
        refuse(QStringLiteral("Recordset Chiuso !"));
        return;
    }
    if (maxCol > 0) maxCol = qBound(qint16(10), maxCol, qint16(255));
    G_NomeLista = nomeLista.isEmpty() ? QStringLiteral("RS2LIST") : nomeLista;
    const QString logName = nomeLista.isEmpty()
                                ? QStringLiteral("RS2LIST")
                                : Qor().TrChars(nomeLista, QStringLiteral("/"), QStringLiteral("_"));
    const QString logFile = G_DirApp + QStringLiteral("RS2LIST_") + logName + QStringLiteral(".LOG");
    // The log only grows: every line appends.
    auto log = [&](const QString& line) { Qor().WriteLog(line, 0, logFile, true); };
    log(QStringLiteral("----- Rs2List -----  ") + nomeLista);

    struct ResetFlag {
        ~ResetFlag() { B_Rs2List = false; }
    } resetFlag;

    bool jet = false;
    tolerant([&] { jet = rs->ActiveConnection().Provider().toUpper().contains(QStringLiteral("JET")); });
    qint64 n = 0;
    tolerant([&] {
        n = rs->RecordCount();
        if (n > 0) rs->MoveFirst();
    });
    if (maxRec > 0 && n > maxRec) n = maxRec;
    if (maxRec <= 0 && !batch && n > 1000) {
        const QString answer = dialogs().inputBox(QStringLiteral("Quanti ne visualizzo ? (Consiglio 500)"),
                                                  QStringLiteral("TROPPI RECORDS !"), QString::number(n));
        if (answer.isEmpty()) {
            G_RigaLista.clear();
            MsgBox(QStringLiteral("Lista da RecordSet Abbandonata !!\r\n\r\n") + nomeLista, vb::OKOnly,
                   App_Title());
            return;
        }
        n = static_cast<qint64>(Qor().ToDouble(answer));
        QCoreApplication::processEvents();
    }
    int fieldCount = 0;
    tolerant([&] { fieldCount = qMin(rs->GetFields().Count(), 255); });

    F_List& win = F_List::instance();
    ListaRows& list = *win.Lst_Lista;
    WidestRow widest;
    list.Clear();
    win.Lbl_Head->setText(QString());
    win.setWindowTitle(nomeLista == G_NomeLista
                           ? QStringLiteral("Lista ") + G_NomeLista
                           : QStringLiteral("Lista ") + G_NomeLista + QStringLiteral("   ") + nomeLista);

    // SQL clauses.
    QString selectLine, groupLine = QStringLiteral("- "), whereLine = QStringLiteral("- "),
                        orderLine = QStringLiteral("- "), unionText;
    QStringList fromLines;
    tolerant([&] {
        QString s = rs->Source().toUpper();
        const int u = s.indexOf(QStringLiteral(" UNION "));
        if (u >= 0) {
            unionText = s.mid(u);
            s = s.left(u);
        }
        const int from = s.indexOf(QStringLiteral(" FROM "));
        const int where = s.indexOf(QStringLiteral(" WHERE "));
        const int order = s.indexOf(QStringLiteral(" ORDER "));
        const int sel = s.indexOf(QStringLiteral("SELECT "));
        if (sel >= 0 && from > sel) selectLine = QStringLiteral("- ") + s.mid(sel, from - sel).trimmed();
        QString r = from >= 0 ? s.mid(from) : QString();
        QString wh, o;
        if (where >= 0) {
            if (from >= 0) r = s.mid(from, qMax(0, where - from));
            wh = s.mid(where);
        }
        if (order >= 0) {
            o = s.mid(order);
            if (where >= 0 && order > where)
                wh = s.mid(where, order - where);
            else if (from >= 0 && order > from)
                r = s.mid(from, order - from);
        }
        r = r.trimmed();
        wh = Qor().Replace(wh.trimmed(), QStringLiteral(" GROUP BY"), QStringLiteral(" |GROUP BY"));
        groupLine = QStringLiteral("- ") + Qor().GetField(wh, 2, kSep, false);
        whereLine = QStringLiteral("- ") + Qor().GetField(wh, 1, kSep, false);
        orderLine = QStringLiteral("- ") + o.trimmed();
        if (!r.isEmpty()) {
            r = Qor().Replace(r, QStringLiteral(" LEFT JOIN"), QStringLiteral(" LEFT_JOIN"));
            r = Qor().Replace(r, QStringLiteral(" RIGHT JOIN"), QStringLiteral(" RIGHT_JOIN"));
            r = Qor().Replace(r, QStringLiteral(" INNER JOIN"), QStringLiteral(" INNER_JOIN"));
            r = Qor().Replace(r, QStringLiteral(" JOIN"), QStringLiteral("\r\n  JOIN"));
            r = Qor().Replace(r, QStringLiteral(" LEFT_JOIN"), QStringLiteral("\r\n  LEFT JOIN"));
            r = Qor().Replace(r, QStringLiteral(" RIGHT_JOIN"), QStringLiteral("\r\n  RIGHT JOIN"));
            r = Qor().Replace(r, QStringLiteral(" INNER_JOIN"), QStringLiteral("\r\n  INNER JOIN"));
            const QStringList parts = r.split(QStringLiteral("\r\n"));
            for (int k = 0; k < parts.size(); ++k)
                fromLines << (k == 0 ? QStringLiteral("- ") : QStringLiteral("  ")) + parts[k].trimmed();
        }
    });

    // Information block.
    tolerant([&] {
        const QString cs = rs->ActiveConnection().ConnectionString();
        int count = 10;
        const QStringList lines = Qor().WrapLines(cs, 129, count, true);
        if (!noInfo)
            for (int k = 0; k < lines.size(); ++k) {
                list.AddItem(lines[k]);
                widest.connection(lines[k].size(), list.NewIndex());
                log(QString::number(k + 1) + QStringLiteral(" - ") + lines[k]);
            }
        log(cs);
    });
    tolerant([&] {
        if (!selectLine.isEmpty()) {
            if (!noInfo) list.AddItem(selectLine);
            widest.clause(selectLine.size(), list.NewIndex());
            log(selectLine);
        }
        if (!noInfo) {
            for (const QString& l : fromLines) {
                list.AddItem(l);
                widest.clause(l.size(), list.NewIndex());
            }
            for (const QString& l : {groupLine, whereLine, orderLine}) {
                list.AddItem(l);
                widest.clause(l.size(), list.NewIndex());
                log(l);
            }
        }
        if (!unionText.isEmpty()) {
            if (!noInfo) list.AddItem(unionText);
            widest.clause(unionText.size(), list.NewIndex());
            log(unionText);
        }
        const QString filter = rs->Filter();
        if (!filter.isEmpty() && filter != QStringLiteral("0") && !noInfo) {
            list.AddItem(QStringLiteral("Filter : ") + filter);
            widest.clause(filter.size() + 9, list.NewIndex());
            log(QStringLiteral("Filer : ") + filter);
        }
    });

    // From here an error goes to the caller.
    widest.merge();
    if (!noInfo) list.AddItem(Qor().Replicate(71, QStringLiteral("-")));
    const bool hasRows = !(rs->BOF() && rs->EOF_());
    const ado::Fields fields = rs->GetFields();
    QList<Column> cols(fieldCount);
    QString header;
    for (int i = 0; i < fieldCount; ++i) {
        const ado::Field f = fields.Item(i);
        const QString name = f.Name();
        const int type = f.Type();
        const qint32 defined = f.DefinedSize();
        int w = 10;
        const qint64 d = defined < 1 ? 255 : defined;
        if (d > 10) {
            qint64 ww = defined < 0 ? 255 : defined;
            if (hasRows && jet) ww = qMax<qint64>(ww, name.size());
            if (ww > 66000) ww = maxCol;
            if (maxCol > 0 && ww > maxCol) ww = maxCol;
            w = clampWidth(ww);
        }
        if (type == 131) numDec = static_cast<qint16>(qBound(0, f.NumericScale(), 255));
        Column& c = cols[i];
        switch (type) {
        case 2:
        case 3:
        case 19:
        case 20:
            c = {QStringLiteral("N"), 10, 0,
                 f.Precision() > 5 ? QStringLiteral("LONG") : QStringLiteral("Integer")};
            break;
        case 4:
        case 6:
        case 14:
        case 131:
        case 139:
            c = {QStringLiteral("N"), numDec >= 0 ? 11 + numDec : 14, numDec >= 0 ? int(numDec) : 4,
                 QStringLiteral("Single")};
            break;
        case 5:
            c = {QStringLiteral("N"), numDec != 0 ? 12 + numDec : 20, numDec != 0 ? int(numDec) : 6,
                 QStringLiteral("Double")};
            break;
        case 7:
        case 133:
        case 134:
            c = {QStringLiteral("D"), 10, 0, QStringLiteral("Date/Time")};
            break;
        case 135:
            c = {QStringLiteral("D"), 20, 0, QStringLiteral("Date/Time")};
            break;
        case 8:
        case 129:
        case 130:
        case 200:
        case 201:
        case 202:
        case 203:
            c = {QStringLiteral("S"), w, 0,
                 defined > 66000 ? QStringLiteral("MEMO")
                                 : QStringLiteral("String * ") + QString::number(defined)};
            break;
        case 11:
            c = {QStringLiteral("L"), qMax(6, int(name.size())), 0, QStringLiteral("Boolean")};
            break;
        case 17:
            c = {QStringLiteral("N"), 3, 0, QStringLiteral("Byte")};
            break;
        case 72:
            c = {QStringLiteral("I"), w, 0, QStringLiteral("String * 38")};
            break;
        case 128:
        case 204:
            c = {QStringLiteral("B"), 5, 0, QStringLiteral("Binary")};
            break;
        default:
            c = {QStringLiteral("S"), w, 0, QStringLiteral("Else------")};
            break;
        }
        if (!noInfo) {
            QString line = Qor().FormatNum(i + 1, 3, 0) + kSep + Qor().PadStr(name, 25) + kSep +
                           Qor().FormatNum(type, 5, 0) + QStringLiteral(".") + Qor().PadStr(c.typeName, 15) +
                           kSep + Qor().FormatNum(defined, 9, 0) + kSep +
                           Qor().FormatNum(f.Precision(), 8, 0) + kSep;
            if (hasRows) {
                const QVariant v = f.Value();
                line += QStringLiteral(">") + valueText(v).trimmed() +
                        (ado::IsNull(v) ? QStringLiteral("_") : QString());
            }
            list.AddItem(line);
        }
        header += Qor().PadStr(name, c.width) + QStringLiteral("!");
    }
    const qint64 total = rs->RecordCount();
    if (total > 0 && !noInfo) {
        list.AddItem(Qor().Replicate(71, QStringLiteral("-")));
        list.AddItem(QString::number(total) + QStringLiteral(" Record(s) nel Recordset."));
    }
    const QString trimmed = header.trimmed();
    const int l = static_cast<int>(trimmed.size());
    win.Lbl_Head->setText(header);
    if (!noInfo) {
        list.AddItem(Qor().Replicate(l, QStringLiteral("-")));
        list.AddItem(trimmed);
    }
    widest.line(header, list.NewIndex());
    log(trimmed);
    if (!noInfo) list.AddItem(Qor().Replicate(l, QStringLiteral("=")));
    widest.clause(l, list.NewIndex());
    log(Qor().Replicate(l, QStringLiteral("=")));

    auto cell = [&](const Column& c, const QVariant& v) {
        const bool null = ado::IsNull(v);
        if (c.kind == QStringLiteral("B")) return QStringLiteral(".....");
        // A Null is a blank cell of the column's width.
        if (null) return Qor().PadStr(QString(), c.kind == QStringLiteral("I") ? 38 : c.width);
        if (c.kind == QStringLiteral("N")) return Qor().FormatNum(v.toDouble(), c.width, c.decimals);
        if (c.kind == QStringLiteral("I")) return Qor().PadStr(valueText(v), 38);
        return Qor().PadStr(valueText(v), c.width);
    };
    if (hasRows) {
        rs->MoveFirst();
        qint64 done = 0;
        while (!rs->EOF_()) {
            if (!verticale) {
                QString row;
                for (int i = 0; i < fieldCount; ++i)
                    row += noBreaks(cell(cols[i], fields.Item(i).Value())) + kSep;
                if (done == 0) list.AddItem(header);
                list.AddItem(row);
                widest.line(row, list.NewIndex());
                log(row);
            } else {
                for (int i = 0; i < fieldCount; ++i) {
                    const ado::Field f = fields.Item(i);
                    const QVariant v = f.Value();
                    QString text = valueText(v);
                    const bool broken = text.contains(QStringLiteral("\r\n"));
                    if (!ado::IsNull(v) && !broken) {
                        const QString c = cell(cols[i], v);
                        list.AddItem(Qor().PadStr(f.Name(), 25) + kSep + c +
                                     (c.size() < 101 ? QStringLiteral("<") : QString()));
                    } else {
                        text.replace(QStringLiteral("\r\n"), QString(QChar(127)));
                        for (int k = 1;; ++k) {
                            const QString seg = Qor().GetField(text, k, QString(QChar(127)), true);
                            if (seg.isEmpty()) break;
                            list.AddItem(Qor().PadStr(f.Name(), 25) + kSep + seg);
                        }
                    }
                }
                list.AddItem(Qor().Replicate(60, QStringLiteral("=")) + QStringLiteral("  Fine Record : ") +
                             QString::number(done + 1));
            }
            ++done;
            if (n > 0 && done == n) break;
            rs->MoveNext();
        }
        rs->MoveFirst();
    }
    B_Rs2List = true;
    if (batch) {
        if (list.ListCount() > 0) {
            const QString base = Qor().TrChars(nomeLista.isEmpty() ? QStringLiteral("RS2LIST_") : nomeLista,
                                               QStringLiteral(" /\\:+"), QStringLiteral("_--.-"));
            const QString path = QDir::current().absoluteFilePath(base + QStringLiteral(".DBP"));
            QByteArray bytes;
            for (int i = 0; i < list.ListCount(); ++i)
                bytes += list.List(i).toUtf8() + "\r\n";
            QSaveFile f(path);
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
                MsgBox(QStringLiteral("IMPOSSIBILE SCRIVERE IL FILE !!\r\n") + path,
                       vb::OKOnly | vb::Critical, win.windowTitle());
                Beep();
            }
        }
        list.Clear();
        return;
    }
    Qor().ListAdjust(win.Lst_ListaView, widest.index(list));
    win.ShowModal();
}
