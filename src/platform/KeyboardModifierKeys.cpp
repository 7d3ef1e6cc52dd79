#include "KeyboardModifierKeys.h"

#include <QGuiApplication>

bool KeyboardModifierKeys::isOptionHeld() const
{
    return QGuiApplication::keyboardModifiers().testFlag(Qt::AltModifier);
}
