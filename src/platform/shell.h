#pragma once
// The shell and COM: links, opening documents, icons, dropped files, the common file
// dialogs and class identifiers. Never throws.

#include <windows.h>

#include <optional>
#include <string>

#include "platform/unique_handle.h"

namespace tarvo::platform {

// Shell shortcuts (.lnk files) and the COM apartment their objects need.

// CoInitializeEx for the lifetime of the object, on the thread that created it; balanced only
// when the call succeeded (S_FALSE included).
class ComApartment {
public:
    ComApartment() noexcept;
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    [[nodiscard]] bool ok() const noexcept { return initialized_; }

private:
    bool initialized_ = false;
};

// The target path of a shortcut (IShellLinkW::GetPath with the raw-path flag, as written in
// the link); empty when the file cannot be loaded as a shortcut. COM must be initialised.
[[nodiscard]] std::wstring ResolveShellLinkTarget(const std::wstring& linkPath) noexcept;

// What a shortcut points at now: loads it, lets the shell resolve it without any window of
// its own (SLR_NO_UI, owned by the active window), and returns the target path with UNC
// names preferred. nullopt when the file is no shortcut or the link does not resolve. COM
// must be initialised on the calling thread.
[[nodiscard]] std::optional<std::wstring> ResolveShellLink(const std::wstring& linkPath) noexcept;

// Writes a shortcut to `target`; false when the link cannot be created or saved.
[[nodiscard]] bool CreateShellLink(const std::wstring& linkPath, const std::wstring& target,
                                   const std::wstring& arguments = {}) noexcept;

// The working folder a shortcut records, and shortcuts written with one: what the forced
// uninstall falls back to when a shortcut's own data names no local file.

// IShellLinkW::GetWorkingDirectory after IPersistFile::Load, at most MAX_PATH characters;
// empty on any failure. Initialises COM for the call itself.
[[nodiscard]] std::wstring ShellLinkWorkingFolder(const std::wstring& linkPath) noexcept;

// Writes a shortcut to `target` starting in `workingFolder` (none when empty); false when
// the link cannot be created or saved. Initialises COM for the call itself.
[[nodiscard]] bool CreateShellLinkIn(const std::wstring& linkPath, const std::wstring& target,
                                     const std::wstring& workingFolder, const std::wstring& arguments = {}) noexcept;

// The Shell.Application object's verbs of one file: NameSpace(folder), ParseName(file),
// Verbs(), and DoIt() on the first verb whose name equals `verbName` (case-insensitive).
enum class ShellVerbResult { Done, NoShellObject, VerbNotOffered, ItemNotFound };
[[nodiscard]] ShellVerbResult InvokeFolderItemVerb(const std::wstring& folder, const std::wstring& file,
                                                   const std::wstring& verbName) noexcept;

// Starting a program through the shell, and the shell's icon for a kind of file.

// ShellExecuteW with the "open" verb and a normal window; true when the shell reports
// success (a result above 32).
[[nodiscard]] bool ShellOpen(const std::wstring& file, const std::wstring& parameters = {}) noexcept;

// The shell's large icon for files ending in `extension` (".log"); the caller owns it.
// Null when the shell has none.
[[nodiscard]] HICON LargeIconForExtension(const std::wstring& extension) noexcept;

// The shell's icon for a file name, owned by the caller through its own handle type.

namespace traits {
struct icon_handle {
    using type = HICON;
    static HICON invalid() noexcept { return nullptr; }
    static void close(HICON h) noexcept { ::DestroyIcon(h); }
};
}  // namespace traits

using unique_hicon = unique_any<traits::icon_handle>;

// SHGetFileInfoW with SHGFI_ICON | SHGFI_USEFILEATTRIBUTES for a file (or, with
// FILE_ATTRIBUTE_DIRECTORY, a folder) of that name: the icon the shell shows for it, whether
// or not it exists. Null on failure.
[[nodiscard]] unique_hicon GetFileIconOf(const std::wstring& path, bool small,
                                         DWORD attributes = FILE_ATTRIBUTE_NORMAL) noexcept;

// Icons stored in executable files and icon libraries.

struct IconPair {
    unique_hicon large;
    unique_hicon small;
};

// ExtractIconExW for one icon of each size at `index` (a negative index is a resource id).
// Either handle may stay null; both are null when the file holds no such icon.
[[nodiscard]] IconPair ExtractIconPairOf(const std::wstring& file, int index) noexcept;

// Files dropped on a window from Explorer.

// The first dropped file's path (at most MAX_PATH characters), and the drop finished
// (DragFinish) in every case; empty when the drop holds no file.
[[nodiscard]] std::wstring TakeFirstDroppedFile(HDROP drop) noexcept;

// DragAcceptFiles.
void AcceptDroppedFiles(HWND window, bool accept) noexcept;

// The system's file dialogs.

// The save dialog. `filter` is written "Text(*.txt)|*.txt" (pairs separated by "|");
// `defaultExtension` without the dot. Nullopt when the user cancels.
[[nodiscard]] std::optional<std::wstring> AskSaveFileName(HWND owner, const std::wstring& defaultName,
                                                          const std::wstring& defaultExtension,
                                                          const std::wstring& filter);

// The system's open-file dialog.

// GetOpenFileName starting in `initialFolder`. `filter` is written "Programs|*.exe|All|*.*"
// (pairs separated by "|"); `filterIndex` counts from 1. Nullopt when the user cancels.
[[nodiscard]] std::optional<std::wstring> AskOpenFileName(HWND owner, const std::wstring& initialFolder,
                                                          const std::wstring& filter, DWORD filterIndex);

// Class identifiers as text.

// CLSIDFromString accepts the text: a braced GUID (or a ProgID registered on this machine).
[[nodiscard]] bool ParsesAsClassId(const std::wstring& text) noexcept;

// CoCreateGuid in its usual text form, "{xxxxxxxx-xxxx-…}" with braces or without; empty when
// no GUID could be made.
[[nodiscard]] std::wstring NewGuidText(bool braces) noexcept;

// A folder and everything in it, through the shell (SHFileOperationW, delete, FOF_SILENT |
// FOF_NOCONFIRMATION | FOF_NOERRORUI): no dialog, no recycle bin. False when the shell reports any failure.
[[nodiscard]] bool ShellDeleteFolderTree(const std::wstring& folder) noexcept;

}  // namespace tarvo::platform
