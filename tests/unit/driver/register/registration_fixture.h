// registration_fixture.h - the toolkit started quietly with a transcript, a
// setup record filled by the test, and helpers that read back what the
// registration left: registry values, key security, shortcut files.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "quiet_toolkit.h"
#include "base/setup_info.h"
#include "test_files.h"

namespace regtest {

using unitcommon::FatalLine;
using unitcommon::ForgetChildTranscript;
using unitcommon::IsDirectory;
using unitcommon::IsFile;
using unitcommon::Quoted;
using unitcommon::ReadText;
using unitcommon::ReadTranscript;
using unitcommon::WriteText;

// The platform that GetVersionExA reports to this process: 1 when the
// w95 prefix runs it as a Windows 95 family program.
int ReportedPlatform();

// Where this test may write; emptied before the test, removed after it.
// The same for a death-test child and its parent.
class ScratchDir : public unitcommon::ScratchDir {
public:
    ScratchDir() : unitcommon::ScratchDir("regtest\\") {}
};

// A record as start-up and the dialogs leave it for the install phase.
std::unique_ptr<_setup_info> NewRecord(int platform, const std::string &dst_dir);
// Appends a file set at index num_file_sets (index 0 is taken first).
_fileset_info &AddFileSet(_setup_info &si, const char *name, const char *software_name);
void AddPath(_fileset_info &fs, const char *path);
void AddVariable(_fileset_info &fs, const char *var, const char *value);
_ProgItems &AddProgItem(_fileset_info &fs, const char *name, const char *exe_path, const char *icon_path);
_InfoItems &AddInfoItem(_fileset_info &fs, const char *name, const char *app_exe_path, const char *info_file,
                        const char *icon_path);
_AppItems &AddAppItem(_fileset_info &fs, const char *name, const char *app_exe_path, const char *icon_path,
                      const char *app_args, int sys_app);
// Frees the item lists of every file set of the record.
void FreeItems(_setup_info &si);

// A registry value as stored; found is false when it is not there.
struct RegValue {
    bool found = false;
    DWORD type = 0;
    std::string data;  // the bytes, terminators included
};
RegValue ReadValue(HKEY root, const std::string &key, const char *name);
void DeleteKeyTree(HKEY root, const std::string &key);
// A REG_SZ value's bytes: the text and its terminator.
std::string Sz(const std::string &text);

// The owner and the ACEs of a key, as SID strings and "type;flags;SID;mask".
struct KeySecurity {
    DWORD error = 0;
    std::string owner;
    std::vector<std::string> aces;
};
KeySecurity ReadKeySecurity(HKEY root, const std::string &key);
KeySecurity DescribeSecurity(PSECURITY_DESCRIPTOR sd);
std::string AceText(const std::string &sid, DWORD mask);
std::string CurrentUserSid();
extern const char kAdministrators[];
extern const char kEveryone[];

// Whether this system keeps the descriptor given when a key is created;
// Wine 8 gives every new key its default descriptor instead.
bool KeepsDescriptorsOfNewKeys();

// A RegCreateKeyExA call of this program: the key, its class and the
// descriptor handed over (none for the system's default security).
struct KeyCreation {
    std::string path;
    std::string key_class;
    bool has_descriptor = false;
    KeySecurity security;
};

// Records every RegCreateKeyExA call of this program while it lives, so that
// a test sees the descriptor the installer asked for even where the system
// does not keep it.
class KeyCreationSpy {
public:
    KeyCreationSpy();
    ~KeyCreationSpy();
    KeyCreationSpy(const KeyCreationSpy &) = delete;
    KeyCreationSpy &operator=(const KeyCreationSpy &) = delete;
    const std::vector<KeyCreation> &Calls() const;
};

// Keeps a registry value as the test found it and puts it back afterwards,
// or removes it when there was none.
class SavedValue {
public:
    SavedValue(HKEY root, const std::string &key, const char *name);
    ~SavedValue();

private:
    HKEY root_;
    std::string key_;
    std::string name_;
    RegValue value_;
};

// Keeps a file as the test found it and puts it back afterwards, or removes
// it when there was none.
class SavedFile {
public:
    explicit SavedFile(const std::string &path);
    ~SavedFile();

private:
    std::string path_;
    bool existed_;
    std::string text_;
};

// What SetEnvVariable changes on the 95 family, put back after each test:
// this process's PATH and REGTEST_HOME, C:\AUTOEXEC.BAT and its backup.
class BatchEnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    char process_path[32768];
    SavedFile saved_batch{"C:\\AUTOEXEC.BAT"};
    SavedFile saved_backup{"C:\\AUTOEXEC.BAK"};
};

// Removes a folder afterwards when the test made it (with what it holds).
class NewFolderGuard {
public:
    explicit NewFolderGuard(const std::string &path);
    ~NewFolderGuard();

private:
    std::string path_;
    bool existed_;
};

// A shortcut file as IShellLinkA reads it back.
struct Shortcut {
    bool loaded = false;
    std::string target;
    std::string arguments;
    std::string description;
    std::string icon_file;
    int icon_index = -1;
    std::string work_dir;
};
Shortcut LoadShortcut(const std::string &path);

// The environment key of the system, where NT keeps Path.
extern const char kEnvironmentKey[];

}  // namespace regtest
