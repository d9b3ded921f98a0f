#pragma once

#include <string>

// Where Tralvo keeps its files on Linux: the settings store and the COM<n> links share one
// folder, so both follow the same rule for finding it. Read on every call, so a change of
// $XDG_CONFIG_HOME takes effect at once.

// The user's configuration folder by the XDG base directory rules: $XDG_CONFIG_HOME when it
// is an absolute path, otherwise ~/.config (a relative value is ignored).
std::string ConfigHomeFolder();

// Folder that holds the COM<n> links for virtual and unusual ports.
std::string PortLinksFolder();
