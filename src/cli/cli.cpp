#include "cli/cli.h"

#include "cli/addons_verb.h"
#include "cli/archive_verb.h"
#include "cli/browser_defaults_verb.h"
#include "cli/export_verb.h"
#include "cli/list_verb.h"
#include "cli/logs_verb.h"
#include "cli/orphans_verb.h"
#include "cli/removal_verbs.h"
#include "cli/trace_verbs.h"
#include "cli/uninstall_verb.h"
#include "cli/scan_verb.h"

namespace tarvo::cli {

namespace {

// New verbs (export, scan, logs) are one row each.
const Verb kVerbs[] = {
    {L"list", L"list [--json] [--all]",
     L"the installed programs of a fresh inventory; --all includes hidden entries", &RunListVerb},
    {L"uninstall", L"uninstall NAME|KEY... [--yes] [--quiet] [--scan [--delete [--shred]]]",
     L"runs a program's uninstaller and waits for it; NAME as listed, or its registry key; several names run as "
     L"one batch; --quiet runs each uninstaller without its own questions where its kind is known; --scan then "
     L"looks for what it left behind (a traced program's recorded items first)", &RunUninstallVerb},
    {L"scan", L"scan NAME|KEY|--folder PATH|--pending [--json] [--delete [--shred]]",
     L"what a program left behind; exit 0 with findings, 1 without, 3 for an unknown program; --pending: the "
     L"programs a stopped batch uninstalled but never scanned; --delete removes them all (backed up first; --shred "
     L"overwrites files instead): exit 0 all gone, 5 some wait for a restart",
     &RunScanVerb},
    {L"install", L"install SETUP [ARGS...]",
     L"runs a setup (an .exe, or an .msi through msiexec) while recording what it creates and changes; the trace "
     L"makes the program's later removal exact", &RunInstallVerb},
    {L"traces", L"traces [--json] | traces show ID | traces delete ID | traces filter",
     L"the traced installations; show lists one trace's items, delete forgets one, filter prints the places a "
     L"recording leaves out", &RunTracesVerb},
    {L"orphans", L"orphans [--json] [--delete [--shred]]",
     L"leftovers of programs that are already gone, grouped by program with the evidence; exit 0 with findings, 1 "
     L"without; --delete removes the sure ones (backed up first) and says what it left alone and why",
     &RunOrphansVerb},
    {L"restore", L"restore BACKUP", L"puts back what a removal backed up (a folder, or its name under Backup)",
     &RunRestoreVerb},
    {L"unfinished", L"unfinished [--finish|--undo] [BACKUP]",
     L"removals cut off half-way (power cut, killed process); --finish removes what each still meant to, --undo "
     L"puts back what it took; exit 0 when none is left", &RunUnfinishedVerb},
    {L"logs", L"logs [FOLDER]", L"the day logs of uninstalls and removals, with sizes and dates", &RunLogsVerb},
    {L"export", L"export FILE",
     L"writes the program list as the window's export does (\".txt\" is added when FILE has none)", &RunExportVerb},
    {L"archive", L"archive list FILE | archive extract FILE ENTRY OUT",
     L"the directory of a data archive (name, mode, sizes, CRC), or one entry written to OUT; exit 6 with the "
     L"reader's message when the archive is refused", &RunArchiveVerb},
    {L"addons", L"addons [--json] | addons remove [--policy] ID...",
     L"every browser's add-ons as the all-browsers view merges them; remove switches the named ones off, with their "
     L"twins in other browsers", &RunAddonsVerb},
    {L"browser-defaults", L"browser-defaults [--json] | browser-defaults --restore BROWSER...",
     L"each browser's home page and search engine; --restore puts IE, Chrome, Firefox, Opera, Edge, Brave, Vivaldi "
     L"or Chromium back to the stock values (exit 1 naming the browsers that failed)", &RunBrowserDefaultsVerb},
};

}  // namespace

std::span<const Verb> Verbs() { return kVerbs; }

std::wstring UsageText() {
    std::wstring text = L"Usage: tarvo VERB [options]\r\n\r\nVerbs:\r\n";
    for (const Verb& verb : kVerbs) {
        text += L"  tarvo ";
        text += verb.usage;
        text += L"\r\n      ";
        text += verb.summary;
        text += L"\r\n";
    }
    return text;
}

int RunCli(std::span<const std::wstring> args, CliOutput& out) {
    if (args.empty()) {
        out.Err(UsageText());
        return kExitUsage;
    }
    if (args[0] == L"help" || args[0] == L"--help" || args[0] == L"-h" || args[0] == L"/?") {
        out.Out(UsageText());
        return kExitOk;
    }
    for (const Verb& verb : kVerbs) {
        if (args[0] != verb.name) continue;
        int code = kExitFailure;
        try {
            code = verb.run(args.subspan(1), out);
        } catch (...) {
            out.Err(L"tarvo: the command failed unexpectedly\r\n");
            return kExitFailure;
        }
        if (code == kExitUsage) out.Err(UsageText());
        return code;
    }
    out.Err(L"tarvo: unknown verb \"" + args[0] + L"\"\r\n\r\n" + UsageText());
    return kExitUsage;
}

}  // namespace tarvo::cli
