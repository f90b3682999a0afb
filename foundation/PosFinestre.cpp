#include "foundation/PosFinestre.h"

#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace
{

const QString SettingsFile = QStringLiteral("QOR_PLCR.INI");
const QString Sep = QStringLiteral("|");

std::function<QRect()>& provider()
{
    static std::function<QRect()> p;
    return p;
}

QRect workArea()
{
    if (provider()) return provider()();
    if (const QScreen* s = QGuiApplication::primaryScreen()) return s->availableGeometry();
    return QRect(0, 0, 1024, 768);
}

QSize screenSize()
{
    if (const QScreen* s = QGuiApplication::primaryScreen()) return s->geometry().size();
    return workArea().size();
}

QString sectionOr(const QString& section)
{
    return section.isEmpty() ? QStringLiteral("PosFinestre") : section;
}

bool isResizable(const QWidget* form)
{
    if (auto* mw = qobject_cast<const QMainWindow*>(form); mw && qobject_cast<QMdiArea*>(mw->centralWidget()))
        return true; // an MDI frame is always sizable
    const QVariant bs = form->property("BorderStyle");
    if (bs.isValid()) return bs.toInt() == 2 || bs.toInt() == 5;
    if (form->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint)) return false;
    return form->minimumSize() != form->maximumSize();
}

// The debug log; before Main has named it, the file it will name.
QString debugLog()
{
    if (!Pth_DebugLog.isEmpty()) return Pth_DebugLog;
    const QString dir = G_DirApp.isEmpty() ? Folders::appDir() : G_DirApp;
    return dir + QStringLiteral("XMLGESTALO_Debug.LOG");
}

int toTwips(double v)
{
    return int(v); // whole twips, fraction cut
}

QMargins frameOf(const QWidget* w)
{
    const QRect f = w->frameGeometry();
    const QRect g = w->geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

// Whether this platform's windows get a frame from a desktop (offscreen ones get none).
bool desktopFrames()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

bool framed(const QWidget* w)
{
    return !w->windowFlags().testFlag(Qt::FramelessWindowHint) && w->windowType() != Qt::SplashScreen &&
           w->windowType() != Qt::ToolTip && w->windowType() != Qt::Popup;
}

// The frame the desktop puts around the window: its own once shown, else that of another
// window already shown, else the style's title bar and border. Platforms that draw no frame
// (offscreen) give none.
QMargins expectedFrame(const QWidget* form)
{
    if (!framed(form)) return {};
    if (form->isVisible()) {
        const QMargins m = frameOf(form);
        if (!m.isNull()) return m;
    }
    for (const QWidget* w : QApplication::topLevelWidgets()) {
        if (w == form || !w->isVisible() || !framed(w)) continue;
        const QMargins m = frameOf(w);
        if (!m.isNull()) return m;
    }
    if (!desktopFrames()) return {};
    const QStyle* st = form->style();
    const int border = st->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, form);
    return QMargins(border, st->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, form) + border, border,
                    border);
}

// The window with its frame inside the work area. A resizable window larger than the area
// is made smaller, down to its minimum size (and the caller's minimums follow, so its
// resize handler does not make it larger again); a window that fits is moved whole onto
// the area. A fixed window larger than the area keeps only its corner on it.
void fitOnScreen(QWidget* form, const QMargins& frame, bool resizable, qint32* minHeight, qint32* minWidth,
                 bool place = true)
{
    if (form->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;
    const QRect area = workArea();
    if (resizable) {
        const int roomW = area.width() - frame.left() - frame.right();
        const int roomH = area.height() - frame.top() - frame.bottom();
        const int w = qMax(qMin(form->width(), roomW), form->minimumWidth());
        const int h = qMax(qMin(form->height(), roomH), form->minimumHeight());
        if (w != form->width() || h != form->height()) {
            if (minWidth && *minWidth > w * TwipsPerPixel) *minWidth = w * TwipsPerPixel;
            if (minHeight && *minHeight > h * TwipsPerPixel) *minHeight = h * TwipsPerPixel;
            form->resize(w, h);
        }
    }
    if (!place) return;
    const QSize outer = form->size().grownBy(frame);
    QPoint at = form->pos(); // the frame's corner
    if (outer.width() <= area.width())
        at.setX(qBound(area.left(), at.x(), area.left() + area.width() - outer.width()));
    if (outer.height() <= area.height())
        at.setY(qBound(area.top(), at.y(), area.top() + area.height() - outer.height()));
    if (at != form->pos()) form->move(at);
}

// Runs an action once the desktop has framed the window (at once when it already has, or
// when this platform draws no frames); a desktop that never reports a frame drops it.
class WhenFramed final : public QObject
{
  public:
    WhenFramed(QWidget* form, std::function<void()> action)
        : QObject(form), form_(form), action_(std::move(action))
    {
        form->installEventFilter(this);
        if (form->isVisible()) dropLater();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != form_) return false;
        switch (event->type()) {
        case QEvent::Show:
            dropLater();
            break;
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            if (form_->isVisible() && !frameOf(form_).isNull()) {
                form_->removeEventFilter(this);
                QTimer::singleShot(0, this, [this] {
                    if (form_) action_();
                    deleteLater();
                });
            }
            break;
        default:
            break;
        }
        return false;
    }

  private:
    void dropLater()
    {
        QTimer::singleShot(3000, this, [this] { deleteLater(); });
    }

    QPointer<QWidget> form_;
    std::function<void()> action_;
};

