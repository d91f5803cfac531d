#include "platform/unique_handle.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <utility>

#include "platform/file_io.h"
#include "tests/support/sandbox.h"

namespace platform {
namespace {

bool IsOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF; }

int OpenNull() { return ::open("/dev/null", O_RDONLY | O_CLOEXEC); }

TEST(UniqueHandleTest, ADescriptorHasExactlyOneOwnerWhoClosesIt) {
  int raw = -1;
  {
    UniqueFd fd(OpenNull());
    ASSERT_TRUE(fd);
    raw = fd.get();
    UniqueFd moved(std::move(fd));
    EXPECT_FALSE(fd);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(moved.get(), raw);
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  // Assigning over a handle closes the one it held.
  UniqueFd first(OpenNull());
  UniqueFd second(OpenNull());
  const int first_raw = first.get();
  const int second_raw = second.get();
  first = std::move(second);
  EXPECT_FALSE(IsOpen(first_raw));
  EXPECT_EQ(first.get(), second_raw);
  EXPECT_TRUE(IsOpen(second_raw));

  // A released descriptor is the caller's: the handle no longer closes it.
  const int released = first.release();
  EXPECT_FALSE(first);
  first.reset();
  EXPECT_TRUE(IsOpen(released));
  EXPECT_EQ(::close(released), 0);
}

TEST(UniqueHandleTest, CloseAnswersOnceAndLeavesNothingToCloseTwice) {
  UniqueFd fd(OpenNull());
  const int raw = fd.get();
  EXPECT_TRUE(fd.Close());
  EXPECT_FALSE(fd);
  EXPECT_FALSE(IsOpen(raw));
  EXPECT_TRUE(fd.Close());  // nothing held: a second close touches no other file
  EXPECT_TRUE(UniqueFile().Close());
}

TEST(UniqueHandleTest, StreamAndFolderHandlesCloseOnEveryWayOut) {
  marovine::testing::Sandbox box;
  const std::string path = box.Path("written.txt");
  {
    UniqueFile file(std::fopen(path.c_str(), "wb"));
    ASSERT_TRUE(file);
    ASSERT_GE(std::fputs("kept", file.get()), 0);
  }
  // The stream was flushed and closed by the handle going away.
  EXPECT_EQ(ReadWholeFile(path).value_or(""), "kept");

  UniqueDir dir(::opendir(box.path().c_str()));
  ASSERT_TRUE(dir);
  int names = 0;
  while (::readdir(dir.get()) != nullptr) ++names;
  EXPECT_EQ(names, 3);  // ".", ".." and the file
  EXPECT_TRUE(dir.Close());
  EXPECT_FALSE(UniqueDir(::opendir(box.Path("missing/").c_str())));
}

}  // namespace
}  // namespace platform
