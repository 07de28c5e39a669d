// What a user sees from the program, written out independently of the code.
#pragma once

#include <string>
#include <vector>

namespace wmtest {

inline const std::string kBanner =
    "===============================================\r\n"
    "= Brackenhulme Wendelmarquistone              =\r\n"
    "= Generating Microsoft Outlook (R) Profile    =\r\n"
    "= www.brackenhulme.example                    =\r\n"
    "= Contact: support@brackenhulme.example       =\r\n"
    "= Version: 20070621                           =\r\n"
    "===============================================\r\n";

inline const std::string kSuccessLine = "Profile for user generated successfully\r\n";
inline const std::string kAlreadyLine = "Profile Already Genreated - No changes made\r\n";

inline const char* const kOfficeVersions[] = {"12.0", "11.0", "10.0", "9.0", "8.0"};

// The document's lines, split at CR LF; the text after the last CR LF (empty
// for a well-formed file) is the last element.
inline std::vector<std::string> SplitCrLf(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      return lines;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
}

}  // namespace wmtest
