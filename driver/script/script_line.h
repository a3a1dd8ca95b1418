// script_line.h - reading setup.inf lines and taking them apart.
//
// Shared by the scanner and the installer. Every helper works in place on
// si->input_line_buf: it moves si->line_ptr, points si->token at the value
// it took and may overwrite one delimiter with a terminator. None of them
// reads past the line's terminator.
#pragma once

#include <stddef.h>
#include <stdlib.h>

#include "base/fatal.h"

// Walks by character from string_buf_ptr: past blanks, tabs and line feeds;
// up to till_ch or the end; up to till_ch, which becomes the end of token
// (null when the line has none).
char *skip_delimiters(char *string_buf_ptr);
char *skip_till_char(char *string_buf_ptr, char till_ch);
char *get_till_char(char *string_buf_ptr, char till_ch, char **token);

// Reads the next line (at most 511 characters; a longer line comes as
// several) and sets line_ptr past its leading blanks, tabs and line feeds.
// Returns 0 at the end of the script.
int read_script_line(struct _setup_info *si);

// 1 when line begins with keyword, compared case-sensitively for the
// keyword's length; whatever follows is not looked at.
int line_starts_with(const char *line, const char *keyword);

// From line_ptr: the text after the next "[" up to the next "]". Leaves
// line_ptr just after that "]", so a second call takes the next value.
// Returns 0 when the line has no "[" or the value no "]"; token is then
// null, or runs to the end of the line.
int take_bracket_value(struct _setup_info *si);

// From line_ptr: everything after the next blank (not a tab) up to the
// line feed or the end of the line. Returns 0 when there is no blank.
int take_number_value(struct _setup_info *si);

// From line_ptr: skips blanks, tabs and line feeds, then takes the run of
// characters up to a blank, tab, line feed or the end. Leaves line_ptr just
// after the word. Returns 0 when there is no word.
int take_word(struct _setup_info *si);

// A number value as a disk number: atoi's result for every value that
// fits an int, the nearest int limit for one that does not.
int number_as_int(const char *token);

// A new, zeroed list node. The lists live until the process ends, so
// nothing frees it. No memory is a fatal stop.
template <typename Node>
Node *new_item_node(struct _setup_info *si)
{
    Node *node = static_cast<Node *>(calloc(1, sizeof(Node)));
    if (node == NULL)
        FatalStop(si, "Memory alloc failed", "Fatal Error");
    return node;
}

// Appends node at the tail of the list given by its head and tail.
template <typename Node>
void append_item_node(Node **head, Node **tail, Node *node)
{
    node->next = NULL;
    if (*head == NULL)
        *head = node;
    else
        (*tail)->next = node;
    *tail = node;
}
