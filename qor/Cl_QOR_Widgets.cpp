// Operations of the utility class on lists, combos and option groups.
#include "Cl_QOR.h"

#include "platform/Launcher.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>

namespace Plicora {

int Cl_QOR::ListFind(QAbstractItemView* list, const QString& text, int) const
{
    if (!list || !list->model())
        return -1;
    const QAbstractItemModel* m = list->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->index(r, 0).data().toString() == text)
            return r;
    return -1;
}

int Cl_QOR::ComboFind(QComboBox* combo, const QString& text, int) const
{
    if (!combo)
        return -1;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i) == text)
            return i;
    return -1;
}

int Cl_QOR::OptSelected(const QList<QRadioButton*>& options, int) const
{
    for (int i = 0; i < options.size(); ++i)
        if (options[i] && options[i]->isChecked())
            return i;
    return 0;
}

namespace
{

// A list view with uniform item sizes takes every row's size from its last row, so a wider
// row elsewhere would be cut and could not be scrolled to. This delegate stands in front of
// the view's own one and gives every row at least the width of the widest row.
class WidestRowDelegate final : public QAbstractItemDelegate
{
  public:
    WidestRowDelegate(QAbstractItemDelegate* inner, QObject* parent)
        : QAbstractItemDelegate(parent), inner_(inner)
    {
        connect(inner_, &QAbstractItemDelegate::sizeHintChanged, this,
                &QAbstractItemDelegate::sizeHintChanged);
        connect(inner_, &QAbstractItemDelegate::commitData, this, &QAbstractItemDelegate::commitData);
        connect(inner_, &QAbstractItemDelegate::closeEditor, this, &QAbstractItemDelegate::closeEditor);
    }

    void setWidest(const QModelIndex& index)
    {
        if (QPersistentModelIndex(index) == widest_) return;
        widest_ = index;
        emit sizeHintChanged(index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = inner_->sizeHint(option, index);
        if (widest_.isValid() && widest_ != index && widest_.model() == index.model())
            s.setWidth(qMax(s.width(), inner_->sizeHint(option, widest_).width()));
        return s;
    }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        inner_->paint(p, option, index);
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        return inner_->createEditor(parent, option, index);
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        inner_->destroyEditor(editor, index);
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        inner_->setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        inner_->setModelData(editor, model, index);
    }
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override
    {
        inner_->updateEditorGeometry(editor, option, index);
    }
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        return inner_->editorEvent(event, model, option, index);
    }
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        return inner_->helpEvent(event, view, option, index);
    }

  private:
    QPointer<QAbstractItemDelegate> inner_;
    QPersistentModelIndex widest_;
};

} // namespace

void Cl_QOR::ListFit(QAbstractItemView* list, int row) const
{
    if (!list || !list->model())
        return;
    // Rows are shown whole: the view scrolls horizontally as far as the widest row needs.
    // The row given is the caller's widest; a longer text elsewhere (rows added or removed
    // since) wins over it. The list is never scrolled to the row.
    auto* lv = qobject_cast<QListView*>(list);
    if (!lv) return;
    lv->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    const QAbstractItemModel* m = list->model();
    const QModelIndex root = list->rootIndex();
    const int col = lv->modelColumn();
    int widest = row >= 0 && row < m->rowCount(root) ? row : -1;
    qsizetype longest = widest < 0 ? -1 : m->index(widest, col, root).data().toString().size();
    for (int r = 0; r < m->rowCount(root); ++r) {
        const qsizetype n = m->index(r, col, root).data().toString().size();
        if (n > longest) {
            longest = n;
            widest = r;
        }
    }
    if (!lv->uniformItemSizes() || widest < 0) return;
    auto* fit = dynamic_cast<WidestRowDelegate*>(lv->itemDelegate());
    if (!fit) {
        fit = new WidestRowDelegate(lv->itemDelegate(), lv);
        lv->setItemDelegate(fit);
    }
    fit->setWidest(m->index(widest, col, root));
}

bool Cl_QOR::ShowList(QAbstractItemView* list, const QString& viewer, const QString& folder) const
{
    if (!list || !list->model())
        return false;
    // "viewer|title": the title, when given, heads the file.
    const qsizetype bar = viewer.indexOf(QLatin1Char('|'));
    const QString program = bar < 0 ? viewer : viewer.left(bar);
    const QString path = PathSlash(folder) + QStringLiteral("LISTA.TXT");
    QByteArray text;
    if (bar >= 0 && bar + 1 < viewer.size()) text += viewer.mid(bar + 1).toUtf8() + "\r\n";
    const QAbstractItemModel* m = list->model();
    for (int r = 0; r < m->rowCount(); ++r)
        text += m->index(r, 0).data().toString().toUtf8() + "\r\n";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size()) return false;
    f.close();
    return launcher().startDetached(program, {path});
}

void Cl_QOR::NumKeyFilter(QLineEdit* box, int& keyAscii, int decimals, const QString&) const
{
    if (keyAscii < 32)
        return; // editing keys (backspace, enter) pass
    const QString text = box ? box->text() : QString();
    const QString selected = box ? box->selectedText() : QString();
    const int cursor = box ? box->cursorPosition() : text.size();
    if (keyAscii >= '0' && keyAscii <= '9')
        return;
    if (keyAscii == '.' || keyAscii == ',') {
        const bool hasMark = text.contains(QLatin1Char(',')) && !selected.contains(QLatin1Char(','));
        keyAscii = (decimals > 0 && !hasMark) ? ',' : 0;
        return;
    }
    if (keyAscii == '-') {
        const bool hasMinus = text.contains(QLatin1Char('-')) && !selected.contains(QLatin1Char('-'));
        const int at = box && box->hasSelectedText() ? box->selectionStart() : cursor;
        if (hasMinus || at != 0)
            keyAscii = 0;
        return;
    }
    keyAscii = 0;
}

} // namespace Plicora
