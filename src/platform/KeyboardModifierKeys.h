// The modifier keys of the input event being handled, from the application's own record.
#pragma once

#include "ModifierKeys.h"

class KeyboardModifierKeys final : public ModifierKeys
{
public:
    // Alt is where the Option key sits on Linux keyboards.
    bool isOptionHeld() const override;
};
