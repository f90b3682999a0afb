#include "List_Pos.h"

#include "foundation/PosFinestre.h"
#include "qor/Cl_QOR.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace
{

const QString kIni = QStringLiteral("QOR_PLCR.INI");
const QString kSec = QStringLiteral("PosHelp");
const QString kSep = QStringLiteral("|");

bool isNumber(const QString& t)
{
    bool ok = false;
    QString s = t.trimmed();
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    s.toDouble(&ok);
    return ok;
}

// Field n of the stored value, or of the default when it is missing or not a number.
double field(const QString& stored, const QString& def, int n)
{
    const QString t = Qor().GetField(stored, n, kSep, true);
    return Qor().ToDouble(isNumber(t) ? t : Qor().GetField(def, n, kSep, true));
}

bool sizable(const QWidget* w)
{
    const QVariant style = w->property("BorderStyle");
    if (style.isValid()) return style.toInt() == 2 || style.toInt() == 5;
    return w->minimumSize() != w->maximumSize();
}

QSize screenTwips()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    const QSize px = s ? s->geometry().size() : QSize(1024, 768);
    return px * TwipsPerPixel;
}

// The window's frame to that corner: the corner is stored from the frame too. Until the
// desktop has framed a window, a move puts its client area at the corner (and the frame
// above it), so the corner is set again once the frame is known.
void placeFrame(QWidget* form, const QPoint& corner)
{
    if (form->pos() != corner) form->move(corner);
    if (FrameKnown(form)) return;
    QPointer<QWidget> w(form);
    AfterFramed(form, [w, corner] {
        if (w && !(w->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) && w->pos() != corner)
            w->move(corner);
    });
}

QWidget* child(QWidget* form, const char* name)
{
    return form->findChild<QWidget*>(QLatin1String(name));
}

} // namespace

QString List_NumText(double value)
{
    QString t = QString::number(value, 'f', 2);
    while (t.contains(QLatin1Char('.')) && (t.endsWith(QLatin1Char('0')) || t.endsWith(QLatin1Char('.'))))
        t.chop(1);
    return t.replace(QLatin1Char('.'), QLatin1Char(','));
}

void List_LoadPos(QWidget* form, const QString& listName, qint32& minHeight, qint32& minWidth)
{
    if (!form) return;
    const bool canSize = sizable(form);
    if (minHeight < 1000) minHeight = form->height() * TwipsPerPixel;
    if (minWidth < 1000) minWidth = form->width() * TwipsPerPixel;
    const QString def = QStringLiteral("0|1|1|") + QString::number(minHeight) + kSep +
                        QString::number(minWidth) + QStringLiteral("|8,25|");
    const QString s = Qor().IniRead(kSec, listName + QStringLiteral("_Size"), def, kIni);

    int state = static_cast<int>(field(s, def, 1));
    if (state == 1 || state < 0 || state > 2) state = 0; // a minimized list would not be seen
    if (state == 2) {
        form->setWindowState((form->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    } else {
        form->setWindowState(form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        qint64 top = static_cast<qint64>(field(s, def, 2));
        qint64 left = static_cast<qint64>(field(s, def, 3));
        if (canSize) {
            qint64 h = static_cast<qint64>(field(s, def, 4));
            qint64 w = static_cast<qint64>(field(s, def, 5));
            if (h < minHeight) h = minHeight;
            if (w < minWidth) w = minWidth;
            form->resize(static_cast<int>(w / TwipsPerPixel), static_cast<int>(h / TwipsPerPixel));
        }
        const QSize scr = screenTwips();
        if (top < 0 || top > scr.height() - 100) top = 0;
        if (left < 0 || left > scr.width() - 100) left = 0;
        placeFrame(form,
                   QPoint(static_cast<int>(left / TwipsPerPixel), static_cast<int>(top / TwipsPerPixel)));
    }

    // A size of 0 or less (or one that is not a number) leaves the current font.
    const QString sizeText = Qor().GetField(s, 6, kSep, true);
    const double size = isNumber(sizeText) ? Qor().ToDouble(sizeText) : 8.25;
    QWidget* list = child(form, "Lst_Lista");
    QWidget* head = child(form, "Lbl_Head");
    if (list && size > 0) {
        QFont f = list->font();
        f.setPointSizeF(size);
        list->setFont(f);
    }
    if (list && head) {
        QFont h = head->font();
        h.setPointSizeF(list->font().pointSizeF());
        head->setFont(h);
    }
}

void List_SavePos(QWidget* form, const QString& listName)
{
    if (!form) return;
    const QString key = listName + QStringLiteral("_Size");
    const int state = form->isMinimized() ? 1 : form->isMaximized() ? 2 : 0;
    if (state != 0) {
        const QString s = Qor().IniRead(kSec, key, QStringLiteral("0|1|1|1500|1500|8,25|"), kIni);
        Qor().IniWrite(kSec, key, Qor().SetField(s, 1, QString::number(state), kSep), kIni);
        return;
    }
    int top = form->y() * TwipsPerPixel;
    int left = form->x() * TwipsPerPixel;
    if (top < 0 || left < 0) {
        top = qMax(0, top);
        left = qMax(0, left);
        form->move(left / TwipsPerPixel, top / TwipsPerPixel);
    }
    const QWidget* list = child(form, "Lst_Lista");
    const double size = list ? list->font().pointSizeF() : 8.25;
    Qor().IniWrite(kSec, key,
                   QStringLiteral("0|") + QString::number(top) + kSep + QString::number(left) + kSep +
                       QString::number(form->height() * TwipsPerPixel) + kSep +
                       QString::number(form->width() * TwipsPerPixel) + kSep + List_NumText(size) + kSep,
                   kIni);
    for (const char* suffix : {"S", "T", "L", "H", "W", "F"}) {
        const QString old = listName + QLatin1String(suffix);
        if (!Qor().IniRead(kSec, old, QString(), kIni).isEmpty()) Qor().IniWrite(kSec, old, QString(), kIni);
    }
}
