#pragma once
#include <QAbstractListModel>
#include <QByteArray>
#include <QHash>
#include <QItemSelectionModel>
#include <QStringList>
#include <QVarLengthArray>

#include <deque>
#include <memory>
#include <vector>

// The rows of the main invoice list, as a sorted list box keeps them: each added
// row takes its place in text order (compared without regard to case, a row equal
// to others goes after them), several rows can be selected, one row is current.
// Rows, order and selection live here, so the list can be driven without its view.
class XmlList final : public QAbstractListModel
{
    Q_OBJECT
  public:
    explicit XmlList(QObject* parent = nullptr);

    // The layout (the Cmb_Ord index, 0..5) the rows were built with; -1 while the list
    // holds no built rows. Rows keep their fields where that layout put them, whatever
    // Cmb_Ord shows now, so every reader of row fields asks here, not Cmb_Ord.
    int Layout() const { return layout_; }
    void setLayout(int layout) { layout_ = layout; }
    // The ToPipe code of a layout; an index outside 0..5 counts as layout 0.
    static int PipeCode(int layout);
    // Field n (from 1) of row index, without its filling blanks; "" for no such row.
    QString Field(int index, int n) const;

    // Adds a row in its sorted place; returns its index. The row keeps the full path and
    // the name of its file (both empty for rows that stand for no file, such as gap rows),
    // so handlers never rebuild a file from the row text.
    int AddItem(const QString& row, const QString& filePath = {}, const QString& fileName = {});
    // The full path and the bare name of row index's file; "" for none.
    QString FilePath(int index) const;
    QString FileName(int index) const;
    void RemoveItem(int index);
    // Empties the list; the layout is forgotten with the rows.
    void Clear();
    int ListCount() const { return static_cast<int>(order_.size()); }
    // Row index's text; "" for no such row.
    QString List(int index) const;
    // Every row's text, in list order.
    QStringList rows() const;

    bool Selected(int index) const;
    void setSelected(int index, bool on);
    void selectAll(bool on);
    // Sets the selection of every row at once (on[i] for row i, missing entries off):
    // runs of consecutive rows go in as one selection change, so the views and the
    // selection watchers see one signal and long lists stay linear.
    void setSelectedRows(const QList<bool>& on);
    // Turns over the selection of every row, in one change.
    void invertSelection();
    // Row i's selection for every row, from the selection's ranges (linear).
    QList<bool> selectionFlags() const;
    int SelCount() const;
    QList<int> selectedRows() const; // in list order

    // The current row, -1 when none.
    int ListIndex() const;
    void setListIndex(int index);

    QItemSelectionModel* selection() { return &selection_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    // Texts packed one after the other in blocks that are filled and never moved: a long
    // list grows without copying what it holds or leaving freed room behind.
    template <class Unit> class Pool
    {
      public:
        static constexpr quint32 kBlock = 1u << 17; // units
        // Room for n (> 0) units at the end, in a new block when the last is full.
        Unit* place(quint32 n, quint32& block, quint32& at)
        {
            if (blocks_.empty() || room_ - used_ < n) {
                room_ = qMax(n, kBlock);
                blocks_.emplace_back(new Unit[room_]);
                used_ = 0;
            }
            block = static_cast<quint32>(blocks_.size() - 1);
            at = used_;
            used_ += n;
            return blocks_.back().get() + at;
        }
        const Unit* at(quint32 block, quint32 at) const { return blocks_[block].get() + at; }

      private:
        std::vector<std::unique_ptr<Unit[]>> blocks_;
        quint32 used_ = 0, room_ = 0;
    };
    // A list of tens of thousands of rows is mostly text: each text is kept once, as
    // Latin-1 bytes when every character fits in one (the usual case), else as UTF-16.
    struct Text {
        quint32 block = 0;
        quint32 at = 0;
        quint32 size : 31 = 0;
        quint32 wide : 1 = 0;
    };
    // One added row: its text and its file, as the folder (an index in folders_, -1 for
    // no file) and the rest of the path, which is usually the name and then shares it.
    struct Entry {
        Text row;
        Text name;
        Text tail;
        qint32 folder = -1;
    };
    Text keep(QStringView text);
    QString text(Text t) const;
    // The characters of t: the pool's own for UTF-16, else widened into buffer.
    QStringView view(Text t, QVarLengthArray<char16_t, 512>& buffer) const;
    const Entry* entry(int index) const;

    // Entries are only appended, so a sorted insert into a long list shifts one small
    // index; the texts of removed rows stay unused until the list is emptied.
    std::deque<Entry> entries_;
    QList<quint32> order_; // row i is entries_[order_[i]]
    Pool<char> narrow_;
    Pool<char16_t> wide_;
    QStringList folders_;
    QHash<QString, qint32> folderIndex_;
    int layout_ = -1;
    QItemSelectionModel selection_;
};
