// Drives by letter and the lists of drives and ports, over the build's Wine
// prefix: a: floppy, c: the system disk, d: CD-ROM, n: network, r: RAM disk.
#include "detect_fixture.h"

#include "msdetect.h"
#include "setupapi.h"
#include "setuprt.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using dettest::ListItems;
using ::testing::ExitedWithCode;

namespace {

bool Holds(const std::vector<std::string> &items, const std::string &item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

}  // namespace

TEST(DriveLetters, IsDriveValidUpperCasesOnlyTheFirstCharacter)
{
    char drive[] = "c:\\usr\\bin";
    EXPECT_TRUE(IsDriveValid(drive));
    EXPECT_STREQ("C:\\usr\\bin", drive);

    char missing[] = "q:";
    EXPECT_FALSE(IsDriveValid(missing));
    EXPECT_STREQ("Q:", missing);
}

TEST(DriveLetters, EitherCaseNamesTheSameDrive)
{
    for (char letter = 'a'; letter <= 'z'; letter++) {
        char lower[] = {letter, ':', '\0'};
        char upper[] = {static_cast<char>(letter - 'a' + 'A'), ':', '\0'};
        EXPECT_EQ(IsDriveValid(upper), IsDriveValid(lower)) << letter;
        EXPECT_EQ(IsDriveNetwork(upper), IsDriveNetwork(lower)) << letter;
    }
}

TEST(DriveLetters, IsDriveLocalHardUpperCasesTheWholeString)
{
    char system[] = "c:\\usr\\bin";
    EXPECT_TRUE(IsDriveLocalHard(system));
    EXPECT_STREQ("C:\\USR\\BIN", system);

    char floppy[] = "a:\\setup";
    EXPECT_FALSE(IsDriveLocalHard(floppy));
    EXPECT_STREQ("A:\\SETUP", floppy);
}

TEST(DriveLetters, IsDriveNetworkLeavesTheStringAsItWas)
{
    char share[] = "n:\\share";
    EXPECT_TRUE(IsDriveNetwork(share));
    EXPECT_STREQ("n:\\share", share);

    char system[] = "c:";
    EXPECT_FALSE(IsDriveNetwork(system));
    EXPECT_STREQ("c:", system);
}

TEST(DriveLetters, IsDriveRemovableFindsTheFloppyOnly)
{
    char floppy[] = "a:";
    EXPECT_TRUE(IsDriveRemovable(floppy));
    EXPECT_STREQ("A:", floppy);
    for (const char *other : {"c:", "d:", "n:", "r:"}) {
        char drive[3];
        lstrcpynA(drive, other, sizeof drive);
        EXPECT_FALSE(IsDriveRemovable(drive)) << other;
    }
}

TEST(DriveLetters, CharactersAroundTheAlphabetNameNoDrive)
{
    // '@' is drive 0 and '[' drive 27: both just outside the numbers.
    for (const char *text : {"@:", "[:", "1:", ""}) {
        char drive[3];
        lstrcpynA(drive, text, sizeof drive);
        EXPECT_FALSE(IsDriveValid(drive)) << text;
        EXPECT_FALSE(IsDriveNetwork(drive)) << text;
        EXPECT_EQ(0u, GetFreeSpaceForDrive(drive)) << text;
    }
    EXPECT_FALSE(IsDriveValid(NULL));
}

TEST(DriveSpace, SystemDriveReportsItsFullSixtyFourBitFigures)
{
    ULARGE_INTEGER available, total;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, NULL)) << GetLastError();

    char drive[] = "c:";
    unsigned long long free = GetFreeSpaceForDrive(drive);
    EXPECT_STREQ("c:", drive);
    unsigned long long size = GetTotalSpaceForDrive(drive);
    EXPECT_STREQ("C:", drive);

    EXPECT_EQ(total.QuadPart, size);
    EXPECT_GT(free, 0u);
    EXPECT_LE(free, size);
    // Free space moves while other programs write; the figures agree closely.
    unsigned long long difference =
        free > available.QuadPart ? free - available.QuadPart : available.QuadPart - free;
    EXPECT_LT(difference, 64ull << 20) << free << " against " << available.QuadPart;
}

