// The program's arguments, as the platform hands them over.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wm {

// Splits a Windows command line the way this program reads its own: runs of
// characters with codes 1 to 32 separate arguments; a double quote opens a
// stretch, closed by the next double quote or the end of the line, in which
// separators belong to the argument; the quotes themselves are dropped;
// single quotes and backslashes are ordinary characters; empty arguments
// vanish. No argument ever contains a double quote.
std::vector<std::string> SplitCommandLine(std::string_view line);

// The rest of a Windows command line after the program's own name, which is
// the first token by the same rule (dropped even when it is empty, as in
// `"" server1`).
std::string_view SkipProgramName(std::string_view line);

// The program's arguments without its own name and without empty ones, as
// given (see support/CodePage.h): on Windows split from the wide command line
// in UTF-8 (argc and argv are not used, since the C runtime splits by other
// rules); elsewhere argv.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace wm
