#include "testlib/WriteBlocker.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace wmtest {

struct WriteBlocker::State {
  HANDLE file = INVALID_HANDLE_VALUE;
};

WriteBlocker::WriteBlocker(const std::string& existingFile) : state_(std::make_unique<State>()) {
  state_->file = CreateFileA(existingFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(state_->file, INVALID_HANDLE_VALUE) << "cannot open " << existingFile;
}

WriteBlocker::~WriteBlocker() {
  if (state_->file != INVALID_HANDLE_VALUE) {
    CloseHandle(state_->file);
  }
}

}  // namespace wmtest
