// inf_access.cpp - the open setup-information file and its functions.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/handles.h"
#include "later_windows.h"
#include "inf/inf_file.h"
#include "setuprt.h"

namespace rt {
namespace {

// Far beyond any real file; a larger one is not read into memory.
constexpr LONGLONG kMaxInfBytes = 16 * 1024 * 1024;

// One file at a time; a failed open leaves none.
std::unique_ptr<InfFile> g_inf;

bool ReadWholeFile(const char *path, std::string &text) {
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    long long size = 0;
    if (!file.IsOpen() || !FileSize(file.Get(), &size) || size > kMaxInfBytes) return false;
    text.resize(static_cast<size_t>(size));
    DWORD read = 0;
    return text.empty() ||
           (ReadFile(file.Get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr) && read == text.size());
}

void ReportProblem(const std::string &text) { DoMsgBox(text.c_str(), "Setup", MB_ICONHAND); }

// Sets the symbol to exactly these items, through the public calls so the
// transcript shows them.
int SetList(const char *symbol, const std::vector<std::string> &items) {
    if (!FSetSymbolValue(symbol, "")) return 0;
    for (const std::string &item : items)
        if (!FAddListItem(symbol, item.c_str())) return 0;
    return 1;
}

}  // namespace

const InfSection *OpenSection(const char *name) { return g_inf ? FindSection(*g_inf, name) : nullptr; }

}  // namespace rt

int FOpenInf(const char *szFile, int fCheck, int fSyntax) {
    rt::g_inf.reset();
    if (!szFile || !*szFile) return 0;
    std::string text;
    if (!rt::ReadWholeFile(szFile, text)) {
        if (fSyntax) rt::ReportProblem(std::string("The setup information file ") + szFile + " cannot be read.");
        return 0;
    }
    auto file = std::make_unique<rt::InfFile>();
    rt::InfProblem problem;
    bool accepted = rt::ParseInf(text, fCheck != 0, *file, problem);
    if (fSyntax && problem.line > 0)
        rt::ReportProblem(std::string("The setup information file ") + szFile + " is faulty at line " +
                          std::to_string(problem.line) + ": " + problem.fault + ".");
    if (!accepted) return 0;
    rt::g_inf = std::move(file);
    return 1;
}

int CbGetInfSectionKeyField(const char *szSect, const char *szKey, int iField, char *szBuf, int cbBuf) {
    const rt::InfSection *section = rt::OpenSection(szSect);
    const rt::InfLine *line = section ? rt::FindLine(*section, szKey) : nullptr;
    if (!line || iField < 1) {
        if (szBuf && cbBuf > 0) szBuf[0] = '\0';
        return -1;
    }
    const std::string &field = rt::FieldOf(*line, iField);
    if (szBuf && cbBuf > 0) {
        size_t count = field.size() < static_cast<size_t>(cbBuf) - 1 ? field.size() : cbBuf - 1;
        std::memcpy(szBuf, field.data(), count);
        szBuf[count] = '\0';
    }
    return static_cast<int>(field.size());
}

int FSetSymbolToListOfInfKeys(const char *szSymbol, const char *szSect, int fKeylessItems) {
    const rt::InfSection *section = rt::OpenSection(szSect);
    if (!section || !szSymbol || !*szSymbol) return 0;
    std::vector<std::string> keys;
    for (const rt::InfLine &line : section->lines)
        if (line.hasKey || fKeylessItems) keys.push_back(line.key);
    return rt::SetList(szSymbol, keys);
}

int FMakeListInfSectionField(const char *szSym, const char *szSect, int iField) {
    const rt::InfSection *section = rt::OpenSection(szSect);
    if (!section || !szSym || !*szSym || iField < 1) return 0;
    std::vector<std::string> fields;
    for (const rt::InfLine &line : section->lines) fields.push_back(rt::FieldOf(line, iField));
    return rt::SetList(szSym, fields);
}
