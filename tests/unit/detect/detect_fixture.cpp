// The toolkit started quietly with a transcript for every test, and the
// helpers of detect_fixture.h.
#include "detect_fixture.h"

#include "setupapi.h"
#include "setuprt.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace dettest {
namespace {

// A death test runs in a child process of its own, which writes its own
// transcript; the parent reads the child's after EXPECT_EXIT.
bool InDeathTestChild()
{
    return !GTEST_FLAG_GET(internal_run_death_test).empty();
}

std::string TempDir()
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return dir;
}

std::string TranscriptPath(bool child)
{
    std::string name = child ? "child" : std::to_string(GetCurrentProcessId());
    return TempDir() + "detect_test_" + name + ".txt";
}

class QuietToolkit : public ::testing::Environment {
public:
    void SetUp() override
    {
        std::string cmd = "/q /t " + TranscriptPath(InDeathTestChild());
        ASSERT_GT(InitSetupToolkit(cmd.c_str()), 0);
    }
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new QuietToolkit);

}  // namespace

std::string ReadTranscript(bool child)
{
    std::ifstream in(TranscriptPath(child));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ScratchDir::ScratchDir()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = TempDir() + "det_" + test->test_suite_name() + "_" + test->name();
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

std::string ScratchDir::File(const std::string &relative) const
{
    std::filesystem::path path = std::filesystem::path(path_) / relative;
    std::filesystem::create_directories(path.parent_path());
    return path.string();
}

void WriteText(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> ListItems(const char *szSymbol)
{
    std::vector<std::string> items;
    for (unsigned n = 1; n <= UsGetListLength(szSymbol); n++) {
        char item[MAX_PATH];
        CbGetListItem(szSymbol, n, item, sizeof item);
        items.push_back(item);
    }
    return items;
}

GuardedBuffer::GuardedBuffer(unsigned size) : bytes_(size + 1, static_cast<char>(kFill))
{
    bytes_.back() = static_cast<char>(kCanary);
}

}  // namespace dettest
