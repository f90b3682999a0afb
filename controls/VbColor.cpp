#include "VbColor.h"

#include <QGuiApplication>

namespace Ordalis::VbColor
{

namespace
{
struct SysColor {
    int index;
    QPalette::ColorRole role;
};
// Windows' system colour indexes that controls ask for, with their nearest palette role.
constexpr SysColor kSystem[] = {
    {0x00, QPalette::Dark},            // scroll bar
    {0x01, QPalette::Window},          // desktop
    {0x02, QPalette::Highlight},       // active caption
    {0x03, QPalette::Mid},             // inactive caption
    {0x04, QPalette::Window},          // menu bar
    {0x05, QPalette::Base},            // window background
    {0x06, QPalette::Shadow},          // window frame
    {0x07, QPalette::WindowText},      // menu text
    {0x08, QPalette::Text},            // window text
    {0x09, QPalette::HighlightedText}, // caption text
    {0x0A, QPalette::Mid},             // active border
    {0x0B, QPalette::Mid},             // inactive border
    {0x0C, QPalette::Dark},            // application workspace
    {0x0D, QPalette::Highlight},       // highlight
    {0x0E, QPalette::HighlightedText}, // highlight text
    {0x0F, QPalette::Button},          // button face
    {0x10, QPalette::Dark},            // button shadow
    {0x11, QPalette::PlaceholderText}, // grey text
    {0x12, QPalette::ButtonText},      // button text
    {0x13, QPalette::WindowText},      // inactive caption text
    {0x14, QPalette::Light},           // 3D highlight
    {0x15, QPalette::Shadow},          // 3D dark shadow
    {0x16, QPalette::Midlight},        // 3D light
    {0x17, QPalette::ToolTipText},     // tooltip text
    {0x18, QPalette::ToolTipBase},     // tooltip background
};
} // namespace

bool isSystem(qint64 vb)
{
    if (vb < 0) vb += qint64(1) << 32;
    if ((vb & ~qint64(0xFF)) != qint64(0x80000000)) return false;
    const int idx = int(vb & 0xFF);
    return idx < int(std::size(kSystem));
}

bool isValid(qint64 vb)
{
    return (vb >= 0 && vb <= 0xFFFFFF) || isSystem(vb);
}

QPalette::ColorRole systemRole(qint32 vb)
{
    if (!isSystem(vb)) return QPalette::NoRole;
    return kSystem[vb & 0xFF].role;
}

QColor toQColor(qint32 vb, const QPalette& palette)
{
    if (isSystem(vb)) return palette.color(QPalette::Active, systemRole(vb));
    const quint32 v = quint32(vb) & 0xFFFFFF;
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

QColor toQColor(qint32 vb)
{
    return toQColor(vb, QGuiApplication::palette());
}

qint32 fromQColor(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return qint32(rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16));
}

} // namespace Ordalis::VbColor
