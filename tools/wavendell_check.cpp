// wavendell-check: checks a show folder the way the saver loads it, without
// a display, and prints what it finds one line each.  Exit status 0 for a
// clean show, 1 for warnings only, 2 for errors (or a wrong command line).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/show_check/show_check.h"

namespace {

const char kUsage[] =
    "usage: wavendell-check [--seconds N] [--all-screens] [--quiet] FOLDER\n"
    "  Checks the show in FOLDER (laid out like the installed data folder).\n"
    "  --seconds N  play each script headless for at most N seconds of show\n"
    "               time (default 300)\n"
    "  --all-screens  watch the jets on 4:3 and 5:4 screens too, not only on\n"
    "               16:10 and 16:9 ones\n"
    "  --quiet      print only the summary line\n";

}  // namespace

int main(int argc, char** argv) {
    CheckSettings settings;
    bool quiet = false;
    const char* folder = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc) {
            char* end = nullptr;
            const long v = std::strtol(argv[++i], &end, 10);
            if (!end || *end || v < 1 || v > 24 * 3600) {
                std::fprintf(stderr, "wavendell-check: --seconds takes 1 to 86400\n%s", kUsage);
                return 2;
            }
            settings.playSeconds = (int)v;
        } else if (a == "--all-screens") {
            settings.allScreenShapes = true;
        } else if (a == "--quiet") {
            quiet = true;
        } else if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!folder && (a.empty() || a[0] != '-' || a == "-")) {
            folder = argv[i];
        } else {
            std::fprintf(stderr, "wavendell-check: unexpected argument \"%s\"\n%s", argv[i],
                         kUsage);
            return 2;
        }
    }
    if (!folder) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const CheckReport report = CheckShow(folder, settings);
    if (!quiet)
        for (const Finding& f : report.findings) std::printf("%s\n", FormatFinding(f).c_str());
    const int errors = report.Count(Finding::ERROR), warnings = report.Count(Finding::WARNING);
    if (errors + warnings == 0)
        std::printf("%s: a clean show\n", folder);
    else
        std::printf("%s: %d error%s, %d warning%s\n", folder, errors, errors == 1 ? "" : "s",
                    warnings, warnings == 1 ? "" : "s");
    return report.ExitStatus();
}
