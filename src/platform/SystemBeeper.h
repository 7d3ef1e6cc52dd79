// The desktop's alert sound.
#pragma once

#include "Beeper.h"

class SystemBeeper final : public Beeper
{
public:
    void beep() override;
};
