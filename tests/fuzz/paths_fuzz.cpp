// paths_fuzz.cpp - the trailing backslash of any path, in a buffer with
// room for exactly one more character, as the driver's callers give it.
#include "fuzz_support.h"
#include "base/paths.h"

#include <stdint.h>
#include <string.h>

#include <string>

namespace {

// The path in a heap block of its length, the terminator and one spare
// byte: anything written past that block is caught.
std::unique_ptr<char[]> WithOneSpare(const std::string &path)
{
    std::unique_ptr<char[]> buffer(new char[path.size() + 2]);
    memcpy(buffer.get(), path.c_str(), path.size() + 1);
    buffer[path.size() + 1] = 'X';
    return buffer;
}

void FuzzAppend(const std::string &path)
{
    std::unique_ptr<char[]> buffer = WithOneSpare(path);
    AppendSlash(buffer.get());
    std::string result = buffer.get();
    Require(result == path || result == path + "\\", "AppendSlash did more than add a backslash");
    Require(result.back() == '\\', "AppendSlash left no trailing backslash");
}

void FuzzStrip(const std::string &path)
{
    std::unique_ptr<char[]> buffer = WithOneSpare(path);
    StripSlash(buffer.get());
    std::string result = buffer.get();
    bool stripped = !path.empty() && result == path.substr(0, path.size() - 1);
    Require(result == path || (stripped && path.back() == '\\'), "StripSlash did more than drop a backslash");
    Require(buffer[path.size() + 1] == 'X', "StripSlash wrote past the text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *text = reinterpret_cast<const char *>(data);
    const std::string path(text, strnlen(text, size));
    FuzzAppend(path);
    FuzzStrip(path);
    return 0;
}
