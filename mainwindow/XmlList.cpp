#include "XmlList.h"

#include "qor/Cl_QOR.h"

#include <QSignalBlocker>

#include <algorithm>

XmlList::XmlList(QObject* parent) : QAbstractListModel(parent), selection_(this) {}

int XmlList::PipeCode(int layout)
{
    static constexpr int codes[] = {2, 3, 31, 6, 5, 7};
    return layout >= 0 && layout < 6 ? codes[layout] : codes[0];
}

QString XmlList::Field(int index, int n) const
{
    if (index < 0 || index >= ListCount()) return {};
    return Qor().GetField(List(index), n, QStringLiteral("|"), true);
}

namespace
{

// Narrow texts are Latin-1 bytes, except that rows padded into columns are mostly blanks:
// a run of kRun or more blanks (up to 255) is kept as kMark and its length, and a NUL
// character as kMark and 1.
constexpr char kMark = '\0';
constexpr qsizetype kRun = 3;

void pack(const char16_t* from, qsizetype n, QVarLengthArray<char, 1024>& out)
{
    for (qsizetype i = 0; i < n;) {
        const char16_t c = from[i];
        if (c == u' ') {
            qsizetype j = i + 1;
            while (j < n && j - i < 255 && from[j] == u' ')
                ++j;
            if (j - i >= kRun) {
                out.append(kMark);
                out.append(static_cast<char>(static_cast<uchar>(j - i)));
            } else {
                for (qsizetype k = i; k < j; ++k)
                    out.append(' ');
            }
            i = j;
        } else {
            if (c == 0) {
                out.append(kMark);
                out.append('\1');
            } else {
                out.append(static_cast<char>(c));
            }
            ++i;
        }
    }
}

// Writes the size characters packed at from.
void unpack(const char* from, quint32 size, char16_t* to)
{
    const uchar* p = reinterpret_cast<const uchar*>(from);
    for (quint32 k = 0; k < size;) {
        const uchar b = *p++;
        if (b != 0) {
            to[k++] = b;
            continue;
        }
        const uchar run = *p++;
        if (run == 1) {
            to[k++] = 0;
        } else {
            for (uchar r = 0; r < run; ++r)
                to[k++] = u' ';
        }
    }
}

} // namespace

XmlList::Text XmlList::keep(QStringView s)
{
    Text t;
    const quint32 n = static_cast<quint32>(s.size());
    t.size = n;
    if (n == 0) return t;
    const char16_t* from = s.utf16();
    if (std::all_of(from, from + n, [](char16_t c) { return c < 0x100; })) {
        QVarLengthArray<char, 1024> packed;
        pack(from, n, packed);
        const quint32 bytes = static_cast<quint32>(packed.size());
        std::copy(packed.cbegin(), packed.cend(), narrow_.place(bytes, t.block, t.at));
    } else {
        t.wide = 1;
        std::copy(from, from + n, wide_.place(n, t.block, t.at));
    }
    return t;
}

QString XmlList::text(Text t) const
{
    if (t.size == 0) return {};
    if (t.wide) return QString(reinterpret_cast<const QChar*>(wide_.at(t.block, t.at)), t.size);
    QString out(t.size, Qt::Uninitialized);
    unpack(narrow_.at(t.block, t.at), t.size, reinterpret_cast<char16_t*>(out.data()));
    return out;
}

QStringView XmlList::view(Text t, QVarLengthArray<char16_t, 512>& buffer) const
{
    if (t.size == 0) return {};
    if (t.wide) return QStringView(wide_.at(t.block, t.at), t.size);
    buffer.resize(t.size);
    unpack(narrow_.at(t.block, t.at), t.size, buffer.data());
    return QStringView(buffer.constData(), t.size);
}

const XmlList::Entry* XmlList::entry(int index) const
{
    return index >= 0 && index < ListCount() ? &entries_.at(order_.at(index)) : nullptr;
}

QString XmlList::List(int index) const
{
    const Entry* e = entry(index);
    return e ? text(e->row) : QString();
}

QStringList XmlList::rows() const
{
    QStringList out;
    out.reserve(ListCount());
    for (int i = 0; i < ListCount(); ++i)
        out << List(i);
    return out;
}

QString XmlList::FilePath(int index) const
{
    const Entry* e = entry(index);
    if (!e || e->folder < 0) return {};
    return folders_.at(e->folder) + text(e->tail);
}

QString XmlList::FileName(int index) const
{
    const Entry* e = entry(index);
    return e ? text(e->name) : QString();
}

namespace
{

// a before b without regard to case, as QString::compare(a, b, Qt::CaseInsensitive) < 0.
// Rows of one list share long beginnings (a date, a padded name): the part both hold
// alike is skipped at the cost of a plain comparison, and only the rest is compared by
// case-folded characters. The cut lies between whole characters, never inside a
// surrogate pair, so it changes no answer.
bool lessNoCase(QStringView a, QStringView b)
{
    const QChar* pa = a.data();
    const QChar* pb = b.data();
    const qsizetype n = qMin(a.size(), b.size());
    qsizetype k = 0;
    while (k < n && pa[k] == pb[k])
        ++k;
    if (k > 0 && pa[k - 1].isHighSurrogate()) --k;
    return a.sliced(k).compare(b.sliced(k), Qt::CaseInsensitive) < 0;
}

} // namespace

