// The few file operations the system needs: whether a file is there, and
// replacing a file's contents so that readers see either the old file or the
// complete new one, never a mixture.
#pragma once

#include <string>
#include <string_view>

#include "support/Status.h"

namespace wm {

// True only when a file exists at the path; a folder, a missing file or a
// missing folder on the way all give false.
bool FileExists(const std::string& path);

// Writes the bytes to the path, creating the file or replacing it. The bytes
// go to a new temporary file beside the target (created exclusively), are
// flushed to the disk and then renamed over the target in one step. On any
// failure the target is left as it was and the temporary file is removed.
// The failure message starts with the caller's words, e.g. "Cannot write the
// profile file" gives: Cannot write the profile file "<path>": <reason>.
Status WriteFileAtomically(const std::string& path, std::string_view bytes, std::string_view what);

}  // namespace wm
