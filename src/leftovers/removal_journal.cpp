#include "leftovers/removal_journal.h"

#include <algorithm>
#include <cwchar>
#include <initializer_list>

#include "platform/file_stream.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/registry_export.h"

namespace tarvo::leftovers {

std::string Utf16Bytes(const std::wstring& text, bool withMark) {
    std::string bytes = withMark ? std::string("\xFF\xFE") : std::string();
    for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

namespace {

constexpr wchar_t kManifestFile[] = L"manifest.txt";

std::wstring TextOfUtf16(const std::string& bytes) {
    std::wstring text;
    std::size_t at = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' ? 2 : 0;
    for (; at + 1 < bytes.size(); at += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[at]) |
                                     (static_cast<unsigned char>(bytes[at + 1]) << 8));
    return text;
}

// Appends and flushes: when this returns true the bytes survive a power cut. A new file
// starts with the byte-order mark.
bool AppendDurably(const std::wstring& path, const std::wstring& text) {
    const bool fresh = platform::GetFileAttributesOf(path) == INVALID_FILE_ATTRIBUTES;
    platform::FileStream file;
    if (!file.OpenAppend(path)) return false;
    const std::string bytes = Utf16Bytes(text, fresh);
    return file.Write(bytes.data(), bytes.size()) && file.Flush();
}

// Registry names may hold any character but the backslash: a tab or line break in one
// must not make a plan line name another key.
std::wstring Escape(const std::wstring& field) {
    std::wstring out;
    for (const wchar_t c : field) {
        switch (c) {
            case L'%': out += L"%25"; break;
            case L'\t': out += L"%09"; break;
            case L'\n': out += L"%0A"; break;
            case L'\r': out += L"%0D"; break;
            default: out += c;
        }
    }
    return out;
}

std::wstring Unescape(const std::wstring& field) {
    std::wstring out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == L'%' && i + 2 < field.size()) {
            const std::wstring code = field.substr(i + 1, 2);
            const wchar_t c = code == L"25" ? L'%' : code == L"09" ? L'\t' : code == L"0A" ? L'\n' : code == L"0D" ? L'\r' : 0;
            if (c != 0) {
                out += c;
                i += 2;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<std::wstring> Fields(const std::wstring& line) {
    std::vector<std::wstring> parts;
    std::size_t at = 0;
    for (;;) {
        const auto next = line.find(L'\t', at);
        parts.push_back(Unescape(line.substr(at, next == std::wstring::npos ? std::wstring::npos : next - at)));
        if (next == std::wstring::npos) return parts;
        at = next + 1;
    }
}

// Only lines that end in a line break: a line cut off by the crash is not read.
std::vector<std::wstring> CompleteLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find(L'\n', at)) != std::wstring::npos; at = end + 1) {
        std::wstring line = text.substr(at, end - at);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

std::wstring Join(std::initializer_list<std::wstring> fields) {
    std::wstring line;
    for (const auto& field : fields) {
        if (&field != fields.begin()) line += L'\t';
        line += Escape(field);
    }
    return line;
}

std::wstring Hex(DWORD value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%lX", static_cast<unsigned long>(value));
    return text;
}

bool ProcessRunning(DWORD id) {
    if (id == 0) return false;
    if (id == ::GetCurrentProcessId()) return true;
    const platform::unique_handle process = platform::OpenProcessOf(id, SYNCHRONIZE);
    return process && ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// A file or folder still there in the kind it was planned as, and no link unless it was one.
bool SameShape(const std::wstring& path, DWORD planned) {
    const DWORD now = platform::GetFileAttributesOf(path);
    if (now == INVALID_FILE_ATTRIBUTES) return false;
    if ((now & FILE_ATTRIBUTE_DIRECTORY) != (planned & FILE_ATTRIBUTE_DIRECTORY)) return false;
    return platform::IsReparsePoint(now) == platform::IsReparsePoint(planned);
}

std::unique_ptr<TTreeNode> Node(TNodeKind kind, const std::wstring& name) {
    auto node = std::make_unique<TTreeNode>();
    node->Caption = name;
    node->StateImage = kStateTicked;
    node->Data.NodeKind = kind;
    node->Data.ValueName = kind == nkItem ? std::wstring() : name;
    return node;
}

}  // namespace

bool TRemovalJournal::Start(const std::wstring& folder, const std::wstring& manifestHeader) {
    if (!AppendDurably(folder + L"\\" + kUnfinishedMarker, std::to_wstring(::GetCurrentProcessId()) + L"\r\n"))
        return false;
    if (!manifest_.OpenAppend(folder + L"\\" + kManifestFile)) return false;
    const std::string header = Utf16Bytes(manifestHeader + L"\r\n", true);
    if (!manifest_.Write(header.data(), header.size()) || !manifest_.Flush()) {
        manifest_.Close();
        return false;
    }
    folder_ = folder;
    return true;
}

bool TRemovalJournal::Record(const std::wstring& line) {
    if (!Started()) return false;
    const std::string bytes = Utf16Bytes(line + L"\r\n", false);
    return manifest_.Write(bytes.data(), bytes.size()) && manifest_.Flush();
}

bool TRemovalJournal::RecordRegistry(bool view64, const std::wstring& exportText) {
    if (!Started()) return false;
    const wchar_t* name = view64 ? L"registry64.reg" : L"registry32.reg";
    bool& named = view64 ? registry64_ : registry32_;
    const std::wstring path = folder_ + L"\\" + name;
    if (!named) {
        if (!AppendDurably(path, std::wstring(platform::kRegFileHeader) + L"\r\n\r\n")) return false;
        if (!Record(std::wstring(L"registry\t") + name + (view64 ? L"\t64" : L"\t32"))) return false;
        named = true;
    }
    return AppendDurably(path, exportText);
}

bool TRemovalJournal::RecordPlan(const std::vector<std::wstring>& lines) {
    if (!Started()) return false;
    std::wstring text;
    for (const auto& line : lines) text += line + L"\r\n";
    return AppendDurably(folder_ + L"\\" + kPlanFile, text);
}

void TRemovalJournal::Close() {
    manifest_.Close();
    if (Started()) (void)platform::DeleteFileOf(folder_ + L"\\" + kUnfinishedMarker);
    folder_.clear();
}

std::vector<std::wstring> PlanOf(const TResultTree& tree) {
    std::vector<std::wstring> lines;
    for (const auto& keep : tree.KeepFolders) lines.push_back(Join({L"keep", keep}));
    for (const auto& program : tree.Programs) {
        if (program->StateImage == kStateUnticked) continue;
        lines.push_back(Join({L"program", program->Data.ValueName}));
        for (const auto& group : program->Children) {
            for (const auto& item : group->Children) {
                if (item->StateImage != kStateTicked) continue;
                const TMyTreeData& d = item->Data;
                if (d.ItemKind == FindingKind::Registry) {
                    const std::wstring key = platform::RegRootName(d.RootKey) + L"\\" + platform::RelativeKeyPath(d.KeyPath);
                    const std::wstring view = d.View64 ? L"64" : L"32";
                    if (IsValueItem(d))
                        lines.push_back(Join({L"value", view, key, d.ValueName, d.ValueData}));
                    else
                        lines.push_back(Join({L"key", view, key}));
                } else {
                    lines.push_back(Join({d.FileKind == PathKind::File ? L"file" : L"folder", d.FilePath,
                                          Hex(platform::GetFileAttributesOf(d.FilePath))}));
                }
            }
        }
    }
    return lines;
}

bool IsUnfinishedRemoval(const std::wstring& backupFolder) {
    const auto marker = platform::ReadFileBytes(backupFolder + L"\\" + kUnfinishedMarker);
    if (!marker) return false;
    const std::wstring text = TextOfUtf16(*marker);
    const DWORD id = static_cast<DWORD>(std::wcstoul(text.c_str(), nullptr, 10));
    return !ProcessRunning(id);
}

std::vector<std::wstring> FindUnfinishedRemovals(const std::wstring& backupRoot) {
    std::vector<std::wstring> found;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    if (!finder.FindFirst(backupRoot + L"\\*", data)) return found;
    do {
        if (platform::IsDotName(data.cFileName) || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            platform::IsReparsePoint(data.dwFileAttributes))
            continue;
        const std::wstring folder = backupRoot + L"\\" + data.cFileName;
        if (IsUnfinishedRemoval(folder)) found.push_back(folder);
    } while (finder.FindNext(data));
    std::sort(found.begin(), found.end());  // named for their times
    return found;
}

TResultTree TreeOfRemainingPlan(const std::wstring& backupFolder) {
    TResultTree tree;
    const auto bytes = platform::ReadFileBytes(backupFolder + L"\\" + kPlanFile);
    if (!bytes) return tree;
    std::wstring programName;
    auto registry = Node(nkRegistryGroup, L"Registry");
    auto files = Node(nkFileGroup, L"Files");
    for (const auto& line : CompleteLines(TextOfUtf16(*bytes))) {
        const auto f = Fields(line);
        if (f.size() == 2 && f[0] == L"keep") {
            tree.KeepFolders.push_back(f[1]);
        } else if (f.size() == 2 && f[0] == L"program") {
            programName += (programName.empty() ? L"" : L", ") + f[1];
        } else if ((f.size() == 3 && f[0] == L"key") || (f.size() == 5 && f[0] == L"value")) {
            const std::size_t slash = f[2].find(L'\\');
            if (slash == std::wstring::npos) continue;
            const HKEY root = platform::RegRootFromName(f[2].substr(0, slash));
            const std::wstring path = f[2].substr(slash + 1);
            if (!root || path.empty()) continue;
            const bool view64 = f[1] == L"64";
            const auto location = platform::RegistryLocation::FromRoot(root, path, view64);
            auto item = Node(nkItem, {});
            item->Data.ItemKind = FindingKind::Registry;
            item->Data.RootKey = root;
            item->Data.KeyPath = path;
            item->Data.View64 = view64;
            if (f[0] == L"value") {
                if (!platform::ValueExists(location, f[3])) continue;
                item->Data.ValueName = f[3];
                item->Data.ValueData = f[4];
                item->Caption = f[2] + L" | " + f[3];
            } else {
                if (!platform::RegKeyExists(root, path, platform::ViewOf(view64))) continue;
                item->Caption = f[2];
            }
            registry->Children.push_back(std::move(item));
        } else if (f.size() == 3 && (f[0] == L"file" || f[0] == L"folder")) {
            const DWORD planned = static_cast<DWORD>(std::wcstoul(f[2].c_str(), nullptr, 16));
            if (planned == INVALID_FILE_ATTRIBUTES || !SameShape(f[1], planned)) continue;
            auto item = Node(nkItem, {});
            item->Data.ItemKind = FindingKind::File;
            item->Data.FilePath = f[1];
            item->Data.FileKind = f[0] == L"file" ? PathKind::File : PathKind::Folder;
            item->Caption = f[1];
            files->Children.push_back(std::move(item));
        }
    }
    if (registry->Children.empty() && files->Children.empty()) return tree;
    auto program = Node(nkProgram, programName);
    if (!registry->Children.empty()) program->Children.push_back(std::move(registry));
    if (!files->Children.empty()) program->Children.push_back(std::move(files));
    tree.Programs.push_back(std::move(program));
    return tree;
}

void SettleUnfinished(const std::wstring& backupFolder) {
    (void)platform::DeleteFileOf(backupFolder + L"\\" + kUnfinishedMarker);
}

}  // namespace tarvo::leftovers
