#pragma once
#include "platform/Shared.h"
#include <Qt>

namespace Plicora PLICORA_SHARED {

// Key codes, Shift masks and button numbers as the program's key and mouse
// handlers expect them (KeyCode 13 for Enter, Shift 1/2/4, Button 2 for the right one).
namespace VbKeys {
// 0 for a key that has no code.
int keyCode(int qtKey, Qt::KeyboardModifiers mods = {});
int shift(Qt::KeyboardModifiers mods);
int button(Qt::MouseButtons buttons);
} // namespace VbKeys

} // namespace Plicora

namespace VbKeys = Plicora::VbKeys;
