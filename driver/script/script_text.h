// script_text.h - the bytes of setup.inf made into the text the scanner reads.
//
// Vendors write scripts with every kind of editor: lines may end in CR LF,
// LF or a bare CR, and a UTF-8 editor may put a byte-order mark in front.
// The private copy gets one line feed per line end, no mark and nothing
// after an end-of-text byte, so every line is seen as the vendor wrote it
// and the copy is read as it stands (binary). A UTF-16 script cannot be
// read as ANSI text at all and is refused.
#pragma once

#include <stddef.h>

enum script_encoding { SCRIPT_ANSI, SCRIPT_UTF16 };

// The copy in progress; zeroed before the first piece.
struct script_text_state {
    size_t seen;      // bytes of the script looked at so far
    int after_cr;     // the last byte was a CR: a LF now belongs to it
    int ended;        // a 0x1A was met: the text ends there
};

// A UTF-16 script shows a byte-order mark at its start or NUL bytes, which
// ANSI text never holds.
enum script_encoding script_piece_encoding(const struct script_text_state *state, const unsigned char *piece,
                                           size_t length);

// Writes the piece into out (room for length bytes), every line end made
// one line feed and a UTF-8 byte-order mark at the start of the first
// piece left out; the text ends at the first 0x1A, as in any text file.
// Returns the bytes written.
size_t normalize_script_piece(struct script_text_state *state, const unsigned char *piece, size_t length,
                              unsigned char *out);
