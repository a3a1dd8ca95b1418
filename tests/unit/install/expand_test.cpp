// Compressed media: files made by mscompress, expanded by expand.exe on
// both platform families.
#include "install_fixture.h"

#include <string>
#include <vector>

namespace {

class Expand : public InstallTest {
protected:
    // A compressed single-directory medium in root\<dir>\ holding notes.txt_.
    void UseCompressedMedium(const std::string &dir, const std::string &body)
    {
        source = root + "\\" + dir + "\\";
        CreateDirectoryA(source.c_str(), NULL);
        ASSERT_TRUE(CopyFileA((PayloadDir() + "/notes.txt_").c_str(), (source + "notes.txt_").c_str(), FALSE));
        UseMedium(source, SimpleScript(body, "COMPRESSED\n"));
        si->total_disk_space_req = 1000;
    }

    void UseWindows95() { si->platform = PLATFORM_WIN95; }

    std::string Notes() { return ReadText(PayloadDir() + "/notes.txt"); }

    std::string source;
};

// The target is a temporary file beside the destination, which then takes
// the destination's name.
TEST_F(Expand, OnNtTheTargetIsATemporaryFileBesideTheDestination)
{
    UseCompressedMedium("medium", "D docs\nF notes.txt_ docs\\notes.txt\n");
    ASSERT_EQ(Notes().size(), 425u) << "payload changed";
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("docs\\notes.txt")), Notes());
    EXPECT_FALSE(Exists(Installed("docs\\notes.txt.~part")));
    // The installed size counts, not the compressed one.
    EXPECT_EQ(si->bytes_written_to_disk, 425u);
    EXPECT_EQ(std::string(si->system_buf),
              std::string(si->expand_path) + " " + source + "notes.txt_ " + Installed("docs\\notes.txt.~part"));
}

TEST_F(Expand, PathWithABlankIsQuoted)
{
    UseCompressedMedium("disk one", "F notes.txt_ notes.txt\n");
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("notes.txt")), Notes());
    EXPECT_EQ(std::string(si->system_buf),
              std::string(si->expand_path) + " \"" + source + "notes.txt_\" " + Installed("notes.txt.~part"));
}

// Short names on the command line: the source's and the temporary file's.
TEST_F(Expand, OnWindows95TheTemporaryFileReplacesTheDestination)
{
    UseWindows95();
    UseCompressedMedium("medium", "F notes.txt_ notes.txt\n");
    WriteText(Installed("notes.txt"), "from an earlier installation");
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("notes.txt")), Notes());
    EXPECT_EQ(InstalledNames(), std::vector<std::string>{"notes.txt"});
    char short_source[MAX_PATH], short_dst[MAX_PATH];
    ASSERT_NE(GetShortPathNameA((source + "notes.txt_").c_str(), short_source, sizeof short_source), 0u);
    ASSERT_NE(GetShortPathNameA(Installed("").c_str(), short_dst, sizeof short_dst), 0u);
    std::string command = si->system_buf;
    std::string start = std::string(si->expand_path) + " " + short_source + " " + short_dst;
    ASSERT_EQ(command.substr(0, start.size()), start);
    std::string target_name = command.substr(start.size());
    EXPECT_LE(target_name.size(), 12u) << command;
    EXPECT_EQ(target_name.find(' '), std::string::npos) << command;
}

struct ExpandStop {
    bool windows95;
    std::string body;
    std::string text;  // %S stands for the source directory, %D for the destination
};

class ExpandStops : public Expand, public ::testing::WithParamInterface<ExpandStop> {
protected:
    std::string Expected()
    {
        std::string text = GetParam().text;
        for (auto [mark, value] : {std::pair<std::string, std::string>{"%S", source}, {"%D", Installed("")}}) {
            for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark))
                text.replace(at, 2, value);
        }
        return text;
    }
};

// A file that did not expand is never counted as installed.
TEST_P(ExpandStops, EndTheRunNamingTheFile)
{
    if (GetParam().windows95)
        UseWindows95();
    UseCompressedMedium("medium", GetParam().body);
    CreateDirectoryA(Installed("docs").c_str(), NULL);
    WriteText(Installed("a.txt"), "from an earlier installation");
    ForgetChildTranscript();
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(1), "");
    std::string transcript = ReadTranscript(true);
    EXPECT_NE(transcript.find(FatalLine(Expected())), std::string::npos) << transcript;
    // The earlier file is untouched and no temporary file is left.
    EXPECT_EQ(ReadText(Installed("a.txt")), "from an earlier installation");
    EXPECT_EQ(InstalledNames(), (std::vector<std::string>{"a.txt", "docs"}));
}

INSTANTIATE_TEST_SUITE_P(
    CompressedFiles, ExpandStops,
    ::testing::Values(ExpandStop{false, "F missing.tx_ a.txt\n", "Error expanding file %Smissing.tx_"},
                      ExpandStop{true, "F missing.tx_ a.txt\n", "Could not find short path name of %Smissing.tx_"},
                      // A directory in the way of the expanded file.
                      ExpandStop{false, "F notes.txt_ docs\n", "Error moving expanded file to %Ddocs"},
                      ExpandStop{true, "F notes.txt_ docs\n", "Error moving expanded file to %Ddocs"}));

TEST_F(Expand, ExpandThatCannotStartStops)
{
    UseCompressedMedium("medium", "F notes.txt_ notes.txt\n");
    snprintf(si->expand_path, sizeof si->expand_path, "%s\\none.exe", root.c_str());
    ForgetChildTranscript();
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(1), "");
    std::string command =
        std::string(si->expand_path) + " " + source + "notes.txt_ " + Installed("notes.txt.~part");
    EXPECT_NE(ReadTranscript(true).find(FatalLine("Error Creating process " + std::string(si->expand_path) + " " +
                                              command + "\n")),
              std::string::npos);
    EXPECT_TRUE(InstalledNames().empty());
}

}  // namespace
