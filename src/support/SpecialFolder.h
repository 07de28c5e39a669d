// The path of a well-known folder, chosen by a name in capital letters.
#pragma once

#include <string>

namespace wm {

enum class FolderStatus {
  Found,
  NotFound,    // the system cannot give the folder's path
  NoAnsiPath,  // Windows: see below
};

struct SpecialFolder {
  FolderStatus status = FolderStatus::NotFound;
  // Found: the path. NotFound: "", so that a failure is never mistaken for a
  // folder. NoAnsiPath: the path with "?" for what the code page cannot show,
  // for messages only.
  std::string path;
  // NoAnsiPath: why the short path cannot stand in, to follow "... has
  // characters outside the ANSI code page in its path and": "no short (8.3)
  // name ...", "a short (8.3) path ... that has such characters too", or
  // "its short (8.3) path cannot be read: <the system's reason>". NotFound:
  // what the system said, where it said anything.
  std::string reason;
};

// The folder's path ends with the platform's separator, so that a file name
// can be appended directly. The name is compared exactly (case-sensitive,
// whole string); a name not listed below gives the desktop.
//
//   name               Windows                          Linux
//   "DESKTOP"          the user's desktop               the XDG desktop folder
//   "PROGRAMS"         the user's Start-menu programs   $XDG_DATA_HOME/applications
//   "STARTMENU"        the user's Start menu            $XDG_DATA_HOME/applications
//   "COMMON_PROGRAMS"  the all-users Start-menu         <first of $XDG_DATA_DIRS>/applications
//                      programs folder
//   "APPLICATION_DATA" the user's roaming               $XDG_CONFIG_HOME
//                      application-data folder
//   "PROGRAM_FILES"    the program files folder         /opt
//   "SYSTEM"           the Windows system directory     /usr/lib
//   "WINDOWS"          the Windows directory            /usr
//
// Every path in the program is text in the ANSI code page, as is the path
// Outlook is given in the registry. On Windows the folder is found with the
// wide-character API; a path with characters that the ANSI code page cannot
// hold (a user folder named in Greek on a Western system) is given as its
// short (8.3) form, which the code page can hold and which names the same
// folder. Where that form cannot stand in (short names turned off on the
// volume, a short name with such characters itself, or the lookup failing),
// the status is NoAnsiPath.
//
// On Linux, following the XDG base-directory rules, an XDG variable that is
// unset, empty or not an absolute path counts as unset: $XDG_CONFIG_HOME then
// defaults to $HOME/.config, $XDG_DATA_HOME to $HOME/.local/share and
// $XDG_DATA_DIRS to /usr/local/share:/usr/share. The desktop is
// $XDG_DESKTOP_DIR, else the XDG_DESKTOP_DIR line of
// $XDG_CONFIG_HOME/user-dirs.dirs, else $HOME/Desktop. $HOME, when unset, empty
// or relative, is the home folder in the password database of the effective
// user.
SpecialFolder GetSpecialFolder(const std::string& name);

}  // namespace wm