// The window's place once restored; a window left to the desktop is only made small enough.
// Until the desktop has framed the window its corner goes to the client area, so a corner
// of our own is set again once the frame is known.
void placeOnScreen(QWidget* form, bool resizable, bool place, qint32* minHeight, qint32* minWidth)
{
    const QPoint corner = form->pos(); // the guessed frame may move it more than the real one
    fitOnScreen(form, expectedFrame(form), resizable, minHeight, minWidth, place);
    if (form->isVisible()) return;
    AfterFramed(form, [form, resizable, place, corner, minHeight, minWidth] {
        if (place && form->pos() != corner) form->move(corner);
        fitOnScreen(form, frameOf(form), resizable, minHeight, minWidth);
    });
}

void load(QWidget* form, qint32& minHeight, qint32& minWidth, const QString& section,
          const QString& keySuffix, bool callerKeepsMinimums);

} // namespace

bool FrameKnown(const QWidget* form)
{
    if (!framed(form) || !desktopFrames()) return true;
    return form->isVisible() && !frameOf(form).isNull();
}

void AfterFramed(QWidget* form, std::function<void()> action)
{
    if (FrameKnown(form))
        action();
    else
        new WhenFramed(form, std::move(action));
}

void setWorkAreaProvider(std::function<QRect()> p)
{
    provider() = std::move(p);
}

void GetWorkArea(T_WorkArea& area)
{
    const QRect r = workArea();
    area.Top = r.top();
    area.Left = r.left();
    area.Height = r.height();
    area.Width = r.width();
}

int WorkAreaWidth()
{
    return workArea().width();
}

int WorkAreaHeight()
{
    return workArea().height();
}

int WorkAreaWidthTw()
{
    return WorkAreaWidth() * TwipsPerPixel;
}

int WorkAreaHeightTw()
{
    return WorkAreaHeight() * TwipsPerPixel;
}

void PosFinestre_Load(QWidget* form, const QString& section, const QString& keySuffix)
{
    qint32 h = 0, w = 0;
    load(form, h, w, section, keySuffix, false);
}

void PosFinestre_Load(QWidget* form, qint32& minHeight, qint32& minWidth, const QString& section,
                      const QString& keySuffix)
{
    load(form, minHeight, minWidth, section, keySuffix, true);
}

