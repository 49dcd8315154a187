#pragma once
// "Install and trace a program...": the setup chosen (or dropped on the programs page), the
// user's yes, the installation recorded on a worker while the window keeps painting, and
// what was recorded told in a message.

#include <windows.h>

#include <string>

namespace tarvo::shell {

// Asks for a setup when `setup` is empty. Returns true when a trace was stored.
bool InstallAndTrace(HWND owner, std::wstring setup = {});

// For a dropped file that looks like a setup: asks whether to install and trace it. Yes runs
// the traced installation and returns true; No returns false (the caller goes on as before).
bool OfferTracedInstall(HWND owner, const std::wstring& dropped);

}  // namespace tarvo::shell
