#pragma once
// SQLite 3 reached through sqlite3.dll loaded at run time: any build of the library serves,
// and a missing or incomplete one leaves the program running without it.

#include <cstdint>
#include <string>

#include "platform/unique_handle.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tarvo::platform {

class SqliteLibrary {
public:
    static constexpr int kOk = 0;
    static constexpr int kRow = 100;
    static constexpr int kDone = 101;
    static constexpr int kOpenReadOnly = 0x00000001;
    static constexpr int kOpenReadWrite = 0x00000002;
    static constexpr int kOpenCreate = 0x00000004;

    using Callback = int (*)(void*, int, char**, char**);

    // Loads the library from a full path and binds every entry point below. False, and
    // nothing loaded, when the file does not load or lacks any of them.
    [[nodiscard]] bool Load(const std::wstring& path) noexcept;
    void Unload() noexcept;
    [[nodiscard]] bool IsLoaded() const noexcept { return module_.is_valid(); }

    // The library's own entry points, bound by name; null until Load succeeds.
    const char* (*libversion)() = nullptr;
    int (*open16)(const void* fileName, sqlite3** db) = nullptr;
    int (*open_v2)(const char* fileName, sqlite3** db, int flags, const char* vfs) = nullptr;
    int (*close)(sqlite3* db) = nullptr;
    int (*exec)(sqlite3* db, const char* sql, Callback callback, void* context, char** errorMessage) = nullptr;
    void (*free)(void* memory) = nullptr;
    const char* (*errmsg)(sqlite3* db) = nullptr;
    const void* (*errmsg16)(sqlite3* db) = nullptr;
    int (*busy_timeout)(sqlite3* db, int milliseconds) = nullptr;
    int (*changes)(sqlite3* db) = nullptr;
    int (*prepare_v2)(sqlite3* db, const char* sql, int bytes, sqlite3_stmt** statement, const char** tail) = nullptr;
    int (*prepare16_v2)(sqlite3* db, const void* sql, int bytes, sqlite3_stmt** statement, const void** tail) = nullptr;
    int (*step)(sqlite3_stmt* statement) = nullptr;
    int (*reset)(sqlite3_stmt* statement) = nullptr;
    int (*finalize)(sqlite3_stmt* statement) = nullptr;
    int (*bind_int)(sqlite3_stmt* statement, int index, int value) = nullptr;
    int (*bind_int64)(sqlite3_stmt* statement, int index, std::int64_t value) = nullptr;
    int (*bind_text16)(sqlite3_stmt* statement, int index, const void* text, int bytes, void (*destructor)(void*)) = nullptr;
    int (*column_count)(sqlite3_stmt* statement) = nullptr;
    int (*column_type)(sqlite3_stmt* statement, int column) = nullptr;
    const void* (*column_name16)(sqlite3_stmt* statement, int column) = nullptr;
    int (*column_int)(sqlite3_stmt* statement, int column) = nullptr;
    std::int64_t (*column_int64)(sqlite3_stmt* statement, int column) = nullptr;
    double (*column_double)(sqlite3_stmt* statement, int column) = nullptr;
    const unsigned char* (*column_text)(sqlite3_stmt* statement, int column) = nullptr;
    const void* (*column_text16)(sqlite3_stmt* statement, int column) = nullptr;
    const void* (*column_blob)(sqlite3_stmt* statement, int column) = nullptr;
    int (*column_bytes)(sqlite3_stmt* statement, int column) = nullptr;
    int (*column_bytes16)(sqlite3_stmt* statement, int column) = nullptr;

    // A text column as UTF-16; empty for NULL.
    [[nodiscard]] std::wstring ColumnText(sqlite3_stmt* statement, int column) const;

private:
    unique_hmodule module_;
};

}  // namespace tarvo::platform