namespace
{
void load(QWidget* form, qint32& minHeight, qint32& minWidth, const QString& section,
          const QString& keySuffix, bool callerKeepsMinimums)
{
    if (!form) return;
    const Cl_QOR& q = Qor();
    const QString sect = sectionOr(section);
    const bool resizable = isResizable(form);
    const QString name = form->objectName();

    // The laid-out size: what the window's design gives before anything is restored, made
    // no larger than the work area with the window's frame.
    if (!form->testAttribute(Qt::WA_Resized)) form->adjustSize();
    if (resizable && !(form->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        fitOnScreen(form, expectedFrame(form), true, nullptr, nullptr, false);
    const qint32 height = form->height() * TwipsPerPixel;
    const qint32 width = form->width() * TwipsPerPixel;
    if (minHeight < 1000 && height >= 1001) minHeight = height;
    if (minWidth < 1000 && width >= 1001) minWidth = width;

    const QString def = QStringLiteral("0|1|1|") + QString::number(height) + Sep + QString::number(width);
    QString value = q.IniRead(sect, name + keySuffix + QStringLiteral("_Size"), def, SettingsFile);
    if (!resizable) {
        value = q.SetField(value, 4, QString::number(height), Sep);
        value = q.SetField(value, 5, QString::number(width), Sep);
    }

    int state = int(q.ToDouble(q.GetField(value, 1, Sep)));
    if (state == 1) state = 0;
    if (state == 2) form->setWindowState(form->windowState() | Qt::WindowMaximized);
    QCoreApplication::processEvents();
    if (form->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) return;

    int top = toTwips(q.ToDouble(q.GetField(value, 2, Sep)));
    int left = toTwips(q.ToDouble(q.GetField(value, 3, Sep)));
    if (resizable) {
        int h = toTwips(q.ToDouble(q.GetField(value, 4, Sep)));
        int w = toTwips(q.ToDouble(q.GetField(value, 5, Sep)));
        if (h < minHeight) h = minHeight;
        if (w < minWidth) w = minWidth;
        form->resize(w / TwipsPerPixel, h / TwipsPerPixel);
    }
    const QString before = QStringLiteral(" - .Left = ") + QString::number(left);
    const QString topBefore = QString::number(top);

    // The top-left corner stays inside the work area; the size is left alone.
    const int waW = WorkAreaWidthTw();
    const int waH = WorkAreaHeightTw();
    if (top < 0) top = 0;
    if (left < 0) left = 0;
    if (top > waH - 100) top = waH - 100;
    if (left > waW - 100) left = waW - 100;
    // A window never placed before is left to the desktop, which puts it, title bar and all,
    // inside the available area; a corner at 0,0 would put the title bar above the screen.
    if (value != def) form->move(left / TwipsPerPixel, top / TwipsPerPixel);
    // A window that fits the work area also keeps its far edges on it.
    placeOnScreen(form, resizable, value != def, callerKeepsMinimums ? &minHeight : nullptr,
                  callerKeepsMinimums ? &minWidth : nullptr);

    const QString log = debugLog();
    const QSize scr = screenSize();
    q.WriteLog(QStringLiteral("----- Form : ") + name, 0, log);
    q.WriteLog(QStringLiteral("1-FsLOAD.Top = ") + topBefore + before, 0, log);
    q.WriteLog(QStringLiteral("2-FsLOAD.Top = ") + QString::number(top) + QStringLiteral(" - .Left = ") +
                   QString::number(left),
               0, log);
    q.WriteLog(QStringLiteral("2-Screen.Width = ") + QString::number(scr.width() * TwipsPerPixel) +
                   QStringLiteral(" - Screen.Height = ") + QString::number(scr.height() * TwipsPerPixel),
               0, log);
    q.WriteLog(QStringLiteral("2-Screen.WidthP = ") + QString::number(scr.width()) +
                   QStringLiteral(" - Screen.HeightP = ") + QString::number(scr.height()),
               0, log);
    q.WriteLog(QStringLiteral("2-sw_twips = ") + QString::number(waW) + QStringLiteral(" - sh_twips = ") +
                   QString::number(waH),
               0, log);
    q.WriteLog(QString(72, QLatin1Char('=')), 0, log);
}

} // namespace

void PosFinestre_Save(QWidget* form, const QString& section, const QString& keySuffix)
{
    if (!form) return;
    const Cl_QOR& q = Qor();
    const QString sect = sectionOr(section);
    const QString name = form->objectName();
    const QString key = name + keySuffix + QStringLiteral("_Size");
    const Qt::WindowStates st = form->windowState();

    if (st & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        // Only the state changes: the normal window's place stays what it was.
        const int state = (st & Qt::WindowMinimized) ? 1 : 2;
        const QString stored = q.IniRead(sect, key, QStringLiteral("0|1|1|1500|1500|"), SettingsFile);
        q.IniWrite(sect, key, q.SetField(stored, 1, QString::number(state), Sep), SettingsFile);
    } else {
        int top = form->y() * TwipsPerPixel;
        int left = form->x() * TwipsPerPixel;
        if (top < 0) top = 0;
        if (left < 0) left = 0;
        const QString value = QStringLiteral("0|") + QString::number(top) + Sep + QString::number(left) +
                              Sep + QString::number(form->height() * TwipsPerPixel) + Sep +
                              QString::number(form->width() * TwipsPerPixel) + Sep;
        q.IniWrite(sect, key, value, SettingsFile);
    }

    // Older settings kept one key per value: clear them.
    for (const char* s : {"S", "T", "L", "H", "W"}) {
        const QString old = name + QLatin1String(s);
        if (!q.IniRead(sect, old, QString(), SettingsFile).isEmpty())
            q.IniWrite(sect, old, QString(), SettingsFile);
    }
}
