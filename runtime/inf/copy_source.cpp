// copy_source.cpp - what the copy learns from a source before copying it.
#include <windows.h>

#include <cstring>

#include "inf/copy_list.h"
#include "base/handles.h"
#include "later_windows.h"

namespace rt {
namespace {

// The compressor's header: signature, method 'A', the name's last letter,
// then the expanded size, 32 bits with the low byte first.
constexpr unsigned char kSignature[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr size_t kHeaderBytes = 14;
constexpr size_t kSizeOffset = 10;

long long ExpandedSize(const unsigned char *header) {
    long long size = 0;
    for (int i = 3; i >= 0; --i) size = size << 8 | header[kSizeOffset + i];
    return size;
}

}  // namespace

SourceFacts InspectSource(const std::string &path) {
    SourceFacts facts;
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    long long size = 0;
    if (!file.IsOpen() || !FileSize(file.Get(), &size)) return facts;
    facts.readable = true;
    facts.bytes = size;
    unsigned char header[kHeaderBytes];
    DWORD read = 0;
    if (ReadFile(file.Get(), header, sizeof header, &read, nullptr) && read == sizeof header &&
        std::memcmp(header, kSignature, sizeof kSignature) == 0) {
        facts.compressed = true;
        facts.bytes = ExpandedSize(header);
    }
    return facts;
}

long long InstalledBytes(const CopyEntry &entry) {
    if (entry.size >= 0) return entry.size;
    SourceFacts source = InspectSource(entry.source);
    return source.readable ? source.bytes : -1;
}

}  // namespace rt
