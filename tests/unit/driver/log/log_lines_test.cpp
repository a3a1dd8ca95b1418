// The installation log's lines: what is written reads back the same, and a
// log that is damaged anywhere is refused whole.
#include "log/log_lines.h"
#include "log/log_places.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

log_record Record(log_kind kind, const std::string &path, const std::string &second = "", int existed = 0)
{
    log_record r = {};
    r.kind = kind;
    r.path = path;
    r.second = second;
    r.existed = existed;
    return r;
}

std::string Sealed(const std::vector<std::string> &bodies)
{
    std::string text = SealLogLine(LOG_FIRST_LINE) + "\r\n";
    for (const std::string &body : bodies)
        text += SealLogLine(body) + "\r\n";
    return text;
}

std::string LogOf(const std::vector<log_record> &records)
{
    std::vector<std::string> bodies;
    for (const log_record &r : records)
        bodies.push_back(FormatLogRecord(&r));
    return Sealed(bodies);
}

std::string Problem(const std::string &text)
{
    std::vector<log_record> records;
    std::string problem;
    if (ParseLog(text, records, problem))
        return "";
    EXPECT_TRUE(records.empty());
    return problem;
}

}  // namespace

TEST(LogLines, EveryRecordReadsBackAsWritten)
{
    // Quotes, backslashes, control bytes and a double-byte character whose
    // trail byte is a backslash.
    std::string awkward = "C:\\usr\\\"odd\"\t\x01name\x82\x5c\xff";
    log_record file = Record(LOG_FILE, awkward, "", 1);
    file.size = 12345678901ull;
    file.crc = 0xdeadbeef;
    log_record root = Record(LOG_ROOTFILE, "C:\\AUTOEXEC.BAT");
    log_record replaced = Record(LOG_VALUE, "Software\\Q", "Name", 1);
    replaced.type = 7;
    replaced.data = std::string("a\0b\0\0", 5);
    log_record emptied = Record(LOG_VALUE, "Software\\Q", "", 1);
    emptied.type = 1;
    emptied.has_set = 1;
    emptied.set_type = 2;
    emptied.set_data = std::string("x\0", 2);
    log_record typed_path = Record(LOG_PATH, "C:\\usr\\lib");
    typed_path.type = 1;
    log_record part = Record(LOG_FILE, "C:\\usr\\big.bin");
    part.part = 1;
    std::vector<log_record> written = {
        Record(LOG_SOFTWARE, "Quorvane32 samples"), Record(LOG_FILESET, "Core"), Record(LOG_DIR, "C:\\usr"),
        file, part, root, Record(LOG_KEY, "Software\\Q"), Record(LOG_VALUE, "Software\\Q", "New"), replaced, emptied,
        Record(LOG_PATH, "C:\\usr\\bin"), Record(LOG_PATH, "C:\\usr", "", 1), typed_path, Record(LOG_BATCH, "SET A=1"),
        Record(LOG_BATCH, "SET PATH=C:\\W", "SET PATH=C:\\W;C:\\usr\\bin", 1), Record(LOG_GROUP, "C:\\P\\Q"),
        Record(LOG_SHORTCUT, "C:\\P\\Q\\Read me.lnk", "", 1)};

    std::vector<log_record> read;
    std::string problem;
    ASSERT_TRUE(ParseLog(LogOf(written), read, problem)) << problem;
    ASSERT_EQ(written.size(), read.size());
    for (size_t i = 0; i < written.size(); i++) {
        SCOPED_TRACE(FormatLogRecord(&written[i]));
        EXPECT_EQ(written[i].kind, read[i].kind);
        EXPECT_EQ(static_cast<int>(i) + 2, read[i].line);
        EXPECT_EQ(written[i].path, read[i].path);
        EXPECT_EQ(written[i].second, read[i].second);
        EXPECT_EQ(written[i].existed, read[i].existed);
        EXPECT_EQ(written[i].size, read[i].size);
        EXPECT_EQ(written[i].crc, read[i].crc);
        EXPECT_EQ(written[i].part, read[i].part);
        EXPECT_EQ(written[i].type, read[i].type);
        EXPECT_EQ(written[i].data, read[i].data);
        EXPECT_EQ(written[i].has_set, read[i].has_set);
        EXPECT_EQ(written[i].set_type, read[i].set_type);
        EXPECT_EQ(written[i].set_data, read[i].set_data);
    }
}

