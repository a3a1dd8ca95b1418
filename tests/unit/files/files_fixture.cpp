// The toolkit started quietly with a transcript for every test, and the
// helpers of files_fixture.h.
#include "files_fixture.h"

#include "setupapi.h"
#include "setuprt.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace filestest {
namespace {

std::string TempDir()
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return dir;
}

class QuietToolkit : public ::testing::Environment {
public:
    void SetUp() override
    {
        std::string cmd = "/q /t \"" + TranscriptPath(InDeathTestChild()) + "\"";
        ASSERT_GT(InitSetupToolkit(cmd.c_str()), 0);
    }
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new QuietToolkit);

}  // namespace

// A death test runs in a child process of its own, which writes its own
// transcript; the parent reads the child's after EXPECT_EXIT.
bool InDeathTestChild()
{
    return !GTEST_FLAG_GET(internal_run_death_test).empty();
}

std::string TranscriptPath(bool child)
{
    std::string name = child ? "child" : std::to_string(GetCurrentProcessId());
    return TempDir() + "files_test_" + name + ".txt";
}

std::string ReadTranscript(bool child)
{
    return ReadText(TranscriptPath(child));
}

bool HasLine(const std::string &transcript, const std::string &line)
{
    std::istringstream lines(transcript);
    for (std::string each; std::getline(lines, each);)
        if (each == line)
            return true;
    return false;
}

ScratchDir::ScratchDir()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = TempDir() + "files_" + test->test_suite_name() + "_" + test->name();
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir()
{
    if (InDeathTestChild())
        return;  // the parent still uses it
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void WriteText(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Quoted(const std::string &text)
{
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return quoted + "\"";
}

bool RestartFrame(const std::string &options)
{
    TerminateFrame();
    return InitializeFrame(options.c_str()) > 0;
}

}  // namespace filestest
