#include "platform/sqlite_library.h"

#include "platform/library.h"

namespace tarvo::platform {

namespace {
// Binds one entry point; counts a miss so Load can refuse a library that lacks any.
template <typename Function>
void Bind(HMODULE module, const char* name, Function& target, bool& complete) noexcept {
    target = GetProcAddressOf<Function>(module, name);
    if (!target) complete = false;
}
}  // namespace

bool SqliteLibrary::Load(const std::wstring& path) noexcept {
    Unload();
    unique_hmodule module = LoadLibraryOf(path);
    if (!module) return false;
    const HMODULE m = module.get();
    bool complete = true;
    Bind(m, "sqlite3_libversion", libversion, complete);
    Bind(m, "sqlite3_open16", open16, complete);
    Bind(m, "sqlite3_open_v2", open_v2, complete);
    Bind(m, "sqlite3_close", close, complete);
    Bind(m, "sqlite3_exec", exec, complete);
    Bind(m, "sqlite3_free", free, complete);
    Bind(m, "sqlite3_errmsg", errmsg, complete);
    Bind(m, "sqlite3_errmsg16", errmsg16, complete);
    Bind(m, "sqlite3_busy_timeout", busy_timeout, complete);
    Bind(m, "sqlite3_changes", changes, complete);
    Bind(m, "sqlite3_prepare_v2", prepare_v2, complete);
    Bind(m, "sqlite3_prepare16_v2", prepare16_v2, complete);
    Bind(m, "sqlite3_step", step, complete);
    Bind(m, "sqlite3_reset", reset, complete);
    Bind(m, "sqlite3_finalize", finalize, complete);
    Bind(m, "sqlite3_bind_int", bind_int, complete);
    Bind(m, "sqlite3_bind_int64", bind_int64, complete);
    Bind(m, "sqlite3_bind_text16", bind_text16, complete);
    Bind(m, "sqlite3_column_count", column_count, complete);
    Bind(m, "sqlite3_column_type", column_type, complete);
    Bind(m, "sqlite3_column_name16", column_name16, complete);
    Bind(m, "sqlite3_column_int", column_int, complete);
    Bind(m, "sqlite3_column_int64", column_int64, complete);
    Bind(m, "sqlite3_column_double", column_double, complete);
    Bind(m, "sqlite3_column_text", column_text, complete);
    Bind(m, "sqlite3_column_text16", column_text16, complete);
    Bind(m, "sqlite3_column_blob", column_blob, complete);
    Bind(m, "sqlite3_column_bytes", column_bytes, complete);
    Bind(m, "sqlite3_column_bytes16", column_bytes16, complete);
    if (!complete) {
        // Half-bound pointers into a library about to be freed must not survive.
        *this = {};
        return false;
    }
    module_ = std::move(module);
    return true;
}

void SqliteLibrary::Unload() noexcept { *this = {}; }

std::wstring SqliteLibrary::ColumnText(sqlite3_stmt* statement, int column) const {
    if (!column_text16) return {};
    const auto* text = static_cast<const wchar_t*>(column_text16(statement, column));
    if (!text) return {};
    const int bytes = column_bytes16(statement, column);
    return std::wstring(text, static_cast<std::size_t>(bytes > 0 ? bytes : 0) / sizeof(wchar_t));
}

}  // namespace tarvo::platform
