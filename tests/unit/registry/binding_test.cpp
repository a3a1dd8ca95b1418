// Loading and binding ADVAPI32.DLL, against the system's own library and
// against stand-ins that lack one entry point each.
#include "regdb_fixture.h"

#include "msregdb.h"
#include "setupapi.h"

#include <filesystem>
#include <fstream>
#include <sstream>

using regtest::ReadTranscript;
using regtest::RegistryTest;

namespace {

namespace fs = std::filesystem;

fs::path TestProgramDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    return fs::path(path).parent_path();
}

// Per-program settings of Wine, for the child alone.
const char kChildSettings[] = "Software\\Wine\\AppDefaults\\regdb_standin_child.exe";

// Wine prefers its builtin advapi32 even to a file of that name beside the
// program (it loads the builtin under the file's name); the override
// advapi32=n,b makes it load the file. WINEDLLOVERRIDES is read from the
// environment the Wine process was started with, and a variable set by a
// Windows program does not get there, so the override goes into the
// per-program key of the child instead. It would also serve the file to
// every module that imports advapi32 (user32, gdi32, ole32 ...), so the
// child imports none of them and the stand-in is the only ADVAPI32.DLL it
// ever loads; the stand-in reaches the system's own library by its full
// path, which Wine then loads as the builtin.
void OverrideAdvapi32ForChild(bool fOn)
{
    if (!fOn) {
        RegDeleteTreeA(HKEY_CURRENT_USER, kChildSettings);
        RegDeleteKeyA(HKEY_CURRENT_USER, kChildSettings);
        return;
    }
    HKEY hKey;
    std::string overrides = std::string(kChildSettings) + "\\DllOverrides";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, overrides.c_str(), &hKey));
    RegSetValueExA(hKey, "advapi32", 0, REG_SZ, reinterpret_cast<const BYTE *>("native,builtin"), 15);
    RegCloseKey(hKey);
}

// Runs regdb_standin_child.exe from a directory of its own beside the named
// stand-in, copied there as ADVAPI32.DLL, and returns what the child wrote.
std::string RunChildBeside(const char *szStandIn)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    fs::path dir = fs::path(temp) / (std::string("regdb_standin_") + szStandIn);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    fs::create_directories(dir);
    fs::copy_file(TestProgramDir() / "regdb_standin_child.exe", dir / "regdb_standin_child.exe");
    fs::copy_file(TestProgramDir() / (std::string(szStandIn) + ".dll"), dir / "ADVAPI32.DLL");
    fs::path facts = dir / "facts.txt";

    OverrideAdvapi32ForChild(true);
    std::string cmd = "\"" + (dir / "regdb_standin_child.exe").string() + "\" \"" + facts.string() + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, dir.string().c_str(), &si, &pi);
    EXPECT_TRUE(started) << GetLastError();
    if (started) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 60000));
        DWORD exitCode = 1;
        GetExitCodeProcess(pi.hProcess, &exitCode);
        EXPECT_EQ(0u, exitCode);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    OverrideAdvapi32ForChild(false);

    std::ifstream in(facts);
    std::stringstream text;
    text << in.rdbuf();
    in.close();
    fs::remove_all(dir, ignored);
    return text.str();
}

}  // namespace

TEST(RegDbBinding, LibraryWithoutOptionalEntryPointIsAccepted)
{
    std::string facts = RunChildBeside("advapi_no_queryinfo");
    EXPECT_EQ("loaded before 0\n"
              "init 1\n"
              "stand-in was loaded 1\n"
              "bound from stand-in 1\n"
              "RegQueryInfoKeyA bound 0\n"
              "RegEnumKeyA bound 1\n"
              "open through stand-in 0\n"
              "held after 0\n",
              facts);
}

TEST(RegDbBinding, LibraryWithoutRequiredEntryPointIsRefusedAndReleased)
{
    std::string facts = RunChildBeside("advapi_no_setvalue");
    EXPECT_EQ("loaded before 0\n"
              "init 0\n"
              "stand-in was loaded 1\n"
              "held after 0\n",
              facts);
}

using RegDbLifetime = RegistryTest;

TEST_F(RegDbLifetime, TerminateTwiceThenBindAgain)
{
    TerminateRegDb();
    TerminateRegDb();
    ASSERT_EQ(1, FInitRegDb());
    CreateRegKey(Key("Again").c_str());
    EXPECT_TRUE(KeyExists("Again"));
}

using RegDbLifetimeDeathTest = RegistryTest;

TEST_F(RegDbLifetimeDeathTest, OperationAfterTerminateIsRefused)
{
    EXPECT_EXIT(
        {
            TerminateRegDb();
            CreateRegKey(Key("Late").c_str());
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos,
              ReadTranscript(true).find("error \"CreateRegKey: the registry functions are not loaded\"\n"));
    EXPECT_FALSE(KeyExists("Late"));
}
