// Lists made from a section: its keys and each field of every line.
#include "inf_fixture.h"

#include <vector>

#include "setupapi.h"
#include "setuprt.h"

namespace {

using InfLists = ScratchTest;
using InfListsDeathTest = ScratchTest;

using Items = std::vector<std::string>;

// Two keyed file lines around a keyless one, and a short keyed line.
const char kFiles[] =
    "[Files]\n"
    "ledger = qv.ex_, , , , 1995-06-01-12-30-00, , , , , , qv.exe, , , , 48128, , , , 2.0.1.7\n"
    "help.hl_, , , , 1995-05-02-08-00-00, , , , , , help.hlp, , , , 2048, , , , 1.0.0.0\n"
    "Readme = readme.txt\n"
    "[Empty]\n";

TEST_F(InfLists, KeysLineUpWithTheFieldListsOfTheSameSection)
{
    ASSERT_TRUE(OpenInf(kFiles));
    MakeListFromSectionKeys("Keys", "Files");
    EXPECT_EQ((Items{"ledger", "", "Readme"}), ListItems("Keys"));
    MakeListFromSectionFilename("Names", "Files");
    EXPECT_EQ((Items{"qv.ex_", "help.hl_", "readme.txt"}), ListItems("Names"));
    MakeListFromSectionDate("Dates", "Files");
    EXPECT_EQ((Items{"1995-06-01-12-30-00", "1995-05-02-08-00-00", ""}), ListItems("Dates"));
    MakeListFromSectionRename("Renames", "Files");
    EXPECT_EQ((Items{"qv.exe", "help.hlp", ""}), ListItems("Renames"));
    MakeListFromSectionSize("Sizes", "Files");
    EXPECT_EQ((Items{"48128", "2048", ""}), ListItems("Sizes"));
    MakeListFromSectionVersion("Versions", "Files");
    EXPECT_EQ((Items{"2.0.1.7", "1.0.0.0", ""}), ListItems("Versions"));
}

TEST_F(InfLists, KeyListWithoutKeylessItemsAndEmptySections)
{
    ASSERT_TRUE(OpenInf(kFiles));
    ASSERT_EQ(1, FSetSymbolToListOfInfKeys("Keys", "files", 0));
    EXPECT_EQ((Items{"ledger", "Readme"}), ListItems("Keys"));

    // A list made again replaces the old items; an empty section empties it.
    MakeListFromSectionKeys("Keys", "Empty");
    EXPECT_EQ(0, GetListLength("Keys"));
    EXPECT_NE(std::string::npos, TranscriptSinceStart().find("add \"Keys\" \"Readme\"\n"));
}

TEST_F(InfLists, FieldNumberBelowOneIsRefused)
{
    ASSERT_TRUE(OpenInf(kFiles));
    EXPECT_EQ(0, FMakeListInfSectionField("L", "Files", 0));
    EXPECT_EQ(0, FMakeListInfSectionField("", "Files", 1));
    EXPECT_EQ(0, FSetSymbolToListOfInfKeys(nullptr, "Files", 1));
}

TEST_F(InfListsDeathTest, ListOfAMissingSectionEndsTheRun)
{
    ASSERT_TRUE(OpenInf(kFiles));
    EXPECT_EXIT(MakeListFromSectionKeys("Keys", "Nowhere"), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    EXPECT_EXIT(MakeListFromSectionVersion("V", "Nowhere"), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
}

}  // namespace
