#include "foundation/PosFinestre.h"

#include "foundation/StartSettings.h"
#include "foundation/M_MV.h"
#include "platform/Folders.h"
#include "qor/Cl_QOR.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QScreen>
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

} // namespace

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
    PosFinestre_Load(form, h, w, section, keySuffix);
}

void PosFinestre_Load(QWidget* form, qint32& minHeight, qint32& minWidth, const QString& section,
                      const QString& keySuffix)
{
    if (!form) return;
    const Cl_QOR& q = Qor();
    const QString sect = sectionOr(section);
    const bool resizable = isResizable(form);
    const QString name = form->objectName();

    // The laid-out size: what the window's design gives before anything is restored.
    if (!form->testAttribute(Qt::WA_Resized)) form->adjustSize();
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
