// registration_fixture.cpp - the toolkit, records, registry and shortcut helpers.
#include "registration_fixture.h"

#include <aclapi.h>
#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "setupapi.h"

namespace regtest {

const char kAdministrators[] = "S-1-5-32-544";
const char kEveryone[] = "S-1-1-0";
const char kEnvironmentKey[] = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";

namespace {

// The two prefixes may run this program at the same time: each has its own
// child transcript.
std::string TranscriptName()
{
    return std::string("registration_test_") + (ReportedPlatform() == PLATFORM_WIN95 ? "w95" : "nt");
}

const auto *const environment = ::testing::AddGlobalTestEnvironment(new unitcommon::QuietToolkit(TranscriptName()));

template <typename Node>
Node &Append(Node *&head, Node *&tail)
{
    Node *node = static_cast<Node *>(calloc(1, sizeof(Node)));
    if (tail)
        tail->next = node;
    else
        head = node;
    tail = node;
    return *node;
}

template <typename Node>
void FreeList(Node *&head, Node *&tail)
{
    while (head) {
        Node *next = head->next;
        free(head);
        head = next;
    }
    tail = nullptr;
}

template <size_t N>
void Put(char (&field)[N], const char *text)
{
    snprintf(field, N, "%s", text);
}

std::string SidText(PSID sid)
{
    char *text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text))
        return "?";
    std::string copy = text;
    LocalFree(text);
    return copy;
}

}  // namespace

int ReportedPlatform()
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    return static_cast<int>(info.dwPlatformId);
}

std::unique_ptr<_setup_info> NewRecord(int platform, const std::string &dst_dir)
{
    std::unique_ptr<_setup_info> si(new _setup_info());
    si->platform = platform;
    si->hInst = GetModuleHandleA(nullptr);
    si->installType = 1;
    si->image_type = IMAGE_SINGLE_DIR;
    Put(si->company_name, "RegTest Works");
    Put(si->dst_dir, dst_dir.c_str());
    Put(si->dst_drive, dst_dir.substr(0, 2).c_str());
    if (platform == PLATFORM_NT)
        GetSystemDirectoryA(si->sys_dir, sizeof si->sys_dir);
    else
        GetWindowsDirectoryA(si->sys_dir, sizeof si->sys_dir);
    return si;
}

_fileset_info &AddFileSet(_setup_info &si, const char *name, const char *software_name)
{
    if (si.num_file_sets == 0)
        Put(si.file_set_list[si.num_file_sets++].name, "Setup files");
    _fileset_info &fs = si.file_set_list[si.num_file_sets++];
    Put(fs.name, name);
    Put(fs.software_name, software_name);
    Put(fs.major_version, "2");
    Put(fs.minor_version, "0");
    Put(fs.release, "1");
    Put(fs.cpu_type, "i386");
    return fs;
}

void AddPath(_fileset_info &fs, const char *path)
{
    Put(Append(fs.path_items, fs.cur_path_item).path, path);
}

void AddVariable(_fileset_info &fs, const char *var, const char *value)
{
    _EnvironItems &item = Append(fs.environ_items, fs.cur_environ_item);
    Put(item.var, var);
    Put(item.value, value);
}

_ProgItems &AddProgItem(_fileset_info &fs, const char *name, const char *exe_path, const char *icon_path)
{
    _ProgItems &item = Append(fs.prog_items, fs.cur_prog_item);
    Put(item.name, name);
    Put(item.exe_path, exe_path);
    Put(item.icon_path, icon_path);
    return item;
}

_InfoItems &AddInfoItem(_fileset_info &fs, const char *name, const char *app_exe_path, const char *info_file,
                        const char *icon_path)
{
    _InfoItems &item = Append(fs.info_items, fs.cur_info_item);
    Put(item.name, name);
    Put(item.app_exe_path, app_exe_path);
    Put(item.info_file, info_file);
    Put(item.icon_path, icon_path);
    return item;
}

_AppItems &AddAppItem(_fileset_info &fs, const char *name, const char *app_exe_path, const char *icon_path,
                      const char *app_args, int sys_app)
{
    _AppItems &item = Append(fs.app_items, fs.cur_app_item);
    Put(item.name, name);
    Put(item.app_exe_path, app_exe_path);
    Put(item.icon_path, icon_path);
    Put(item.app_args, app_args);
    item.sys_app = sys_app;
    return item;
}

void FreeItems(_setup_info &si)
{
    for (_fileset_info &fs : si.file_set_list) {
        FreeList(fs.prog_items, fs.cur_prog_item);
        FreeList(fs.path_items, fs.cur_path_item);
        FreeList(fs.environ_items, fs.cur_environ_item);
        FreeList(fs.info_items, fs.cur_info_item);
        FreeList(fs.app_items, fs.cur_app_item);
    }
}

