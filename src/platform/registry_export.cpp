#include "platform/registry_export.h"

#include <cwchar>
#include <cwctype>
#include <optional>
#include <vector>

#include "platform/registry.h"

namespace tarvo::platform {

namespace {

struct RootName {
    HKEY root;
    const wchar_t* name;
};
const RootName kRoots[] = {
    {HKEY_CLASSES_ROOT, L"HKEY_CLASSES_ROOT"}, {HKEY_CURRENT_USER, L"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, L"HKEY_LOCAL_MACHINE"}, {HKEY_USERS, L"HKEY_USERS"},
    {HKEY_CURRENT_CONFIG, L"HKEY_CURRENT_CONFIG"},
};

std::wstring Quoted(const std::wstring& text) {
    std::wstring out = L"\"";
    for (const wchar_t c : text) {
        if (c == L'\\' || c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

std::wstring HexBytes(const std::vector<BYTE>& data) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring out;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i) out += L',';
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0xF];
    }
    return out;
}

// A string value the quoted form can carry exactly: its data is the text and one zero.
bool QuotableString(const RegistryValue& value, std::wstring& text) {
    if (value.type != REG_SZ || value.data.size() % 2 != 0 || value.data.size() < 2) return false;
    const std::size_t count = value.data.size() / 2 - 1;
    text.assign(reinterpret_cast<const wchar_t*>(value.data.data()), count);
    if (reinterpret_cast<const wchar_t*>(value.data.data())[count] != 0) return false;
    for (const wchar_t c : text)
        if (c == 0 || c == L'\r' || c == L'\n') return false;
    return true;
}

void AppendBlock(const std::wstring& header, const RegistryKey& key, std::wstring& text) {
    text += L"[" + header + L"]\r\n";
    std::wstring name;
    RegistryValue value;
    for (DWORD i = 0; key.EnumValue(i, name, &value) == ERROR_SUCCESS; ++i) text += RegValueLine(name, value) + L"\r\n";
    text += L"\r\n";
}

// Reads a quoted string starting at `at` (on the opening quote); moves `at` past the closing one.
std::optional<std::wstring> ReadQuoted(const std::wstring& line, std::size_t& at) {
    if (at >= line.size() || line[at] != L'"') return std::nullopt;
    std::wstring out;
    for (++at; at < line.size(); ++at) {
        if (line[at] == L'\\' && at + 1 < line.size()) {
            out += line[++at];
        } else if (line[at] == L'"') {
            ++at;
            return out;
        } else {
            out += line[at];
        }
    }
    return std::nullopt;
}

std::optional<std::vector<BYTE>> ParseHex(const std::wstring& text) {
    std::vector<BYTE> bytes;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == L',' || std::iswspace(text[at]))) ++at;
        if (at >= text.size()) break;
        wchar_t* end = nullptr;
        const unsigned long byte = std::wcstoul(text.c_str() + at, &end, 16);
        if (end == text.c_str() + at || byte > 0xFF) return std::nullopt;
        bytes.push_back(static_cast<BYTE>(byte));
        at = static_cast<std::size_t>(end - text.c_str());
    }
    return bytes;
}

bool WriteValueLine(RegistryKey& key, const std::wstring& line) {
    std::size_t at = 0;
    std::wstring name;
    if (line[0] == L'@') {
        at = 1;
    } else {
        auto quoted = ReadQuoted(line, at);
        if (!quoted) return false;
        name = std::move(*quoted);
    }
    if (at >= line.size() || line[at] != L'=') return false;
    const std::wstring data = line.substr(at + 1);
    if (data == L"-") return true;
    if (!data.empty() && data[0] == L'"') {
        std::size_t pos = 0;
        const auto text = ReadQuoted(data, pos);
        return text && key.SetString(name, *text) == ERROR_SUCCESS;
    }
    if (data.rfind(L"dword:", 0) == 0) {
        const DWORD number = static_cast<DWORD>(std::wcstoul(data.c_str() + 6, nullptr, 16));
        return key.SetDword(name, number) == ERROR_SUCCESS;
    }
    DWORD type = REG_BINARY;
    std::wstring hex;
    if (data.rfind(L"hex:", 0) == 0) {
        hex = data.substr(4);
    } else if (data.rfind(L"hex(", 0) == 0) {
        const auto close = data.find(L"):");
        if (close == std::wstring::npos) return false;
        type = static_cast<DWORD>(std::wcstoul(data.c_str() + 4, nullptr, 16));
        hex = data.substr(close + 2);
    } else {
        return false;
    }
    const auto bytes = ParseHex(hex);
    if (!bytes) return false;
    return key.SetValue(name, type, bytes->data(), static_cast<DWORD>(bytes->size())) == ERROR_SUCCESS;
}

}  // namespace

