// script_text_test.cpp - the script's bytes made into lines, piece by piece
// as start-up reads them.
#include <gtest/gtest.h>

#include <string>

#include "script/script_text.h"

namespace {

// The text made of the pieces, as the private copy receives it.
std::string Normalized(std::initializer_list<std::string> pieces)
{
    struct script_text_state state = {};
    std::string text;
    for (const std::string &piece : pieces) {
        std::string out(piece.size(), '\0');
        const unsigned char *in = reinterpret_cast<const unsigned char *>(piece.data());
        out.resize(normalize_script_piece(&state, in, piece.size(), reinterpret_cast<unsigned char *>(&out[0])));
        text += out;
    }
    return text;
}

enum script_encoding EncodingOf(const std::string &head, size_t seen = 0)
{
    struct script_text_state state = {};
    state.seen = seen;
    return script_piece_encoding(&state, reinterpret_cast<const unsigned char *>(head.data()), head.size());
}

}  // namespace

TEST(ScriptText, EveryKindOfLineEndBecomesOneLineFeed)
{
    EXPECT_EQ("A\nB\nC\nD", Normalized({"A\r\nB\nC\rD"}));
    EXPECT_EQ("A\n\nB\n", Normalized({"A\r\rB\r\n"}));
    // A CR LF cut between two pieces is still one line end.
    EXPECT_EQ("A\nB\n", Normalized({"A\r", "\nB\r", "\n"}));
    EXPECT_EQ("A\n\nB", Normalized({"A\r", "\r", "B"}));
}

// The copy is read in binary, so the end-of-text byte that a text-mode
// read would stop at ends the copy, in whichever piece it comes.
TEST(ScriptText, TheTextEndsAtTheFirstEndOfTextByte)
{
    EXPECT_EQ("END 0\n", Normalized({"END 0\r\n\x1A\r\nFILESET [Hidden]\r\n"}));
    EXPECT_EQ("A\nB", Normalized({"A\r", "\nB\x1A", "C\n", "D"}));
    EXPECT_EQ("", Normalized({"\x1A" "A\n"}));
}

TEST(ScriptText, OnlyALeadingUtf8MarkIsLeftOut)
{
    EXPECT_EQ("COMPANY [Q]\n", Normalized({"\xEF\xBB\xBF" "COMPANY [Q]\r\n"}));
    EXPECT_EQ("A\xEF\xBB\xBF", Normalized({"A", "\xEF\xBB\xBF"}));
    EXPECT_EQ("\xEF\xBB", Normalized({"\xEF\xBB"}));
}

TEST(ScriptText, Utf16IsToldByItsMarkOrItsNulBytes)
{
    EXPECT_EQ(SCRIPT_UTF16, EncodingOf("\xFF\xFE" "C"));
    EXPECT_EQ(SCRIPT_UTF16, EncodingOf("\xFE\xFF"));
    EXPECT_EQ(SCRIPT_UTF16, EncodingOf(std::string("C\0O\0", 4)));
    EXPECT_EQ(SCRIPT_UTF16, EncodingOf(std::string("END 0\0", 6), 4096));
    EXPECT_EQ(SCRIPT_ANSI, EncodingOf("COMPANY [\xFF\xFE]"));
    // The mark counts only at the start of the script.
    EXPECT_EQ(SCRIPT_ANSI, EncodingOf("\xFF\xFE", 4096));
}
