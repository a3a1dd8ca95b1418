// Deleting keys with their whole tree.
#include "regdb_fixture.h"

#include "msregdb.h"
#include "regdb_binding.h"
#include "setupapi.h"

#include <string.h>

using regtest::ReadTranscript;
using regtest::RegistryTest;

namespace {

// The key's subkeys are enumerated in name order: A (0), B (1), C (2).
const char *const kTree[] = {
    "Tree", "Tree\\A", "Tree\\A\\A1", "Tree\\A\\A1\\A2", "Tree\\B", "Tree\\B\\B1", "Tree\\C",
    "TreeSibling", "TreeSibling\\Leaf",
};

// RegDeleteKeyA that refuses the key B1 as a key without the right to
// delete it would be refused.
LONG WINAPI RefuseToDeleteB1(HKEY hKey, LPCSTR szKey)
{
    size_t cch = strlen(szKey);
    if (cch >= 3 && strcmp(szKey + cch - 3, "\\B1") == 0)
        return ERROR_ACCESS_DENIED;
    return RegDeleteKeyA(hKey, szKey);
}

}  // namespace

using DeleteTree = RegistryTest;

TEST_F(DeleteTree, WholeTreeGoesAndItsNeighboursStay)
{
    for (const char *key : kTree)
        MakeKey(key);
    // On this system a key with subkeys cannot be deleted: the key is gone
    // only if its subkeys went first.
    EXPECT_EQ(1, DeleteAllSubKeys(HKEY_CLASSES_ROOT, Key("Tree").c_str()));
    EXPECT_FALSE(KeyExists("Tree"));
    EXPECT_TRUE(KeyExists("TreeSibling\\Leaf"));
    EXPECT_TRUE(KeyExists(""));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(DeleteTree, BelowTheCallersKeyLeavesItOpen)
{
    for (const char *key : kTree)
        MakeKey(key);
    HKEY hParent;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, Key().c_str(), 0, KEY_ALL_ACCESS, &hParent));
    DeleteRegKeyEx(hParent, "Tree");
    EXPECT_FALSE(KeyExists("Tree"));
    EXPECT_EQ(1, DoesRegKeyExistEx(hParent, "TreeSibling"));
    RegCloseKey(hParent);
}

TEST_F(DeleteTree, MissingKeyIsNoError)
{
    DeleteRegKey(Key("Nowhere").c_str());
    DeleteRegKeyEx(HKEY_CLASSES_ROOT, Key("Nowhere").c_str());
    EXPECT_TRUE(KeyExists(""));
    EXPECT_TRUE(Reports().empty());
}

TEST_F(DeleteTree, UnreadableKeyStopsTheWalkAfterTheHigherIndexes)
{
    for (const char *key : kTree)
        MakeKey(key);
    DenyRights("Tree\\B\\B1", KEY_ENUMERATE_SUB_KEYS);
    EXPECT_EQ(0, DeleteAllSubKeys(HKEY_CLASSES_ROOT, Key("Tree").c_str()));
    // C (the highest index) went first; B stopped the walk before A.
    EXPECT_FALSE(KeyExists("Tree\\C"));
    EXPECT_TRUE(KeyExists("Tree\\B\\B1"));
    EXPECT_TRUE(KeyExists("Tree\\A\\A1\\A2"));
    EXPECT_TRUE(KeyExists("Tree"));
    // Reported, without ending the run.
    std::vector<std::string> reports = Reports();
    ASSERT_EQ(2u, reports.size());
    EXPECT_EQ("error \"DeleteAllSubKeys:open\"", reports[0]);
    EXPECT_EQ("msgbox \"DeleteAllSubKeys:open\" \"Setup Error\" 16 1", reports[1]);
}

using DeleteTreeDeathTest = RegistryTest;

TEST_F(DeleteTreeDeathTest, UnreadableKeyDeepInTheTreeIsReportedTwice)
{
    for (const char *key : kTree)
        MakeKey(key);
    DenyRights("Tree\\A\\A1\\A2", KEY_ENUMERATE_SUB_KEYS);
    EXPECT_EXIT(DeleteRegKey(Key("Tree").c_str()), ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    size_t open = transcript.find("error \"DeleteAllSubKeys:open\"\n");
    ASSERT_NE(std::string::npos, open) << transcript;
    size_t caller = transcript.find("error \"DeleteAllSubKeys\"\n", open);
    ASSERT_NE(std::string::npos, caller) << transcript;
    EXPECT_NE(std::string::npos, transcript.find("dialog 400 CONTINUE\n", caller));
}

TEST_F(DeleteTreeDeathTest, KeyThatCannotBeDeletedIsAFailureNotSuccess)
{
    for (const char *key : kTree)
        MakeKey(key);
    // Wine does not refuse deleting a key for want of the right to, so the
    // refusal is played by the bound entry point.
    EXPECT_EXIT(
        {
            regdb.lpfnRegDeleteKey = RefuseToDeleteB1;
            DeleteRegKey(Key("Tree").c_str());
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    size_t step = transcript.find("error \"DeleteAllSubKeys:delete\"\n");
    ASSERT_NE(std::string::npos, step) << transcript;
    EXPECT_NE(std::string::npos, transcript.find("error \"DeleteAllSubKeys\"\n", step));
    EXPECT_FALSE(KeyExists("Tree\\C"));
    EXPECT_TRUE(KeyExists("Tree\\B\\B1"));
    EXPECT_TRUE(KeyExists("Tree\\A"));
}

TEST_F(DeleteTreeDeathTest, EmptyKeyNameNeverTakesTheParent)
{
    // Below the scratch key, so a slip would cost only the scratch tree.
    for (const char *key : kTree)
        MakeKey(key);
    EXPECT_EXIT(
        {
            HKEY hParent;
            RegOpenKeyExA(HKEY_CLASSES_ROOT, Key().c_str(), 0, KEY_ALL_ACCESS, &hParent);
            DeleteRegKeyEx(hParent, "");
        },
        ::testing::ExitedWithCode(SETUP_ERROR_EXIT_CODE), "");
    std::string transcript = ReadTranscript(true);
    size_t step = transcript.find("error \"DeleteAllSubKeys:no key name\"\n");
    ASSERT_NE(std::string::npos, step) << transcript;
    EXPECT_NE(std::string::npos, transcript.find("error \"DeleteAllSubKeys\"\n", step));
    EXPECT_TRUE(KeyExists("Tree\\A\\A1\\A2"));
}