std::wstring RegRootName(HKEY root) {
    for (const auto& r : kRoots)
        if (r.root == root) return r.name;
    return {};
}

HKEY RegRootFromName(const std::wstring& name) noexcept {
    for (const auto& r : kRoots)
        if (_wcsicmp(r.name, name.c_str()) == 0) return r.root;
    return nullptr;
}

std::wstring RegValueLine(const std::wstring& name, const RegistryValue& value) {
    std::wstring line = name.empty() ? std::wstring(L"@") : Quoted(name);
    line += L'=';
    std::wstring text;
    if (QuotableString(value, text)) return line + Quoted(text);
    if (value.type == REG_DWORD && value.data.size() == 4) {
        wchar_t number[16];
        std::swprintf(number, 16, L"dword:%08lx", static_cast<unsigned long>(*value.AsDword()));
        return line + number;
    }
    if (value.type == REG_BINARY) return line + L"hex:" + HexBytes(value.data);
    wchar_t type[16];
    std::swprintf(type, 16, L"hex(%lx):", static_cast<unsigned long>(value.type));
    return line + type + HexBytes(value.data);
}

bool AppendKeyTreeExport(HKEY root, const std::wstring& path, RegistryView view, std::wstring& text) {
    RegistryKey key;
    if (key.Open(root, path, KEY_READ, view) != ERROR_SUCCESS) return false;
    AppendBlock(RegRootName(root) + L"\\" + path, key, text);
    for (const auto& child : key.SubKeyNames()) {
        const std::wstring childPath = path + L"\\" + child;
        if (IsRegistryLink(root, childPath, view)) continue;
        (void)AppendKeyTreeExport(root, childPath, view, text);
    }
    return true;
}

bool AppendValueExport(HKEY root, const std::wstring& path, const std::wstring& valueName, RegistryView view,
                       std::wstring& text) {
    RegistryKey key;
    if (key.Open(root, path, KEY_QUERY_VALUE, view) != ERROR_SUCCESS) return false;
    const auto value = key.QueryValue(valueName);
    if (!value) return false;
    text += L"[" + RegRootName(root) + L"\\" + path + L"]\r\n" + RegValueLine(valueName, *value) + L"\r\n\r\n";
    return true;
}

RegImportResult ImportRegText(const std::wstring& text, RegistryView view, bool keepExisting) {
    RegImportResult result;
    RegistryKey key;
    bool keyWanted = false;
    std::wstring line, pending, keyText;
    std::size_t at = 0;
    while (at <= text.size()) {
        const auto end = text.find(L'\n', at);
        line = text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at);
        at = end == std::wstring::npos ? text.size() + 1 : end + 1;
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!line.empty() && line[0] == 0xFEFF) line.erase(0, 1);
        // The registry editor wraps long hex data with a trailing backslash.
        if (!line.empty() && line.back() == L'\\' && line.find(L"=hex") != std::wstring::npos) {
            pending += line.substr(0, line.size() - 1);
            continue;
        }
        if (!pending.empty()) {
            std::size_t first = 0;
            while (first < line.size() && std::iswspace(line[first])) ++first;
            line = pending + line.substr(first);
            pending.clear();
        }
        if (line.empty() || line[0] == L';' || line == kRegFileHeader) continue;
        if (line[0] == L'[') {
            key.Close();
            keyWanted = false;
            if (line.size() < 3 || line.back() != L']' || line[1] == L'-') continue;
            const std::wstring full = line.substr(1, line.size() - 2);
            keyText = full;
            const auto slash = full.find(L'\\');
            const HKEY root = RegRootFromName(full.substr(0, slash));
            keyWanted = true;
            if (!root || slash == std::wstring::npos || key.Create(root, full.substr(slash + 1), KEY_READ | KEY_WRITE, view) != ERROR_SUCCESS) {
                ++result.failures;
                continue;
            }
            ++result.keys;
            continue;
        }
        if (line[0] != L'"' && line[0] != L'@') continue;
        if (!key.IsOpen()) {
            if (keyWanted) ++result.failures;
            continue;
        }
        if (keepExisting) {
            std::size_t at = 0;
            const auto name = line[0] == L'@' ? std::optional<std::wstring>(std::wstring()) : ReadQuoted(line, at);
            if (name && key.QueryValue(*name)) {
                result.kept.push_back(keyText + L" | " + (name->empty() ? std::wstring(L"Default") : *name));
                continue;
            }
        }
        if (WriteValueLine(key, line))
            ++result.values;
        else
            ++result.failures;
    }
    return result;
}

}  // namespace tarvo::platform
