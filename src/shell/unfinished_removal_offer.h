#pragma once
// At start-up: a removal that was cut off last time (power cut, killed process) is offered
// to be finished or undone, once, before anything else is removed.

#include <windows.h>

namespace tarvo::shell {

// True when something was finished or undone (the catalogue may have changed).
bool OfferUnfinishedRemovals(HWND owner);

}  // namespace tarvo::shell
