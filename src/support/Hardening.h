// The process's own protection, set up first thing in a run, before anything
// can load a library: whoever runs the program (an administrator logging on
// included) must never run code that another user could put in its way.
#pragma once

namespace wm {

// On Windows: libraries loaded by name from now on come from the system's own
// folder only (SetDefaultDllDirectories), or, where the system lacks that
// (XP, Vista and 7 without KB2533623), at least no longer from the current
// folder (SetDllDirectoryA with an empty name); a corrupted heap ends the
// process; and the 32-bit program runs with data execution prevention
// whatever the system's policy. Each call is looked up when the run starts,
// so that the program still loads where one is missing, and a call that
// fails leaves the run as it would have been without it. Nothing on POSIX,
// whose loader never looks in the program's or the current folder.
void HardenProcess();

}  // namespace wm
