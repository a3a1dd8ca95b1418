// installer_stop.h - what the installer would stop with, thrown.
#pragma once

#include <string>

struct InstallerStop {
    std::string text;
};