RegValue ReadValue(HKEY root, const std::string &key, const char *name)
{
    RegValue value;
    HKEY opened;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return value;
    DWORD cb = 0;
    if (RegQueryValueExA(opened, name, nullptr, &value.type, nullptr, &cb) == ERROR_SUCCESS) {
        value.data.resize(cb);
        value.found = RegQueryValueExA(opened, name, nullptr, &value.type,
                                       reinterpret_cast<BYTE *>(&value.data[0]), &cb) == ERROR_SUCCESS;
        value.data.resize(cb);
    }
    RegCloseKey(opened);
    return value;
}

// RegDeleteTreeA leaves the key itself.
void DeleteKeyTree(HKEY root, const std::string &key)
{
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
}

std::string Sz(const std::string &text) { return std::string(text.c_str(), text.size() + 1); }

KeySecurity DescribeSecurity(PSECURITY_DESCRIPTOR sd)
{
    KeySecurity security;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    BOOL defaulted = FALSE, present = FALSE;
    if (!GetSecurityDescriptorOwner(sd, &owner, &defaulted) ||
        !GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted)) {
        security.error = GetLastError();
        return security;
    }
    security.owner = owner ? SidText(owner) : "";
    for (DWORD i = 0; present && dacl && i < dacl->AceCount; i++) {
        ACCESS_ALLOWED_ACE *ace = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void **>(&ace)))
            continue;
        char text[128];
        snprintf(text, sizeof text, "%u;%u;%s;0x%lX", ace->Header.AceType, ace->Header.AceFlags,
                 SidText(&ace->SidStart).c_str(), ace->Mask);
        security.aces.push_back(text);
    }
    return security;
}

KeySecurity ReadKeySecurity(HKEY root, const std::string &key)
{
    KeySecurity security;
    HKEY opened;
    security.error = RegOpenKeyExA(root, key.c_str(), 0, READ_CONTROL, &opened);
    if (security.error != ERROR_SUCCESS)
        return security;
    PSECURITY_DESCRIPTOR sd = nullptr;
    security.error = GetSecurityInfo(opened, SE_REGISTRY_KEY, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                     nullptr, nullptr, nullptr, nullptr, &sd);
    RegCloseKey(opened);
    if (security.error != ERROR_SUCCESS)
        return security;
    security = DescribeSecurity(sd);
    LocalFree(sd);
    return security;
}

bool KeepsDescriptorsOfNewKeys()
{
    static const bool keeps = [] {
        PSID everyone = nullptr;
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        alignas(DWORD) char acl_buffer[256];
        PACL acl = reinterpret_cast<PACL>(acl_buffer);
        SECURITY_DESCRIPTOR sd;
        InitializeAcl(acl, sizeof acl_buffer, ACL_REVISION);
        AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone);
        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
        SECURITY_ATTRIBUTES sa = {sizeof sa, &sd, FALSE};
        const char probe[] = "Software\\RegTest Descriptor Probe";
        HKEY key;
        bool kept = false;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, probe, 0, nullptr, 0, KEY_ALL_ACCESS, &sa, &key, nullptr) ==
            ERROR_SUCCESS) {
            RegCloseKey(key);
            kept = ReadKeySecurity(HKEY_CURRENT_USER, probe).aces ==
                   std::vector<std::string>{AceText(kEveryone, KEY_ALL_ACCESS)};
            RegDeleteKeyA(HKEY_CURRENT_USER, probe);
        }
        FreeSid(everyone);
        return kept;
    }();
    return keeps;
}

namespace {

using CreateKeyFunction = decltype(&RegCreateKeyExA);
CreateKeyFunction g_real_create_key = nullptr;
std::vector<KeyCreation> g_key_creations;

LONG WINAPI RecordingCreateKey(HKEY root, LPCSTR path, DWORD reserved, LPSTR key_class, DWORD options,
                               REGSAM access, const LPSECURITY_ATTRIBUTES sa, PHKEY result, LPDWORD disposition)
{
    KeyCreation call;
    call.path = path ? path : "";
    call.key_class = key_class ? key_class : "";
    call.has_descriptor = sa && sa->lpSecurityDescriptor;
    if (call.has_descriptor)
        call.security = DescribeSecurity(sa->lpSecurityDescriptor);
    g_key_creations.push_back(call);
    return g_real_create_key(root, path, reserved, key_class, options, access, sa, result, disposition);
}

// The slot of this program's import address table that holds function of
// dll; null when the program does not import it.
ULONG_PTR *ImportSlot(const char *dll, const char *function)
{
    BYTE *base = reinterpret_cast<BYTE *>(GetModuleHandleA(nullptr));
    auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    auto *module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress);
    for (; module->Name; module++) {
        if (_stricmp(reinterpret_cast<char *>(base + module->Name), dll) != 0)
            continue;
        auto *names = reinterpret_cast<IMAGE_THUNK_DATA *>(base + module->OriginalFirstThunk);
        auto *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto *by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<char *>(by_name->Name), function) == 0)
                return reinterpret_cast<ULONG_PTR *>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void ReplaceImport(ULONG_PTR *slot, ULONG_PTR function)
{
    DWORD protection;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = function;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

}  // namespace

