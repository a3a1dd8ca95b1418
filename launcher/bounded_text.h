// bounded_text.h - the launcher's texts in fixed arrays, without the C++
// library's strings (which bring its exception machinery, most of the
// file) or the C library's formatting (a large printf). A text that would
// not fit is never cut: it is marked too long, and its user refuses.
#pragma once

#include <windows.h>

#include <string.h>

template <size_t Room> class BoundedText {
public:
    BoundedText() { text_[0] = '\0'; }

    BoundedText &Add(const char *text, size_t length)
    {
        if (!fits_ || length >= Room - length_) {
            fits_ = false;
            return *this;
        }
        memcpy(text_ + length_, text, length);
        length_ += length;
        text_[length_] = '\0';
        return *this;
    }
    BoundedText &Add(const char *text) { return Add(text, strlen(text)); }
    BoundedText &Add(char ch) { return Add(&ch, 1); }
    // value in base (10 or 16, lower case), at least width digits.
    BoundedText &AddNumber(unsigned long long value, unsigned base, size_t width = 1)
    {
        char digits[64];
        size_t count = 0;
        do {
            digits[sizeof digits - ++count] = "0123456789abcdef"[value % base];
            value /= base;
        } while (value != 0);
        while (count < width && count < sizeof digits)
            digits[sizeof digits - ++count] = '0';
        return Add(digits + sizeof digits - count, count);
    }

    const char *Text() const { return text_; }
    char *Chars() { return text_; }  // for calls that write into the text
    size_t Length() const { return length_; }
    bool Empty() const { return length_ == 0; }
    bool Fits() const { return fits_; }
    void Clear()
    {
        text_[0] = '\0';
        length_ = 0;
        fits_ = true;
    }

private:
    char text_[Room];
    size_t length_ = 0;
    bool fits_ = true;
};

// Room for a path and the name of a file added to it.
typedef BoundedText<MAX_PATH> PathText;
// Room for a message that quotes a path and an archive entry's name.
typedef BoundedText<1024> MessageText;
// Room for the longest command line a process can be given.
typedef BoundedText<32768> LineText;
