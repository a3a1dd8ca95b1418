// What taking an installation back relies on beside the log: the name of
// each software's key and log, and Path losing exactly one element.
#include "log/install_log.h"
#include "uninstall/uninstall.h"

#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <string>

namespace {

std::string KeyOf(const std::string &name)
{
    char key[300];
    EXPECT_EQ(1, SoftwareKeyName(key, sizeof key, name.c_str())) << name;
    return key;
}

std::string Without(std::string list, const std::string &element, int expected = 1)
{
    EXPECT_EQ(expected, RemoveListElement(list, element)) << list;
    return list;
}

}  // namespace

TEST(UninstallNames, EveryNameMakesOneKeyAndFileNameOfItsOwn)
{
    EXPECT_EQ("Quorvane32 samples", KeyOf("Quorvane32 samples"));
    EXPECT_EQ("A%2FB%5Cc%3A%25 (x)_y-z.1", KeyOf("A/B\\c:% (x)_y-z.1"));
    EXPECT_EQ("%20a.b%2E", KeyOf(" a.b."));
    EXPECT_EQ("%82%5C", KeyOf("\x82\x5c"));
    EXPECT_EQ("%7E", KeyOf("~"));
    std::string empty = KeyOf("");
    EXPECT_EQ("~00000000", empty);

    // Long names are cut and told apart by the checksum of the whole name.
    std::string slashes(250, '/'), longer = slashes + "a", other = slashes + "b";
    std::string cut = KeyOf(longer);
    EXPECT_LE(cut.size(), 209u);
    EXPECT_EQ('~', cut[cut.size() - 9]);
    EXPECT_EQ(0u, cut.find("%2F%2F"));
    EXPECT_NE(cut, KeyOf(other));
    std::set<std::string> keys;
    for (const std::string &name : {std::string("a b"), std::string("a%20b"), std::string("a_b"), std::string("a/b"),
                                    std::string("a%2Fb"), longer, other, std::string(""), std::string("~00000000")})
        EXPECT_TRUE(keys.insert(KeyOf(name)).second) << name;

    char small[8];
    EXPECT_EQ(0, SoftwareKeyName(small, sizeof small, "Quorvane32"));
    char log[MAX_PATH];
    ASSERT_EQ(1, LogPathOf(log, sizeof log, "R:\\usr", "Quorvane", "Quorvane32 samples"));
    EXPECT_STREQ("R:\\usr\\uninstall-Quorvane-Quorvane32 samples.log", log);
    ASSERT_EQ(1, EarlierLogPathOf(log, sizeof log, "R:\\usr", "Quorvane32 samples"));
    EXPECT_STREQ("R:\\usr\\uninstall-Quorvane32 samples.log", log);

    // Two companies never share a key, however their names are cut or joined.
    std::set<std::string> products;
    for (auto names : {std::make_pair(std::string("A-B"), std::string("C")), std::make_pair(std::string("A"), std::string("B-C")),
                       std::make_pair(std::string("A"), std::string("B")), std::make_pair(std::string("B"), std::string("A")),
                       std::make_pair(longer, std::string("x")), std::make_pair(longer, std::string("y")),
                       std::make_pair(std::string("x"), longer)}) {
        char key[300];
        ASSERT_EQ(1, ProductKeyName(key, sizeof key, names.first.c_str(), names.second.c_str()));
        EXPECT_LE(strlen(key), 210u);
        EXPECT_TRUE(products.insert(key).second) << key;
    }
}

TEST(UninstallNames, PathLosesOneElementAndNothingElse)
{
    EXPECT_EQ("C:\\w;%SystemRoot%", Without("R:\\usr\\bin;C:\\w;%SystemRoot%", "R:\\usr\\bin"));
    EXPECT_EQ("C:\\w;%SystemRoot%", Without("C:\\w;r:\\USR\\bin;%SystemRoot%", "R:\\usr\\bin"));
    EXPECT_EQ("C:\\w;;x", Without("C:\\w;;x;R:\\usr\\bin", "R:\\usr\\bin"));
    EXPECT_EQ("", Without("R:\\usr\\bin", "R:\\usr\\bin"));
    EXPECT_EQ("R:\\usr\\bin", Without("R:\\usr\\bin;R:\\usr\\bin", "R:\\usr\\bin"));
    EXPECT_EQ("R:\\usr\\bin2;R:\\usr;x", Without("R:\\usr\\bin2;R:\\usr;x", "R:\\usr\\bin", 0));
    EXPECT_EQ("", Without("", "R:\\usr\\bin", 0));
}