TEST(LogLines, AnyOneByteChangedAnywhereRefusesTheWholeLog)
{
    log_record file = Record(LOG_FILE, "C:\\usr\\qv.cfg");
    file.size = 25;
    file.crc = 0x5c0f3b6e;
    std::string good = LogOf({Record(LOG_SOFTWARE, "Quorvane32"), Record(LOG_DIR, "C:\\usr"), file});
    ASSERT_EQ("", Problem(good));
    for (size_t at = 0; at < good.size(); at++) {
        for (char other : {'0', 'a', 'Z', ' ', '"', '\\', '\n', '\0'}) {
            if (good[at] == other || (good[at] == '\r' && other == '\n'))
                continue;
            std::string damaged = good;
            damaged[at] = other;
            EXPECT_NE("", Problem(damaged)) << "byte " << at << " made " << other;
        }
    }
}

TEST(LogLines, OnlyAWholeLogOfThisInstallerIsTaken)
{
    log_record software_record = Record(LOG_SOFTWARE, "Q"), dir_record = Record(LOG_DIR, "C:\\usr");
    std::string software = FormatLogRecord(&software_record), dir = FormatLogRecord(&dir_record);
    std::string whole = Sealed({software, dir});
    EXPECT_EQ("it is empty", Problem(""));
    EXPECT_EQ("it names no software", Problem(SealLogLine(LOG_FIRST_LINE) + "\r\n"));
    EXPECT_EQ("it is not an installation log of this Setup", Problem("[boot]\r\nshell=explorer.exe\r\n"));
    EXPECT_EQ("it is not an installation log of this Setup",
              Problem(SealLogLine("Quorvane/32 installation log 2") + "\r\n" + SealLogLine(software) + "\r\n"));
    EXPECT_EQ("line 3 is cut off", Problem(whole.substr(0, whole.size() - 2)));
    EXPECT_EQ("line 2 is damaged", Problem(Sealed({dir, software})));
    EXPECT_EQ("line 3 is damaged", Problem(Sealed({software, software})));
    // Sealed, but not what a record may hold.
    for (const char *body : {"dir  \"C:\\usr\"", "dir \"C:\\usr\" ", "dir \"\"", "dir C:\\usr", "rmdir \"C:\\usr\"",
                             "dir \"C:\\u\\qsr\"", "file \"C:\\a\" new 1", "file \"C:\\a\" old 1 00000000",
                             "file \"C:\\a\" new -1 00000000", "file \"C:\\a\" new 1 0000000g",
                             "value \"K\" \"N\" was 1 abc", "value \"K\" \"N\" was 1", "value \"K\" \"N\"",
                             "batch added \"A\" \"B\"", "batch changed \"A\"", "shortcut \"C:\\a.lnk\"",
                             "dir \"C:\\usr\"\"x\"", "path \"C:\\u\" new", "path \"C:\\u\" type 0", "path \"C:\\u\" type", "value \"K\" \"N\" new set 1",
                             "value \"K\" \"N\" new was 1 00", "rootfile \"C:\\a\" part", "file \"C:\\a\" part 1",
                             "file \"C:\\a\" new part"})
        EXPECT_EQ("line 3 is damaged", Problem(Sealed({software, body}))) << body;
}


