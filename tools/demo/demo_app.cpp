// The program every demo installer ships, built once per demo product with that product's
// icon, version resource and name, so the catalogue sees real files behind its entries.

#include <windows.h>

#include "demo_app_ids.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    wchar_t name[128] = L"";
    wchar_t note[256] = L"";
    ::LoadStringW(instance, IDS_DEMO_NAME, name, static_cast<int>(sizeof name / sizeof name[0]));
    ::LoadStringW(instance, IDS_DEMO_NOTE, note, static_cast<int>(sizeof note / sizeof note[0]));
    ::MessageBoxW(nullptr, note, name, MB_OK | MB_ICONINFORMATION);
    return 0;
}
