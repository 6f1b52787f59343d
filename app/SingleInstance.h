// One setup program or removal at a time on the machine. Two runs into the
// same folder would rewrite the same settings file and splice it.
#pragma once

#include "platform/Scoped.h"

// Holds the machine-wide name for the life of the process that took it.
class CSetupInstanceLock {
public:
    // False when another setup program or removal holds the name, in this
    // or any other session; true when this process now holds it, or when
    // the system offers no such name (then nothing is guarded).
    bool Acquire();

private:
    CScopedHandle mutex_;
};
