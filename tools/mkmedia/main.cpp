// mkmedia - builds an installation medium from a product tree and checks a
// finished one, with the installer's own reading of setup.inf.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "build.h"
#include "code_page.h"
#include "medium.h"
#include "verify.h"

namespace {

const char kUsage[] =
    "usage: mkmedia build SOURCE -o DIR [--kind single|floppy|cdrom|exe] [--compress]\n"
    "                     [--disk-size SIZE] [--from DIR] [--programs DIR] [--store] [-q]\n"
    "                     [--sign PFX [--timestamp URL]] [--codepage CP]\n"
    "       mkmedia check DIR|EXE [--ca FILE] [--codepage CP]\n"
    "       mkmedia verify DIR [--from PRODUCT] [--ca FILE] [--codepage CP] [-q]\n"
    "       mkmedia VERB --help\n";

const char kBuildHelp[] =
    "usage: mkmedia build SOURCE -o DIR [options]\n"
    "Builds a complete medium in DIR from the setup script SOURCE, whose body\n"
    "lines name files of the product tree; FOLDER SOURCE DESTINATION in a part\n"
    "takes a folder whole. END lines may stand without their figure, which is\n"
    "then computed; CHANGEDISK lines are written by mkmedia.\n"
    "  -o DIR            the medium's directory: new, empty, or an earlier\n"
    "                    medium of mkmedia, which it replaces\n"
    "  --kind KIND       single (default), floppy (DISKn directories with their\n"
    "                    markers), cdrom (DISKn\\FILES below setup.inf), or exe:\n"
    "                    -o names one program that holds a single-directory\n"
    "                    medium as a ZIP archive after its launcher;\n"
    "                    default: the script's own image line\n"
    "  --store           exe: the archive's files stored, not deflated\n"
    "  --compress        compress the payload (default: the script's own line)\n"
    "  --disk-size SIZE  bytes per disk: a number with K or M, or 360K, 720K,\n"
    "                    1.2M, 1.44M, 2.88M; floppy default 1.44M, cdrom none\n"
    "  --from DIR        the product tree (default: the directory of SOURCE)\n"
    "  --programs DIR    where setup.exe, setuprt.dll and mscuistf.dll are\n"
    "                    (default: the directory of mkmedia, else the program\n"
    "                    files of the build that made it)\n"
    "  --sign PFX        sign setup.exe, setuprt.dll and mscuistf.dll (and the\n"
    "                    one program of an exe, archive included) with the key\n"
    "                    and certificates of PFX (PKCS#12) through osslsigncode;\n"
    "                    its password is taken from MKMEDIA_SIGN_PASSWORD\n"
    "  --timestamp URL   have the signatures time-stamped by that server\n"
    "  --codepage CP     the ANSI code page the product's scripts are written\n"
    "                    in: 1252 (default) or another single-byte one (874,\n"
    "                    1250 to 1258), or 932, 936, 949, 950 (double-byte)\n"
    "  -q                no progress on standard error\n"
    "The medium is checked as `mkmedia check` does before it is put in DIR.\n";

const char kCheckHelp[] =
    "usage: mkmedia check DIR|EXE [--ca FILE] [--codepage CP]\n"
    "Checks a finished medium without running it (a one-file medium: every\n"
    "entry of its archive decoded, then the medium it holds, and the signature\n"
    "of the whole program): the script as the installer\n"
    "judges it, every file on the disk the script names (with the diskette\n"
    "markers), every file decoded and held against its recorded length and\n"
    "CRC-32, END figures, shortcut programs, every part installable alone, and\n"
    "the three program files: this product's, whether each is signed and its\n"
    "signature verifies (through osslsigncode).\n"
    "Diagnostics: setup.inf:LINE: error: TEXT.\n"
    "  --ca FILE         certificates (PEM) to trust instead of the system's,\n"
    "                    such as a self-signed one\n"
    "  --codepage CP     the code page of the script, as for build\n"
    "Exit code 1 when there is an error.\n";

int UsageError(const char *text)
{
    fprintf(stderr, "mkmedia: %s\n%s", text, kUsage);
    return 2;
}

bool TakeCodePage(const char *text)
{
    std::string why;
    if (UseCodePage(static_cast<unsigned>(strtoul(text, NULL, 10)), why))
        return true;
    UsageError(why.c_str());
    return false;
}

bool Help(int argc, char **argv, const char *help)
{
    for (int i = 2; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            fputs(help, stdout);
            return true;
        }
    }
    return false;
}

