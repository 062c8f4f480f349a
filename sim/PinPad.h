// The simulated reader's PIN pad: a small modal dialog of the DLL's own, as a reader's
// driver shows while it collects the PIN.
#pragma once

#include <string>

namespace sim {

struct PinEntry {
    enum Outcome { Entered, Cancelled, TimedOut } outcome;
    std::string pin;  // digits, when entered
};

// Shows the pad over the caller's active window until a PIN (4 to 12 digits, as the INI
// file's) is confirmed, the pad is cancelled, or `timeoutSeconds` pass. `prompt` is GBK.
PinEntry AskPin(const std::string& prompt, int timeoutSeconds);

}  // namespace sim
