// The MSAPPS section of WIN.INI. The repair runs once per run, so each case
// of it runs in a death-test child of its own, a fresh run, and the parent
// reads what the child left in WIN.INI.
#include "shared_fixture.h"

#include "msshared.h"

#include <stdlib.h>

using sharedtest::SetWinIniValue;
using sharedtest::SharedFileTest;
using sharedtest::WindowsDir;
using sharedtest::WinIniValue;

namespace {

const char *const kComponentKeys[] = {
    "CLIPART", "EQUATION", "GRPHFLT", "MSDRAW", "MSGRAPH", "PROOF", "TEXTCONV", "WORDART",
};

// Ends the child with 0 when the repair succeeded.
[[noreturn]] void RepairAndExit()
{
    exit(FixupWinIniMsappsSection() == 1 ? 0 : 1);
}

}  // namespace

using MsappsRepairDeathTest = SharedFileTest;

TEST_F(MsappsRepairDeathTest, MissingSectionGetsTheWindowsDefault)
{
    EXPECT_EXIT(RepairAndExit(), ::testing::ExitedWithCode(0), "");
    std::string shared = WindowsDir() + "MSAPPS";
    EXPECT_EQ(shared, WinIniValue("MSAPPS", "MSAPPS"));
    for (const char *key : kComponentKeys)
        EXPECT_EQ(shared + "\\" + key, WinIniValue("MSAPPS", key));
}

TEST_F(MsappsRepairDeathTest, UsableEntriesAreKept)
{
    SetWinIniValue("MSAPPS", "MSAPPS", "D:\\Shared Apps");
    SetWinIniValue("MSAPPS", "CLIPART", "E:\\Clip Art");
    SetWinIniValue("MSAPPS", "EQUATION", "bad|name");
    SetWinIniValue("MSAPPS", "PROOF", "");
    EXPECT_EXIT(RepairAndExit(), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ("D:\\Shared Apps", WinIniValue("MSAPPS", "MSAPPS"));
    EXPECT_EQ("E:\\Clip Art", WinIniValue("MSAPPS", "CLIPART"));
    EXPECT_EQ("D:\\Shared Apps\\EQUATION", WinIniValue("MSAPPS", "EQUATION"));
    EXPECT_EQ("D:\\Shared Apps\\PROOF", WinIniValue("MSAPPS", "PROOF"));
    EXPECT_EQ("D:\\Shared Apps\\WORDART", WinIniValue("MSAPPS", "WORDART"));
}

TEST_F(MsappsRepairDeathTest, UnusableSharedDirectoryIsReplaced)
{
    SetWinIniValue("MSAPPS", "MSAPPS", "shared\\apps");
    SetWinIniValue("MSAPPS", "MSDRAW", "F:\\Draw");
    EXPECT_EXIT(RepairAndExit(), ::testing::ExitedWithCode(0), "");
    std::string shared = WindowsDir() + "MSAPPS";
    EXPECT_EQ(shared, WinIniValue("MSAPPS", "MSAPPS"));
    EXPECT_EQ(shared + "\\CLIPART", WinIniValue("MSAPPS", "CLIPART"));
    EXPECT_EQ("F:\\Draw", WinIniValue("MSAPPS", "MSDRAW"));
}

TEST_F(MsappsRepairDeathTest, SecondCallInTheRunChangesNothing)
{
    EXPECT_EXIT(
        {
            int first = FixupWinIniMsappsSection();
            sharedtest::RemoveWinIniSection("MSAPPS");
            int second = FixupWinIniMsappsSection();
            exit(first == 1 && second == 1 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ("<none>", WinIniValue("MSAPPS", "MSAPPS"));
    EXPECT_EQ("<none>", WinIniValue("MSAPPS", "CLIPART"));
}

using MsappsEntry = SharedFileTest;

TEST_F(MsappsEntry, MissingOrUnusableEntryBecomesTheDefault)
{
    EXPECT_NE(0, FixupOneMsappsEntry("TEXTCONV", "D:\\Shared\\"));
    EXPECT_EQ("D:\\Shared\\TEXTCONV", WinIniValue("MSAPPS", "TEXTCONV"));

    SetWinIniValue("MSAPPS", "GRPHFLT", "C:\\bad?name");
    EXPECT_NE(0, FixupOneMsappsEntry("GRPHFLT", "D:\\Shared\\"));
    EXPECT_EQ("D:\\Shared\\GRPHFLT", WinIniValue("MSAPPS", "GRPHFLT"));
}

TEST_F(MsappsEntry, UsableEntryIsLeftAsItIs)
{
    SetWinIniValue("MSAPPS", "MSGRAPH", "G:\\Graphs\\");
    EXPECT_EQ(1, FixupOneMsappsEntry("MSGRAPH", "D:\\Shared\\"));
    EXPECT_EQ("G:\\Graphs\\", WinIniValue("MSAPPS", "MSGRAPH"));
}