// Beside mkmedia, as a medium's program files lie; else those of the
// build that made it.
fs::path DefaultPrograms(const char *self)
{
    std::error_code error;
    fs::path beside = fs::absolute(fs::path(self)).parent_path();
#ifndef _WIN32
    fs::path program = fs::read_symlink("/proc/self/exe", error);  // argv[0] may be a name found on PATH
    if (!error)
        beside = program.parent_path();
#endif
#ifdef MKMEDIA_BUILD_PROGRAMS
    if (!fs::exists(beside / kProgramFiles[0], error))
        return MKMEDIA_BUILD_PROGRAMS;
#endif
    return beside;
}

int Build(int argc, char **argv, const char *self)
{
    BuildOptions options;
    options.programs = DefaultPrograms(self);
    for (int i = 2; i < argc; i++) {
        std::string arg = argv[i];
        bool has_value = i + 1 < argc;
        if (arg == "-q") {
            options.quiet = true;
        } else if (arg == "--store") {
            options.store = true;
        } else if (arg == "--compress") {
            options.compress_given = options.compress = true;
        } else if ((arg == "-o" || arg == "--kind" || arg == "--disk-size" || arg == "--from" ||
                    arg == "--programs" || arg == "--sign" || arg == "--timestamp" || arg == "--codepage") &&
                   !has_value) {
            return UsageError((arg + " needs a value").c_str());
        } else if (arg == "-o") {
            options.output = argv[++i];
        } else if (arg == "--from") {
            options.from = argv[++i];
        } else if (arg == "--programs") {
            options.programs = argv[++i];
        } else if (arg == "--sign") {
            options.signing.pfx = argv[++i];
        } else if (arg == "--timestamp") {
            options.signing.timestamp_url = argv[++i];
        } else if (arg == "--codepage") {
            if (!TakeCodePage(argv[++i]))
                return 2;
        } else if (arg == "--kind") {
            std::string kind = argv[++i];
            options.kind_given = true;
            if (kind == "single")
                options.kind = MediumKind::SINGLE;
            else if (kind == "floppy")
                options.kind = MediumKind::FLOPPY;
            else if (kind == "cdrom")
                options.kind = MediumKind::CDROM;
            else if (kind == "exe")
                options.kind = MediumKind::SINGLE, options.one_file = true;
            else
                return UsageError(("unknown medium kind " + kind).c_str());
        } else if (arg == "--disk-size") {
            options.disk_size = ParseDiskSize(argv[++i]);
            if (options.disk_size == 0)
                return UsageError((std::string("not a disk size: ") + argv[i]).c_str());
        } else if (arg[0] == '-' || !options.source.empty()) {
            return UsageError(("unexpected argument " + arg).c_str());
        } else {
            options.source = arg;
        }
    }
    if (options.source.empty() || options.output.empty())
        return UsageError("build needs a SOURCE and -o DIR");
    if (options.store && !options.one_file)
        return UsageError("--store is for --kind exe");
    if (!options.signing.timestamp_url.empty() && options.signing.pfx.empty())
        return UsageError("--timestamp needs --sign");
    return BuildMedium(options);
}

int Check(int argc, char **argv)
{
    CheckOptions options;
    const char *medium = NULL;
    for (int i = 2; i < argc; i++) {
        std::string arg = argv[i];
        if ((arg == "--ca" || arg == "--codepage") && i + 1 == argc)
            return UsageError((arg + " needs a value").c_str());
        if (arg == "--ca") {
            options.trusted = argv[++i];
        } else if (arg == "--codepage") {
            if (!TakeCodePage(argv[++i]))
                return 2;
        } else if (arg[0] == '-' || medium != NULL) {
            return UsageError(("unexpected argument " + arg).c_str());
        } else {
            medium = argv[i];
        }
    }
    if (medium == NULL)
        return UsageError("check needs the medium's directory");
    std::vector<Diagnostic> found = CheckMedium(medium, options);
    PrintDiagnostics(found, "setup.inf");
    return HasErrors(found) ? 1 : 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return UsageError("no verb");
    std::string verb = argv[1];
    if (verb == "--help" || verb == "-h") {
        fputs(kUsage, stdout);
        return 0;
    }
    if (verb == "build")
        return Help(argc, argv, kBuildHelp) ? 0 : Build(argc, argv, argv[0]);
    if (verb == "check")
        return Help(argc, argv, kCheckHelp) ? 0 : Check(argc, argv);
    if (verb == "verify")
        return VerifyCommand(argc, argv);
    return UsageError(("unknown verb " + verb).c_str());
}
