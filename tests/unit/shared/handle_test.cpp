// A shared file named by a line of the setup-information file, placed
// below its component directory unless the registry or WIN.INI knows better.
#include "shared_fixture.h"

#include "msshared.h"
#include "setupapi.h"

#include <fstream>

using sharedtest::SetWinIniValue;
using sharedtest::SharedFileTest;
using sharedtest::WinIniValue;

namespace {

// A file line: field 1 the name, field 19 the version.
std::string FileLine(const char *szKey, const char *szName, const std::string &version)
{
    return std::string(szKey) + " = " + szName + std::string(18, ',') + version + "\n";
}

}  // namespace

class HandleShared : public SharedFileTest {
protected:
    void SetUp() override
    {
        SharedFileTest::SetUp();
        std::string inf = Scratch("setup.inf");
        std::ofstream(inf) << "[Shared Files]\n"
                           << FileLine("graph", "qvgraph.dll", "1.0.0.9")
                           << FileLine("long", "qvlong.dll", std::string(31, '9'));
        ReadInfFile(inf.c_str());
        shared_ = Scratch("msapps\\");
        SetWinIniValue("MSAPPS", "MSAPPS", shared_);
    }

    // The shared directory, with its trailing backslash.
    std::string shared_;
};

TEST_F(HandleShared, DefaultGoesBelowANewComponentDirectory)
{
    char buf[MAX_PATH];
    ASSERT_EQ(buf, HandleSharedFile("Shared Files", "graph", "QVCHART", "", "", "", 0, buf, sizeof buf));
    EXPECT_EQ(shared_ + "QVCHART\\qvgraph.dll", buf);
    EXPECT_EQ(1, DoesSharedFileNeedCopying());
    // Recorded for the next file of the family.
    EXPECT_EQ(shared_ + "QVCHART", WinIniValue("MSAPPS", "QVCHART"));
}

TEST_F(HandleShared, ComponentKeyNamesTheDirectory)
{
    std::string charts = Scratch("charts\\qvgraph.dll");
    PlaceVersionFile("new", charts);
    SetWinIniValue("MSAPPS", "QVCHART", charts.substr(0, charts.rfind('\\')));
    char buf[MAX_PATH];
    ASSERT_EQ(buf, HandleSharedFile("Shared Files", "graph", "QVCHART", "", "", "", 0, buf, sizeof buf));
    EXPECT_EQ(charts, buf);
    EXPECT_EQ(0, DoesSharedFileNeedCopying());
}

TEST_F(HandleShared, RegistryComesFirst)
{
    std::string registered = Scratch("registered\\qvgraph.dll");
    PlaceVersionFile("old", registered);
    std::string key = RegisterPath("Graph", registered);
    char buf[MAX_PATH];
    ASSERT_EQ(buf, HandleSharedFile("Shared Files", "graph", "QVCHART", key.c_str(), "", "", 0, buf, sizeof buf));
    EXPECT_EQ(registered, buf);
    EXPECT_EQ(1, DoesSharedFileNeedCopying());
}

TEST_F(HandleShared, NoLineOrNoSharedDirectoryGivesNothing)
{
    char buf[MAX_PATH];
    EXPECT_EQ(nullptr, HandleSharedFile("Shared Files", "chart", "QVCHART", "", "", "", 0, buf, sizeof buf));
    EXPECT_EQ(nullptr, HandleSharedFile("Other Files", "graph", "QVCHART", "", "", "", 0, buf, sizeof buf));

    // The section was repaired by the first call of this run; not again.
    sharedtest::RemoveWinIniSection("MSAPPS");
    EXPECT_EQ(nullptr, HandleSharedFile("Shared Files", "graph", "QVCHART", "", "", "", 0, buf, sizeof buf));
    EXPECT_EQ("<none>", WinIniValue("MSAPPS", "MSAPPS"));
}

using HandleSharedDeathTest = HandleShared;

TEST_F(HandleSharedDeathTest, VersionTooLongForItsBufferIsAnOverflow)
{
    EXPECT_EXIT(
        {
            char buf[MAX_PATH];
            HandleSharedFile("Shared Files", "long", "QVCHART", "", "", "", 0, buf, sizeof buf);
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos,
              sharedtest::ReadTranscript(true).find("msgbox \"Buffer Overflow\" \"DU-Ruruz Error\" 16 1\n"));
}
