#include "testlib/WriteBlocker.h"

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

namespace wmtest {

struct WriteBlocker::State {
  struct rlimit saved {};
  void (*savedHandler)(int) = SIG_DFL;
};

WriteBlocker::WriteBlocker(const std::string&) : state_(std::make_unique<State>()) {
  // Past the limit a write fails with EFBIG instead of raising SIGXFSZ.
  state_->savedHandler = std::signal(SIGXFSZ, SIG_IGN);
  EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &state_->saved), 0);
  struct rlimit lowered = state_->saved;
  lowered.rlim_cur = 16;
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
}

WriteBlocker::~WriteBlocker() {
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &state_->saved), 0);
  std::signal(SIGXFSZ, state_->savedHandler);
}

}  // namespace wmtest
