// private_dir.cpp - the private directory, its access rights, its lock and
// its marker, and the removal of a killed run's directory.
#include "private_dir.h"

#include <string.h>

#include "system_call.h"

namespace {

const char kPrefix[] = "qsetup-";
const size_t kRandomDigits = 16;
const char kLockName[] = "run.lock";
const char kMarkerName[] = "launcher.mark";
const char kMarkerText[] = "Quorvane/32 launcher: private directory of one run\r\n";
const int kAttempts = 100;
const int kRetryMs = 100;
const int kPatienceMs = 5000;  // for what setup.exe started to let the directory go

// The folder for temporary files, ending in a backslash; empty when the
// system cannot say.
void TempDirectory(PathText &directory)
{
    char path[MAX_PATH];
    DWORD length = GetTempPathA(sizeof path, path);
    directory.Clear();
    if (length == 0 || length >= sizeof path)
        return;
    directory.Add(path, length);
    if (path[length - 1] != '\\')
        directory.Add('\\');
    if (!directory.Fits())
        directory.Clear();
}

// directory followed by name; false when the path would be too long.
bool FilePath(const char *directory, const char *name, PathText &path)
{
    path.Clear();
    path.Add(directory).Add(name);
    return path.Fits();
}

bool IsNtFamily()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

typedef BOOLEAN(WINAPI *GenRandomCall)(PVOID, ULONG);

// Bits no other account can foresee: the system's generator where it has
// one, else what the moment gives (the name is taken with create-new, so a
// guessed one costs another attempt, never the directory).
unsigned long long RandomBits()
{
    unsigned long long bits = 0;
    GenRandomCall generate = SystemCall<GenRandomCall>("advapi32.dll", "SystemFunction036");
    if (generate != NULL && generate(&bits, sizeof bits))
        return bits;
    LARGE_INTEGER counter = {};
    QueryPerformanceCounter(&counter);
    static unsigned long long state = 0x9E3779B97F4A7C15ull;
    state ^= static_cast<unsigned long long>(counter.QuadPart) ^ GetTickCount() ^
             static_cast<unsigned long long>(GetCurrentProcessId()) << 32;
    state *= 0xD6E8FEB86659FD93ull;
    return state ^ state >> 29;
}

// A DACL that gives the current user, and no one else, full access to the
// directory and what it holds.
class UserOnlyAccess {
public:
    bool Make();
    SECURITY_ATTRIBUTES *Attributes() { return &attributes_; }

private:
    // The token's user with a SID of any size, and an access list of one
    // entry for it.
    alignas(DWORD) unsigned char user_[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    alignas(DWORD) unsigned char acl_[sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE];
    SECURITY_DESCRIPTOR descriptor_ = {};
    SECURITY_ATTRIBUTES attributes_ = {};
};

typedef BOOL(WINAPI *SetControlCall)(PSECURITY_DESCRIPTOR, SECURITY_DESCRIPTOR_CONTROL, SECURITY_DESCRIPTOR_CONTROL);

bool UserOnlyAccess::Make()
{
    HANDLE token = NULL;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    DWORD size = 0;
    bool have_user = GetTokenInformation(token, TokenUser, user_, sizeof user_, &size);
    CloseHandle(token);
    if (!have_user)
        return false;
    PSID sid = reinterpret_cast<TOKEN_USER *>(&user_[0])->User.Sid;
    PACL acl = reinterpret_cast<PACL>(acl_);
    if (!InitializeAcl(acl, sizeof acl_, ACL_REVISION) ||
        !AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, sid))
        return false;
    // The files unpacked inside take the same rights. The one entry
    // follows the list's header.
    reinterpret_cast<ACE_HEADER *>(&acl_[sizeof(ACL)])->AceFlags = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    if (!InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE))
        return false;
    // Without protection, the rights of TMP would be added to ours.
    SetControlCall set_control = SystemCall<SetControlCall>("advapi32.dll", "SetSecurityDescriptorControl");
    if (set_control != NULL)
        set_control(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = &descriptor_;
    return true;
}

// A new file of the run; the handle is the caller's to close.
HANDLE CreateNew(const char *directory, const char *name, DWORD share, BOOL inherit)
{
    PathText path;
    if (!FilePath(directory, name, path)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, NULL, inherit};
    return CreateFileA(path.Text(), GENERIC_READ | GENERIC_WRITE, share, &attributes, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

bool WriteMarker(const char *directory)
{
    HANDLE marker = CreateNew(directory, kMarkerName, 0, FALSE);
    if (marker == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool whole = WriteFile(marker, kMarkerText, sizeof kMarkerText - 1, &written, NULL) &&
                 written == sizeof kMarkerText - 1;
    return CloseHandle(marker) && whole;
}

bool HasMarker(const char *directory)
{
    PathText path;
    if (!FilePath(directory, kMarkerName, path))
        return false;
    HANDLE marker = CreateFileA(path.Text(), GENERIC_READ, FILE_SHARE_READ, NULL,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (marker == INVALID_HANDLE_VALUE)
        return false;
    char text[sizeof kMarkerText];
    DWORD got = 0;
    bool read = ReadFile(marker, text, sizeof text, &got, NULL);
    CloseHandle(marker);
    return read && got == sizeof kMarkerText - 1 && memcmp(text, kMarkerText, got) == 0;
}

// Removes the files of a run's directory (it has no subdirectories; one
// that someone put there keeps the directory), the marker last. A
// directory that stays (a program setup.exe started may still have it as
// its current directory) gets its marker back for the next run to take up.
// (A file whose name is too long to be put after the directory's keeps it
// too.)
void RemoveRunFiles(const char *directory, int patience_ms)
{
    WIN32_FIND_DATAA found;
    PathText path;
    HANDLE search = FilePath(directory, "*", path) ? FindFirstFileA(path.Text(), &found) : INVALID_HANDLE_VALUE;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                lstrcmpiA(found.cFileName, kMarkerName) != 0 && FilePath(directory, found.cFileName, path))
                DeleteFileA(path.Text());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    if (FilePath(directory, kMarkerName, path))
        DeleteFileA(path.Text());
    // The directory's own name, without its closing backslash.
    path.Clear();
    path.Add(directory, strlen(directory) - 1);
    for (int waited = 0; !RemoveDirectoryA(path.Text()); waited += kRetryMs) {
        if (waited >= patience_ms) {
            WriteMarker(directory);
            return;
        }
        Sleep(kRetryMs);
    }
}

// Whether name is one the launcher gives its directories.
bool IsPrivateName(const char *name)
{
    if (strncmp(name, kPrefix, sizeof kPrefix - 1) != 0 || strlen(name) != sizeof kPrefix - 1 + kRandomDigits)
        return false;
    for (const char *digit = name + sizeof kPrefix - 1; *digit != '\0'; digit++) {
        if (!((*digit >= '0' && *digit <= '9') || (*digit >= 'a' && *digit <= 'f')))
            return false;
    }
    return true;
}

}  // namespace

bool PrivateDirectory::Make()
{
    PathText temp;
    TempDirectory(temp);
    UserOnlyAccess access;
    SECURITY_ATTRIBUTES *attributes = NULL;
    if (IsNtFamily()) {  // the 95 family takes no security attributes
        if (!access.Make())
            return false;
        attributes = access.Attributes();
    }
    for (int attempt = 0; !temp.Empty() && attempt < kAttempts; attempt++) {
        path_.Clear();
        path_.Add(temp.Text()).Add(kPrefix).AddNumber(RandomBits(), 16, kRandomDigits).Add('\\');
        // Every file the run puts there must have room for its path.
        PathText longest;
        if (!FilePath(path_.Text(), kMarkerName, longest)) {
            path_.Clear();
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
        // Fails on any name that exists, whoever made it and whatever it is.
        PathText directory;
        directory.Add(path_.Text(), path_.Length() - 1);
        if (!CreateDirectoryA(directory.Text(), attributes)) {
            path_.Clear();
            if (GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            return false;
        }
        // The lock before the marker: a directory with a marker is locked
        // while its run lasts.
        lock_ = CreateNew(path_.Text(), kLockName, 0, TRUE);
        if (lock_ == INVALID_HANDLE_VALUE || !WriteMarker(path_.Text())) {
            Remove();
            return false;
        }
        return true;
    }
    return false;
}

void PrivateDirectory::Remove()
{
    if (lock_ != INVALID_HANDLE_VALUE) {
        CloseHandle(lock_);
        lock_ = INVALID_HANDLE_VALUE;
    }
    if (!path_.Empty())
        RemoveRunFiles(path_.Text(), kPatienceMs);
    path_.Clear();
}

void RemoveLeftovers()
{
    PathText temp, path;
    TempDirectory(temp);
    if (temp.Empty() || !path.Add(temp.Text()).Add(kPrefix).Add('*').Fits())
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.Text(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const DWORD attributes = found.dwFileAttributes;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
            !IsPrivateName(found.cFileName))
            continue;
        PathText directory;
        if (!directory.Add(temp.Text()).Add(found.cFileName).Add('\\').Fits() || !FilePath(directory.Text(), kLockName, path))
            continue;
        if (!HasMarker(directory.Text()))
            continue;
        // A run that holds its lock is alive (it or its setup.exe).
        if (!DeleteFileA(path.Text()) && GetLastError() != ERROR_FILE_NOT_FOUND)
            continue;
        RemoveRunFiles(directory.Text(), 0);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
