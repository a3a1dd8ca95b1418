// The installation log's lines, written and read back.
//
// Texts are escaped byte by byte: every backslash and quote byte, a double-
// byte character's trail byte included, gets its escape and comes back as
// the same byte, so the round trip is exact in every code page.
#include "log/log_lines.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char LOG_FIRST_LINE[] = "Quorvane/32 installation log 1";

std::string QuoteLogText(const std::string &text)
{
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escape[5];
            snprintf(escape, sizeof escape, "\\x%02x", c);
            quoted += escape;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

static std::string Hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex.empty() ? "-" : hex;
}

static std::string Number(unsigned long long n)
{
    char text[24];
    snprintf(text, sizeof text, "%llu", n);
    return text;
}

static std::string Checksum(unsigned long crc)
{
    char text[12];
    snprintf(text, sizeof text, "%08lx", crc);
    return text;
}

static std::string FileFields(const struct log_record *r)
{
    if (r->part)
        return QuoteLogText(r->path) + " part";
    return QuoteLogText(r->path) + (r->existed ? " existed " : " new ") + Number(r->size) + " " + Checksum(r->crc);
}

std::string FormatLogRecord(const struct log_record *r)
{
    switch (r->kind) {
    case LOG_SOFTWARE: return "software " + QuoteLogText(r->path);
    case LOG_FILESET: return "fileset " + QuoteLogText(r->path);
    case LOG_DIR: return "dir " + QuoteLogText(r->path);
    case LOG_FILE: return "file " + FileFields(r);
    case LOG_ROOTFILE: return "rootfile " + FileFields(r);
    case LOG_KEY: return "key " + QuoteLogText(r->path);
    case LOG_VALUE: {
        std::string line = "value " + QuoteLogText(r->path) + " " + QuoteLogText(r->second);
        line += r->existed ? " was " + Number(r->type) + " " + Hex(r->data) : " new";
        return r->has_set ? line + " set " + Number(r->set_type) + " " + Hex(r->set_data) : line;
    }
    case LOG_PATH:
        return "path " + QuoteLogText(r->path) + (r->existed ? " existed" : "") +
               (r->type ? " type " + Number(r->type) : "");
    case LOG_BATCH:
        if (!r->existed)
            return "batch added " + QuoteLogText(r->path);
        return "batch changed " + QuoteLogText(r->path) + " " + QuoteLogText(r->second);
    case LOG_GROUP: return "group " + QuoteLogText(r->path);
    case LOG_SHORTCUT: return "shortcut " + QuoteLogText(r->path) + (r->existed ? " existed" : " new");
    }
    return "";
}

std::string SealLogLine(const std::string &body)
{
    return body + " ~" + Checksum(Crc32(0, body.data(), body.size()));
}

// Reading: a line taken apart into its words and texts.
namespace {

struct token {
    bool quoted;
    std::string text;
};

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool ReadQuoted(const char *&p, std::string &text)
{
    for (++p; *p != '"'; ++p) {
        if (*p == '\0' || static_cast<unsigned char>(*p) < 0x20)
            return false;
        if (*p != '\\') {
            text += *p;
            continue;
        }
        ++p;
        if (*p == '\\' || *p == '"') {
            text += *p;
        } else if (*p == 'x' && HexDigit(p[1]) >= 0 && HexDigit(p[2]) >= 0) {
            text += static_cast<char>(HexDigit(p[1]) << 4 | HexDigit(p[2]));
            p += 2;
        } else {
            return false;
        }
    }
    ++p;
    return true;
}

// Fields separated by exactly one blank; nothing else between them.
bool Tokenize(const char *p, std::vector<token> &tokens)
{
    while (*p != '\0') {
        token t = {*p == '"', ""};
        if (t.quoted) {
            if (!ReadQuoted(p, t.text))
                return false;
        } else {
            while (*p != ' ' && *p != '\0') {
                if (*p == '"' || static_cast<unsigned char>(*p) < 0x20)
                    return false;
                t.text += *p++;
            }
            if (t.text.empty())
                return false;
        }
        tokens.push_back(t);
        if (*p == '\0')
            break;
        if (*p != ' ' || p[1] == ' ' || p[1] == '\0')
            return false;
        ++p;
    }
    return true;
}

bool IsWord(const std::vector<token> &t, size_t i, const char *word)
{
    return i < t.size() && !t[i].quoted && t[i].text == word;
}

bool IsText(const std::vector<token> &t, size_t i)
{
    return i < t.size() && t[i].quoted && !t[i].text.empty();
}

bool ReadNumber(const std::vector<token> &t, size_t i, int base, unsigned long long &n)
{
    if (i >= t.size() || t[i].quoted || t[i].text.size() > 20)
        return false;
    for (char c : t[i].text) {
        int digit = HexDigit(c);
        if (digit < 0 || digit >= base)
            return false;
    }
    n = strtoull(t[i].text.c_str(), NULL, base);
    return true;
}

bool ReadHex(const std::string &hex, std::string &bytes)
{
    if (hex == "-")
        return true;
    if (hex.size() % 2 != 0)
        return false;
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes += static_cast<char>(high << 4 | low);
    }
    return true;
}

// A registry type and its bytes in hex: two fields from i.
bool ReadTypedBytes(const std::vector<token> &t, size_t i, unsigned long &type, std::string &bytes)
{
    unsigned long long n = 0;
    if (i + 1 >= t.size() || !ReadNumber(t, i, 10, n) || n > 0xFFFFFFFFull || t[i + 1].quoted ||
        !ReadHex(t[i + 1].text, bytes))
        return false;
    type = static_cast<unsigned long>(n);
    return true;
}

