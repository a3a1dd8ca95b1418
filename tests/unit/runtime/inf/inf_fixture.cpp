// inf_fixture.cpp - the toolkit, the transcript and the scratch directories.
#include "inf_fixture.h"

#include <filesystem>
#include <vector>

#include "setupapi.h"
#include "setuprt.h"

namespace fs = std::filesystem;

namespace {

const auto *const environment = ::testing::AddGlobalTestEnvironment(new unitcommon::QuietToolkit("inf_test"));

}  // namespace

std::string PayloadDir()
{
    return std::string("Z:") + PAYLOAD_DIR;
}

void ScratchTest::SetUp()
{
    root = unitcommon::ScratchPath("inf_test\\");
    std::error_code ignored;
    fs::remove_all(root, ignored);
    fs::create_directories(root);
    ResetCopyList();
    FClearBillboardList();
    FOpenInf("", 1, 0);  // closes the file of the test before
    transcriptStart = ReadTranscript().size();
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
    return ReadTranscript().substr(transcriptStart);
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
