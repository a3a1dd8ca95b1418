// The bytes of setup.inf made into the text the scanner reads.
#include "script/script_text.h"

#include <string.h>

static const unsigned char utf8_mark[] = {0xEF, 0xBB, 0xBF};
// What a text editor of old put at the end of the text.
static const unsigned char end_of_text = 0x1A;

enum script_encoding script_piece_encoding(const struct script_text_state *state, const unsigned char *piece,
                                           size_t length)
{
    if (state->seen == 0 && length >= 2 &&
        ((piece[0] == 0xFF && piece[1] == 0xFE) || (piece[0] == 0xFE && piece[1] == 0xFF)))
        return SCRIPT_UTF16;
    return memchr(piece, '\0', length) != NULL ? SCRIPT_UTF16 : SCRIPT_ANSI;
}

size_t normalize_script_piece(struct script_text_state *state, const unsigned char *piece, size_t length,
                              unsigned char *out)
{
    size_t i = 0;
    if (state->seen == 0 && length >= sizeof utf8_mark && memcmp(piece, utf8_mark, sizeof utf8_mark) == 0)
        i = sizeof utf8_mark;
    size_t written = 0;
    for (; i < length && !state->ended; i++) {
        unsigned char byte = piece[i];
        if (byte == end_of_text) {
            state->ended = 1;
            break;
        }
        if (byte == '\n' && state->after_cr) {
            state->after_cr = 0;
            continue;
        }
        state->after_cr = byte == '\r';
        out[written++] = byte == '\r' ? '\n' : byte;
    }
    state->seen += length;
    return written;
}
