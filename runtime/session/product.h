// product.h - the product's name that the frame and the dialogs show in
// place of the installer's own.
#pragma once

#include <string>

namespace rt {

// "" when the installer's own name stands.
const std::string &ProductName();

}  // namespace rt
