// The symbol table: one-item values, lists, bounded reads.
#include <cstring>

#include "runtime_fixture.h"

namespace {

using rttest::Symbol;

constexpr char kSentinel = '\xA5';

TEST(Symbols, ValueIsReadBackWithItsLength) {
    ASSERT_TRUE(FSetSymbolValue("SymPlain", "C:\\usr"));
    char value[32];
    EXPECT_EQ(6u, CbGetSymbolValue("SymPlain", value, sizeof value));
    EXPECT_STREQ("C:\\usr", value);
    EXPECT_EQ(1, UsGetListLength("SymPlain"));
}

TEST(Symbols, NamesAreCaseSensitive) {
    FSetSymbolValue("SymCase", "upper");
    FSetSymbolValue("symcase", "lower");
    EXPECT_EQ("upper", Symbol("SymCase"));
    EXPECT_EQ("lower", Symbol("symcase"));
}

TEST(Symbols, EmptyValueEmptiesAList) {
    FAddListItem("SymEmptied", "one");
    FAddListItem("SymEmptied", "two");
    ASSERT_EQ(2, UsGetListLength("SymEmptied"));
    ASSERT_TRUE(FSetSymbolValue("SymEmptied", ""));
    EXPECT_EQ(0, UsGetListLength("SymEmptied"));
    EXPECT_EQ("", Symbol("SymEmptied"));
    FAddListItem("SymEmptied", "three");
    EXPECT_EQ(1, UsGetListLength("SymEmptied"));
    EXPECT_EQ("three", Symbol("SymEmptied"));
}

TEST(Symbols, ListValueQuotesItemsAndDoublesInnerQuotes) {
    FSetSymbolValue("SymList", "");
    FAddListItem("SymList", "C:");
    FAddListItem("SymList", "90  KB");
    FAddListItem("SymList", "say \"hi\"");
    FAddListItem("SymList", "");
    EXPECT_EQ(4, UsGetListLength("SymList"));
    EXPECT_EQ("{\"C:\",\"90  KB\",\"say \"\"hi\"\"\",\"\"}", Symbol("SymList"));
}

TEST(Symbols, AddingToAMissingSymbolCreatesIt) {
    FRemoveSymbol("SymFresh");
    ASSERT_TRUE(FAddListItem("SymFresh", "first"));
    EXPECT_EQ(1, UsGetListLength("SymFresh"));
    EXPECT_EQ("first", Symbol("SymFresh"));
}

TEST(Symbols, ShortBufferGetsTruncatedValueAndFullLength) {
    FSetSymbolValue("SymLong", "abcdef");
    char value[8];
    std::memset(value, kSentinel, sizeof value);
    EXPECT_EQ(6u, CbGetSymbolValue("SymLong", value, 4));
    EXPECT_STREQ("abc", value);
    EXPECT_EQ(kSentinel, value[4]) << "wrote past the limit";

    // Exactly the value's length: one byte short, which the caller sees as
    // a result of cbBfrMax or more.
    std::memset(value, kSentinel, sizeof value);
    EXPECT_EQ(6u, CbGetSymbolValue("SymLong", value, 6));
    EXPECT_STREQ("abcde", value);
    EXPECT_EQ(kSentinel, value[6]);

    EXPECT_EQ(6u, CbGetSymbolValue("SymLong", value, 7));
    EXPECT_STREQ("abcdef", value);
}

TEST(Symbols, ZeroSizedOrMissingBufferOnlyGivesTheLength) {
    FSetSymbolValue("SymSize", "xyz");
    char value[4];
    std::memset(value, kSentinel, sizeof value);
    EXPECT_EQ(3u, CbGetSymbolValue("SymSize", value, 0));
    EXPECT_EQ(kSentinel, value[0]);
    EXPECT_EQ(3u, CbGetSymbolValue("SymSize", nullptr, 0));
    EXPECT_EQ(3u, CbGetSymbolValue("SymSize", value, 1));
    EXPECT_STREQ("", value);
}

TEST(Symbols, ListItemsAreNumberedFromOne) {
    FSetSymbolValue("SymItems", "");
    FAddListItem("SymItems", "ON");
    FAddListItem("SymItems", "OFF");
    char item[16];
    EXPECT_EQ(2u, CbGetListItem("SymItems", 1, item, sizeof item));
    EXPECT_STREQ("ON", item);
    EXPECT_EQ(3u, CbGetListItem("SymItems", 2, item, sizeof item));
    EXPECT_STREQ("OFF", item);
    EXPECT_EQ(3u, CbGetListItem("SymItems", 2, item, 2));
    EXPECT_STREQ("O", item);

    std::memset(item, kSentinel, sizeof item);
    EXPECT_EQ(0u, CbGetListItem("SymItems", 0, item, sizeof item));
    EXPECT_STREQ("", item);
    EXPECT_EQ(0u, CbGetListItem("SymItems", 3, item, sizeof item));
    EXPECT_EQ(0u, CbGetListItem("SymNoSuchList", 1, item, sizeof item));
}

TEST(Symbols, ReplaceChangesOnlyAnExistingItem) {
    FSetSymbolValue("SymReplace", "");
    FAddListItem("SymReplace", "a");
    FAddListItem("SymReplace", "b");
    EXPECT_TRUE(FReplaceListItem("SymReplace", 2, "B"));
    EXPECT_EQ("{\"a\",\"B\"}", Symbol("SymReplace"));
    EXPECT_FALSE(FReplaceListItem("SymReplace", 0, "x"));
    EXPECT_FALSE(FReplaceListItem("SymReplace", 3, "x"));
    EXPECT_FALSE(FReplaceListItem("SymNoSuchList", 1, "x"));
    EXPECT_EQ("{\"a\",\"B\"}", Symbol("SymReplace"));
}

TEST(Symbols, RemovedOrMissingSymbolReadsEmpty) {
    FSetSymbolValue("SymGone", "here");
    EXPECT_TRUE(FRemoveSymbol("SymGone"));
    EXPECT_TRUE(FRemoveSymbol("SymGone")) << "removing an absent symbol succeeds";
    char value[8] = "junk";
    EXPECT_EQ(0u, CbGetSymbolValue("SymGone", value, sizeof value));
    EXPECT_STREQ("", value);
    EXPECT_EQ(0, UsGetListLength("SymGone"));
}

TEST(Symbols, NullOrEmptyNamesFail) {
    char value[8] = "junk";
    EXPECT_FALSE(FSetSymbolValue(nullptr, "x"));
    EXPECT_FALSE(FSetSymbolValue("", "x"));
    EXPECT_FALSE(FAddListItem("", "x"));
    EXPECT_FALSE(FReplaceListItem(nullptr, 1, "x"));
    EXPECT_FALSE(FRemoveSymbol(""));
    EXPECT_EQ(0u, CbGetSymbolValue(nullptr, value, sizeof value));
    EXPECT_EQ(0, UsGetListLength(""));
    EXPECT_EQ(0u, CbGetListItem(nullptr, 1, value, sizeof value));
    EXPECT_FALSE(FSetSymbolValue("SymNullValue", nullptr));
}

}  // namespace
