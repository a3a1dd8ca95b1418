// symbols.cpp - the symbol table: named lists of strings, names case-sensitive.
#include "symbols/symbols.h"

#include <map>
#include <vector>

#include "base/common.h"
#include "setuprt.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

using Items = std::vector<std::string>;

std::map<std::string, Items> g_symbols;

bool IsName(const char *name) { return name && *name; }

// One item is the value itself; several are written {"a","b"} with quotes
// inside an item doubled.
std::string Joined(const Items &items) {
    if (items.size() == 1) return items[0];
    if (items.empty()) return "";
    std::string value = "{";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) value += ',';
        value += '"';
        for (char c : items[i]) value += c == '"' ? std::string("\"\"") : std::string(1, c);
        value += '"';
    }
    return value + "}";
}

const Items *Find(const char *name) {
    if (!IsName(name)) return nullptr;
    auto found = g_symbols.find(name);
    return found == g_symbols.end() ? nullptr : &found->second;
}

}  // namespace

std::string SymbolValue(const std::string &name) {
    const Items *items = Find(name.c_str());
    return items ? Joined(*items) : "";
}

void SetSymbolQuietly(const std::string &name, const std::string &value) {
    g_symbols[name] = value.empty() ? Items() : Items{value};
}

}  // namespace rt

int FSetSymbolValue(const char *szSymbol, const char *szValue) {
    if (!rt::IsName(szSymbol) || !szValue) return 0;
    rt::SetSymbolQuietly(szSymbol, szValue);
    rt::transcript::Set(szSymbol, szValue);
    return 1;
}

int FAddListItem(const char *szSymbol, const char *szItem) {
    if (!rt::IsName(szSymbol) || !szItem) return 0;
    rt::g_symbols[szSymbol].push_back(szItem);
    rt::transcript::Add(szSymbol, szItem);
    return 1;
}

int FReplaceListItem(const char *szSymbol, unsigned n, const char *szItem) {
    if (!rt::IsName(szSymbol) || !szItem) return 0;
    auto found = rt::g_symbols.find(szSymbol);
    if (found == rt::g_symbols.end() || n < 1 || n > found->second.size()) return 0;
    found->second[n - 1] = szItem;
    return 1;
}

int FRemoveSymbol(const char *szSymbol) {
    if (!rt::IsName(szSymbol)) return 0;
    rt::g_symbols.erase(szSymbol);
    return 1;
}

unsigned CbGetSymbolValue(const char *szSymbol, char *szBfr, unsigned cbBfrMax) {
    const rt::Items *items = rt::Find(szSymbol);
    return rt::CopyResult(items ? rt::Joined(*items) : "", szBfr, cbBfrMax);
}

unsigned short UsGetListLength(const char *szSymbol) {
    const rt::Items *items = rt::Find(szSymbol);
    if (!items) return 0;
    return static_cast<unsigned short>(items->size() > 0xFFFF ? 0xFFFF : items->size());
}

unsigned CbGetListItem(const char *szListSymbol, unsigned n, char *szBfr, unsigned cbBfrMax) {
    const rt::Items *items = rt::Find(szListSymbol);
    bool inRange = items && n >= 1 && n <= items->size();
    return rt::CopyResult(inRange ? (*items)[n - 1] : "", szBfr, cbBfrMax);
}
