#include "leftovers/removal.h"

#include <cmath>

#include "leftovers/value_text.h"
#include "platform/registry.h"
#include "language/language.h"
#include "leftovers/scan_guard.h"
#include "leftovers/tick_tree.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "uninstall/log_lines.h"

namespace tarvo::leftovers {

namespace {

using language::GetText;
using uninstall::CaptionBeforeCount;
using uninstall::RemovalItemLine;
using uninstall::RemovalLogItem;

std::wstring RegistryText(const TMyTreeData& d) {
    return RegistryItemText(d.RootKey, d.KeyPath, d.ValueName, d.ValueData);
}

std::wstring FailedLine(const std::wstring& text) {
    return GetText(L"Removal_Failed_M", L"Could not be deleted:") + L" " + text;
}

std::wstring SkippedLine(const std::wstring& text, const std::wstring& reason) {
    return GetText(L"Removal_Skipped_M", L"Left alone, changed since the scan:") + L" " + text + L" (" + reason + L")";
}

bool Exists(const std::wstring& path) { return platform::GetFileAttributesOf(path) != INVALID_FILE_ATTRIBUTES; }

void RemoveChild(TTreeNode* parent, TResultTree& tree, const TTreeNode* node) {
    auto& siblings = parent ? parent->Children : tree.Programs;
    for (auto it = siblings.begin(); it != siblings.end(); ++it)
        if (it->get() == node) {
            siblings.erase(it);
            return;
        }
}

// Parents follow their children: all ticked, all unticked, or partly.
int RecomputeState(TTreeNode& node) {
    if (node.Children.empty()) return node.StateImage;
    bool ticked = false, unticked = false;
    for (auto& child : node.Children) {
        const int state = RecomputeState(*child);
        ticked |= state != kStateUnticked;
        unticked |= state != kStateTicked;
    }
    node.StateImage = ticked && unticked ? kStatePartlyTicked : (ticked ? kStateTicked : kStateUnticked);
    return node.StateImage;
}

}  // namespace

void ScheduleDeleteAtRestart(const std::wstring& path) { (void)platform::DeleteFileAtRestart(path); }

TRemovalActions DefaultRemovalActions(const uninstall::LogContext& log) {
    TRemovalActions a;
    a.deleteValue = [](const platform::RegistryLocation& key, const std::wstring& value) {
        return platform::DeleteValue(key, value);
    };
    a.deleteKey = [](const platform::RegistryLocation& key) {
        if (key.path.empty()) return false;
        const LONG rc = platform::DeleteKeyTreeNoLinks(key.root, key.path, key.view);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    };
    a.deleteFile = [](const std::wstring& path) { return platform::DeleteFileOf(path); };
    a.removeFolder = [](const std::wstring& path) { return platform::RemoveDirectoryOf(path); };
    a.scheduleDeleteAtRestart = &ScheduleDeleteAtRestart;
    a.canOpenForWriting = &CanOpenForWriting;
    a.shredFile = [](const std::wstring& path, const std::function<bool()>& cancel) {
        TShredOptions options;
        options.cancelRequested = cancel;
        options.pump = platform::PumpWaitingMessages;
        return ShredFile(path, ProgramPatternGenerator(), options);
    };
    a.writeLog = [log](const std::vector<std::wstring>& lines) { (void)uninstall::WriteRemovalLog(log, lines); };
    a.now = [] { return platform::LocalTimeNow(); };
    a.systemStep = &RemoveThroughSystem;
    return a;
}

TLeftoverRemoval::TLeftoverRemoval(TResultTree& tree, TRemovalActions actions, TGuardProbes probes)
    : tree_(tree), actions_(std::move(actions)), guard_(std::move(probes)), shells_(tree.KeepFolders) {
    for (const auto& f : FlattenTree(tree_)) guard_.Remember(f.node->Data);
}

bool TLeftoverRemoval::Cancelled(const TRemovalRun& run) const { return run.cancelRequested && run.cancelRequested(); }

void TLeftoverRemoval::MarkForRestart(TTreeNode& node) {
    if (node.Data.RebootMarked) return;
    node.Data.RebootMarked = true;
    node.Caption = GetText(L"Reboot_to_Delete_M", L"(Reboot to Delete)") + L" " + node.Caption;
}

void TLeftoverRemoval::RemoveFileItem(TTreeNode& item, const TRemovalRun& run, TRemovalOutcome& outcome) {
    auto& d = item.Data;
    const std::wstring& path = d.FilePath;
    const DWORD attributes = platform::GetFileAttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        d.DeletedNow = true;  // already gone: nothing to do at restart
    } else if (platform::IsReparsePoint(attributes)) {
        // A link found as such by the scan: the link goes, what it points at is never
        // opened, so never overwritten or moved.
        d.DeletedNow = actions_.deleteFile(path);
    } else if (run.shred) {
        if (actions_.canOpenForWriting(path)) {
            const TShredResult result = actions_.shredFile(path, run.cancelRequested);
            // The item counts as deleted only when it is: a file that came back into use
            // between the passes waits for the restart like any other.
            d.DeletedNow = result == TShredResult::Deleted;
            if (result == TShredResult::NotDeleted) actions_.scheduleDeleteAtRestart(path);
        } else {
            actions_.scheduleDeleteAtRestart(path);
            d.DeletedNow = false;
        }
    } else if (run.backup) {
        const TFileBackup backup = run.backup->TakeFile(path);
        d.DeletedNow = backup == TFileBackup::Moved;
        if (backup == TFileBackup::Failed && actions_.deleteFile(path)) {
            d.DeletedNow = true;
        } else if (!d.DeletedNow) {
            actions_.scheduleDeleteAtRestart(path);
        }
    } else {
        d.DeletedNow = actions_.deleteFile(path);
        if (!d.DeletedNow) actions_.scheduleDeleteAtRestart(path);
    }
    if (d.DeletedNow) {
        ++outcome.removed;
        shells_.RemovedPath(path);
    } else if (Exists(path))
        ++outcome.scheduled;
}