bool ReadNewOrExisted(const std::vector<token> &t, size_t i, int &existed)
{
    if (IsWord(t, i, "new") || IsWord(t, i, "existed")) {
        existed = t[i].text == "existed";
        return true;
    }
    return false;
}

bool ReadFileFields(const std::vector<token> &t, struct log_record &r)
{
    unsigned long long crc = 0;
    if (r.kind == LOG_FILE && t.size() == 3 && IsText(t, 1) && IsWord(t, 2, "part")) {
        r.path = t[1].text;
        r.part = 1;
        return true;
    }
    if (t.size() != 5 || !IsText(t, 1) || !ReadNewOrExisted(t, 2, r.existed) || !ReadNumber(t, 3, 10, r.size) ||
        t[4].text.size() != 8 || !ReadNumber(t, 4, 16, crc))
        return false;
    r.path = t[1].text;
    r.crc = static_cast<unsigned long>(crc);
    return true;
}

struct kind_name {
    const char *word;
    enum log_kind kind;
};

const kind_name kinds[] = {
    {"software", LOG_SOFTWARE}, {"fileset", LOG_FILESET}, {"dir", LOG_DIR},     {"file", LOG_FILE},
    {"rootfile", LOG_ROOTFILE},     {"key", LOG_KEY},         {"value", LOG_VALUE}, {"path", LOG_PATH},
    {"batch", LOG_BATCH},       {"group", LOG_GROUP},     {"shortcut", LOG_SHORTCUT},
};

bool ReadFields(const std::vector<token> &t, struct log_record &r)
{
    bool known = false;
    for (const kind_name &k : kinds) {
        if (IsWord(t, 0, k.word)) {
            r.kind = k.kind;
            known = true;
        }
    }
    if (!known)
        return false;
    switch (r.kind) {
    case LOG_FILE:
    case LOG_ROOTFILE:
        return ReadFileFields(t, r);
    case LOG_VALUE: {
        if (!IsText(t, 1) || t.size() < 4 || !t[2].quoted)
            return false;
        r.path = t[1].text;
        r.second = t[2].text;
        size_t next = 4;
        r.existed = !IsWord(t, 3, "new");
        if (r.existed) {
            if (!IsWord(t, 3, "was") || !ReadTypedBytes(t, 4, r.type, r.data))
                return false;
            next = 6;
        }
        if (t.size() == next)
            return true;
        r.has_set = 1;
        return t.size() == next + 3 && IsWord(t, next, "set") && ReadTypedBytes(t, next + 1, r.set_type, r.set_data);
    }
    case LOG_PATH: {
        size_t next = IsWord(t, 2, "existed") ? 3 : 2;
        unsigned long long type = 0;
        r.existed = next == 3;
        if (t.size() == next + 2 && (!IsWord(t, next, "type") || !ReadNumber(t, next + 1, 10, type) || type == 0 ||
                                     type > 0xFFFFFFFFull))
            return false;
        if (!IsText(t, 1) || (t.size() != next && t.size() != next + 2))
            return false;
        r.path = t[1].text;
        r.type = static_cast<unsigned long>(type);
        return true;
    }
    case LOG_BATCH:
        if (IsWord(t, 1, "added") && t.size() == 3 && t[2].quoted) {
            r.path = t[2].text;
            return true;
        }
        r.existed = 1;
        if (!IsWord(t, 1, "changed") || t.size() != 4 || !t[2].quoted || !t[3].quoted)
            return false;
        r.path = t[2].text;
        r.second = t[3].text;
        return true;
    case LOG_SHORTCUT:
        if (t.size() != 3 || !IsText(t, 1) || !ReadNewOrExisted(t, 2, r.existed))
            return false;
        r.path = t[1].text;
        return true;
    default:
        if (t.size() != 2 || !IsText(t, 1))
            return false;
        r.path = t[1].text;
        return true;
    }
}

// The body of a sealed line, or false when the seal is missing or wrong.
bool Unseal(const std::string &line, std::string &body)
{
    size_t at = line.rfind(" ~");
    unsigned long long crc = 0;
    std::vector<token> seal = {{false, at == std::string::npos ? "" : line.substr(at + 2)}};
    if (at == std::string::npos || seal[0].text.size() != 8 || !ReadNumber(seal, 0, 16, crc))
        return false;
    body = line.substr(0, at);
    return Crc32(0, body.data(), body.size()) == crc;
}

}  // namespace

bool ParseLog(const std::string &text, std::vector<struct log_record> &records, std::string &problem)
{
    records.clear();
    size_t start = 0;
    int number = 0;
    for (; start < text.size(); number++) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            problem = "line " + Number(number + 1) + " is cut off";
            records.clear();
            return false;
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string body;
        std::vector<token> tokens;
        struct log_record r = {};
        r.line = number + 1;
        bool sound = Unseal(line, body);
        if (number == 0) {
            if (!sound || body != LOG_FIRST_LINE) {
                problem = "it is not an installation log of this Setup";
                return false;
            }
            continue;
        }
        sound = sound && Tokenize(body.c_str(), tokens) && ReadFields(tokens, r) &&
                (number == 1) == (r.kind == LOG_SOFTWARE);
        if (!sound) {
            problem = "line " + Number(number + 1) + " is damaged";
            records.clear();
            return false;
        }
        records.push_back(r);
    }
    if (number < 2) {
        problem = number == 0 ? "it is empty" : "it names no software";
        return false;
    }
    return true;
}
