#include "settings/registry_editor.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/registry.h"

using namespace tarvo::settings;
using tarvo::platform::RegistryKey;
using tarvo::platform::RegistryView;

namespace {

// Records what the steps did to an imagined editor.
class RecordingEditor final : public RegistryEditorHost {
public:
    bool FindEditor() override {
        calls.push_back(L"find");
        return running;
    }
    bool ThisProcessIsWow64() override { return wow64; }
    std::optional<bool> EditorIs64Bit() override { return editor64; }
    void CloseEditor() override {
        calls.push_back(L"close");
        running = false;
    }
    bool WriteLastKey(const std::wstring& path) override {
        calls.push_back(L"lastkey " + path);
        return true;
    }
    bool StartEditor(bool view64) override {
        calls.push_back(view64 ? L"start 64" : L"start 32");
        running = starts;
        editor64 = view64;
        return starts;
    }
    void ShowEditor() override { calls.push_back(L"show"); }
    void JumpThroughFavorites(const std::wstring& path) override { calls.push_back(L"favorite " + path); }
    void SelectValue(const std::wstring& name) override { calls.push_back(L"select " + name); }

    bool running = false;
    bool wow64 = true;
    bool starts = true;
    std::optional<bool> editor64;
    std::vector<std::wstring> calls;
};

using Calls = std::vector<std::wstring>;

}  // namespace

TEST(RegistryEditor, KeyPathForTheEditor) {
    EXPECT_EQ(RegistryEditorKeyPath(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\"),
              L"My\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft");
    EXPECT_EQ(RegistryEditorKeyPath(L"HKEY_CURRENT_USER"), L"My\\HKEY_CURRENT_USER");
    EXPECT_EQ(RegistryEditorKeyPath(L"\\Computer\\HKEY_CLASSES_ROOT"), L"\\Computer\\HKEY_CLASSES_ROOT");
}

TEST(RegistryEditor, StepsForAClosedRunningAndWrongBitnessEditor) {
    const std::wstring key = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\App\\";
    const std::wstring path = L"My\\HKEY_LOCAL_MACHINE\\SOFTWARE\\App";
    {
        // Not running: "LastKey" does the work, no favourite needed.
        RecordingEditor editor;
        EXPECT_TRUE(OpenRegistryEditorAt(key, L"Version", true, editor));
        EXPECT_EQ(editor.calls, (Calls{L"find", L"lastkey " + path, L"start 64", L"find", L"show", L"select Version"}));
    }
    {
        // Running with the right bitness: jump through a favourite.
        RecordingEditor editor;
        editor.running = true;
        editor.editor64 = false;
        EXPECT_TRUE(OpenRegistryEditorAt(key, L"", false, editor));
        EXPECT_EQ(editor.calls, (Calls{L"find", L"show", L"favorite " + path, L"select "}));
    }
    {
        // A 32-bit editor cannot show the 64-bit view: closed and started again.
        RecordingEditor editor;
        editor.running = true;
        editor.editor64 = false;
        EXPECT_TRUE(OpenRegistryEditorAt(key, L"x", true, editor));
        EXPECT_EQ(editor.calls,
                  (Calls{L"find", L"close", L"lastkey " + path, L"start 64", L"find", L"show", L"select x"}));
    }
    {
        // On 32-bit Windows, or when the editor's bitness cannot be told, it is kept.
        for (const bool wow64 : {false, true}) {
            RecordingEditor editor;
            editor.running = true;
            editor.wow64 = wow64;
            editor.editor64 = wow64 ? std::nullopt : std::optional<bool>(false);
            EXPECT_TRUE(OpenRegistryEditorAt(key, L"", true, editor));
            EXPECT_EQ(editor.calls, (Calls{L"find", L"show", L"favorite " + path, L"select "}));
        }
    }
    {
        RecordingEditor editor;
        editor.starts = false;
        EXPECT_FALSE(OpenRegistryEditorAt(key, L"x", false, editor));
        EXPECT_EQ(editor.calls, (Calls{L"find", L"lastkey " + path, L"start 32", L"find"}));
    }
}

TEST(RegistryEditor, LastKeyIsWrittenInTheSixtyFourBitView) {
    RegistryKey applet;
    ASSERT_EQ(applet.Create(HKEY_CURRENT_USER, kRegeditAppletKey, KEY_READ | KEY_WRITE, RegistryView::Wow64_64Key),
              ERROR_SUCCESS);
    const auto previous = applet.QueryString(L"LastKey");

    ASSERT_TRUE(WriteRegistryEditorLastKey(L"My\\HKEY_CURRENT_USER\\Software\\TarvoTest"));
    RegistryKey check;
    ASSERT_EQ(check.Open(HKEY_CURRENT_USER, kRegeditAppletKey, KEY_READ, RegistryView::Wow64_64Key), ERROR_SUCCESS);
    EXPECT_EQ(check.QueryString(L"LastKey"), L"My\\HKEY_CURRENT_USER\\Software\\TarvoTest");

    if (previous)
        (void)applet.SetString(L"LastKey", *previous);
    else
        (void)applet.DeleteValue(L"LastKey");
}