void TLeftoverRemoval::FirstPassItem(TTreeNode& item, const TRemovalRun& run, TRemovalOutcome& outcome) {
    auto& d = item.Data;
    auto& lines = outcome.logLines;
    const bool registry = d.ItemKind == FindingKind::Registry;
    const std::wstring text = registry ? RegistryText(d) : d.FilePath;
    // Whatever a rule reported, a key other programs share goes only value by value.
    if (registry && !IsValueItem(d) && IsProtectedKey(d.RootKey, d.KeyPath)) {
        skipped_.insert(&item);
        ++outcome.skipped;
        lines.push_back(GetText(L"Removal_Shared_M", L"Left alone, a key other programs share:") + L" " + text);
        return;
    }
    if (const std::wstring refusal = guard_.Refusal(d); !refusal.empty()) {
        skipped_.insert(&item);
        ++outcome.skipped;
        lines.push_back(SkippedLine(text, refusal));
        return;
    }
    // After the backup has what the item was, before the plain deletion.
    const auto systemStep = [&] {
        TSystemStep step = actions_.systemStep ? actions_.systemStep(d) : TSystemStep{};
        if (!step.notice.empty()) {
            lines.push_back(step.notice);
            outcome.notices.push_back(step.notice);
        }
        return step;
    };
    if (registry) {
        bool deleted;
        const platform::RegistryLocation key = d.Location();
        // Nothing goes that its backup does not hold on the disk.
        if (run.backup && !(IsValueItem(d) ? run.backup->SaveValue(key, d.ValueName) : run.backup->SaveKey(key))) {
            skipped_.insert(&item);
            ++outcome.skipped;
            lines.push_back(GetText(L"Removal_NoBackup_M", L"Left alone, its backup could not be written:") + L" " + text);
            return;
        }
        if (IsValueItem(d)) {
            const TSystemStep step = systemStep();
            deleted = step.handled ? step.removed : actions_.deleteValue(key, d.ValueName);
        } else {
            const TSystemStep step = systemStep();
            deleted = step.handled ? step.removed : actions_.deleteKey(key);
        }
        lines.push_back(RemovalItemLine(RemovalLogItem::Registry(text, d.ValueName)));
        if (deleted) {
            ++outcome.removed;
            shells_.RemovedRegistry(key, IsValueItem(d));
        } else {
            ++outcome.failed;
            lines.push_back(FailedLine(text));
        }
        return;
    }
    if (d.FileKind == PathKind::File) {
        (void)systemStep();
        RemoveFileItem(item, run, outcome);
        lines.push_back(RemovalItemLine(RemovalLogItem::File(d.FilePath)));
    } else {
        if (run.backup) run.backup->NoteFolder(d.FilePath);
        lines.push_back(RemovalItemLine(RemovalLogItem::Folder(d.FilePath)));
    }
}

