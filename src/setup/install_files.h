#pragma once
// File steps of installing and removing our own copy: moving a file in use out of the way,
// ending the processes that hold our files, shortcuts, and the helpers started on the way.

#include <string>

namespace tarvo::setup {

// The first base + "_" + n (n = 1, 2, …) for which folder + that + ext names no file;
// returned without the extension. `folder` ends with a backslash.
[[nodiscard]] std::wstring FreeFileName(const std::wstring& folder, const std::wstring& base,
                                        const std::wstring& ext);

// Deletes folder + name; a file in use is renamed to a free "_n" name beside it and goes at
// the next restart, so the name is free for the new file at once. With `killFirst`, other
// processes running that image are ended before.
void RetireFile(const std::wstring& folder, const std::wstring& name, bool killFirst);

// Ends every process whose image name is `imageName` (case-insensitive), except this one.
// True when one was running.
bool KillOtherProcesses(const std::wstring& imageName);
[[nodiscard]] bool OtherProcessRuns(const std::wstring& imageName);

// A shell link to `target` (which must exist) starting in the target's folder. The link is
// `folder`\`name`.lnk, `folder` being the special folder `csidl` when csidl >= 0; `name`
// defaults to the target's base name.
bool CreateShortcut(const std::wstring& target, const std::wstring& name, const std::wstring& folder, int csidl,
                    const std::wstring& arguments = {});

// Starts a program hidden, without waiting; a failure is not reported (nothing waits on it).
void StartHidden(const std::wstring& program, const std::wstring& arguments);

// regsvr32 /s (or /u /s) on a shell extension, waiting up to 30 s for it: a library must not
// go before its keys do. On 64-bit Windows the native regsvr32 is used, as only it can load
// a 64-bit library and write the view Explorer reads.
void RunRegsvr32(const std::wstring& dll, bool unregister);

}  // namespace tarvo::setup
