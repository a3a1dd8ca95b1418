// INI values made and removed through the wrappers, in a scratch INI file and
// in SYSTEM.INI, which is put back afterwards.
#include "files_fixture.h"

#include "setupapi.h"
#include "setuprt.h"

#include <string>

namespace {

using filestest::Exists;
using filestest::HasLine;
using filestest::Quoted;
using filestest::ReadText;
using filestest::ReadTranscript;
using filestest::ScratchDir;
using filestest::WriteText;

std::string IniValue(const std::string &file, const char *section, const char *key)
{
    char value[256];
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, file.c_str());
    return value;
}

class IniFile : public ::testing::Test {
protected:
    ScratchDir scratch_;
    std::string ini_ = scratch_.File("qv.ini");
};

TEST_F(IniFile, ValueIsCreatedAndKeptUnlessReplaced)
{
    CreateIniKeyValue(ini_.c_str(), "Paths", "Home", "C:\\usr", 0);
    EXPECT_EQ("C:\\usr", IniValue(ini_, "Paths", "Home"));
    EXPECT_TRUE(HasLine(ReadTranscript(), "ini " + Quoted(ini_) + " \"Paths\" \"Home\" \"C:\\\\usr\""));

    CreateIniKeyValue(ini_.c_str(), "Paths", "Home", "D:\\usr", 0);
    EXPECT_EQ("C:\\usr", IniValue(ini_, "Paths", "Home"));

    CreateIniKeyValue(ini_.c_str(), "Paths", "Home", "D:\\usr", CMO_REPLACE_VALUE);
    EXPECT_EQ("D:\\usr", IniValue(ini_, "Paths", "Home"));
}

TEST_F(IniFile, KeyAndSectionAreRemovedAndOthersKept)
{
    WriteText(ini_, "[Paths]\r\nHome=C:\\usr\r\nBin=C:\\usr\\bin\r\n[Colors]\r\nBack=blue\r\n");
    RemoveIniKey(ini_.c_str(), "Paths", "Home", 0);
    EXPECT_EQ("<missing>", IniValue(ini_, "Paths", "Home"));
    EXPECT_EQ("C:\\usr\\bin", IniValue(ini_, "Paths", "Bin"));

    RemoveIniSection(ini_.c_str(), "Paths", 0);
    EXPECT_EQ("<missing>", IniValue(ini_, "Paths", "Bin"));
    EXPECT_EQ("blue", IniValue(ini_, "Colors", "Back"));
    EXPECT_TRUE(HasLine(ReadTranscript(), "inidel " + Quoted(ini_) + " \"Paths\""));

    // What is not there is removed already.
    RemoveIniKey(ini_.c_str(), "Colors", "Fore", 0);
    RemoveIniSection(ini_.c_str(), "Sounds", 0);
    EXPECT_EQ("blue", IniValue(ini_, "Colors", "Back"));
}

TEST_F(IniFile, RemovingFromMissingFileCreatesNothing)
{
    RemoveIniKey(ini_.c_str(), "Paths", "Home", 0);
    RemoveIniSection(ini_.c_str(), "Paths", 0);
    EXPECT_FALSE(Exists(ini_));
}

TEST_F(IniFile, TextThatWouldBreakTheFileIsRefused)
{
    WriteText(ini_, "[Paths]\r\nHome=C:\\usr\r\n");
    EXPECT_EQ(0, FCreateIniKeyValue(ini_.c_str(), "Paths", "Home", "C:\\x\r\n[Evil]\r\nk=v", CMO_REPLACE_VALUE));
    EXPECT_EQ(0, FCreateIniKeyValue(ini_.c_str(), "Paths", "a=b", "v", 0));
    EXPECT_EQ(0, FCreateIniKeyValue(ini_.c_str(), "Pa]ths", "k", "v", 0));
    EXPECT_EQ(0, FCreateIniKeyValue(ini_.c_str(), "Paths", ";k", "v", 0));
    EXPECT_EQ(0, FCreateIniKeyValue(ini_.c_str(), "Paths", "", "v", 0));
    EXPECT_EQ(0, FCreateIniKeyValue(ini_.c_str(), "Paths", "k", NULL, 0));
    EXPECT_EQ("[Paths]\r\nHome=C:\\usr\r\n", ReadText(ini_));
}

using IniFileDeathTest = IniFile;

TEST_F(IniFileDeathTest, RefusedValueEndsTheRun)
{
    EXPECT_EXIT(CreateIniKeyValue(ini_.c_str(), "Paths", "Home", "a\nb", 0), ::testing::ExitedWithCode(2), "");
    EXPECT_TRUE(HasLine(ReadTranscript(true), "dialog 400 CONTINUE"));
}

// SYSTEM.INI of the Windows directory, put back after every test.
class SystemIni : public ::testing::Test {
protected:
    void SetUp() override
    {
        char dir[MAX_PATH];
        GetWindowsDirectoryA(dir, sizeof dir);
        path_ = std::string(dir) + "\\system.ini";
        existed_ = Exists(path_);
        saved_ = ReadText(path_);
    }
    void TearDown() override
    {
        WritePrivateProfileStringA(NULL, NULL, NULL, path_.c_str());
        if (existed_)
            WriteText(path_, saved_);
        else
            DeleteFileA(path_.c_str());
    }

    // The lines "key=value" of the file, in order.
    std::vector<std::string> KeyLines(const std::string &key)
    {
        std::vector<std::string> found;
        std::string text = ReadText(path_);
        for (size_t at = 0; at < text.size();) {
            size_t end = text.find('\n', at);
            std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.rfind(key + "=", 0) == 0)
                found.push_back(line);
            at = end == std::string::npos ? text.size() : end + 1;
        }
        return found;
    }

    std::string path_, saved_;
    bool existed_ = false;
};

TEST_F(SystemIni, RepeatedKeyGetsALineOfItsOwnOnce)
{
    CreateSysIniKeyValue(NULL, "386Enh", "qvdevice", "qv.386", 0);
    CreateSysIniKeyValue("SYSTEM.INI", "386Enh", "qvdevice", "qvnet.386", 0);
    CreateSysIniKeyValue("system.ini", "386Enh", "qvdevice", "qv.386", 0);
    EXPECT_EQ((std::vector<std::string>{"qvdevice=qv.386", "qvdevice=qvnet.386"}), KeyLines("qvdevice"));
    EXPECT_TRUE(HasLine(ReadTranscript(), "ini \"SYSTEM.INI\" \"386Enh\" \"qvdevice\" \"qvnet.386\""));
}

TEST_F(SystemIni, ReplacingChangesTheFirstLine)
{
    CreateSysIniKeyValue(NULL, "boot", "qvshell", "qv.exe", 0);
    CreateSysIniKeyValue(NULL, "boot", "qvshell", "qv32.exe", CMO_REPLACE_VALUE);
    EXPECT_EQ(std::vector<std::string>{"qvshell=qv32.exe"}, KeyLines("qvshell"));
}

}  // namespace
