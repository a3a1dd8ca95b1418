// script_checks.cpp - paths, environment settings and names from a script,
// judged before anything is copied.
//
// Every walk steps with CharNextA: a trail byte of a double-byte character
// may equal "\\" or "|" and is no separator or special character.
#include "script/script_checks.h"

#include <windows.h>
#include <stdint.h>
#include <string.h>

namespace {

// The words a path fault names for each kind of path.
struct path_role {
    const char *not_relative;
    const char *climbs;
    const char *device;
    const char *colon;
    const char *forbidden;
    const char *too_long;
    const char *no_file;
};

const path_role source_role = {
    "the source is not a name in the medium's file directory",
    "the source leaves the medium's file directory",
    "the source names a device",
    "the source holds a \":\"",
    "the source holds a character that no file name can hold",
    "a name in the source is longer than 255 characters",
    "the source names no file",
};
const path_role destination_role = {
    NULL,
    "the destination leaves the installation directory",
    "the destination names a device",
    "the destination holds a \":\"",
    "the destination holds a character that no file name can hold",
    "a name in the destination is longer than 255 characters",
    "the destination names no file",
};
const path_role directory_role = {
    NULL,
    "the directory leaves the installation directory",
    "the directory names a device",
    "the directory holds a \":\"",
    "the directory holds a character that no file name can hold",
    "a name in the directory is longer than 255 characters",
    "the directory names no directory",
};

// The longest name of one file or directory the file systems keep.
const int MAX_NAME_CHARACTERS = 255;

int is_separator(char ch)
{
    return ch == '\\' || ch == '/';
}

char upper(char ch)
{
    return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

int equal_no_case(const char *start, size_t length, const char *word)
{
    if (strlen(word) != length)
        return 0;
    for (size_t i = 0; i < length; i++) {
        if (upper(start[i]) != word[i])
            return 0;
    }
    return 1;
}

// Neither is ever the trail byte of a double-byte character.
int only_dots_and_blanks(const char *start, const char *end)
{
    for (const char *ch = start; ch < end; ch++) {
        if (*ch != '.' && *ch != ' ')
            return 0;
    }
    return start != end;
}

// The system takes ".." and its look-alikes ("...", ". .") as climbing or
// drops them; "." stays where it is.
int climbs(const char *start, const char *end)
{
    return only_dots_and_blanks(start, end) && !(end - start == 1 && *start == '.');
}

int is_control(char ch)
{
    return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F;
}

int is_forbidden_in_name(const char *ch)
{
    return CharNextA(ch) == ch + 1 && (is_control(*ch) || strchr("*?\"<>|", *ch) != NULL);
}

// Every component of path, walked whole: the first fault wins. The last
// component must name something: not empty, not "." alone.
const char *component_fault(const char *path, const path_role &role)
{
    const char *start = path;
    int characters = 0;
    for (const char *ch = path;; ch = CharNextA(ch)) {
        if (*ch == ':')
            return role.colon;
        if (*ch != '\0' && is_forbidden_in_name(ch))
            return role.forbidden;
        if (*ch != '\0' && !is_separator(*ch)) {
            if (++characters > MAX_NAME_CHARACTERS)
                return role.too_long;
            continue;
        }
        if (climbs(start, ch))
            return role.climbs;
        if (IsDeviceName(start, ch))
            return role.device;
        if (*ch == '\0')
            return start == ch || (ch - start == 1 && *start == '.') ? role.no_file : NULL;
        start = ch + 1;
        characters = 0;
    }
}

// Whether text holds one of chars, or a control character.
int holds_any(const char *text, const char *chars)
{
    for (const char *ch = text; *ch != '\0'; ch = CharNextA(ch)) {
        int single_byte = CharNextA(ch) == ch + 1;
        if (single_byte && (is_control(*ch) || strchr(chars, *ch) != NULL))
            return 1;
    }
    return 0;
}

// Redirection, pipes and command chaining: a SET line of AUTOEXEC.BAT that
// holds one of them runs more than the setting at the next start.
const char batch_special[] = "|<>&";

int only_blanks(const char *text)
{
    return text[strspn(text, " \t")] == '\0';
}

// Empty, or nothing left once the system drops trailing dots and blanks.
int leaves_no_file_name(const char *name)
{
    return *name == '\0' || only_dots_and_blanks(name, name + strlen(name));
}

int is_forbidden_in_file_name(char ch)
{
    return static_cast<unsigned char>(ch) < 0x20 || strchr("\\/:*?\"<>|", ch) != NULL;
}

}  // namespace

int IsDeviceName(const char *start, const char *end)
{
    static const char *const devices[] = {"CON", "NUL", "AUX", "PRN", "CONIN$", "CONOUT$"};
    const char *base_end = start;
    while (base_end < end && *base_end != '.')
        base_end++;
    while (base_end > start && base_end[-1] == ' ')
        base_end--;
    size_t length = static_cast<size_t>(base_end - start);
    for (const char *device : devices) {
        if (equal_no_case(start, length, device))
            return 1;
    }
    return length == 4 && (equal_no_case(start, 3, "COM") || equal_no_case(start, 3, "LPT")) &&
           start[3] >= '1' && start[3] <= '9';
}

int HasDrive(const char *path)
{
    return upper(path[0]) >= 'A' && upper(path[0]) <= 'Z' && path[1] == ':';
}

const char *SourceFault(const char *source)
{
    // A rooted path, a network path (\\server\share) or a drive.
    if (is_separator(source[0]) || HasDrive(source))
        return source_role.not_relative;
    return component_fault(source, source_role);
}

const char *DestinationFault(const char *destination)
{
    return component_fault(HasDrive(destination) ? destination + 2 : destination, destination_role);
}

const char *DirectoryFault(const char *directory)
{
    return component_fault(directory, directory_role);
}

const char *VariableNameFault(const char *name, int batch_file)
{
    if (*name == '\0')
        return "the variable has no name";
    if (holds_any(name, "=%"))
        return "the variable name holds a \"=\", \"%\" or a control character";
    // "SET  NAME=" sets NAME: the blank in front would name another variable.
    if (batch_file && *name == ' ')
        return "the variable name begins with a blank, which AUTOEXEC.BAT would drop";
    if (equal_no_case(name, strlen(name), "PATH"))
        return "the search path is changed by ADDPATH lines only";
    return NULL;
}

const char *VariableValueFault(const char *value, int batch_file)
{
    if (batch_file && holds_any(value, batch_special))
        return "the value holds a \"|\", \"<\", \">\", \"&\" or control character, which AUTOEXEC.BAT would act on";
    return NULL;
}

const char *SearchPathEntryFault(const char *entry, int batch_file)
{
    // An empty entry adds nothing to Path; AUTOEXEC.BAT would get a line for it.
    if (*entry == '\0' && !batch_file)
        return NULL;
    if (only_blanks(entry))
        return "the search path entry is empty";
    if (holds_any(entry, ";"))
        return "the search path entry holds a \";\" or a control character: one directory per ADDPATH line";
    if (batch_file && holds_any(entry, batch_special))
        return "the search path entry holds a \"|\", \"<\", \">\" or \"&\", which AUTOEXEC.BAT would act on";
    return NULL;
}

int CleanFileName(char *out, size_t cb, const char *name)
{
    size_t length = strlen(name);
    size_t at = IsDeviceName(name, name + length) ? 1 : 0;
    if (leaves_no_file_name(name) || at + length >= cb)
        return 0;
    out[0] = '_';  // kept only in front of a device name
    for (const char *ch = name; *ch != '\0';) {
        const char *next = CharNextA(ch);
        int single_byte = next == ch + 1;
        if (single_byte && is_forbidden_in_file_name(*ch)) {
            out[at++] = '_';
        } else {
            memcpy(out + at, ch, static_cast<size_t>(next - ch));
            at += static_cast<size_t>(next - ch);
        }
        ch = next;
    }
    out[at] = '\0';
    return 1;
}

const char *ShortcutNameFault(const char *name)
{
    if (leaves_no_file_name(name))
        return "the shortcut name is empty or only dots and blanks";
    return NULL;
}

const char *GroupNameFault(const char *name)
{
    if (leaves_no_file_name(name))
        return "the group name is empty or only dots and blanks";
    return NULL;
}

const char *ProductNameFault(const char *name)
{
    if (only_blanks(name))
        return "the product name is empty";
    if (holds_any(name, ""))
        return "the product name holds a control character";
    if (strlen(name) > MAX_PRODUCT_NAME)
        return "the product name is longer than 63 characters";
    return NULL;
}

const char *BannerFileFault(const char *file)
{
    if (const char *fault = SourceFault(file))
        return fault;
    size_t length = strlen(file);
    if (length < 4 || !equal_no_case(file + length - 4, 4, ".BMP"))
        return "the banner is not a .bmp file";
    return NULL;
}

namespace {

unsigned long little_endian(const unsigned char *at, int bytes)
{
    unsigned long value = 0;
    for (int i = bytes - 1; i >= 0; i--)
        value = value << 8 | at[i];
    return value;
}

// Bytes of one row of pixels: rows are kept in whole 32-bit words.
unsigned long long row_bytes(long width, unsigned bits)
{
    return ((unsigned long long)width * bits + 31) / 32 * 4;
}

}  // namespace

const char *BannerBitmapFault(const unsigned char *bytes, size_t size, long *width, long *height)
{
    const size_t file_header = 14, info_header = 40;
    if (size > BANNER_MAX_BYTES)
        return "the banner is larger than 1 MB";
    if (size < file_header + info_header || bytes[0] != 'B' || bytes[1] != 'M')
        return "the banner is not a bitmap (BMP) file";
    unsigned long bits_at = little_endian(bytes + 10, 4);
    unsigned long header = little_endian(bytes + 14, 4);
    // The Windows 3 header and its two later extensions; OS/2 headers and
    // the embedded JPEG and PNG forms are not shown everywhere.
    if (header != 40 && header != 108 && header != 124)
        return "the banner's bitmap header is of a kind Windows does not show everywhere";
    // Signed 32-bit fields: a negative height stores the rows top down.
    long w = static_cast<int32_t>(little_endian(bytes + 18, 4));
    long h = static_cast<int32_t>(little_endian(bytes + 22, 4));
    unsigned planes = (unsigned)little_endian(bytes + 26, 2);
    unsigned bits = (unsigned)little_endian(bytes + 28, 2);
    unsigned long compression = little_endian(bytes + 30, 4);
    unsigned long colours = little_endian(bytes + 46, 4);
    if (h < 0)
        h = -h;  // stored from the top row down
    int plain = compression == 0 && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    int run_length = (compression == 1 && bits == 8) || (compression == 2 && bits == 4);
    if (planes != 1 || (!plain && !run_length))
        return "the banner's bitmap has a colour format Windows does not show everywhere";
    if (w < BANNER_MIN_SIDE || h < BANNER_MIN_SIDE || w > BANNER_MAX_WIDTH || h > BANNER_MAX_HEIGHT)
        return "the banner is not between 16 x 16 and 640 x 200 pixels";
    unsigned long palette_max = bits <= 8 ? 1ul << bits : 0;
    if (colours > palette_max && !(bits > 8 && colours <= 256))
        return "the banner's bitmap has more colours than its format holds";
    unsigned long palette = colours ? colours : palette_max;
    unsigned long long pixels = run_length ? little_endian(bytes + 34, 4) : row_bytes(w, bits) * (unsigned long)h;
    if (file_header + header + 4ull * palette > bits_at || bits_at > size || pixels == 0 || pixels > size - bits_at)
        return "the banner's bitmap file is cut short or damaged";
    *width = w;
    *height = h;
    return NULL;
}
