#include "settings/ext_ini_file.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/text.h"
#include "settings/number_text.h"
#include "settings/text_file.h"

namespace tarvo::settings {

namespace {

// The name part of a stored line; lines without "=" have none and match no key.
bool LineHasName(const std::wstring& line, const std::wstring& key) {
    const auto equals = line.find(L'=');
    return equals != std::wstring::npos && equals == key.size() &&
           platform::EqualsIgnoreCase(line.substr(0, equals), key);
}

}  // namespace

bool TExtIniFile::LoadFromFile(const std::wstring& path) {
    const auto text = ReadTextFile(path);
    if (!text) return false;
    LoadFromText(*text);
    return true;
}

void TExtIniFile::LoadFromText(const std::wstring& text) {
    sections_.clear();
    Section* current = nullptr;
    for (const auto& raw : SplitLines(text)) {
        const std::wstring line = Trim(raw);
        if (line.empty() || line[0] == L';') continue;
        if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
            current = &sections_.emplace_back(Section{Trim(line.substr(1, line.size() - 2)), {}});
            continue;
        }
        if (!current) continue;
        const auto equals = line.find(L'=');
        if (equals == std::wstring::npos)
            current->lines.push_back(line);
        else
            current->lines.push_back(Trim(line.substr(0, equals)) + L"=" + Trim(line.substr(equals + 1)));
    }
    RebuildIndex();
}

void TExtIniFile::RebuildIndex() {
    index_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i) index_.try_emplace(platform::UpperCase(sections_[i].name), i);
}

bool TExtIniFile::SaveToFile(const std::wstring& path) const { return WriteUtf16TextFile(path, SaveToText()); }

std::wstring TExtIniFile::SaveToText() const {
    std::wstring text;
    for (const auto& section : sections_) {
        text += L"[" + section.name + L"]\r\n";
        for (const auto& line : section.lines) text += line + L"\r\n";
        text += L"\r\n";
    }
    return text;
}

const TExtIniFile::Section* TExtIniFile::Find(const std::wstring& section) const {
    const auto found = index_.find(platform::UpperCase(section));
    return found == index_.end() ? nullptr : &sections_[found->second];
}

TExtIniFile::Section* TExtIniFile::Find(const std::wstring& section) {
    return const_cast<Section*>(std::as_const(*this).Find(section));
}

std::ptrdiff_t TExtIniFile::FindLine(const Section& section, const std::wstring& key) {
    for (std::size_t i = 0; i < section.lines.size(); ++i)
        if (LineHasName(section.lines[i], key)) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

std::wstring TExtIniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& fallback) const {
    const Section* found = Find(section);
    if (!found) return fallback;
    const auto line = FindLine(*found, key);
    if (line < 0) return fallback;
    return found->lines[static_cast<std::size_t>(line)].substr(key.size() + 1);
}

void TExtIniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    Section* found = Find(section);
    if (!found) {
        found = &sections_.emplace_back(Section{section, {}});
        index_.try_emplace(platform::UpperCase(section), sections_.size() - 1);
    }
    const auto line = FindLine(*found, key);
    if (line < 0)
        found->lines.push_back(key + L"=" + value);
    else
        found->lines[static_cast<std::size_t>(line)] = key + L"=" + value;
}

int TExtIniFile::ReadInteger(const std::wstring& section, const std::wstring& key, int fallback) const {
    const auto value = ParseInteger(ReadString(section, key, {}));
    return value && *value >= INT_MIN && *value <= INT_MAX ? static_cast<int>(*value) : fallback;
}

void TExtIniFile::WriteInteger(const std::wstring& section, const std::wstring& key, int value) {
    WriteString(section, key, std::to_wstring(value));
}

long long TExtIniFile::ReadInt64(const std::wstring& section, const std::wstring& key, long long fallback) const {
    return ParseInteger(ReadString(section, key, {})).value_or(fallback);
}

void TExtIniFile::WriteInt64(const std::wstring& section, const std::wstring& key, long long value) {
    WriteString(section, key, std::to_wstring(value));
}

double TExtIniFile::ReadFloat(const std::wstring& section, const std::wstring& key, double fallback) const {
    return ParseFloat(ReadString(section, key, {}), Separator()).value_or(fallback);
}

void TExtIniFile::WriteFloat(const std::wstring& section, const std::wstring& key, double value) {
    WriteString(section, key, FormatFloat(value, Separator()));
}

bool TExtIniFile::SectionExists(const std::wstring& section) const { return Find(section) != nullptr; }

bool TExtIniFile::ValueExists(const std::wstring& section, const std::wstring& key) const {
    const Section* found = Find(section);
    return found && FindLine(*found, key) >= 0;
}

void TExtIniFile::DeleteKey(const std::wstring& section, const std::wstring& key) {
    Section* found = Find(section);
    if (!found) return;
    const auto line = FindLine(*found, key);
    if (line >= 0) found->lines.erase(found->lines.begin() + line);
}

void TExtIniFile::EraseSection(const std::wstring& section) {
    std::erase_if(sections_, [&](const Section& s) { return platform::EqualsIgnoreCase(s.name, section); });
    RebuildIndex();
}

std::vector<std::wstring> TExtIniFile::ReadSection(const std::wstring& section) const {
    std::vector<std::wstring> names;
    if (const Section* found = Find(section))
        for (const auto& line : found->lines)
            if (const auto equals = line.find(L'='); equals != std::wstring::npos) names.push_back(line.substr(0, equals));
    return names;
}

std::vector<std::wstring> TExtIniFile::ReadSections() const {
    std::vector<std::wstring> names;
    for (const auto& section : sections_)
        if (std::none_of(names.begin(), names.end(),
                         [&](const std::wstring& name) { return platform::EqualsIgnoreCase(name, section.name); }))
            names.push_back(section.name);
    return names;
}

std::vector<std::wstring> TExtIniFile::ReadSectionValues(const std::wstring& section) const {
    const Section* found = Find(section);
    return found ? found->lines : std::vector<std::wstring>{};
}

const std::wstring& TExtIniFile::Separator() const {
    if (decimalSeparator_.empty()) decimalSeparator_ = platform::DecimalSeparator();
    return decimalSeparator_;
}

}  // namespace tarvo::settings
