// Compressed media: files made by mscompress, expanded by expand.exe on
// both platform families.
#include "install_fixture.h"

#include <string>

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

    // The Windows 95 family expands into the file that start-up made.
    void UseWindows95()
    {
        si->platform = PLATFORM_WIN95;
        ASSERT_NE(GetTempFileNameA(si->temp_dir, "pex", 0, si->temp_expand_path), 0u);
    }

    std::string Notes() { return ReadText(PayloadDir() + "/notes.txt"); }

    std::string source;
};

TEST_F(Expand, OnNtTheTargetIsTheDestination)
{
    UseCompressedMedium("medium", "D docs\nF notes.txt_ docs\\notes.txt\n");
    ASSERT_EQ(Notes().size(), 425u) << "payload changed";
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("docs\\notes.txt")), Notes());
    // The installed size counts, not the compressed one.
    EXPECT_EQ(si->bytes_written_to_disk, 425u);
    EXPECT_EQ(std::string(si->system_buf),
              std::string(si->expand_path) + " " + source + "notes.txt_ " + Installed("docs\\notes.txt"));
}

TEST_F(Expand, PathWithABlankIsQuoted)
{
    UseCompressedMedium("disk one", "F notes.txt_ notes.txt\n");
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("notes.txt")), Notes());
    EXPECT_EQ(std::string(si->system_buf),
              std::string(si->expand_path) + " \"" + source + "notes.txt_\" " + Installed("notes.txt"));
}

TEST_F(Expand, OnWindows95TheTempFileReplacesTheDestination)
{
    UseWindows95();
    UseCompressedMedium("medium", "F notes.txt_ notes.txt\n");
    WriteText(Installed("notes.txt"), "from an earlier installation");
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("notes.txt")), Notes());
    EXPECT_FALSE(Exists(si->temp_expand_path));
    char short_source[MAX_PATH];
    ASSERT_NE(GetShortPathNameA((source + "notes.txt_").c_str(), short_source, sizeof short_source), 0u);
    EXPECT_EQ(std::string(si->system_buf),
              std::string(si->expand_path) + " " + short_source + " " + si->temp_expand_path);
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
    ForgetChildTranscript();
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(1), "");
    std::string transcript = ReadTranscript(true);
    EXPECT_NE(transcript.find(FatalLine(Expected())), std::string::npos) << transcript;
}

INSTANTIATE_TEST_SUITE_P(
    CompressedFiles, ExpandStops,
    ::testing::Values(ExpandStop{false, "F missing.tx_ a.txt\n", "Error expanding file %Smissing.tx_"},
                      ExpandStop{true, "F missing.tx_ a.txt\n", "Could not find short path name of %Smissing.tx_"},
                      // A directory in the way of the expanded file.
                      ExpandStop{true, "F notes.txt_ docs\n", "Error moving expanded file to %Ddocs"}));

TEST_F(Expand, ExpandThatCannotStartStops)
{
    UseCompressedMedium("medium", "F notes.txt_ notes.txt\n");
    snprintf(si->expand_path, sizeof si->expand_path, "%s\\none.exe", root.c_str());
    ForgetChildTranscript();
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(1), "");
    std::string command = std::string(si->expand_path) + " " + source + "notes.txt_ " + Installed("notes.txt");
    EXPECT_NE(ReadTranscript(true).find(FatalLine("Error Creating process " + std::string(si->expand_path) + " " +
                                              command + "\n")),
              std::string::npos);
}

}  // namespace
