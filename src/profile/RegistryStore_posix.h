// Linux only: the registry store, opened on a folder of one's choosing (the
// program's own is <APPLICATION_DATA>/Wendelmarquistone/Registry, which
// OpenCurrentUserRegistry opens). Its format: Registry_posix.cpp.
#pragma once

#include <memory>
#include <string>

#include "profile/Registry.h"

namespace wm {

// The store in `folder`, which holds HKEY_CURRENT_USER/<key>/...; the folders
// are made as keys are created. An empty folder gives a store whose every
// CreateKey fails with "the application-data folder cannot be found".
std::unique_ptr<Registry> OpenRegistryStore(const std::string& folder);

}  // namespace wm
