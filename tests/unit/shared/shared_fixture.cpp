// The toolkit started quietly with a transcript and the registry layer bound
// for every test, and the helpers of shared_fixture.h.
#include "shared_fixture.h"

#include "msregdb.h"
#include "setupapi.h"

#include <filesystem>

#include "death_test_child.h"
#include "test_files.h"

namespace sharedtest {
namespace {

namespace fs = std::filesystem;

const char kTestKey[] = "QuorvaneSharedTest";

std::string WinIniPath()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\win.ini";
}

// Windows keeps profiles cached; this writes the cache out and drops it.
void FlushProfiles()
{
    WritePrivateProfileStringA(NULL, NULL, NULL, "win.ini");
}

class QuietToolkitWithRegistry : public unitcommon::QuietToolkit {
public:
    QuietToolkitWithRegistry() : QuietToolkit("shared_test") {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(QuietToolkit::SetUp());
        ASSERT_EQ(1, FInitRegDb());
    }
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new QuietToolkitWithRegistry);

fs::path TestProgramDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    return fs::path(path).parent_path();
}

}  // namespace

std::string WinIniValue(const char *szSect, const char *szKey)
{
    char value[512];
    GetPrivateProfileStringA(szSect, szKey, "<none>", value, sizeof value, "win.ini");
    return value;
}

void SetWinIniValue(const char *szSect, const char *szKey, const std::string &value)
{
    ASSERT_TRUE(WritePrivateProfileStringA(szSect, szKey, value.c_str(), "win.ini")) << GetLastError();
}

void RemoveWinIniSection(const char *szSect)
{
    WritePrivateProfileStringA(szSect, NULL, NULL, "win.ini");
}

std::string WindowsDir()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\";
}

std::string SystemDir()
{
    char dir[MAX_PATH];
    GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\";
}

void SharedFileTest::SetUp()
{
    scratch_ = unitcommon::ScratchPath("shared_");
    // A death-test child works on what its parent has just prepared.
    if (unitcommon::InDeathTestChild())
        return;
    std::error_code ignored;
    fs::remove_all(scratch_, ignored);
    fs::create_directories(scratch_);

    FlushProfiles();
    hadWinIni_ = fs::exists(WinIniPath());
    savedWinIni_ = unitcommon::ReadText(WinIniPath());
    RemoveWinIniSection("MSAPPS");
    RemoveWinIniSection("QuorvaneShared");
}

void SharedFileTest::TearDown()
{
    if (unitcommon::InDeathTestChild())
        return;
    FlushProfiles();
    if (hadWinIni_)
        unitcommon::WriteText(WinIniPath(), savedWinIni_);
    else
        DeleteFileA(WinIniPath().c_str());
    FlushProfiles();

    RegDeleteTreeA(HKEY_CLASSES_ROOT, kTestKey);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kTestKey);
    for (const std::string &path : elsewhere_) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    for (const auto &entry : fs::recursive_directory_iterator(scratch_, fs::directory_options::skip_permission_denied))
        SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::error_code ignored;
    fs::remove_all(scratch_, ignored);
}

std::string SharedFileTest::Scratch(const std::string &relative) const
{
    fs::path path = fs::path(scratch_) / relative;
    fs::create_directories(path.parent_path());
    return path.string();
}

void SharedFileTest::PlaceVersionFile(const char *szWhich, const std::string &path)
{
    fs::path source = TestProgramDir() / (std::string("qvshared_") + szWhich + ".dll");
    fs::create_directories(fs::path(path).parent_path());
    ASSERT_TRUE(CopyFileA(source.string().c_str(), path.c_str(), FALSE)) << source << " " << GetLastError();
}

void SharedFileTest::MakeReadOnly(const std::string &path)
{
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) << GetLastError();
}

std::string SharedFileTest::RegisterPath(const char *szName, const std::string &path)
{
    std::string key = std::string(kTestKey) + "\\" + szName;
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, path.c_str(), path.size()));
    return key;
}

void SharedFileTest::PlaceElsewhere(const char *szWhich, const std::string &path)
{
    elsewhere_.push_back(path);
    PlaceVersionFile(szWhich, path);
}

}  // namespace sharedtest
