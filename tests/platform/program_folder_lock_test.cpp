#include "platform/program_folder_lock.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "tests/support/sandbox.h"

namespace platform {
namespace {

using State = ProgramFolderLock::State;

TEST(ProgramFolderLockTest, OneHolderAtATimeAndTheLockGoesWithItsHolder) {
  marovine::testing::Sandbox box;
  std::string folder = box.Path("home/");
  {
    ProgramFolderLock first(folder);
    EXPECT_EQ(first.state(), State::kHeld);
    ProgramFolderLock second(folder);
    EXPECT_EQ(second.state(), State::kInUse);
    EXPECT_NE(second.InUseMessage().find(folder), std::string::npos);
    // Another folder is free.
    EXPECT_EQ(ProgramFolderLock(box.Path("other/")).state(), State::kHeld);
  }
  EXPECT_EQ(ProgramFolderLock(folder).state(), State::kHeld);

  box.WriteFile("plain-file", "x");
  EXPECT_EQ(ProgramFolderLock(box.Path("plain-file/home/")).state(), State::kUnavailable);
}

}  // namespace
}  // namespace platform
