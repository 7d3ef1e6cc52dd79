// The clipboard as the model sees it: plain strings only.
#pragma once

#include <QString>

#include <optional>

class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // Clears the clipboard, then puts the string on it; returns whether the string was set.
    // With no string the clipboard is left empty and the result is false.
    virtual bool writeString(const std::optional<QString> &text) = 0;
};
