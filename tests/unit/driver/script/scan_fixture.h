// scan_fixture.h - a setup record scanned from a script the test writes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/setup_info.h"

// What the driver's fatal stop was asked to show; the test's FatalStop
// throws it instead of ending the process.
struct FatalStopped {
    std::string text;
    std::string title;
};

// Fills every byte of the record that the start-up does not clear, so that
// a write the scanner should not make shows.
enum : unsigned char { SENTINEL = 0xA5 };

// Joins lines, each followed by ending.
std::string Lines(std::initializer_list<std::string> lines, const std::string &ending = "\n");

template <typename Node>
int CountItems(const Node *head)
{
    int count = 0;
    for (; head != nullptr; head = head->next)
        count++;
    return count;
}

class ScanTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes script byte for byte and scans it.
    void Scan(const std::string &script);
    // Scans script and returns the fatal stop it made; a scan that ends
    // without one fails the test.
    FatalStopped ScanStops(const std::string &script);
    // The line of the scanned script that starts at position, without its
    // line ending.
    std::string LineAt(unsigned long position);
    // Whether all n bytes at field still hold the sentinel.
    static bool Untouched(const void *field, size_t n);
    // Whether the record's fields from src_disk_dir on, which the scanner
    // never writes, still hold the sentinel.
    bool UntouchedAfterScanFields() const;

    _fileset_info &Set(int index) { return si->file_set_list[index]; }

    std::unique_ptr<_setup_info> si;
    std::string path;
};
