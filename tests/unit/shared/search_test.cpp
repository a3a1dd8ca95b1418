// Where a shared file lives: the registry, a WIN.INI entry, or the default,
// and whether the copy being installed must go there.
#include "shared_fixture.h"

#include "msshared.h"
#include "setupapi.h"

using sharedtest::SetWinIniValue;
using sharedtest::SharedFileTest;
using sharedtest::SystemDir;
using sharedtest::WindowsDir;

namespace {

// Between the two test files: older than 1.0.0.10 (as numbers, not as text)
// and newer than 1.0.0.2.
const char kInstalling[] = "1.0.0.9";

// A name no other file of the prefix has.
const char kProbeName[] = "qvshared_probe.dll";

// PATH with one more directory in front, for the test's duration.
class PathInFront {
public:
    explicit PathInFront(const std::string &dir)
    {
        char old[4096] = "";
        GetEnvironmentVariableA("PATH", old, sizeof old);
        old_ = old;
        SetEnvironmentVariableA("PATH", (dir + ";" + old_).c_str());
    }
    ~PathInFront() { SetEnvironmentVariableA("PATH", old_.c_str()); }

private:
    std::string old_;
};

}  // namespace

using SharedSearch = SharedFileTest;

TEST_F(SharedSearch, RegisteredNewerFileIsUsedWithoutCopying)
{
    std::string installed = Scratch("registered\\qvgraph.dll");
    PlaceVersionFile("new", installed);
    std::string key = RegisterPath("Graph", installed);
    char buf[MAX_PATH];
    ASSERT_EQ(buf, SearchForLocationForSharedFile(key.c_str(), "", "", 0, Scratch("default\\qvgraph.dll").c_str(),
                                                  kInstalling, buf, sizeof buf));
    EXPECT_EQ(installed, buf);
    EXPECT_EQ(0, DoesSharedFileNeedCopying());
}

TEST_F(SharedSearch, RegisteredOlderWritableFileIsReplacedInPlace)
{
    std::string installed = Scratch("registered\\qvgraph.dll");
    PlaceVersionFile("old", installed);
    std::string key = RegisterPath("Graph", installed);
    char buf[MAX_PATH];
    ASSERT_EQ(buf, SearchForLocationForSharedFile(key.c_str(), "", "", 0, Scratch("default\\qvgraph.dll").c_str(),
                                                  kInstalling, buf, sizeof buf));
    EXPECT_EQ(installed, buf);
    EXPECT_EQ(1, DoesSharedFileNeedCopying());
}

TEST_F(SharedSearch, RegisteredOlderReadOnlyFileGivesWayToWinIni)
{
    std::string readOnly = Scratch("registered\\qvgraph.dll");
    PlaceVersionFile("old", readOnly);
    MakeReadOnly(readOnly);
    std::string key = RegisterPath("Graph", readOnly);
    std::string listed = Scratch("listed\\qvgraph.dll");
    PlaceVersionFile("new", listed);
    SetWinIniValue("QuorvaneShared", "Graph", "2.0,  " + listed + ",x");

    char buf[MAX_PATH];
    ASSERT_EQ(buf, SearchForLocationForSharedFile(key.c_str(), "QuorvaneShared", "Graph", 2,
                                                  Scratch("default\\qvgraph.dll").c_str(), kInstalling, buf,
                                                  sizeof buf));
    EXPECT_EQ(listed, buf);
    EXPECT_EQ(0, DoesSharedFileNeedCopying());
}

TEST_F(SharedSearch, NoSourceGivesTheDefaultToCopy)
{
    std::string missing = Scratch("registered\\qvgraph.dll");
    std::string key = RegisterPath("Graph", missing);
    SetWinIniValue("QuorvaneShared", "Graph", "");
    std::string defaultPath = Scratch("default\\qvgraph.dll");
    char buf[MAX_PATH];
    ASSERT_EQ(buf, SearchForLocationForSharedFile(key.c_str(), "QuorvaneShared", "Graph", 1, defaultPath.c_str(),
                                                  kInstalling, buf, sizeof buf));
    EXPECT_EQ(defaultPath, buf);
    EXPECT_EQ(1, DoesSharedFileNeedCopying());

    // Without any source named at all, the same.
    ASSERT_EQ(buf, SearchForLocationForSharedFile("", "", "", 0, defaultPath.c_str(), kInstalling, buf, sizeof buf));
    EXPECT_EQ(defaultPath, buf);
    EXPECT_EQ(1, DoesSharedFileNeedCopying());
}

