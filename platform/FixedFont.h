#pragma once
#include "platform/Shared.h"
#include <QFont>
#include <QString>

namespace Plicora PLICORA_SHARED {

// A fixed-pitch font of the family named ("Lucida Console"), so that columns line up and a
// field of n characters shows n of the widest. Where the family is not installed the
// stand-in is a fixed-pitch face (the desktop's fixed font), never the proportional
// default. The font still names the family asked for: it reads, compares and is stored
// as that family. A pointSize of 0 keeps the default size.
QFont fixedPitchFont(const QString& family, double pointSize = 0);

// The same fallback for a font a form or a stored design names (family, size, style):
// everything it sets is kept.
QFont withFixedPitchFallback(QFont f);

// True when the face the font resolves to gives every character the same advance.
bool isFixedPitch(const QFont& font);

} // namespace Plicora

using Plicora::fixedPitchFont;
using Plicora::withFixedPitchFallback;
using Plicora::isFixedPitch;
