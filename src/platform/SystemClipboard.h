// The desktop's clipboard for the model: plain text only.
#pragma once

#include "Clipboard.h"

class SystemClipboard final : public Clipboard
{
public:
    bool writeString(const std::optional<QString> &text) override;
};
