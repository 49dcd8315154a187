#include "fake_programs.h"

#include <windows.h>

#include <cstdio>

namespace tarvo::gallery {

namespace {
const wchar_t* const kWords[] = {L"Photo", L"Studio", L"Cloud", L"Media", L"Office", L"Code", L"Backup", L"Zip",
                                 L"Sync", L"Vector", L"Audio", L"Video", L"Notes", L"Mail", L"Disk", L"Net",
                                 L"Remote", L"Secure", L"Print", L"Scan", L"Game", L"Map", L"Chart", L"Font"};
const wchar_t* const kKinds[] = {L"Editor", L"Manager", L"Player", L"Suite", L"Toolkit", L"Viewer", L"Converter",
                                 L"Assistant", L"Runtime", L"Client", L"Server", L"Express"};
const wchar_t* const kPublishers[] = {L"Northwind Software", L"Contoso Ltd.", L"Fabrikam, Inc.", L"Adventure Works",
                                      L"Litware Labs", L"Tailspin Toys", L"Wide World Importers", L"Proseware, Inc.",
                                      L"Coho Vineyard Tools", L"Lucerne Publishing", L"Humongous Insurance", L""};
}  // namespace

std::vector<FakeProgram> MakeFakePrograms(int count, int iconCount) {
    std::vector<FakeProgram> programs;
    unsigned seed = 20240611u;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int i = 0; i < count; ++i) {
        FakeProgram p;
        const unsigned a = next(), b = next(), c = next();
        if (i % 23 == 22) {
            wchar_t kb[64];
            std::swprintf(kb, 64, L"Security Update for Windows (KB%u)", 2500000u + a * 13u);
            p.name = kb;
            p.publisher = L"Microsoft Corporation";
            p.update = true;
        } else {
            p.name = std::wstring(kWords[a % 24]) + kWords[b % 24] + L" " + kKinds[c % 12];
            if (c % 5 == 0) p.name += L" " + std::to_wstring(2 + c % 9) + L"." + std::to_wstring(a % 10);
            if (b % 11 == 0) p.name += L" (x64)";
            p.publisher = kPublishers[(a + c) % 12];
        }
        const unsigned magnitude = next() % 4;
        const std::uint64_t base = next() % 1000 + 1;
        p.size = magnitude == 0 ? base * 1000 : magnitude == 1 ? base * 100000 : magnitude == 2 ? base * 1000000 : base * 3000000;
        p.daysAgo = i % 17 == 5 ? -1 : static_cast<int>(next() % 900);
        if (i % 9 == 0) p.daysAgo = static_cast<int>(next() % 12);
        p.icon = iconCount > 0 ? static_cast<int>(next() % static_cast<unsigned>(iconCount)) : -1;
        p.rarelyUsed = i % 7 == 3;
        p.checked = i % 5 == 1;
        programs.push_back(std::move(p));
    }
    return programs;
}

std::wstring SizeText(std::uint64_t bytes) {
    wchar_t text[32];
    const double value = static_cast<double>(bytes);
    if (bytes < 1024) std::swprintf(text, 32, L"%u Byte", static_cast<unsigned>(bytes));
    else if (bytes < 1024ull * 1024) std::swprintf(text, 32, L"%.2f KB", value / 1024.0);
    else if (bytes < 1024ull * 1024 * 1024) std::swprintf(text, 32, L"%.2f MB", value / (1024.0 * 1024.0));
    else std::swprintf(text, 32, L"%.2f GB", value / (1024.0 * 1024.0 * 1024.0));
    return text;
}

std::wstring DateText(int daysAgo) {
    if (daysAgo < 0) return L"";
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    FILETIME file{};
    ::SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart -= static_cast<unsigned long long>(daysAgo) * 24ull * 3600ull * 10000000ull;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME then{};
    ::FileTimeToSystemTime(&file, &then);
    wchar_t text[64] = {};
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &then, nullptr, text, 64);
    return text;
}

}  // namespace tarvo::gallery
