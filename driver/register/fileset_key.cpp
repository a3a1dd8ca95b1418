// The file set's VersionInfo key, and keys with an explicit owner and DACL.
#include "log/install_log.h"
#include "base/fatal.h"
#include "register/register.h"
#include "setuprt.h"
#include "base/text.h"

#include <stdlib.h>
#include <string.h>

enum { CB_ACL = 1024 };

// A new key's descriptor on NT and everything it points to; all members are
// null until made, and ReleaseKeySecurity frees whatever was made.
struct key_security {
    SECURITY_ATTRIBUTES sa;
    SECURITY_DESCRIPTOR sd;
    PSID admins_sid;
    PSID everyone_sid;
    PTOKEN_USER user;
    PACL acl;
};

static int AllocateAdministratorsSid(PSID *sid)
{
    SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
    return AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                    0, 0, 0, 0, sid);
}

static int AllocateEveryoneSid(PSID *sid)
{
    SID_IDENTIFIER_AUTHORITY world_authority = SECURITY_WORLD_SID_AUTHORITY;
    return AllocateAndInitializeSid(&world_authority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, sid);
}

static void ReleaseKeySecurity(struct key_security *ks)
{
    if (ks->admins_sid)
        FreeSid(ks->admins_sid);
    if (ks->everyone_sid)
        FreeSid(ks->everyone_sid);
    if (ks->user)
        LocalFree(ks->user);
    free(ks->acl);
    memset(ks, 0, sizeof *ks);
}

static void PrepareAttributes(struct key_security *ks)
{
    ks->sa.nLength = sizeof ks->sa;
    ks->sa.lpSecurityDescriptor = &ks->sd;
    ks->sa.bInheritHandle = FALSE;
}

// Owned by Administrators, who may do everything; everyone else may read.
// Returns null, or the message of the step that failed.
static const char *BuildFileSetSecurity(struct key_security *ks)
{
    PrepareAttributes(ks);
    if (!AllocateAdministratorsSid(&ks->admins_sid))
        return "Security Identifier Settings failed (1)";
    if (!AllocateEveryoneSid(&ks->everyone_sid))
        return "Security Identifier Settings failed (2)";
    if (!InitializeSecurityDescriptor(&ks->sd, SECURITY_DESCRIPTOR_REVISION))
        return "Security Identifier Settings failed (3)";
    if (!SetSecurityDescriptorOwner(&ks->sd, ks->admins_sid, FALSE))
        return "Security Identifier Settings failed (4)";
    ks->acl = (PACL)malloc(CB_ACL);
    if (!ks->acl)
        return "Memory alloc failed";
    if (!InitializeAcl(ks->acl, CB_ACL, ACL_REVISION))
        return "Security Identifier Settings failed (5)";
    if (!AddAccessAllowedAce(ks->acl, ACL_REVISION, KEY_ALL_ACCESS, ks->admins_sid))
        return "Security Identifier Settings failed (6)";
    if (!AddAccessAllowedAce(ks->acl, ACL_REVISION, KEY_READ, ks->everyone_sid))
        return "Security Identifier Settings failed (7)";
    if (!SetSecurityDescriptorDacl(&ks->sd, TRUE, ks->acl, FALSE))
        return "Security Identifier Settings failed (8)";
    return NULL;
}

// Owned by the installing user; that user and Administrators may do
// everything. Returns null, or the message of the failure.
static const char *BuildUserKeySecurity(struct key_security *ks)
{
    PrepareAttributes(ks);
    if (!AllocateAdministratorsSid(&ks->admins_sid))
        return "Security failure";
    ks->user = GetCurrentUserInfo();
    if (!ks->user || !ks->user->User.Sid)
        return "Security failure";
    if (!InitializeSecurityDescriptor(&ks->sd, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorOwner(&ks->sd, ks->user->User.Sid, FALSE))
        return "Security failure";
    ks->acl = (PACL)malloc(CB_ACL);
    if (!ks->acl)
        return "Memory Alloc failure in CreateKeyFromPath";
    if (!InitializeAcl(ks->acl, CB_ACL, ACL_REVISION) ||
        !AddAccessAllowedAce(ks->acl, ACL_REVISION, KEY_ALL_ACCESS, ks->user->User.Sid) ||
        !AddAccessAllowedAce(ks->acl, ACL_REVISION, KEY_ALL_ACCESS, ks->admins_sid) ||
        !SetSecurityDescriptorDacl(&ks->sd, TRUE, ks->acl, FALSE))
        return "Security failure";
    return NULL;
}

// The key is closed, the descriptor freed, then the run ends.
[[noreturn]] static void FailFileSetKey(struct _fileset_info *fs, struct _setup_info *si, struct key_security *ks,
                                        const char *text)
{
    ReleaseKeySecurity(ks);
    if (fs->hkKey) {
        RegCloseKey(fs->hkKey);
        fs->hkKey = NULL;
    }
    FatalStop(si, text, "Fatal Error");
}

// A key made here gets the file-set descriptor on NT; the 95 family has
// no key security.
static const char *CreateNewFileSetKey(struct _fileset_info *fs, struct _setup_info *si, const char *key_path,
                                       struct key_security *ks)
{
    if (si->platform == PLATFORM_NT) {
        const char *failure = BuildFileSetSecurity(ks);
        if (failure)
            return failure;
    }
    DWORD disposition = 0;
    char file_set_class[] = "FILESET INFO";
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_path, 0, file_set_class, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        si->platform == PLATFORM_NT ? &ks->sa : NULL, &fs->hkKey, &disposition) != ERROR_SUCCESS) {
        fs->hkKey = NULL;
        return "Creation of FileSet registration key failed ";
    }
    if (disposition != REG_CREATED_NEW_KEY && disposition != REG_OPENED_EXISTING_KEY)
        return "Bad return value for FileSet key creation";
    return NULL;
}

