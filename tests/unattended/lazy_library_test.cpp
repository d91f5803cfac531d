// Libraries opened on first use: a missing library or function leaves the
// whole set unusable, and says which was missing.

#include "marovine/unattended/lazy_library.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace marovine {
namespace {

TEST(LazyLibraryTest, AMissingLibraryOrFunctionMakesTheSetUnusableAndIsNamed) {
  decltype(&::zlibVersion) version = nullptr;
  decltype(&::zlibVersion) absent = nullptr;

  LazyLibrary complete({"libz.so.1"});
  complete.Resolve(version, "zlibVersion");
  EXPECT_TRUE(complete.ok()) << complete.error();
  ASSERT_NE(version, nullptr);
  EXPECT_STREQ(version(), zlibVersion());

  LazyLibrary no_function({"libz.so.1"});
  no_function.Resolve(absent, "zlibVersionOfMarovine");
  no_function.Resolve(version, "zlibVersion");
  EXPECT_FALSE(no_function.ok());
  EXPECT_EQ(absent, nullptr);
  // The first thing missing is named, not a later success or failure.
  EXPECT_NE(no_function.error().find("zlibVersionOfMarovine"), std::string::npos)
      << no_function.error();

  // A library that is missing fails the set even when a later one has the
  // function asked for.
  LazyLibrary no_library({"libmarovine-absent.so.7", "libz.so.1"});
  no_library.Resolve(version, "zlibVersion");
  EXPECT_FALSE(no_library.ok());
  EXPECT_NE(no_library.error().find("libmarovine-absent.so.7"), std::string::npos)
      << no_library.error();
}

}  // namespace
}  // namespace marovine
