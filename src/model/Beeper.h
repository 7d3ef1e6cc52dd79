// The system alert sound.
#pragma once

class Beeper
{
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};
