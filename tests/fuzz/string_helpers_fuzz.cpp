// string_helpers_fuzz.cpp - the toolkit's string helpers, the fixed-width
// copy, the date fields and the processor names, on any text.
//
// Input: four bytes of numbers (InStr's start, the field number, the
// field buffer's limit, lstrncpy's count), then up to four texts separated
// by zero bytes. Every text is handed over in a heap block of exactly its
// size, so a read or write past it is caught.
#include "fuzz_support.h"

#include <limits.h>
#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "msdetect.h"
#include "setupapi.h"
#include "setuprt.h"
#include "string_helpers.h"

namespace {

// What the runtime's processor query reports in this run.
const std::string *g_processor_name;
bool g_processor_known;

// A text in a heap block of exactly its size, terminator included.
class ExactText {
public:
    explicit ExactText(const std::string &text) : bytes_(new char[text.size() + 1])
    {
        memcpy(bytes_.get(), text.c_str(), text.size() + 1);
    }
    char *get() { return bytes_.get(); }

private:
    std::unique_ptr<char[]> bytes_;
};

struct Numbers {
    int cch;
    int field;
    unsigned field_limit;
    int copy_count;
};

Numbers NumbersFrom(const uint8_t *data)
{
    Numbers numbers;
    numbers.cch = data[0] - 2;
    // The last value asks for a field far past any line's end.
    numbers.field = data[1] == 255 ? INT_MAX : data[1] - 1;
    numbers.field_limit = data[2] * 2u;
    numbers.copy_count = data[3] - 8;
    return numbers;
}

std::vector<std::string> TextsFrom(const uint8_t *data, size_t size)
{
    std::vector<std::string> texts;
    const char *text = reinterpret_cast<const char *>(data);
    const char *end = text + size;
    while (texts.size() < 4) {
        const char *zero = static_cast<const char *>(memchr(text, '\0', static_cast<size_t>(end - text)));
        const char *stop = zero != nullptr ? zero : end;
        texts.emplace_back(text, stop);
        text = zero != nullptr ? zero + 1 : end;
    }
    return texts;
}

// The start of the last character of sz, or null for an empty text.
const char *LastCharacter(const char *sz)
{
    const char *last = nullptr;
    for (const char *ch = sz; *ch != '\0'; ch = CharNextA(ch))
        last = ch;
    return last;
}

void FuzzSearch(const Numbers &numbers, const std::string &text, const std::string &sought)
{
    ExactText haystack(text), needle(sought);
    char *found = lstrchr(haystack.get(), sought.empty() ? 'x' : sought[0]);
    Require(found == nullptr || (found >= haystack.get() && found < haystack.get() + text.size()),
            "lstrchr outside its text");
    Require(found == nullptr || *found == (sought.empty() ? 'x' : sought[0]), "lstrchr found another byte");

    int position = InStr(numbers.cch, haystack.get(), needle.get());
    Require(position >= 0 && position <= static_cast<int>(text.size()), "InStr beyond the text");
    Require(position == 0 || position >= numbers.cch, "InStr before its start");
}

void FuzzField(const Numbers &numbers, const std::string &text)
{
    ExactText line(text);
    std::unique_ptr<char[]> field(new char[numbers.field_limit + 1]);
    try {
        GetNthFieldFromIniString(line.get(), numbers.field, field.get(), numbers.field_limit);
        Require(strlen(field.get()) <= numbers.field_limit, "field longer than its limit");
    } catch (const FuzzStop &) {
        Require(numbers.field < 1 || text.size() > numbers.field_limit, "field refused without cause");
    }
    Require(text == line.get(), "the line was changed");
}

void FuzzTrimAndForms(const std::string &text)
{
    ExactText trimmed(text);
    RightTrim(trimmed.get());
    Require(text.compare(0, strlen(trimmed.get()), trimmed.get()) == 0, "RightTrim changed the text");
    const char *last = LastCharacter(trimmed.get());
    Require(last == nullptr || *last != ' ', "RightTrim left a trailing blank");

    ExactText path(text);
    int drive = FValidDrive(path.get());
    Require(drive == 0 || drive == 1, "FValidDrive is no truth value");
    int backslash = FEndsInBackslash(path.get());
    Require(backslash == 0 || backslash == 1, "FEndsInBackslash is no truth value");
}

// The joined text fits its buffer and is the start of the whole.
void RequireJoined(const char *joined, size_t buffer_size, const std::string &whole)
{
    size_t length = strlen(joined);
    Require(length < buffer_size, "joined text overruns its buffer");
    Require(whole.compare(0, length, joined) == 0, "joined text is not the parts in order");
}

void FuzzJoins(const std::vector<std::string> &texts)
{
    ExactText a(texts[0]), b(texts[1]), c(texts[2]), d(texts[3]);
    RequireJoined(SzCatStr(a.get(), b.get()), 2 * 255, texts[0] + texts[1]);
    RequireJoined(SzCat2Str(a.get(), b.get(), c.get()), 3 * 255, texts[0] + texts[1] + texts[2]);
    RequireJoined(SzCat3Str(a.get(), b.get(), c.get(), d.get()), 4 * 255,
                  texts[0] + texts[1] + texts[2] + texts[3]);
}

void FuzzFixedCopy(const Numbers &numbers, const std::string &text)
{
    ExactText source(text);
    size_t n = numbers.copy_count > 0 ? static_cast<size_t>(numbers.copy_count) : 0;
    std::unique_ptr<char[]> copy(new char[n + 1]);
    copy[n] = 'C';  // canary: exactly n bytes are written
    lstrncpy(copy.get(), source.get(), numbers.copy_count);
    Require(copy[n] == 'C', "lstrncpy wrote more than n bytes");
    size_t kept = text.size() < n ? text.size() : n;
    Require(memcmp(copy.get(), text.data(), kept) == 0, "lstrncpy did not copy the text");
    for (size_t i = kept; i < n; i++)
        Require(copy[i] == '\0', "lstrncpy did not fill with zeros");
}

void FuzzDates(const std::string &text)
{
    ExactText date(text);
    int (*const two_digit_fields[])(const char *) = {GetMonthFromDate, GetDayFromDate, GetHourFromDate,
                                                     GetMinuteFromDate, GetSecondFromDate};
    int year = GetYearFromDate(date.get());
    Require(year >= -999 && year <= 9999, "year wider than four characters");
    for (int (*field)(const char *) : two_digit_fields) {
        int value = field(date.get());
        Require(value >= -9 && value <= 99, "date field wider than two characters");
    }
}

bool ListedProcessor(int type)
{
    const int types[] = {400, 620, 604, 603, 601, 21164, 21066, 21064, 4000, 3000, 2000, 5, 4, 3, 2, 1, 0};
    for (int listed : types) {
        if (type == listed)
            return true;
    }
    return false;
}

void FuzzProcessor(const std::string &name, bool known)
{
    ExactText exact(name);
    int type = ProcessorTypeFromName(exact.get());
    Require(type == PROCESSOR_UNKNOWN || ListedProcessor(type), "processor number not in the table");
    g_processor_name = &name;
    g_processor_known = known;
    type = GetProcessorType();
    Require(known || type == 0, "a failed query is not 0");
    Require(type == PROCESSOR_UNKNOWN || ListedProcessor(type), "processor number not in the table");
}

}  // namespace

[[noreturn]] void SetupError(int)
{
    throw FuzzStop{"SetupError"};
}

[[noreturn]] void BufferOverflow(void)
{
    throw FuzzStop{"Buffer Overflow"};
}

// The runtime's query: the name cut to the buffer, or a failure.
extern "C" int FGetProcessorType(const char *, int, char *szBfr, unsigned cbMax)
{
    if (!g_processor_known || cbMax == 0)
        return 0;
    size_t length = g_processor_name->size() < cbMax - 1 ? g_processor_name->size() : cbMax - 1;
    memcpy(szBfr, g_processor_name->data(), length);
    szBfr[length] = '\0';
    return 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const Numbers numbers = NumbersFrom(data);
    const std::vector<std::string> texts = TextsFrom(data + 4, size - 4);
    FuzzSearch(numbers, texts[0], texts[1]);
    FuzzField(numbers, texts[0]);
    FuzzTrimAndForms(texts[0]);
    FuzzJoins(texts);
    FuzzFixedCopy(numbers, texts[0]);
    FuzzDates(texts[0]);
    FuzzProcessor(texts[0], data[0] & 1);
    return 0;
}
