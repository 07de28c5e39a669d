// What a user sees from the program, written out independently of the code.
#pragma once

#include <string>

#include "testlib/TestSupport.h"

namespace wmtest {

inline const std::string kBanner = ExpectedText("banner.txt");

inline const std::string kSuccessLine = "Profile for user generated successfully\r\n";
inline const std::string kAlreadyLine = "Profile Already Genreated - No changes made\r\n";

}  // namespace wmtest
