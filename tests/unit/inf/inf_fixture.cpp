// inf_fixture.cpp - the toolkit, the transcript and the scratch directories.
#include "inf_fixture.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "setupapi.h"
#include "setuprt.h"

namespace fs = std::filesystem;

namespace {

const char kAnswersVariable[] = "INF_TEST_ANSWERS";

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
    return TempDir() + (child ? "inf_test_child.txt" : "inf_test_parent.txt");
}

// Quiet, unless the parent left answers for this death-test child.
class Toolkit : public ::testing::Environment {
public:
    void SetUp() override
    {
        bool child = InDeathTestChild();
        const char *answers = getenv(kAnswersVariable);
        std::string mode = child && answers ? std::string("/a ") + answers : "/q";
        ASSERT_GT(InitSetupToolkit((mode + " /t " + TranscriptPath(child)).c_str()), 0);
    }
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new Toolkit);

}  // namespace

std::string ReadText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string &path, const std::string &content)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string PayloadDir()
{
    return std::string("Z:") + PAYLOAD_DIR;
}

std::string Transcript(bool child)
{
    return ReadText(TranscriptPath(child));
}

void ForgetChildTranscript()
{
    DeleteFileA(TranscriptPath(true).c_str());
}

std::string Quoted(const std::string &text)
{
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '\n')
            out += "\\n";
        else
            out += (ch == '\\' || ch == '"') ? std::string("\\") + ch : std::string(1, ch);
    }
    return out + "\"";
}

std::string MsgBoxLine(const std::string &text, const std::string &caption, int style, int button)
{
    return "msgbox " + Quoted(text) + " " + Quoted(caption) + " " + std::to_string(style) + " " +
           std::to_string(button) + "\n";
}

ChildAnswers::ChildAnswers(const std::string &answers)
{
    std::string path = TempDir() + "inf_test_answers.txt";
    WriteText(path, answers);
    SetEnvironmentVariableA(kAnswersVariable, path.c_str());
}

ChildAnswers::~ChildAnswers()
{
    SetEnvironmentVariableA(kAnswersVariable, NULL);
}

void ScratchTest::SetUp()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    root = TempDir() + "inf_test\\" + test->test_suite_name() + "." + test->name();
    for (char &ch : root) {
        if (ch == '/')
            ch = '_';
    }
    std::error_code ignored;
    fs::remove_all(root, ignored);
    fs::create_directories(root);
    ResetCopyList();
    FClearBillboardList();
    FOpenInf("", 1, 0);  // closes the file of the test before
    transcriptStart = Transcript().size();
}

void ScratchTest::TearDown()
{
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

bool ScratchTest::OpenInf(const std::string &text, const std::string &name)
{
    std::string path = root + "\\" + name;
    WriteText(path, text);
    return FOpenInf(path.c_str(), 1, 0) != 0;
}

std::string ScratchTest::TranscriptSinceStart() const
{
    return Transcript().substr(transcriptStart);
}

std::string FileLine(const std::string &key, const std::string &name, const std::string &rename,
                     const std::string &size, const std::string &version)
{
    std::vector<std::string> fields(19);
    fields[0] = name;
    fields[10] = rename;
    fields[14] = size;
    fields[18] = version;
    std::string line = key.empty() ? "" : key + " = ";
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? ", " : "") + fields[i];
    return line + "\n";
}

std::vector<std::string> List(const char *symbol)
{
    std::vector<std::string> items;
    unsigned count = UsGetListLength(symbol);
    for (unsigned n = 1; n <= count; ++n) {
        char item[512];
        CbGetListItem(symbol, n, item, sizeof item);
        items.push_back(item);
    }
    return items;
}

void CopyTest::SetUp()
{
    ScratchTest::SetUp();
    src = root + "\\src";
    dst = root + "\\dst";
    fs::create_directories(src);
    fs::create_directories(dst);
    readme = ReadText(PayloadDir() + "/readme.txt");
    ASSERT_FALSE(readme.empty());
    fs::copy_file(PayloadDir() + "/readme.txt", Src("readme.txt"));
    fs::copy_file(PayloadDir() + "/readme.txt_", Src("readme.txt_"));
}
