#include "cli/orphans_verb.h"

#include <nlohmann/json.hpp>

#include "cli/removal_verbs.h"
#include "cli/scan_verb.h"
#include "inventory/inventory.h"
#include "language/language.h"
#include "leftovers/orphans/orphan_scan.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace tarvo::cli {

namespace {

using leftovers::orphans::Confidence;
using nlohmann::ordered_json;

std::string Utf8(const std::wstring& text) { return platform::Utf8FromWide(text); }

const char* ConfidenceName(Confidence c) {
    switch (c) {
        case Confidence::High: return "high";
        case Confidence::Medium: return "medium";
        case Confidence::Low: break;
    }
    return "low";
}

}  // namespace

std::string OrphansJson(const leftovers::orphans::TOrphanReport& report) {
    ordered_json findings = ordered_json::array();
    for (const auto& f : report.findings) {
        const bool registry = f.kind == leftovers::FindingKind::Registry;
        const auto orNull = [&](bool applies, const std::wstring& text) {
            return applies ? ordered_json(Utf8(text)) : ordered_json(nullptr);
        };
        ordered_json o;
        o["program"] = Utf8(f.program);
        o["confidence"] = ConfidenceName(f.confidence);
        o["evidence"] = Utf8(f.evidence);
        o["kind"] = registry ? "registry" : "file";
        o["root"] = orNull(registry, registry ? platform::RootName(f.root) : std::wstring());
        o["key"] = orNull(registry, f.keyPath);
        o["valueName"] = orNull(registry, f.valueName);
        o["valueData"] = orNull(registry, f.valueData);
        o["view64"] = registry ? ordered_json(f.view64) : ordered_json(nullptr);
        o["path"] = orNull(!registry, f.path);
        o["fileKind"] = registry ? ordered_json(nullptr)
                                 : ordered_json(f.fileKind == leftovers::PathKind::File ? "file" : "folder");
        findings.push_back(std::move(o));
    }
    ordered_json alone = ordered_json::array();
    for (const auto& r : report.leftAlone) alone.push_back({{"item", Utf8(r.item)}, {"reason", Utf8(r.reason)}});
    ordered_json root;
    root["findings"] = std::move(findings);
    root["leftAlone"] = std::move(alone);
    return root.dump(2, ' ', false, ordered_json::error_handler_t::replace) + "\n";
}

int RunOrphansVerb(std::span<const std::wstring> args, CliOutput& out) {
    bool json = false, remove = false, shred = false;
    for (const auto& arg : args) {
        if (arg == L"--json") {
            json = true;
        } else if (arg == L"--delete") {
            remove = true;
        } else if (arg == L"--shred") {
            shred = true;
        } else {
            out.Err(L"tarvo orphans: unexpected argument \"" + arg + L"\"\r\n");
            return kExitUsage;
        }
    }
    if (shred && !remove) return kExitUsage;

    inventory::TSoftList list;
    inventory::Inventory(list);
    const leftovers::orphans::TOrphanReport report = leftovers::orphans::ScanOrphans(list);
    leftovers::TResultTree tree;
    leftovers::TIconList images;
    const int count = leftovers::orphans::BuildOrphanTree(report, tree, images);
    if (json) {
        out.OutUtf8(OrphansJson(report));
    } else {
        out.Out(count > 0 ? ScanTreeText(tree)
                          : language::GetText(L"Orphans_None_M", L"No leftovers of removed programs found.") + L"\r\n");
        for (const auto& r : report.leftAlone) out.Out(L"Left alone: " + r.item + L" (" + r.reason + L")\r\n");
        if (remove)
            for (const auto& f : report.findings)
                if (f.confidence == Confidence::Low)
                    out.Out(L"Left alone, not sure enough: " + (f.path.empty() ? f.keyPath : f.path) + L" (" +
                            f.evidence + L")\r\n");
    }
    if (count == 0) return kExitFailure;
    return remove ? DeleteTickedFindings(tree, shred, out) : kExitOk;
}

}  // namespace tarvo::cli
