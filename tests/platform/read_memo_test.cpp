#include "platform/read_memo.h"

#include <gtest/gtest.h>

#include "platform/call_counter.h"
#include "platform/files.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::platform;
using tarvo::test::ScratchFolder;
using tarvo::test::ScratchKey;

namespace {

// Everything a reader can learn of a key tree, in the order it learns it.
std::wstring ReadTree(HKEY root, const std::wstring& path, RegistryView view) {
    RegistryKey key;
    const LONG rc = key.Open(root, path, KEY_READ, view);
    if (rc != ERROR_SUCCESS) return L"!" + std::to_wstring(rc);
    std::wstring text = L"[" + path + L"]";
    for (const auto& name : key.ValueNames()) text += L" " + name + L"=" + key.QueryString(name).value_or(L"?");
    for (const auto& child : key.SubKeyNames()) {
        RegistryKey relative;
        if (relative.Open(key.get(), child, KEY_READ, view) == ERROR_SUCCESS)
            text += L" <" + child + L":" + std::to_wstring(relative.ValueNames().size()) + L">";
        text += ReadTree(root, path + L"\\" + child, view);
    }
    return text;
}

std::wstring ListFolder(const std::wstring& pattern) {
    FileFinder finder;
    WIN32_FIND_DATAW data{};
    std::wstring text;
    for (bool found = finder.FindFirst(pattern, data); found; found = finder.FindNext(data))
        text += std::wstring(data.cFileName) + L"/" + std::to_wstring(data.nFileSizeLow) + L" ";
    return text;
}

}  // namespace

// Inside a scope every read gives what it gives outside, and the second pass asks the
// system nothing; what changes after the first read stays unseen until the scope ends.
TEST(ReadMemo, RepeatedReadsAreAnsweredOnceAndAlike) {
    ScratchKey scratch(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    scratch.SetString(L"", L"Top", L"1");
    scratch.SetString(L"A\\Deep", L"Name", L"deep");
    scratch.SetString(L"B", L"", L"default");
    ScratchFolder folder;
    folder.MakeFile(L"one.txt", "12345");
    folder.MakeFolder(L"sub");

    const std::wstring plainTree = ReadTree(HKEY_CURRENT_USER, scratch.path(), RegistryView::Default);
    const std::wstring plainMissing = ReadTree(HKEY_CURRENT_USER, scratch.PathOf(L"Missing"), RegistryView::Default);
    const std::wstring plainList = ListFolder(folder.PathOf(L"*"));
    const std::wstring plainNoList = ListFolder(folder.PathOf(L"none\\*"));
    {
        const ReadMemoScope memo;
        const ReadMemoScope nested;  // an inner scope shares the outer one's memory
        EXPECT_EQ(ReadTree(HKEY_CURRENT_USER, scratch.path(), RegistryView::Default), plainTree);
        EXPECT_EQ(ReadTree(HKEY_CURRENT_USER, scratch.PathOf(L"Missing"), RegistryView::Default), plainMissing);
        EXPECT_EQ(ListFolder(folder.PathOf(L"*")), plainList);
        EXPECT_EQ(ListFolder(folder.PathOf(L"none\\*")), plainNoList);

        scratch.SetString(L"", L"Later", L"2");
        CallCounter::Reset();
        EXPECT_EQ(ReadTree(HKEY_CURRENT_USER, scratch.path(), RegistryView::Default), plainTree);
        EXPECT_EQ(ReadTree(HKEY_CURRENT_USER, scratch.PathOf(L"Missing"), RegistryView::Default), plainMissing);
        EXPECT_EQ(ListFolder(folder.PathOf(L"*")), plainList);
        EXPECT_EQ(CallCounter::RegistryTotal() + CallCounter::FileSystemTotal(), 0u);

        // A token is never handed to the system: writes through a read key fail as they
        // would on a real read-only handle, and the kernel name still resolves.
        RegistryKey readOnly;
        ASSERT_EQ(readOnly.Open(HKEY_CURRENT_USER, scratch.path(), KEY_READ), ERROR_SUCCESS);
        EXPECT_EQ(readOnly.SetString(L"Denied", L"x"), ERROR_ACCESS_DENIED);
        EXPECT_TRUE(RegistryKernelName(HKEY_CURRENT_USER, scratch.path(), RegistryView::Default).has_value());
    }
    EXPECT_NE(ReadTree(HKEY_CURRENT_USER, scratch.path(), RegistryView::Default), plainTree);
}
