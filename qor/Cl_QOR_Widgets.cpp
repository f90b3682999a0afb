// Operations of the utility class on lists, combos and option groups.
#include "Cl_QOR.h"

#include "platform/Launcher.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
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

void Cl_QOR::ListFit(QAbstractItemView* list, int row) const
{
    if (!list || !list->model())
        return;
    // Rows are shown whole: let the view scroll horizontally as far as the widest row needs.
    // Only the horizontal extent is fitted: the list is never scrolled to the row.
    Q_UNUSED(row);
    if (auto* lv = qobject_cast<QListView*>(list))
        lv->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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
