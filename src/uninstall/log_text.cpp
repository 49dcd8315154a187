#include "uninstall/log_text.h"

#include "settings/text_file.h"

namespace tarvo::uninstall {

std::vector<std::wstring> DecodeLogText(const std::string& bytes) {
    return settings::SplitLines(settings::DecodeText(bytes));
}

std::string EncodeLogText(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const auto& line : lines) text += line + L"\r\n";
    return settings::EncodeUtf16Le(text);
}

}  // namespace tarvo::uninstall
