#include "VbKeys.h"

namespace Plicora {

namespace VbKeys {

int keyCode(int key, Qt::KeyboardModifiers mods)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (mods & Qt::KeypadModifier) ? 96 + (key - Qt::Key_0) : key;
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Print:
        return 42;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Help:
        return 47;
    case Qt::Key_Asterisk:
        return (mods & Qt::KeypadModifier) ? 106 : 0;
    case Qt::Key_Plus:
        return (mods & Qt::KeypadModifier) ? 107 : 187;
    case Qt::Key_Minus:
        return (mods & Qt::KeypadModifier) ? 109 : 189;
    case Qt::Key_Period:
        return (mods & Qt::KeypadModifier) ? 110 : 190;
    case Qt::Key_Slash:
        return (mods & Qt::KeypadModifier) ? 111 : 191;
    case Qt::Key_Comma:
        return 188;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    default:
        return 0;
    }
}

int shift(Qt::KeyboardModifiers mods)
{
    return ((mods & Qt::ShiftModifier) ? 1 : 0) | ((mods & Qt::ControlModifier) ? 2 : 0) |
           ((mods & Qt::AltModifier) ? 4 : 0);
}

int button(Qt::MouseButtons b)
{
    return ((b & Qt::LeftButton) ? 1 : 0) | ((b & Qt::RightButton) ? 2 : 0) |
           ((b & Qt::MiddleButton) ? 4 : 0);
}

} // namespace VbKeys

} // namespace Plicora
