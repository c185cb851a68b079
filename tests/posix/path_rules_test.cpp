// Paths as POSIX writes them.

#include "text/native_path.h"

#include <gtest/gtest.h>

namespace pelvaro::testing {
namespace {

// A backslash is an ordinary character of a Linux file name.
TEST(PathSplitting, OnlyTheSlashSeparates) {
  EXPECT_EQ(text::GetFileName("C:\\sff\\USER.sff"), "C:\\sff\\USER.sff");
  EXPECT_EQ(text::WithTrailingSeparator("C:\\out"), "C:\\out/");
}

}  // namespace
}  // namespace pelvaro::testing
