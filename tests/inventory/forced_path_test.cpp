// What the forced uninstall accepts from a path: files, shortcuts followed to their target or
// working folder, and the places it refuses because they are never one program's own.
#include <gtest/gtest.h>

#include <windows.h>

#include "inventory/forced_path.h"
#include "platform/shell.h"
#include "support/scratch_folder.h"

using tarvo::inventory::ResolveForcedPath;
using tarvo::inventory::ShellVerbTarget;
using tarvo::platform::CreateShellLinkIn;

namespace {

std::wstring WindowsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    ::GetWindowsDirectoryW(buffer, MAX_PATH);
    return buffer;
}

}  // namespace

TEST(ForcedPath, PlainPathsAreTakenOnlyAsFilesInARemovablePlace) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring file = scratch.MakeFile(L"Foo\\foo.exe", "MZ");
    const std::wstring windows = WindowsFolder();
    const struct {
        std::wstring path;
        bool accepted;
    } cases[] = {
        {file, true},
        {scratch.PathOf(L"Foo"), false},          // a folder dropped directly
        {scratch.PathOf(L"Foo\\gone.exe"), false},
        {L"C:\\", false},                         // a drive root
        {windows, false},
        {windows + L"\\notepad.exe", false},      // a file would take the Windows folder with it
        {L"%TEMP%\\foo.exe", false},
        {L"", false},
    };
    for (const auto& c : cases) {
        const auto result = ResolveForcedPath(c.path);
        EXPECT_EQ(result.accepted, c.accepted) << std::string(c.path.begin(), c.path.end());
        EXPECT_FALSE(result.foldersAllowed);
        EXPECT_EQ(result.target, c.path);
    }
}

TEST(ForcedPath, ShortcutsFollowTheirTargetOrWorkingFolder) {
    tarvo::test::ScratchFolder scratch;
    const std::wstring file = scratch.MakeFile(L"Foo\\foo.exe", "MZ");
    const std::wstring folder = scratch.MakeFolder(L"Bar");
    const std::wstring doomed = scratch.MakeFile(L"Gone\\gone.exe", "MZ");

    const std::wstring toFile = scratch.PathOf(L"foo.lnk");
    ASSERT_TRUE(CreateShellLinkIn(toFile, file, folder));
    const std::wstring toFileUpper = scratch.PathOf(L"FOO2.INK");
    ASSERT_TRUE(::CopyFileW(toFile.c_str(), toFileUpper.c_str(), FALSE));
    const std::wstring toGone = scratch.PathOf(L"gone.lnk");
    ASSERT_TRUE(CreateShellLinkIn(toGone, doomed, folder));
    const std::wstring toGoneNoFolder = scratch.PathOf(L"gonenone.lnk");
    ASSERT_TRUE(CreateShellLinkIn(toGoneNoFolder, doomed, L""));
    ASSERT_TRUE(::DeleteFileW(doomed.c_str()));
    const std::wstring network = scratch.PathOf(L"net.lnk");
    ASSERT_TRUE(CreateShellLinkIn(network, L"\\\\server\\share\\tool.exe", folder));
    const std::wstring networkInWindows = scratch.PathOf(L"netwin.lnk");
    ASSERT_TRUE(CreateShellLinkIn(networkInWindows, L"\\\\server\\share\\tool.exe", WindowsFolder()));
    const std::wstring networkNoFolder = scratch.PathOf(L"netnone.lnk");
    ASSERT_TRUE(CreateShellLinkIn(networkNoFolder, L"\\\\server\\share\\tool.exe", L""));

    const struct {
        const wchar_t* what;
        std::wstring link;
        std::wstring target;
        bool foldersAllowed;
        bool accepted;
    } cases[] = {
        {L"target exists", toFile, file, false, true},
        {L"upper-case .INK", toFileUpper, file, false, true},
        // A target that is gone reads as no target: the working folder stands in, and
        // without one the shortcut itself is what remains to remove.
        {L"target gone: its working folder", toGone, folder, true, true},
        {L"target gone, no working folder: the shortcut itself", toGoneNoFolder, toGoneNoFolder, true, true},
        {L"network: its working folder", network, folder, true, true},
        {L"network, working folder is Windows", networkInWindows, WindowsFolder(), true, false},
        {L"network, no working folder: the shortcut itself", networkNoFolder, networkNoFolder, true, true},
    };
    for (const auto& c : cases) {
        const auto result = ResolveForcedPath(c.link);
        EXPECT_EQ(result.target, c.target) << c.what;
        EXPECT_EQ(result.foldersAllowed, c.foldersAllowed) << c.what;
        EXPECT_EQ(result.accepted, c.accepted) << c.what;
    }

    // The context-menu hand-off never falls back to the shortcut itself, and takes folders.
    EXPECT_EQ(ShellVerbTarget(toFile), file);
    EXPECT_EQ(ShellVerbTarget(network), folder);
    EXPECT_EQ(ShellVerbTarget(folder), folder);
    EXPECT_EQ(ShellVerbTarget(toGone), folder);
    EXPECT_EQ(ShellVerbTarget(toGoneNoFolder), std::nullopt);
    EXPECT_EQ(ShellVerbTarget(networkInWindows), std::nullopt);
    EXPECT_EQ(ShellVerbTarget(L"C:\\"), std::nullopt);
}
