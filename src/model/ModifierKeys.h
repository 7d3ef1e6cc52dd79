// The modifier keys of the input event being handled.
#pragma once

class ModifierKeys
{
public:
    virtual ~ModifierKeys() = default;
    // Whether the Option key (Alt on Linux) is held.
    virtual bool isOptionHeld() const = 0;
};