// The ten values in order; the first write that fails ends the writing.
static int WriteFileSetValues(struct _fileset_info *fs, struct _setup_info *si, const char *key_path)
{
    char date[256], time[256];
    if (!GetDateFormatA(LOCALE_SYSTEM_DEFAULT, 0, NULL, "ddd',' MMM dd yy", date, 255))
        date[0] = '\0';
    if (!GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, TIME_FORCE24HOURFORMAT, NULL, "hh':'mm':'ss tt", time, 255))
        time[0] = '\0';
    const char software_type[] = "application";
    DWORD serial_number = 0;
    const struct {
        const char *name;
        DWORD type;
        const void *data;
        DWORD cb;
    } values[] = {
        {"FileSetName", REG_SZ, fs->name, (DWORD)strlen(fs->name) + 1},
        {"InstallDate", REG_SZ, date, (DWORD)strlen(date) + 1},
        {"InstallTime", REG_SZ, time, (DWORD)strlen(time) + 1},
        {"SoftwareType", REG_SZ, software_type, sizeof software_type},
        {"MajorVersion", REG_SZ, fs->major_version, (DWORD)strlen(fs->major_version) + 1},
        {"MinorVersion", REG_SZ, fs->minor_version, (DWORD)strlen(fs->minor_version) + 1},
        {"SubRelease", REG_SZ, fs->release, (DWORD)strlen(fs->release) + 1},
        {"CpuPlatform", REG_SZ, fs->cpu_type, (DWORD)strlen(fs->cpu_type) + 1},
        {"SerialNumber", REG_DWORD, &serial_number, sizeof serial_number},
        {"DestinationPath", REG_SZ, si->dst_dir, (DWORD)strlen(si->dst_dir) + 1},
    };
    for (size_t i = 0; i < sizeof values / sizeof values[0]; i++) {
        if (SetLoggedValue(si, fs->hkKey, key_path, values[i].name, values[i].type, values[i].data, values[i].cb) !=
            ERROR_SUCCESS)
            return 0;
    }
    return 1;
}

int FileSetKeyPath(const struct _fileset_info *fs, const struct _setup_info *si, char *key_path, size_t cb)
{
    return FormatText(key_path, cb, "Software\\%s\\%s\\VersionInfo", si->company_name, fs->software_name);
}

void FileSetKeyTooLong(const struct _fileset_info *fs, struct _setup_info *si)
{
    FormatText(si->output_buf, sizeof si->output_buf, "The registration key of the file set %s is too long", fs->name);
}

int CreateFileSetKey(struct _fileset_info *fs, struct _setup_info *si)
{
    struct key_security ks;
    memset(&ks, 0, sizeof ks);
    char key_path[260];
    if (!FileSetKeyPath(fs, si, key_path, sizeof key_path)) {
        FileSetKeyTooLong(fs, si);
        FailFileSetKey(fs, si, &ks, si->output_buf);
    }
    int existing_levels = ExistingKeyLevels(key_path);
    // An existing key keeps its security; only its values are written again.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path, 0, KEY_ALL_ACCESS, &fs->hkKey) != ERROR_SUCCESS) {
        fs->hkKey = NULL;
        const char *failure = CreateNewFileSetKey(fs, si, key_path, &ks);
        if (failure)
            FailFileSetKey(fs, si, &ks, failure);
    }
    LogKeysMade(si, key_path, existing_levels);
    if (!WriteFileSetValues(fs, si, key_path))
        FailFileSetKey(fs, si, &ks, "Error Setting FileSet info in the Registry data base");
    RegFlushKey(fs->hkKey);
    RegCloseKey(fs->hkKey);
    fs->hkKey = NULL;
    ReleaseKeySecurity(&ks);
    return 1;
}

HKEY CreateKeyFromPath(struct _setup_info *si, HKEY hkKey, const char *szKeyPath)
{
    struct key_security ks;
    memset(&ks, 0, sizeof ks);
    const char *failure = si->platform == PLATFORM_NT ? BuildUserKeySecurity(&ks) : NULL;
    HKEY key = NULL;
    if (!failure) {
        // One call makes every missing key along the path.
        DWORD disposition = 0;
        LONG result = RegCreateKeyExA(hkKey, szKeyPath, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                      si->platform == PLATFORM_NT ? &ks.sa : NULL, &key, &disposition);
        int opened = result == ERROR_SUCCESS;
        if (opened && disposition != REG_CREATED_NEW_KEY && disposition != REG_OPENED_EXISTING_KEY) {
            RegCloseKey(key);
            opened = 0;
        }
        if (!opened) {
            key = NULL;
            failure = "Registry access error";
        }
    }
    ReleaseKeySecurity(&ks);
    if (failure)
        DoMsgBox(failure, "Error", 0);
    return key;
}

// The block is the caller's, to be freed with LocalFree.
PTOKEN_USER GetCurrentUserInfo(void)
{
    HANDLE token;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, FALSE, &token)) {
        if (GetLastError() != ERROR_NO_TOKEN || !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return NULL;
    }
    PTOKEN_USER user = NULL;
    DWORD cb = 0;
    if (!GetTokenInformation(token, TokenUser, NULL, 0, &cb) && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        user = (PTOKEN_USER)LocalAlloc(LPTR, cb);
        if (user && !GetTokenInformation(token, TokenUser, user, cb, &cb)) {
            LocalFree(user);
            user = NULL;
        }
    }
    CloseHandle(token);
    return user;
}
