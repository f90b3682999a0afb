#include "foundation/Placed.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace
{

// The width a control gives its caption, or -1 when it has none to fit.
int captionRoom(const QWidget* w, QString* text)
{
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        if (l->wordWrap() || l->textFormat() == Qt::RichText) return -1;
        *text = l->text();
        return l->contentsRect().width() - 2 * l->margin() - l->indent();
    }
    if (auto* b = qobject_cast<const QPushButton*>(w)) {
        *text = b->text();
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        return b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width();
    }
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) { // options and check boxes
        *text = b->text();
        return b->width() - (b->sizeHint().width() - b->fontMetrics().horizontalAdvance(b->text()));
    }
    return -1;
}

} // namespace

void FitCaptions(QWidget* window)
{
    for (QWidget* w : window->findChildren<QWidget*>()) {
        QString text;
        int room = captionRoom(w, &text);
        if (room < 0 || text.isEmpty()) continue;
        room -= 2; // what the text's drawing may take past its measured width
        QFont f = w->font();
        for (int stretch : {QFont::SemiCondensed, QFont::Condensed}) {
            if (QFontMetrics(f).horizontalAdvance(text) <= room) break;
            f.setStretch(stretch);
        }
        while (QFontMetrics(f).horizontalAdvance(text) > room && f.pointSizeF() > 6)
            f.setPointSizeF(f.pointSizeF() - 0.5);
        if (f != w->font()) w->setFont(f);
    }
}