TEST(DriveSpace, MissingDriveHasNoSpace)
{
    char drive[] = "q:";
    EXPECT_EQ(0u, GetFreeSpaceForDrive(drive));
    EXPECT_EQ(0u, GetTotalSpaceForDrive(drive));
}

TEST(DriveLists, ValidDrivesAreListedInOrder)
{
    GetValidDrivesList("Drives");
    std::vector<std::string> drives = ListItems("Drives");
    for (const char *drive : {"A:", "C:", "D:", "N:", "R:"})
        EXPECT_TRUE(Holds(drives, drive)) << drive;
    EXPECT_FALSE(Holds(drives, "Q:"));
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
}

TEST(DriveLists, EachKindListsOnlyItsDrives)
{
    GetRemovableDrivesList("Removable");
    EXPECT_EQ(std::vector<std::string>{"A:"}, ListItems("Removable"));

    GetNetworkDrivesList("Network");
    EXPECT_EQ(std::vector<std::string>{"N:"}, ListItems("Network"));

    GetLocalHardDrivesList("Hard");
    std::vector<std::string> hard = ListItems("Hard");
    EXPECT_TRUE(Holds(hard, "C:"));
    for (const char *drive : {"A:", "D:", "N:", "R:"})
        EXPECT_FALSE(Holds(hard, drive)) << drive;
}

TEST(DriveLists, ListReplacesWhatTheSymbolHeld)
{
    SetSymbolValue("Network", "");
    AddListItem("Network", "stale");
    AddListItem("Network", "Z:");
    GetNetworkDrivesList("Network");
    EXPECT_EQ(std::vector<std::string>{"N:"}, ListItems("Network"));
    EXPECT_NE(std::string::npos, dettest::ReadTranscript().find("add \"Network\" \"N:\"\n"));
}

namespace {

// The ports the Wine prefix defines: its dosdevices links named comN, lptN.
std::vector<std::string> PrefixPorts(const std::string &family)
{
    const char *prefix = std::getenv("WINEPREFIX");
    std::string unixPrefix = prefix ? prefix : std::string(std::getenv("SETUP_BUILD")) + "/wine/nt";
    std::filesystem::path devices = "Z:" + unixPrefix + "/dosdevices";
    std::vector<std::pair<int, std::string>> ports;
    for (const auto &entry : std::filesystem::directory_iterator(devices)) {
        std::string name = entry.path().filename().string();
        if (name.size() <= family.size() || lstrcmpiA(name.substr(0, family.size()).c_str(), family.c_str()) != 0)
            continue;
        std::string number = name.substr(family.size());
        if (number.find_first_not_of("0123456789") == std::string::npos)
            ports.emplace_back(std::stoi(number), family + number);
    }
    std::sort(ports.begin(), ports.end());
    std::vector<std::string> names;
    for (const auto &port : ports)
        names.push_back(port.second);
    return names;
}

}  // namespace

TEST(PortLists, PortsAreThoseTheSystemDefines)
{
    ASSERT_TRUE(std::getenv("WINEPREFIX") || std::getenv("SETUP_BUILD"));
    GetSerialPortsList("Serial");
    EXPECT_EQ(PrefixPorts("COM"), ListItems("Serial"));
    GetParallelPortsList("Parallel");
    EXPECT_EQ(PrefixPorts("LPT"), ListItems("Parallel"));
}

using DriveListDeathTest = ::testing::Test;

TEST_F(DriveListDeathTest, ListWithoutSymbolNameEndsTheRun)
{
    EXPECT_EXIT(GetValidDrivesList(""), ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_NE(std::string::npos, dettest::ReadTranscript(true).find("dialog 400 CONTINUE\n"));
    EXPECT_EXIT(GetNetworkDrivesList(NULL), ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(GetSerialPortsList(""), ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
}
