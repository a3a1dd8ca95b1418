// product.cpp - the product's name, set by the installer from its script and
// read by the frame and by the dialog library.
#include "session/product.h"

#include "base/common.h"
#include "session/frame.h"
#include "setuprt.h"
#include "transcript/transcript.h"

namespace rt {
namespace {

std::string g_productName;

}  // namespace

const std::string &ProductName() { return g_productName; }

}  // namespace rt

int FSetProductName(const char *szName) {
    rt::g_productName = szName ? szName : "";
    rt::transcript::Action("product " + rt::Quote(rt::g_productName.c_str()));
    rt::ShowProductName();
    return 1;
}

unsigned CbGetProductName(char *szBfr, unsigned cbBfrMax) {
    return rt::CopyResult(rt::g_productName, szBfr, cbBfrMax);
}
