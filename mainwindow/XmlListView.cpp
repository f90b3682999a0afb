#include "XmlListView.h"

#include <QMouseEvent>

namespace
{
// A right button acting alone: the left one is not held with it.
bool rightOnly(const QMouseEvent* e)
{
    return (e->button() == Qt::RightButton ||
            (e->button() == Qt::NoButton && (e->buttons() & Qt::RightButton))) &&
           !(e->buttons() & Qt::LeftButton);
}
} // namespace

XmlListView::XmlListView(QWidget* parent) : QListView(parent) {}

template <class Fn> void XmlListView::byUser(Fn&& handle)
{
    if (userDepth_++ == 0) changed_ = false;
    handle();
    if (--userDepth_ == 0 && changed_) {
        changed_ = false;
        emit userSelectionChanged();
    }
}

void XmlListView::mousePressEvent(QMouseEvent* e)
{
    if (rightOnly(e)) {
        e->accept(); // the release still reaches the list's MouseUp
        return;
    }
    byUser([&] { QListView::mousePressEvent(e); });
}

void XmlListView::mouseMoveEvent(QMouseEvent* e)
{
    if (rightOnly(e)) {
        e->accept();
        return;
    }
    byUser([&] { QListView::mouseMoveEvent(e); });
}

void XmlListView::mouseReleaseEvent(QMouseEvent* e)
{
    if (rightOnly(e)) {
        e->accept();
        return;
    }
    byUser([&] { QListView::mouseReleaseEvent(e); });
}

void XmlListView::mouseDoubleClickEvent(QMouseEvent* e)
{
    // Only the left button double-clicks a row, as in a list box.
    if (e->button() != Qt::LeftButton) {
        e->accept();
        return;
    }
    byUser([&] { QListView::mouseDoubleClickEvent(e); });
}

void XmlListView::keyPressEvent(QKeyEvent* e)
{
    byUser([&] { QListView::keyPressEvent(e); });
}

void XmlListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QListView::selectionChanged(selected, deselected);
    if (userDepth_ > 0) changed_ = true;
}
