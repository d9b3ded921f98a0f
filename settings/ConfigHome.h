#pragma once

#include <string>

// The user's configuration folder by the XDG Base Directory rules: $XDG_CONFIG_HOME when
// it is an absolute path, otherwise ~/.config (a relative value is ignored). The ports
// folder of the COM links (serial/ComPortMap.cpp) follows the same rule, so the settings
// and the links always lie under one folder. Plain C++, read on every call.
std::string ConfigHomeFolder();
