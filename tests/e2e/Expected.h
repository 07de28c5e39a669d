// What a user sees from the program, written out independently of the code.
#pragma once

#include <string>

#include "Version.h"

namespace wmtest {

inline const std::string kBanner =
    "===============================================\r\n"
    "= Brackenhulme Wendelmarquistone              =\r\n"
    "= Generating Microsoft Outlook (R) Profile    =\r\n"
    "= www.brackenhulme.example                    =\r\n"
    "= Contact: support@brackenhulme.example       =\r\n"
    "= Version: " WM_VERSION_DATE
    "                           =\r\n"
    "===============================================\r\n";

inline const std::string kSuccessLine = "Profile for user generated successfully\r\n";
inline const std::string kAlreadyLine = "Profile Already Genreated - No changes made\r\n";

inline const char* const kOfficeVersions[] = {"12.0", "11.0", "10.0", "9.0", "8.0"};

}  // namespace wmtest
