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
    return Qor().GetField(rows_.at(index), n, QStringLiteral("|"), true);
}

namespace
{

// a before b without regard to case, as QString::compare(a, b, Qt::CaseInsensitive) < 0.
// Rows of one list share long beginnings (a date, a padded name): the part both hold
// alike is skipped at the cost of a plain comparison, and only the rest is compared by
// case-folded characters. The cut lies between whole characters, never inside a
// surrogate pair, so it changes no answer.
bool lessNoCase(const QString& a, const QString& b)
{
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    const qsizetype n = qMin(a.size(), b.size());
    qsizetype k = 0;
    while (k < n && pa[k] == pb[k])
        ++k;
    if (k > 0 && pa[k - 1].isHighSurrogate()) --k;
    return QStringView(a).sliced(k).compare(QStringView(b).sliced(k), Qt::CaseInsensitive) < 0;
}

} // namespace

int XmlList::AddItem(const QString& row, const QString& filePath, const QString& fileName)
{
    const auto at = std::upper_bound(rows_.cbegin(), rows_.cend(), row, lessNoCase);
    const int index = static_cast<int>(at - rows_.cbegin());
    beginInsertRows({}, index, index);
    rows_.insert(index, row);
    slots_.insert(index, static_cast<int>(paths_.size()));
    paths_.append(filePath);
    names_.append(fileName);
    endInsertRows();
    return index;
}

void XmlList::RemoveItem(int index)
{
    if (index < 0 || index >= ListCount()) return;
    beginRemoveRows({}, index, index);
    rows_.removeAt(index);
    slots_.removeAt(index); // its file texts stay unused until the list is emptied
    endRemoveRows();
}

void XmlList::Clear()
{
    beginResetModel();
    rows_.clear();
    slots_.clear();
    paths_.clear();
    names_.clear();
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
    if (rows_.isEmpty()) return;
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
    if (role == Qt::DisplayRole || role == Qt::EditRole) return rows_.at(index.row());
    return {};
}
