// stamp_resource.cpp - FStampResource: bytes written into a resource of an
// installed program, such as the name of its licensed user.
#include <memory>
#include <type_traits>
#include <string>

#include "base/common.h"
#include "later_windows.h"
#include "files/log_file.h"
#include "setuprt.h"

namespace rt {
namespace {

struct ModuleFree {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ModuleOwner = std::unique_ptr<std::remove_pointer<HMODULE>::type, ModuleFree>;

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    *reinterpret_cast<WORD *>(found) = language;
    return FALSE;
}

// The language of the resource already there, so that it is replaced rather
// than joined by a second one; neutral for a new resource.
WORD LanguageOf(const std::string &path, WORD type, WORD id) {
    WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    ModuleOwner module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (module)
        EnumResourceLanguagesA(module.get(), MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id), TakeFirstLanguage,
                               reinterpret_cast<LONG_PTR>(&language));
    return language;  // the module is released before the file is rewritten
}

// Rewriting resources is the NT family's; the 95 family fails the stamp.
bool WriteResource(const std::string &path, WORD type, WORD id, const char *data, unsigned size) {
    typedef HANDLE(WINAPI * Begin)(LPCSTR, BOOL);
    typedef BOOL(WINAPI * Update)(HANDLE, LPCSTR, LPCSTR, WORD, LPVOID, DWORD);
    typedef BOOL(WINAPI * End)(HANDLE, BOOL);
    static const Begin begin = LaterCall<Begin>("kernel32.dll", "BeginUpdateResourceA");
    static const Update update_resource = LaterCall<Update>("kernel32.dll", "UpdateResourceA");
    static const End end = LaterCall<End>("kernel32.dll", "EndUpdateResourceA");
    if (!begin || !update_resource || !end) return NotOnThisSystem();
    WORD language = LanguageOf(path, type, id);
    HANDLE update = begin(path.c_str(), FALSE);
    if (!update) return false;
    if (!update_resource(update, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id), language, const_cast<char *>(data),
                         size)) {
        end(update, TRUE);  // discards the update
        return false;
    }
    return end(update, FALSE) != 0;
}

// The file named by field 1 of the line, in the directory; "" when the line
// is missing or the name does not fit a path.
std::string StampedFile(const char *section, const char *key, const char *dir) {
    char name[MAX_PATH];
    int length = CbGetInfSectionKeyField(section, key, 1, name, sizeof name);
    if (length <= 0 || length >= static_cast<int>(sizeof name)) return "";
    return JoinPath(dir, name);
}

}  // namespace
}  // namespace rt

int FStampResource(const char *szSect, const char *szKey, const char *szDst, unsigned short wResType,
                   unsigned short wResId, const char *szData, unsigned cbData) {
    // No bytes would delete the resource instead of stamping it.
    if (!rt::IsGiven(szSect) || !rt::IsGiven(szKey) || !szDst || !szData || cbData == 0) return 0;
    std::string path = rt::StampedFile(szSect, szKey, szDst);
    if (path.empty() || !rt::WriteResource(path, wResType, wResId, szData, cbData)) return 0;
    rt::RecordAction("stamp", {path.c_str(), std::to_string(wResType).c_str(), std::to_string(wResId).c_str()});
    return 1;
}
