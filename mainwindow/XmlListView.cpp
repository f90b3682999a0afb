#include "XmlListView.h"

#include <QApplication>
#include <QCache>
#include <QMouseEvent>
#include <QPainter>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace
{
// Draws a row as the standard delegate does, but from the row's text laid out once and
// kept: the style's own text path shapes a long row several times over (size, eliding,
// drawing) on every paint. Rows that are not plain one-line left-aligned texts, or whose
// text does not fit the item (the style would elide it), go the standard way.
class RowDelegate final : public QStyledItemDelegate
{
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        constexpr auto others = QStyleOptionViewItem::WrapText | QStyleOptionViewItem::HasCheckIndicator |
                                QStyleOptionViewItem::HasDecoration;
        const Qt::Alignment h = opt.displayAlignment & (Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute);
        if ((opt.features & others) || !(opt.features & QStyleOptionViewItem::HasDisplay) ||
            h != Qt::AlignLeft || opt.direction != Qt::LeftToRight || (opt.state & QStyle::State_Editing) ||
            opt.text.contains(QLatin1Char('\n'))) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();

        // The panel and the focus frame, with no text to lay out.
        QStyleOptionViewItem bare = opt;
        bare.text.clear();
        const QRect cell = style->subElementRect(QStyle::SE_ItemViewItemText, &bare, widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect textRect = cell.adjusted(margin, 0, -margin, 0);

        const QStaticText* text = shaped(opt.text, opt.font);
        if (text->size().width() > textRect.width()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }

        painter->save();
        painter->setClipRect(opt.rect);
        QStyleOptionViewItem panel = bare;
        panel.state &= ~QStyle::State_HasFocus;
        style->drawControl(QStyle::CE_ItemViewItem, &panel, painter, widget);

        QPalette::ColorGroup cg = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        if (cg == QPalette::Normal && !(opt.state & QStyle::State_Active)) cg = QPalette::Inactive;
        painter->setPen(opt.palette.color(
            cg, (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
        const QSize used(textRect.width(), int(QFontMetricsF(opt.font).height()));
        const QRect placed = QStyle::alignedRect(opt.direction, opt.displayAlignment & Qt::AlignVertical_Mask,
                                                 used, textRect);
        painter->setFont(opt.font);
        painter->drawStaticText(QPointF(textRect.x(), placed.top()), *text);

        if (opt.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect o;
            o.QStyleOption::operator=(bare);
            o.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &bare, widget);
            o.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
            const QPalette::ColorGroup fg =
                (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
            o.backgroundColor = opt.palette.color(
                fg, (opt.state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &o, painter, widget);
        }
        painter->restore();
    }

  private:
    // The row text laid out once in the font, kept for the rows painted lately (a scroll
    // paints the same rows again).
    const QStaticText* shaped(const QString& row, const QFont& font) const
    {
        if (font != font_) {
            cache_.clear();
            font_ = font;
        }
        if (const QStaticText* known = cache_.object(row)) return known;
        auto* text = new QStaticText(row);
        text->setTextFormat(Qt::PlainText);
        text->setPerformanceHint(QStaticText::AggressiveCaching);
        text->prepare(QTransform(), font);
        cache_.insert(row, text);
        return text;
    }

    mutable QCache<QString, QStaticText> cache_{256};
    mutable QFont font_;
};

// A right button acting alone: the left one is not held with it.
bool rightOnly(const QMouseEvent* e)
{
    return (e->button() == Qt::RightButton ||
            (e->button() == Qt::NoButton && (e->buttons() & Qt::RightButton))) &&
           !(e->buttons() & Qt::LeftButton);
}
} // namespace

XmlListView::XmlListView(QWidget* parent) : QListView(parent)
{
    setItemDelegate(new RowDelegate(this));
}

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
