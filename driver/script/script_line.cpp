// script_line.cpp - the line helpers of the scanner and the installer.
//
// Every walk steps with CharNextA: the trail byte of a double-byte
// character may equal "[", "]" or "\\" and must not be taken for one.
#include "script/script_line.h"

#include <limits.h>
#include <string.h>

static int is_delimiter(char ch)
{
    return ch == ' ' || ch == '\n' || ch == '\t';
}

char *skip_delimiters(char *string_buf_ptr)
{
    while (is_delimiter(*string_buf_ptr))
        string_buf_ptr = CharNextA(string_buf_ptr);
    return string_buf_ptr;
}

char *skip_till_char(char *string_buf_ptr, char till_ch)
{
    while (*string_buf_ptr != '\0' && *string_buf_ptr != till_ch)
        string_buf_ptr = CharNextA(string_buf_ptr);
    return string_buf_ptr;
}

char *get_till_char(char *string_buf_ptr, char till_ch, char **token)
{
    *token = string_buf_ptr;
    char *found = skip_till_char(string_buf_ptr, till_ch);
    if (*found != till_ch)
        return NULL;
    *found = '\0';
    return found;
}

int read_script_line(struct _setup_info *si)
{
    if (fgets(si->input_line_buf, sizeof si->input_line_buf, si->setup_inf_ptr) == NULL)
        return 0;
    si->line_ptr = skip_delimiters(si->input_line_buf);
    return 1;
}

int line_starts_with(const char *line, const char *keyword)
{
    return strncmp(line, keyword, strlen(keyword)) == 0;
}

int take_bracket_value(struct _setup_info *si)
{
    si->token = NULL;
    char *open = skip_till_char(si->line_ptr, '[');
    if (*open != '[')
        return 0;
    char *close = get_till_char(CharNextA(open), ']', &si->token);
    if (close == NULL) {
        si->line_ptr = si->token + strlen(si->token);
        return 0;
    }
    // The "]" was inside the line, so one past it is at most the
    // line's own terminator.
    si->line_ptr = close + 1;
    return 1;
}

int take_number_value(struct _setup_info *si)
{
    si->token = NULL;
    char *blank = skip_till_char(si->line_ptr, ' ');
    if (*blank != ' ')
        return 0;
    char *line_feed = get_till_char(blank + 1, '\n', &si->token);
    // The last line of a script may end without a line feed.
    si->line_ptr = line_feed != NULL ? line_feed : si->token + strlen(si->token);
    return 1;
}

int take_word(struct _setup_info *si)
{
    char *start = skip_delimiters(si->line_ptr);
    char *end = start;
    while (*end != '\0' && !is_delimiter(*end))
        end = CharNextA(end);
    si->token = start;
    if (*end == '\0') {
        si->line_ptr = end;
    } else {
        *end = '\0';
        si->line_ptr = end + 1;
    }
    return end != start;
}

int number_as_int(const char *token)
{
    // atoi leaves an overflowing value undefined; a disk number from the
    // medium must not be able to do that.
    long long value = strtoll(token, NULL, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
