// Compressed media: files made by mscompress decoded inside the installer;
// files in another format handed to expand.exe, on both platform families.
#include "install_fixture.h"
#include "install/install.h"

#include <string>
#include <tuple>
#include <vector>

namespace {

class Expand : public InstallTest {
protected:
    // A compressed single-directory medium in root\<dir>\ holding notes.txt_,
    // in the compressor's format or, for expand.exe, another one (here: the
    // text as it is, which expand.exe copies).
    void UseCompressedMedium(const std::string &dir, const std::string &body, bool foreign_format = false)
    {
        source = root + "\\" + dir + "\\";
        CreateDirectoryA(source.c_str(), NULL);
        std::string payload = PayloadDir() + (foreign_format ? "/notes.txt" : "/notes.txt_");
        ASSERT_TRUE(CopyFileA(payload.c_str(), (source + "notes.txt_").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA((PayloadDir() + "/two.cab").c_str(), (source + "two.cab").c_str(), FALSE));
        UseMedium(source, SimpleScript(body, "COMPRESSED\n"));
        si->total_disk_space_req = 1000;
    }

    void UseWindows95() { si->platform = PLATFORM_WIN95; }
    void WithoutExpandExe() { snprintf(si->expand_path, sizeof si->expand_path, "%s\\none.exe", root.c_str()); }

    std::string Notes() { return ReadText(PayloadDir() + "/notes.txt"); }

    std::string source;
};

class Decoded : public Expand, public ::testing::WithParamInterface<bool> {};

// No child process: an expand.exe that cannot start changes nothing.
TEST_P(Decoded, WithoutExpandExeTheEarlierFileReplaced)
{
    if (GetParam())
        UseWindows95();
    UseCompressedMedium("medium", "D docs\nF notes.txt_ docs\\notes.txt\n");
    WithoutExpandExe();
    ASSERT_EQ(Notes().size(), 425u) << "payload changed";
    WriteText(Installed("docs\\notes.txt"), "from an earlier installation");
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("docs\\notes.txt")), Notes());
    EXPECT_EQ(InstalledNames(), std::vector<std::string>{"docs"});
    EXPECT_FALSE(Exists(Installed("docs\\notes.txt.~part")));
    // The installed size counts, not the compressed one.
    EXPECT_EQ(si->bytes_written_to_disk, 425u);
    EXPECT_STREQ(si->system_buf, "");
}

// Damage found while decoding: the part written goes, the earlier file
// stays. The number picks the damage.
class DamagedSource : public Expand, public ::testing::WithParamInterface<std::tuple<bool, int>> {
protected:
    std::string Damaged(const std::string &compressed)
    {
        switch (std::get<1>(GetParam())) {
        case 0:
            return compressed.substr(0, 40);  // cut short
        case 1:
            return compressed.substr(0, 10);  // cut in its header
        case 2:
            // Announces a byte less than its items give.
            return compressed.substr(0, 10) + char(compressed[10] - 1) + compressed.substr(11);
        default:
            return compressed.substr(0, 8) + "B" + compressed.substr(9);  // another method
        }
    }
};

TEST_P(DamagedSource, StopsWithTheEarlierFileWholeAndNoStrayFile)
{
    if (std::get<0>(GetParam()))
        UseWindows95();
    const std::string compressed = ReadText(PayloadDir() + "/notes.txt_");
    ASSERT_EQ(compressed[10], char(0xA9)) << "payload changed";
    UseCompressedMedium("medium", "F notes.txt_ a.txt\n");
    WithoutExpandExe();
    WriteText(source + "notes.txt_", Damaged(compressed));
    WriteText(Installed("a.txt"), "from an earlier installation");
    ForgetChildTranscript();
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(1), "");
    std::string transcript = ReadTranscript(true);
    EXPECT_NE(transcript.find(FatalLine("Error expanding file " + source + "notes.txt_")), std::string::npos)
        << transcript;
    EXPECT_EQ(ReadText(Installed("a.txt")), "from an earlier installation");
    EXPECT_EQ(InstalledNames(), std::vector<std::string>{"a.txt"});
}