KeyCreationSpy::KeyCreationSpy()
{
    g_key_creations.clear();
    ULONG_PTR *slot = ImportSlot("advapi32.dll", "RegCreateKeyExA");
    EXPECT_NE(nullptr, slot) << "this program does not import RegCreateKeyExA";
    if (slot && !g_real_create_key) {
        g_real_create_key = reinterpret_cast<CreateKeyFunction>(*slot);
        ReplaceImport(slot, reinterpret_cast<ULONG_PTR>(&RecordingCreateKey));
    }
}

KeyCreationSpy::~KeyCreationSpy()
{
    ULONG_PTR *slot = ImportSlot("advapi32.dll", "RegCreateKeyExA");
    if (slot && g_real_create_key) {
        ReplaceImport(slot, reinterpret_cast<ULONG_PTR>(g_real_create_key));
        g_real_create_key = nullptr;
    }
}

const std::vector<KeyCreation> &KeyCreationSpy::Calls() const { return g_key_creations; }

std::string AceText(const std::string &sid, DWORD mask)
{
    char text[128];
    snprintf(text, sizeof text, "%u;0;%s;0x%lX", ACCESS_ALLOWED_ACE_TYPE, sid.c_str(), mask);
    return text;
}

std::string CurrentUserSid()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return "";
    char buffer[256];
    DWORD cb = 0;
    std::string sid;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &cb))
        sid = SidText(reinterpret_cast<TOKEN_USER *>(buffer)->User.Sid);
    CloseHandle(token);
    return sid;
}

SavedValue::SavedValue(HKEY root, const std::string &key, const char *name)
    : root_(root), key_(key), name_(name), value_(ReadValue(root, key, name))
{
}

SavedValue::~SavedValue()
{
    HKEY opened;
    if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS)
        return;
    if (value_.found)
        RegSetValueExA(opened, name_.c_str(), 0, value_.type, reinterpret_cast<const BYTE *>(value_.data.data()),
                       static_cast<DWORD>(value_.data.size()));
    else
        RegDeleteValueA(opened, name_.c_str());
    RegCloseKey(opened);
}

SavedFile::SavedFile(const std::string &path) : path_(path), existed_(IsFile(path)), text_(ReadText(path)) {}

SavedFile::~SavedFile()
{
    if (existed_)
        WriteText(path_, text_);
    else
        DeleteFileA(path_.c_str());
}

void BatchEnvironmentTest::SetUp()
{
    DWORD length = GetEnvironmentVariableA("PATH", process_path, sizeof process_path);
    ASSERT_TRUE(length > 0 && length < sizeof process_path);
}

void BatchEnvironmentTest::TearDown()
{
    SetEnvironmentVariableA("PATH", process_path);
    SetEnvironmentVariableA("REGTEST_HOME", nullptr);
}

NewFolderGuard::NewFolderGuard(const std::string &path) : path_(path), existed_(IsDirectory(path)) {}

NewFolderGuard::~NewFolderGuard()
{
    std::error_code ignored;
    if (!existed_)
        std::filesystem::remove_all(path_, ignored);
}

Shortcut LoadShortcut(const std::string &path)
{
    Shortcut shortcut;
    bool balance = SUCCEEDED(CoInitialize(nullptr));
    IShellLinkA *link = nullptr;
    IPersistFile *file = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void **>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file))) &&
        IsFile(path) && SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[1024];
        shortcut.loaded = true;
        if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH)))
            shortcut.target = text;
        if (SUCCEEDED(link->GetArguments(text, sizeof text)))
            shortcut.arguments = text;
        if (SUCCEEDED(link->GetDescription(text, sizeof text)))
            shortcut.description = text;
        if (SUCCEEDED(link->GetIconLocation(text, sizeof text, &shortcut.icon_index)))
            shortcut.icon_file = text;
        if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text)))
            shortcut.work_dir = text;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (balance)
        CoUninitialize();
    return shortcut;
}

}  // namespace regtest
