#include "addons/browser_file.h"

#include <utility>

#include "addons/json_format.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tarvo::addons {

bool ReplaceFileContent(const std::wstring& path, const std::string& bytes) noexcept {
    const std::wstring fresh = path + L".tarvo-new";
    bool written = false;
    {
        const auto file = platform::CreateFileOf(fresh, GENERIC_WRITE, 0, CREATE_ALWAYS);
        if (!file) return false;
        written = platform::WriteFileBytesAt(file, bytes.data(), bytes.size()) && platform::FlushFile(file);
    }
    if (written && platform::MoveFileReplacing(fresh, path)) return true;
    (void)platform::DeleteFileOf(fresh);
    return false;
}

bool ReplaceFileWithRetries(const std::wstring& path, const std::string& bytes, const WriteRetries& retries) {
    for (int attempt = 0; attempt < retries.attempts; ++attempt) {
        if (attempt > 0 && retries.sleep) retries.sleep(retries.waitMilliseconds);
        if (ReplaceFileContent(path, bytes)) return true;
    }
    return false;
}

std::optional<std::string> ReadJsonFileText(const std::wstring& path) {
    auto bytes = platform::ReadFileBytes(path);
    if (!bytes) return std::nullopt;
    return JsonTextFromBytes(std::move(*bytes));
}

std::string JsonTextFromBytes(std::string text) {
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0) return text.substr(3);
    const bool little = text.size() >= 2 && text[0] == '\xFF' && text[1] == '\xFE';
    const bool big = text.size() >= 2 && text[0] == '\xFE' && text[1] == '\xFF';
    if (little || big) {
        std::wstring wide;
        wide.reserve((text.size() - 2) / 2);
        for (std::size_t i = 2; i + 1 < text.size(); i += 2) {
            const auto first = static_cast<unsigned char>(text[i]), second = static_cast<unsigned char>(text[i + 1]);
            wide.push_back(static_cast<wchar_t>(little ? first | (second << 8) : (first << 8) | second));
        }
        return platform::Utf8FromWide(wide);
    }
    return text;
}

std::optional<Json> ReadJsonObject(const std::wstring& path) {
    if (!platform::FileExists(path)) return std::nullopt;
    const auto text = ReadJsonFileText(path);
    if (!text) return std::nullopt;
    if (!JsonDepthWithin(*text)) return std::nullopt;
    Json document = Json::parse(*text, nullptr, false);
    if (document.is_discarded() || !document.is_object()) return std::nullopt;
    return document;
}

bool IsUtf8(std::string_view bytes) noexcept {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t follow = 0;
        if (lead < 0x80) follow = 0;
        else if (lead >= 0xC2 && lead <= 0xDF) follow = 1;
        else if (lead >= 0xE0 && lead <= 0xEF) follow = 2;
        else if (lead >= 0xF0 && lead <= 0xF4) follow = 3;
        else return false;
        if (i + follow >= bytes.size() && follow > 0) return false;
        for (std::size_t k = 1; k <= follow; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += follow + 1;
    }
    return true;
}

}  // namespace tarvo::addons
