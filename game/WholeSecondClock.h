#pragma once
// The time the computer's search reads: whole seconds. The game uses
// SystemSecondClock; tests put in their own so they run without waiting.

class WholeSecondClock {
public:
    virtual int Now() = 0;

protected:
    ~WholeSecondClock() = default;
};
