// scan_fixture.cpp - script files, the setup record and the fatal stop.
#include "scan_fixture.h"
#include "script/script_text.h"
#include "base/fatal.h"
#include "script/scan.h"

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

[[noreturn]] void FatalStop(struct _setup_info *, const char *text, const char *title)
{
    throw FatalStopped{text, title};
}

[[noreturn]] void FatalStopFormatted(struct _setup_info *si, const char *title, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    vsnprintf(si->output_buf, sizeof si->output_buf, format, args);
    va_end(args);
    FatalStop(si, si->output_buf, title);
}

std::string Lines(std::initializer_list<std::string> lines, const std::string &ending)
{
    std::string joined;
    for (const std::string &line : lines)
        joined += line + ending;
    return joined;
}

template <typename Node>
static void FreeItems(Node *head)
{
    while (head != nullptr) {
        Node *next = head->next;
        free(head);
        head = next;
    }
}

void ScanTest::SetUp()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    // Parameterised tests have a "/" in their names.
    std::string name = std::string(test->test_suite_name()) + "_" + test->name();
    for (char &ch : name) {
        if (ch == '/')
            ch = '_';
    }
    path = ::testing::TempDir() + "scan_" + name + ".inf";

    // What start-up sets before the scan; the sentinel everywhere else.
    si.reset(new _setup_info);
    memset(si.get(), SENTINEL, sizeof *si);
    si->platform = PLATFORM_NT;
    si->verbose = 0;
    si->compressed_files = 0;
    si->image_type = IMAGE_SINGLE_DIR;
    si->setup_inf_ptr = nullptr;
    for (_fileset_info &set : si->file_set_list) {
        set.selected = 0;
        set.express = 0;
        set.prog_items = set.cur_prog_item = nullptr;
        set.path_items = set.cur_path_item = nullptr;
        set.environ_items = set.cur_environ_item = nullptr;
        set.info_items = set.cur_info_item = nullptr;
        set.app_items = set.cur_app_item = nullptr;
        set.hkKey = nullptr;
    }
}

void ScanTest::TearDown()
{
    for (_fileset_info &set : si->file_set_list) {
        FreeItems(set.prog_items);
        FreeItems(set.path_items);
        FreeItems(set.environ_items);
        FreeItems(set.info_items);
        FreeItems(set.app_items);
    }
    if (si->setup_inf_ptr != nullptr)
        fclose(si->setup_inf_ptr);
    remove(path.c_str());
}

void ScanTest::Scan(const std::string &script)
{
    if (si->setup_inf_ptr != nullptr)
        fclose(si->setup_inf_ptr);
    si->setup_inf_ptr = nullptr;
    // As start-up writes its private copy: one line feed per line end.
    struct script_text_state state = {};
    std::string text(script.size(), '\0');
    text.resize(normalize_script_piece(&state, reinterpret_cast<const unsigned char *>(script.data()), script.size(),
                                       reinterpret_cast<unsigned char *>(&text[0])));
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(fwrite(text.data(), 1, text.size(), file), text.size());
    ASSERT_EQ(fclose(file), 0);
    // As start-up opens it: binary.
    si->setup_inf_ptr = fopen(path.c_str(), "rb");
    ASSERT_NE(si->setup_inf_ptr, nullptr) << path;
    EXPECT_EQ(ScanForFileSets(si.get()), 1);
}

FatalStopped ScanTest::ScanStops(const std::string &script)
{
    try {
        Scan(script);
    } catch (const FatalStopped &stop) {
        return stop;
    }
    ADD_FAILURE() << "the scan ended without a fatal stop";
    return FatalStopped{};
}

std::string ScanTest::LineAt(unsigned long position)
{
    char line[512] = "";
    EXPECT_EQ(fseek(si->setup_inf_ptr, static_cast<long>(position), SEEK_SET), 0);
    EXPECT_NE(fgets(line, sizeof line, si->setup_inf_ptr), nullptr);
    line[strcspn(line, "\r\n")] = '\0';
    return line;
}

bool ScanTest::Untouched(const void *field, size_t n)
{
    const unsigned char *bytes = static_cast<const unsigned char *>(field);
    for (size_t i = 0; i < n; i++) {
        if (bytes[i] != SENTINEL)
            return false;
    }
    return true;
}

bool ScanTest::UntouchedAfterScanFields() const
{
    size_t start = offsetof(_setup_info, src_disk_dir);
    return Untouched(reinterpret_cast<const char *>(si.get()) + start, sizeof *si - start);
}
