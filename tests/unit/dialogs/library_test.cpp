// The dialog library as a file: what the runtime looks up in it by number and name.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

class DialogLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        dll = LoadLibraryA("mscuistf.dll");
        ASSERT_NE(dll, nullptr) << "LoadLibrary failed, error " << GetLastError();
    }
    void TearDown() override
    {
        if (dll)
            FreeLibrary(dll);
    }
    HMODULE dll = nullptr;
};

// The names in the export directory of a loaded module.
std::set<std::string> ExportedNames(HMODULE module)
{
    const auto *base = reinterpret_cast<const BYTE *>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::set<std::string> names;
    if (dir.VirtualAddress == 0)
        return names;
    const auto *exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + dir.VirtualAddress);
    const auto *nameRvas = reinterpret_cast<const DWORD *>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.insert(reinterpret_cast<const char *>(base + nameRvas[i]));
    return names;
}

TEST_F(DialogLibrary, ExportsExactlyTheUndecoratedProcedureNames)
{
    const std::set<std::string> expected = {"FCustInstDlgProc", "FEditDlgProc", "FHelpDlgProc", "FInfo0DlgProc",
                                            "FInfoDlgProc",     "FQuitDlgProc", "FRadioDlgProc"};
    EXPECT_EQ(ExportedNames(dll), expected);
    for (const std::string &name : expected)
        EXPECT_NE(GetProcAddress(dll, name.c_str()), nullptr) << name << ", error " << GetLastError();
}

TEST_F(DialogLibrary, HoldsEveryTemplateTheInstallerStarts)
{
    for (unsigned id : {100u, 103u, 200u, 300u, 400u, 700u, 800u, 900u, 6200u, 6300u, 6400u})
        EXPECT_NE(FindResourceA(dll, MAKEINTRESOURCEA(id), RT_DIALOG), nullptr)
            << "template " << id << ", error " << GetLastError();
}

TEST_F(DialogLibrary, HoldsTheBannerAsACompleteBitmap)
{
    HRSRC res = FindResourceA(dll, MAKEINTRESOURCEA(1), RT_BITMAP);
    ASSERT_NE(res, nullptr) << "error " << GetLastError();
    const DWORD size = SizeofResource(dll, res);
    ASSERT_GE(size, sizeof(BITMAPINFOHEADER));
    const auto *info = static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(dll, res)));
    ASSERT_NE(info, nullptr);

    // The plain header every Windows version loads, the palette and all the
    // pixel rows.
    EXPECT_EQ(info->biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_GT(info->biWidth, 0);
    EXPECT_GT(info->biHeight, 0);
    const DWORD rowBytes = ((info->biWidth * info->biBitCount + 31) / 32) * 4;
    const DWORD colours = info->biBitCount > 8 ? 0 : info->biClrUsed ? info->biClrUsed : 1u << info->biBitCount;
    EXPECT_GE(size, info->biSize + colours * sizeof(RGBQUAD) + rowBytes * info->biHeight);
}

}  // namespace
