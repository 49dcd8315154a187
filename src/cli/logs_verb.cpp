#include "cli/logs_verb.h"

#include "settings/app_frame.h"
#include "uninstall/log_listing.h"
#include "uninstall/operation_log.h"

namespace tarvo::cli {

int RunLogsVerb(std::span<const std::wstring> args, CliOutput& out) {
    if (args.size() > 1) return kExitUsage;
    const std::wstring folder = args.empty() ? uninstall::LogFolderOf(settings::DataFolder()) : args[0];
    for (const auto& line : uninstall::FormatLogListing(uninstall::ListLogFiles(folder))) {
        out.Out(line);
        out.Out(L"\r\n");
    }
    return kExitOk;
}

}  // namespace tarvo::cli