void TLeftoverRemoval::SecondPass(const TRemovalRun& run, IRemovalProgress& progress, TRemovalOutcome& outcome) {
    const auto flat = FlattenTree(tree_);
    for (auto it = flat.rbegin(); it != flat.rend(); ++it) {
        progress.Pump();
        if (Cancelled(run)) {
            outcome.cancelled = true;
            break;
        }
        TTreeNode& node = *it->node;
        if (skipped_.count(&node)) {
            node.StateImage = kStateUnticked;
            outcome.somethingUnticked = true;
            continue;
        }
        if (node.StateImage != kStateTicked) {
            outcome.somethingUnticked = true;
            continue;
        }
        auto& d = node.Data;
        if (d.NodeKind != nkItem) {
            if (node.Children.empty()) RemoveChild(it->parent, tree_, &node);
        } else if (d.ItemKind == FindingKind::Registry) {
            RemoveChild(it->parent, tree_, &node);
        } else if (d.FileKind == PathKind::File) {
            if (d.DeletedNow)
                RemoveChild(it->parent, tree_, &node);
            else
                MarkForRestart(node);
        } else if (actions_.removeFolder(d.FilePath) || !Exists(d.FilePath)) {
            ++outcome.removed;
            shells_.RemovedPath(d.FilePath);
            RemoveChild(it->parent, tree_, &node);
        } else if (!d.RebootMarked) {
            actions_.scheduleDeleteAtRestart(d.FilePath);
            ++outcome.scheduled;
            MarkForRestart(node);
        }
    }
    skipped_.clear();
    for (auto& program : tree_.Programs) (void)RecomputeState(*program);
}

TRemovalOutcome TLeftoverRemoval::RemoveTicked(const TRemovalRun& run, IRemovalProgress& progress) {
    TRemovalOutcome outcome;
    auto& lines = outcome.logLines;
    const auto total = static_cast<double>(FlattenTree(tree_).size());
    int step = 0;
    const auto advance = [&] {
        progress.SetProgress(static_cast<int>(std::lround(step / total * 100.0)));
        ++step;
    };
    const SYSTEMTIME now = actions_.now ? actions_.now() : platform::LocalTimeNow();
    if (run.backup) run.backup->Plan(PlanOf(tree_));
    bool stop = false;
    for (auto& program : tree_.Programs) {
        if (stop) break;
        lines.push_back(L"[" + CaptionBeforeCount(program->Caption) + L"]");
        if (run.backup && program->StateImage != kStateUnticked) {
            // The list of backups names the program without the blank before its count.
            std::wstring name = CaptionBeforeCount(program->Caption);
            while (!name.empty() && name.back() == L' ') name.pop_back();
            run.backup->NoteProgram(name);
        }
        lines.push_back(GetText(L"Operation_M", L"Operation") + L": " + GetText(L"Powerful_Scan_M", L"Powerful Scan"));
        lines.push_back(GetText(L"Date_M", L"Date") + L": " + platform::FormatUserDateTime(now));
        advance();
        if ((stop = Cancelled(run))) break;
        for (auto& group : program->Children) {
            advance();
            lines.emplace_back();
            lines.push_back(L"------" + CaptionBeforeCount(group->Caption) + L"------");
            if ((stop = Cancelled(run))) break;
            for (auto& item : group->Children) {
                progress.Pump();
                advance();
                if ((stop = Cancelled(run))) break;
                if (item->StateImage != kStateTicked) continue;
                progress.ShowCurrentItem(item->Data.ItemKind == FindingKind::Registry ? RegistryText(item->Data)
                                                                                   : item->Data.FilePath);
                progress.Pump();
                FirstPassItem(*item, run, outcome);
            }
            if (stop) break;
        }
    }
    outcome.cancelled = stop;
    SecondPass(run, progress, outcome);
    if (!outcome.cancelled) RemoveEmptyShells(run, outcome);
    if (run.backup) (void)run.backup->Finish();
    if (actions_.writeLog) actions_.writeLog(lines);
    RecountCaptions(tree_);
    return outcome;
}

void TLeftoverRemoval::RemoveEmptyShells(const TRemovalRun& run, TRemovalOutcome& outcome) {
    TEmptyShells::Actions actions;
    actions.removeFolder = actions_.removeFolder;
    actions.deleteKey = [this](const TEmptyShells::Key& key) { return actions_.deleteKey(key); };
    if (run.backup) {
        actions.beforeFolder = [&](const std::wstring& folder) { run.backup->NoteFolder(folder); };
        actions.beforeKey = [&](const TEmptyShells::Key& key) { (void)run.backup->SaveKey(key); };
    }
    const TEmptyShells::Removed removed = shells_.Remove(actions);
    for (const auto& folder : removed.folders)
        outcome.logLines.push_back(RemovalItemLine(RemovalLogItem::Folder(folder)));
    for (const auto& key : removed.keys)
        outcome.logLines.push_back(
            RemovalItemLine(RemovalLogItem::Registry(RegistryItemText(key.root, key.path, {}, {}), {})));
    outcome.removed += static_cast<int>(removed.folders.size() + removed.keys.size());
    shells_ = TEmptyShells(tree_.KeepFolders);
}

void RecountCaptions(TResultTree& tree) {
    for (auto& program : tree.Programs) {
        std::size_t sum = 0;
        for (auto& group : program->Children) {
            group->Caption = CountCaption(group->Data.ValueName, group->Children.size());
            sum += group->Children.size();
        }
        program->Caption = CountCaption(program->Data.ValueName, sum);
    }
}

}  // namespace tarvo::leftovers