int XmlList::AddItem(const QString& row, const QString& filePath, const QString& fileName)
{
    QVarLengthArray<char16_t, 512> buffer;
    // A folder is mostly read in the list's own order: a row that sorts after the last
    // one goes at the end without a search (where the search would put it too).
    int index = static_cast<int>(order_.size());
    if (!order_.isEmpty() && lessNoCase(row, view(entries_.at(order_.constLast()).row, buffer))) {
        const auto at = std::upper_bound(order_.cbegin(), order_.cend(), row, [&](const QString& r, quint32 e) {
            return lessNoCase(r, view(entries_.at(e).row, buffer));
        });
        index = static_cast<int>(at - order_.cbegin());
    }

    Entry e;
    e.row = keep(row);
    e.name = keep(fileName);
    if (!filePath.isEmpty()) {
        const qsizetype cut = filePath.lastIndexOf(QLatin1Char('/')) + 1;
        const QString folder = filePath.first(cut);
        auto known = folderIndex_.constFind(folder);
        if (known == folderIndex_.cend()) {
            known = folderIndex_.insert(folder, static_cast<qint32>(folders_.size()));
            folders_ << folder;
        }
        e.folder = known.value();
        const QStringView tail = QStringView(filePath).sliced(cut);
        e.tail = tail == fileName ? e.name : keep(tail);
    }
    beginInsertRows({}, index, index);
    order_.insert(index, static_cast<quint32>(entries_.size()));
    entries_.push_back(e);
    endInsertRows();
    return index;
}

void XmlList::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount()) return;
    beginRemoveRows({}, index, index);
    order_.removeAt(index);
    endRemoveRows();
}

void XmlList::Clear()
{
    beginResetModel();
    // Assigned anew, not cleared: a cleared list would keep its room for the old rows.
    entries_ = {};
    order_ = {};
    narrow_ = Pool<char>();
    wide_ = Pool<char16_t>();
    folders_ = {};
    folderIndex_ = {};
    layout_ = -1;
    endResetModel();
    selection_.clear();
}

bool XmlList::Selected(int index) const
{
    return index >= 0 && index < ListCount() && selection_.isSelected(this->index(index, 0));
}

void XmlList::setSelected(int index, bool on)
{
    if (index < 0 || index >= ListCount()) return;
    selection_.select(this->index(index, 0),
                      on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void XmlList::selectAll(bool on)
{
    if (order_.isEmpty()) return;
    const QItemSelection all(index(0, 0), index(ListCount() - 1, 0));
    selection_.select(all, on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void XmlList::setSelectedRows(const QList<bool>& on)
{
    const int n = ListCount();
    QItemSelection sel;
    int i = 0;
    while (i < n) {
        if (i < on.size() && on.at(i)) {
            int j = i;
            while (j + 1 < n && j + 1 < on.size() && on.at(j + 1))
                ++j;
            sel.append(QItemSelectionRange(index(i, 0), index(j, 0)));
            i = j + 1;
        } else {
            ++i;
        }
    }
    // Qt compares an old and a new selection range by range before it tells the change,
    // which grows with the square of the runs: the new runs go in from an empty selection,
    // quietly, and the change is told once, old and new, at the end.
    const QItemSelection old = selection_.selection();
    {
        const QSignalBlocker quiet(&selection_);
        selection_.select(QItemSelection(), QItemSelectionModel::Clear);
        if (!sel.isEmpty()) selection_.select(sel, QItemSelectionModel::Select);
    }
    if (!old.isEmpty() || !sel.isEmpty()) emit selection_.selectionChanged(sel, old);
}

QList<bool> XmlList::selectionFlags() const
{
    QList<bool> flags(ListCount(), false);
    for (const QItemSelectionRange& r : selection_.selection())
        for (int i = qMax(0, r.top()); i <= r.bottom() && i < flags.size(); ++i)
            flags[i] = true;
    return flags;
}

void XmlList::invertSelection()
{
    QList<bool> flags = selectionFlags();
    for (bool& f : flags)
        f = !f;
    setSelectedRows(flags);
}

int XmlList::SelCount() const
{
    return static_cast<int>(selection_.selectedIndexes().size());
}

QList<int> XmlList::selectedRows() const
{
    QList<int> out;
    for (const QModelIndex& i : selection_.selectedIndexes())
        out << i.row();
    std::sort(out.begin(), out.end());
    return out;
}

int XmlList::ListIndex() const
{
    const QModelIndex c = selection_.currentIndex();
    return c.isValid() ? c.row() : -1;
}

void XmlList::setListIndex(int index)
{
    if (index < 0 || index >= ListCount())
        selection_.setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    else
        selection_.setCurrentIndex(this->index(index, 0), QItemSelectionModel::NoUpdate);
}

int XmlList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ListCount();
}

QVariant XmlList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= ListCount()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return List(index.row());
    return {};
}
