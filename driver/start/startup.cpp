// Filling the setup record: the script found, copied and scanned.
#include "msdetect.h"
#include "base/paths.h"
#include "base/program_files.h"
#include "base/fatal.h"
#include "base/scratch_files.h"
#include "script/scan.h"
#include "dialogs/dialogs.h"
#include "install/progress.h"
#include "install/install_fileset.h"
#include "start/startup.h"
#include "script/script_text.h"
#include "base/text.h"

#include <fcntl.h>
#include <io.h>

#include <stdlib.h>
#include <string.h>

static void ClearFileSets(struct _setup_info *si)
{
    for (int i = 0; i < MAX_FILE_SETS; i++) {
        struct _fileset_info *fs = &si->file_set_list[i];
        fs->selected = 0;
        fs->express = 0;
        fs->prog_items = fs->cur_prog_item = NULL;
        fs->info_items = fs->cur_info_item = NULL;
        fs->hkKey = NULL;
    }
}

static void ReadSystemPaths(struct _setup_info *si)
{
    UINT len = si->platform == PLATFORM_NT ? GetSystemDirectoryA(si->sys_dir, sizeof si->sys_dir)
                                           : GetWindowsDirectoryA(si->sys_dir, sizeof si->sys_dir);
    if (len == 0 || len >= sizeof si->sys_dir ||
        !FormatText(si->expand_path, sizeof si->expand_path, "%s\\%s", si->sys_dir, "expand.exe"))
        FatalStop(si, "Cannot determine the Windows directory", "Fatal Error");

    len = GetCurrentDirectoryA(sizeof si->current_dir, si->current_dir);
    if (len == 0 || len >= sizeof si->current_dir)
        FatalStop(si, "Cannot determine the current directory: its name is too long", "Fatal Error");

    const char *tmp = getenv("TMP");
    if (!tmp)
        FatalStop(si, "Cannot Find TMP directory, Please define a \t\tTMP= Directory and run Setup again.",
                  "Fatal Error");
    if (!CopyText(si->temp_dir, sizeof si->temp_dir, tmp))
        FatalStop(si, "The TMP directory name is too long", "Fatal Error");
}

// The one-file medium: the launcher put the script beside setup.exe, in a
// folder of its own; the current folder may be the user's downloads, where
// anybody's setup.inf may lie. One medium: no disk is ever asked for.
static void TakeProgramFolder(struct _setup_info *si)
{
    char program[MAX_PATH];
    if (!ProgramFilePath("setup.exe", program, sizeof program) ||
        !DirectoryOfPath(program, si->src_dir, sizeof si->src_dir - 1) ||
        !FormatText(si->setup_inf_file, sizeof si->setup_inf_file, "%s\\%s", si->src_dir, "setup.inf") ||
        !DoesFileExist(si->setup_inf_file, 0))
        FatalStop(si, "The installation program is incomplete: setup.inf is not beside setup.exe.", "Fatal Error");
    AppendSlash(si->src_dir);
    SetSourceDrive(si);
    si->src_drive_type = DRIVE_FIXED;
}

// The script in the start-up directory, else wherever the user says it is.
static void LocateScript(struct _setup_info *si)
{
    CopyText(si->src_dir, sizeof si->src_dir, "A:\\");
    CopyText(si->dst_drive, sizeof si->dst_drive, "C:");
    if (si->archive != NULL) {
        TakeProgramFolder(si);
        return;
    }

    if (FormatText(si->setup_inf_file, sizeof si->setup_inf_file, "%s\\%s", si->current_dir, "setup.inf") &&
        DoesFileExist(si->setup_inf_file, 0)) {
        // current_dir is shorter than setup_inf_file, so it fits src_dir with its slash.
        CopyText(si->src_dir, sizeof si->src_dir, si->current_dir);
        AppendSlash(si->src_dir);
        SetSourceDrive(si);
        return;
    }
    for (;;) {
        FSetupPathDialog(si);
        if (FormatText(si->setup_inf_file, sizeof si->setup_inf_file, "%s%s", si->src_dir, "setup.inf") &&
            DoesFileExist(si->setup_inf_file, 0))
            return;
        InvalidPathDialog(si, LOCATION_NO_FILES);
    }
}

// Copies the script into the open private copy with one line feed per line
// end; a UTF-16 script is refused before the scan sees any of it.
static void WriteScriptText(struct _setup_info *si, FILE *script, HANDLE copy)
{
    struct script_text_state state = {};
    unsigned char piece[4096], text[sizeof piece];
    size_t length;
    while ((length = fread(piece, 1, sizeof piece, script)) > 0) {
        if (script_piece_encoding(&state, piece, length) == SCRIPT_UTF16)
            FatalStop(si, "setup.inf is not ANSI text: it holds zero bytes or a UTF-16 byte-order mark. "
                          "Save it as ANSI text and run Setup again.",
                      "Fatal Error");
        size_t written = normalize_script_piece(&state, piece, length, text);
        DWORD done = 0;
        if (!WriteFile(copy, text, (DWORD)written, &done, NULL) || done != written)
            FatalStop(si, "Copy Error, copying into temp directory", "Fatal Error");
    }
    if (ferror(script))
        FatalStop(si, "Copy Error, copying into temp directory", "Fatal Error");
}

