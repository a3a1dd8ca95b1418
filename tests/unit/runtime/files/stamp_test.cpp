// Resource stamping into a copy of a small test program, read back with the
// resource functions and by running the program.
#include "files_fixture.h"

#include "setupapi.h"
#include "setuprt.h"

#include <string>

namespace {

using filestest::HasLine;
using filestest::Quoted;
using filestest::ReadTranscript;
using filestest::ScratchDir;
using filestest::WriteText;

constexpr unsigned short kRcData = 10;

std::string ProgramDir()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\'));
}

BOOL CALLBACK CountLanguage(HMODULE, LPCSTR, LPCSTR, WORD, LONG_PTR count)
{
    ++*reinterpret_cast<int *>(count);
    return TRUE;
}

// The bytes of RCDATA 1 of the file, and how many languages it has.
std::string ResourceBytes(const std::string &file, int &languages)
{
    HMODULE module = LoadLibraryExA(file.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return "<not loadable>";
    languages = 0;
    EnumResourceLanguagesA(module, MAKEINTRESOURCEA(kRcData), MAKEINTRESOURCEA(1), CountLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    std::string bytes = "<missing>";
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(kRcData));
    if (resource) {
        const char *data = static_cast<const char *>(LockResource(LoadResource(module, resource)));
        bytes.assign(data, SizeofResource(module, resource));
    }
    FreeLibrary(module);
    return bytes;
}

DWORD RunProgram(const std::string &file)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string cmd = "\"" + file + "\"";
    if (!CreateProcessA(file.c_str(), &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0xFFFF;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 0xFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

class Stamp : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyFileA((ProgramDir() + "\\stamp_target.exe").c_str(), program_.c_str(), FALSE));
        WriteText(inf_, "[Programs]\r\nqv = qv.exe\r\n");
        ASSERT_TRUE(FOpenInf(inf_.c_str(), 1, 0));
    }

    ScratchDir scratch_;
    std::string program_ = scratch_.File("qv.exe");
    std::string inf_ = scratch_.File("setup.inf");
};

TEST_F(Stamp, BytesReplaceTheResourceOfTheNamedProgram)
{
    const char licensee[] = "Licensed to Ada Lovelace";
    StampResource("Programs", "qv", scratch_.Path().c_str(), kRcData, 1, licensee, sizeof licensee);

    int languages = 0;
    EXPECT_EQ(std::string(licensee, sizeof licensee), ResourceBytes(program_, languages));
    EXPECT_EQ(1, languages) << "the stamped bytes must replace the resource, not join it";
    EXPECT_EQ(sizeof licensee, RunProgram(program_)) << "the program must still run";
    EXPECT_TRUE(HasLine(ReadTranscript(), "stamp " + Quoted(program_) + " \"10\" \"1\""));
}

TEST_F(Stamp, NewResourceIsAdded)
{
    ASSERT_EQ(1, FStampResource("Programs", "qv", scratch_.Path().c_str(), kRcData, 7, "serial 42", 9));
    HMODULE module = LoadLibraryExA(program_.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(7), MAKEINTRESOURCEA(kRcData));
    EXPECT_NE(nullptr, resource);
    EXPECT_NE(nullptr, FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(kRcData)));
    FreeLibrary(module);
}

using StampDeathTest = Stamp;

TEST_F(StampDeathTest, MissingLineOrNoBytesFails)
{
    EXPECT_EQ(0, FStampResource("Programs", "other", scratch_.Path().c_str(), kRcData, 1, "x", 1));
    EXPECT_EQ(0, FStampResource("Programs", "qv", scratch_.Path().c_str(), kRcData, 1, "", 0));
    EXPECT_EQ(0, FStampResource("Programs", "qv", scratch_.File("nowhere").c_str(), kRcData, 1, "x", 1));
    int languages = 0;
    EXPECT_EQ(std::string("................................\0", 33), ResourceBytes(program_, languages));
    EXPECT_EXIT(StampResource("Programs", "other", scratch_.Path().c_str(), kRcData, 1, "x", 1),
                ::testing::ExitedWithCode(2), "");
}

}  // namespace
