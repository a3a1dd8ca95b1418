// verify_command.cpp - mkmedia verify's command line, in every build; the
// installation itself needs Linux with Wine.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "code_page.h"
#include "medium.h"
#include "verify.h"

namespace {

const char kVerifyHelp[] =
    "usage: mkmedia verify DIR [--from PRODUCT] [--ca FILE] [--codepage CP] [-q]\n"
    "Installs the medium in DIR unattended under Wine, in a throwaway prefix,\n"
    "on the NT family and on the 95 family (every file set, onto drive R:),\n"
    "then compares each installed file with the product tree's, byte for\n"
    "byte, and each set's VersionInfo key with the script. Linux with Wine\n"
    "and an X display (xvfb-run -a) only. The medium must pass check first.\n"
    "  --from PRODUCT    the product tree; default: the one mkmedia build\n"
    "                    named in DIR.mkmedia, the record it writes beside DIR\n"
    "  --ca, --codepage  as for check\n"
    "  -q                no progress on standard error\n"
    "Exit code 0 when all is equal, 1 on any difference or a medium that\n"
    "fails check, 2 when it cannot be tried.\n";

}  // namespace

int VerifyCommand(int argc, char **argv)
{
    fs::path medium, from;
    CheckOptions check;
    bool quiet = false;
    for (int i = 2; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            fputs(kVerifyHelp, stdout);
            return 0;
        }
        if (arg == "-q") {
            quiet = true;
        } else if (arg == "--from" && i + 1 < argc) {
            from = argv[++i];
        } else if (arg == "--ca" && i + 1 < argc) {
            check.trusted = argv[++i];
        } else if (arg == "--codepage" && i + 1 < argc) {
            std::string why;
            if (!UseCodePage(static_cast<unsigned>(strtoul(argv[++i], NULL, 10)), why)) {
                fprintf(stderr, "mkmedia: %s\n", why.c_str());
                return 2;
            }
        } else if (arg[0] == '-' || !medium.empty()) {
            fprintf(stderr, "mkmedia: unexpected argument %s\n%s", arg.c_str(), kVerifyHelp);
            return 2;
        } else {
            medium = arg;
        }
    }
    if (medium.empty()) {
        fprintf(stderr, "mkmedia: verify needs the medium's directory\n%s", kVerifyHelp);
        return 2;
    }
#ifdef _WIN32
    (void)quiet;
    (void)check;
    fputs("mkmedia: verify installs the medium under Wine: it needs Linux with Wine; "
          "run mkmedia check here\n", stderr);
    return 2;
#else
    if (from.empty())
        from = ReadBuildRecord(medium);
    if (from.empty()) {
        fprintf(stderr, "mkmedia: verify: %s was not built here by mkmedia build (no %s): name the product "
                        "tree with --from\n", medium.string().c_str(), BuildRecord(medium).string().c_str());
        return 2;
    }
    std::error_code error;
    if (!fs::is_directory(from, error)) {
        fprintf(stderr, "mkmedia: verify: the product tree %s is not a directory\n", from.string().c_str());
        return 2;
    }
    return VerifyMedium(medium, from, check, quiet);
#endif
}