INSTANTIATE_TEST_SUITE_P(BothFamilies, Decoded, ::testing::Bool());
INSTANTIATE_TEST_SUITE_P(BothFamilies, DamagedSource, ::testing::Combine(::testing::Bool(), ::testing::Range(0, 4)));

// Decoded in process or written by expand.exe, the file is logged with the
// length and CRC-32 of what was installed, not of the compressed source.
TEST_F(Expand, TheLogHoldsTheExpandedFile)
{
    for (bool foreign_format : {false, true}) {
        SCOPED_TRACE(foreign_format);
        UseCompressedMedium(foreign_format ? "foreign" : "medium", "F notes.txt_ notes.txt\n", foreign_format);
        LogSetOne();
        InstallFileSet(1, si.get());
        const std::vector<log_record> files = LoggedFiles();
        ASSERT_FALSE(files.empty());
        EXPECT_EQ(files.back().path, Installed("notes.txt"));
        EXPECT_EQ(files.back().size, Notes().size());
        EXPECT_EQ(files.back().crc, Crc32(0, Notes().data(), Notes().size()));
    }
}

// The target of a file that replaces an earlier one is a temporary file
// beside the destination, which then takes the destination's name.
TEST_F(Expand, AnotherFormatGoesToExpandExeWithATemporaryTarget)
{
    UseCompressedMedium("medium", "D docs\nF notes.txt_ docs\\notes.txt\n", true);
    CreateDirectoryA(Installed("docs").c_str(), NULL);
    WriteText(Installed("docs\\notes.txt"), "the earlier version");
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("docs\\notes.txt")), Notes());
    EXPECT_FALSE(Exists(Installed("docs\\notes.txt.~part")));
    EXPECT_EQ(std::string(si->system_buf),
              std::string(si->expand_path) + " " + source + "notes.txt_ " + Installed("docs\\notes.txt.~part"));
}

// A new file: expand.exe writes it under its own name.
TEST_F(Expand, PathWithABlankIsQuoted)
{
    UseCompressedMedium("disk one", "F notes.txt_ notes.txt\n", true);
    InstallFileSet(1, si.get());
    EXPECT_EQ(ReadText(Installed("notes.txt")), Notes());
    EXPECT_EQ(std::string(si->system_buf),
              std::string(si->expand_path) + " \"" + source + "notes.txt_\" " + Installed("notes.txt"));
}

// Short names on the command line: the source's and the temporary file's.
TEST_F(Expand, OnWindows95TheTemporaryFileReplacesTheDestination)
{
    UseWindows95();
    UseCompressedMedium("medium", "F notes.txt_ notes.txt\n", true);
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
                      // expand.exe reports success, with the two files over each other.
                      ExpandStop{false, "F two.cab a.txt\n", "Error expanding file %Stwo.cab"},
                      // A directory in the way of the expanded file.
                      ExpandStop{false, "F notes.txt_ docs\n", "Error moving expanded file to %Ddocs"},
                      ExpandStop{true, "F notes.txt_ docs\n", "Error moving expanded file to %Ddocs"}));

TEST_F(Expand, ExpandThatCannotStartStops)
{
    UseCompressedMedium("medium", "F notes.txt_ notes.txt\n", true);
    WithoutExpandExe();
    ForgetChildTranscript();
    EXPECT_EXIT(InstallFileSet(1, si.get()), ::testing::ExitedWithCode(1), "");
    std::string command =
        std::string(si->expand_path) + " " + source + "notes.txt_ " + Installed("notes.txt");
    EXPECT_NE(ReadTranscript(true).find(FatalLine("Error Creating process " + std::string(si->expand_path) + " " +
                                              command + "\n")),
              std::string::npos);
    EXPECT_TRUE(InstalledNames().empty());
}

}  // namespace