TEST_F(SharedSearch, DefaultHoldingAFileAtLeastAsNewNeedsNoCopy)
{
    std::string defaultPath = Scratch("default\\qvgraph.dll");
    PlaceVersionFile("new", defaultPath);
    char buf[MAX_PATH];
    for (const char *version : {"1.0.0.9", "1.0.0.10"}) {
        ASSERT_EQ(buf, SearchForLocationForSharedFile("", "", "", 0, defaultPath.c_str(), version, buf, sizeof buf));
        EXPECT_EQ(defaultPath, buf);
        EXPECT_EQ(0, DoesSharedFileNeedCopying()) << version;
    }
    SearchForLocationForSharedFile("", "", "", 0, defaultPath.c_str(), "1.0.0.11", buf, sizeof buf);
    EXPECT_EQ(1, DoesSharedFileNeedCopying());
}

TEST_F(SharedSearch, DefaultThatDoesNotFitGivesNothing)
{
    char buf[8];
    EXPECT_EQ(nullptr,
              SearchForLocationForSharedFile("", "", "", 0, Scratch("qvgraph.dll").c_str(), kInstalling, buf, sizeof buf));
    EXPECT_EQ(nullptr, SearchForLocationForSharedFile("", "", "", 0, "C:\\a.dll", kInstalling, nullptr, 0));
}

using SharedLookup = SharedFileTest;

TEST_F(SharedLookup, MissingPathIsLookedUpByNameWindowsDirectoryFirst)
{
    std::string inSystem = SystemDir() + kProbeName;
    PlaceElsewhere("new", inSystem);
    std::string stale = std::string("C:\\nowhere\\") + kProbeName;
    char buf[MAX_PATH];
    ASSERT_EQ(buf, FindSharedFileFromPath(stale.c_str(), kInstalling, buf, sizeof buf));
    EXPECT_EQ(inSystem, buf);
    EXPECT_EQ(0, DoesSharedFileNeedCopying());

    std::string inWindows = WindowsDir() + kProbeName;
    PlaceElsewhere("new", inWindows);
    ASSERT_EQ(buf, FindSharedFileFromPath(stale.c_str(), kInstalling, buf, sizeof buf));
    EXPECT_EQ(inWindows, buf);
}

TEST_F(SharedLookup, NameOnPathIsFoundLast)
{
    std::string onPath = Scratch(std::string("bin\\") + kProbeName);
    PlaceVersionFile("old", onPath);
    PathInFront path(onPath.substr(0, onPath.rfind('\\')));
    char buf[MAX_PATH];
    NewFindFileUsingFileOpen(kProbeName, buf, sizeof buf);
    EXPECT_EQ(onPath, buf);
    // Older and writable: found, to be replaced there.
    ASSERT_EQ(buf, FindSharedFileFromPath((std::string("D:\\gone\\") + kProbeName).c_str(), kInstalling, buf,
                                          sizeof buf));
    EXPECT_EQ(onPath, buf);
    EXPECT_EQ(1, DoesSharedFileNeedCopying());
}

TEST_F(SharedLookup, NameFoundNowhereGivesNothing)
{
    char buf[MAX_PATH] = "sentinel";
    NewFindFileUsingFileOpen(kProbeName, buf, sizeof buf);
    EXPECT_STREQ("", buf);
    EXPECT_EQ(nullptr, FindSharedFileFromPath("C:\\nowhere\\qvshared_probe.dll", kInstalling, buf, sizeof buf));
    EXPECT_EQ(nullptr, FindSharedFileFromPath("", kInstalling, buf, sizeof buf));
    EXPECT_EQ(nullptr, FindSharedFileFromPath("not a path|", kInstalling, buf, sizeof buf));
}

using SharedLookupDeathTest = SharedFileTest;

TEST_F(SharedLookupDeathTest, FoundPathLongerThanTheBufferIsAnOverflow)
{
    PlaceElsewhere("new", WindowsDir() + kProbeName);
    EXPECT_EXIT(
        {
            char buf[12];
            NewFindFileUsingFileOpen(kProbeName, buf, sizeof buf);
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos,
              sharedtest::ReadTranscript(true).find("msgbox \"Buffer Overflow\" \"DU-Ruruz Error\" 16 1\n"));
}