// A forged log names places by tricks: each is judged where it leads.
TEST(LogPlaces, EveryPathIsJudgedWhereItLeads)
{
    std::string plain;
    ASSERT_TRUE(PlainPath("r:/usr/./bin//qv.cfg", plain));
    EXPECT_EQ("r:\\usr\\bin\\qv.cfg", plain);
    ASSERT_TRUE(PlainPath("C:\\usr\\x/../../windows/victim.txt", plain));
    EXPECT_EQ("C:\\windows\\victim.txt", plain);
    // A trail byte that is a backslash is no separator.
    ASSERT_TRUE(PlainPath("C:\\usr\\\x82\x5c\\..\\a", plain));
    EXPECT_EQ("C:\\usr\\a", plain);
    for (const char *bad : {"C:\\usr\\..\\..\\x", "C:\\usr\\COM1", "C:\\usr\\con.txt", "C:\\usr\\Lpt9.log.x",
                            "C:\\usr\\NUL .txt", "C:\\usr\\a:stream", "C:\\usr\\a.", "C:\\usr\\a ", "C:\\usr\\a\tb",
                            "\\\\server\\share\\x", "usr\\x", "C:usr", "C:\\usr\\a*"})
        EXPECT_FALSE(PlainPath(bad, plain)) << bad;
    EXPECT_TRUE(PlainPath("C:\\usr\\COM10\\console.txt", plain));
    EXPECT_FALSE(PlainPath("C:\\" + std::string(257, 'a'), plain));
    EXPECT_TRUE(PathLiesIn("C:\\USR\\bin", "c:\\usr", false));
    EXPECT_FALSE(PathLiesIn("C:\\usrx\\bin", "C:\\usr", false));
    EXPECT_FALSE(PathLiesIn("C:\\usr", "C:\\usr", false));

    log_places places = {"R:\\usr", "C:\\P", "C:", "Quorvane", "Quorvane32", 0};
    auto judged = [&](log_record r) {
        std::vector<log_record> records = {Record(LOG_SOFTWARE, "Quorvane32"), r};
        records[1].line = 3;
        std::string problem;
        bool sound = JudgeLogRecords(records, places, problem);
        EXPECT_EQ(sound ? "" : "line 3 names a place outside the installation", problem);
        return sound;
    };
    const std::string env = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
    const std::string app = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    EXPECT_TRUE(judged(Record(LOG_FILE, "R:\\usr\\bin\\qv.cfg")));
    EXPECT_TRUE(judged(Record(LOG_DIR, "R:\\usr")));
    EXPECT_TRUE(judged(Record(LOG_SHORTCUT, "C:\\P\\Quorvane32\\Read me.lnk")));
    EXPECT_TRUE(judged(Record(LOG_VALUE, env, "QUORVANE_HOME")));
    EXPECT_TRUE(judged(Record(LOG_VALUE, app + "\\qv.exe", "Path")));
    EXPECT_TRUE(judged(Record(LOG_VALUE, "Software\\Quorvane\\Quorvane32\\VersionInfo", "FileSetName")));
    EXPECT_TRUE(judged(Record(LOG_KEY, "Software\\Quorvane")));
    EXPECT_TRUE(judged(Record(LOG_PATH, "D:\\tools")));
    for (const log_record &bad :
         {Record(LOG_FILE, "R:\\usr\\x/../../windows/victim.txt"), Record(LOG_FILE, "R:\\usr"),
          Record(LOG_DIR, "R:\\usr\\..\\windows"), Record(LOG_FILE, "R:\\usr\\COM1"),
          Record(LOG_SHORTCUT, "C:\\P\\x/../../../windows/victim.txt\x00.lnk"),
          Record(LOG_SHORTCUT, "C:\\P\\x\\..\\..\\victim.lnk"), Record(LOG_SHORTCUT, "C:\\P\\Q\\victim.txt"),
          Record(LOG_GROUP, "C:\\P"), Record(LOG_VALUE, env, "Path"), Record(LOG_VALUE, env, "ComSpec"),
          Record(LOG_VALUE, env, "windir"), Record(LOG_VALUE, env, "PROCESSOR_LEVEL"),
          Record(LOG_VALUE, app + "\\qv.exe", ""), Record(LOG_VALUE, app + "\\qv.exe\\x", "Path"),
          Record(LOG_VALUE, "Software\\Quorvane\\Other\\VersionInfo", "FileSetName"),
          Record(LOG_VALUE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "x"),
          Record(LOG_KEY, "Software\\Microsoft\\Windows"), Record(LOG_KEY, "Software\\Quorvane2"),
          Record(LOG_PATH, "C:\\a;C:\\b"), Record(LOG_BATCH, "SET A=1"), Record(LOG_ROOTFILE, "C:\\AUTOEXEC.BAT")})
        EXPECT_FALSE(judged(bad)) << FormatLogRecord(&bad);

    places.win95 = 1;
    EXPECT_TRUE(judged(Record(LOG_ROOTFILE, "C:\\AUTOEXEC.BAK")));
    EXPECT_TRUE(judged(Record(LOG_ROOTFILE, "c:\\autoexec.b01")));
    EXPECT_FALSE(judged(Record(LOG_ROOTFILE, "C:\\windows\\AUTOEXEC.BAK")));
    EXPECT_FALSE(judged(Record(LOG_ROOTFILE, "D:\\AUTOEXEC.BAT")));
    EXPECT_FALSE(judged(Record(LOG_PATH, "C:\\usr\\bin")));
}
