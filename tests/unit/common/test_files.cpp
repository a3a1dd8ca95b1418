// Whole files, file tests and scratch directories.
#include "test_files.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "death_test_child.h"

namespace unitcommon {

std::string TempDir()
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return dir;
}

std::string ReadText(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteText(const std::string &path, const std::string &text)
{
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ignored;  // the write below fails then, as the test will see
    if (!parent.empty())
        std::filesystem::create_directories(parent, ignored);
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFile(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDirectory(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ScratchPath(const std::string &prefix)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "_" + test->name();
    for (char &ch : name) {
        if (ch == '/')
            ch = '_';
    }
    return TempDir() + prefix + name;
}

ScratchDir::ScratchDir(const std::string &prefix) : path_(ScratchPath(prefix))
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir()
{
    if (InDeathTestChild())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace unitcommon