// The whole run reads this private copy, which stays readable while the
// user swaps diskettes. On NT the system deletes it when its handle closes,
// however the run ends; the 95 family refuses both flags, and there the
// exit paths delete it (RemoveScratchFiles).
static void MakePrivateCopy(struct _setup_info *si)
{
    FormatText(si->temp_src_path, sizeof si->temp_src_path, "%s%s", si->src_dir, "setup.inf");
    if (!GetTempFileNameA(si->temp_dir, "pex", 0, si->temp_dst_path))
        FatalStop(si, "Cannot create temp file", "Fatal Error");
    CopyText(si->setup_inf_file, sizeof si->setup_inf_file, si->temp_dst_path);
    RemoveScratchFilesAtExit(si);
    DWORD share = FILE_SHARE_READ, flags = FILE_ATTRIBUTE_TEMPORARY;
    if (si->platform == PLATFORM_NT) {
        share |= FILE_SHARE_DELETE;
        flags |= FILE_FLAG_DELETE_ON_CLOSE;
    }
    HANDLE copy = CreateFileA(si->setup_inf_file, GENERIC_READ | GENERIC_WRITE, share, NULL, CREATE_ALWAYS, flags,
                              NULL);
    if (copy == INVALID_HANDLE_VALUE) {
        DeleteFileA(si->setup_inf_file);
        FatalStop(si, "Copy Error, copying into temp directory", "Fatal Error");
    }
    // Binary, so that it is read in blocks and ftell is exact: the Windows
    // runtime's text mode miscounts a buffered stream whose lines end in a
    // bare line feed. The copy holds nothing text mode would change.
    int fd = _open_osfhandle((intptr_t)copy, _O_RDONLY | _O_BINARY);
    if (fd == -1) {
        CloseHandle(copy);
        FatalStop(si, "Cannot open SETUP.INF file", "Fatal Error");
    }
    si->setup_inf_ptr = _fdopen(fd, "rb");
    if (!si->setup_inf_ptr) {
        _close(fd);
        FatalStop(si, "Cannot open SETUP.INF file", "Fatal Error");
    }

    FILE *script = fopen(si->temp_src_path, "rb");
    if (!script)
        FatalStop(si, "Copy Error, copying into temp directory", "Fatal Error");
    WriteScriptText(si, script, copy);
    fclose(script);
    // The scan starts at the beginning.
    SetFilePointer(copy, 0, NULL, FILE_BEGIN);
}

static void PrepareDecompressor(struct _setup_info *si)
{
    si->process_created = 0;
    STARTUPINFOA *psi = &si->process_startup_info;
    memset(psi, 0, sizeof *psi);
    psi->cb = sizeof *psi;
    psi->dwFlags = STARTF_USESTDHANDLES;
    psi->hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    psi->hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    psi->hStdError = GetStdHandle(STD_ERROR_HANDLE);
}

int InitSetupInfo(struct _setup_info *si, HINSTANCE hInstance)
{
    si->hInst = hInstance;
    si->verbose = 0;
    si->compressed_files = 0;
    si->image_type = IMAGE_SINGLE_DIR;
    ClearFileSets(si);

    ReadSystemPaths(si);
    OpenMediumArchive(si);
    LocateScript(si);
    MakePrivateCopy(si);
    ScanForFileSets(si);
    si->installType = 1;

    if (!RegisterGaugeClass(hInstance))
        return 0;
    PrepareDecompressor(si);
    return 1;
}

int RunningAsAdministrator(void)
{
    SID_IDENTIFIER_AUTHORITY SystemSidAuthority = SECURITY_NT_AUTHORITY;
    HANDLE htkThread;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &htkThread)) {
        if (GetLastError() != ERROR_NO_TOKEN ||
            !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &htkThread))
            return 0;
    }

    int fAdmin = 0;
    DWORD cbTokenGroups = 0;
    if (!GetTokenInformation(htkThread, TokenGroups, NULL, 0, &cbTokenGroups) &&
        GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        // DWORD storage keeps the groups aligned.
        DWORD *storage = (DWORD *)malloc((cbTokenGroups + 3) & ~3u);
        TOKEN_GROUPS *ptg = (TOKEN_GROUPS *)storage;
        PSID psidAdmin;
        if (ptg && GetTokenInformation(htkThread, TokenGroups, ptg, cbTokenGroups, &cbTokenGroups) &&
            AllocateAndInitializeSid(&SystemSidAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                     DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &psidAdmin)) {
            for (DWORD iGroup = 0; iGroup < ptg->GroupCount; iGroup++) {
                if (EqualSid(ptg->Groups[iGroup].Sid, psidAdmin)) {
                    fAdmin = 1;
                    break;
                }
            }
            FreeSid(psidAdmin);
        }
        free(storage);
    }
    CloseHandle(htkThread);
    return fAdmin;
}
