// The effective user's entry in the password database (POSIX only).
#pragma once

#include <optional>
#include <string>

namespace wm {

struct PasswordEntry {
  std::string name;
  std::string home;
};

// The entry for geteuid(), read with getpwuid_r; nothing when there is none.
std::optional<PasswordEntry> EffectiveUserEntry();

}  // namespace wm
