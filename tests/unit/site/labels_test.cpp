#include "site/labels.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlOfLabel, CutsAtFileMark) {
  EXPECT_EQ(UrlOfLabel("ftp://ftp.example.com/a.txt (file)"), "ftp://ftp.example.com/a.txt");
  EXPECT_EQ(UrlOfLabel("a (file) b (file)"), "a");
  EXPECT_EQ(UrlOfLabel("http://x/"), "http://x/");
  EXPECT_EQ(UrlOfLabel("x (FILE)"), "x (FILE)");
}

}  // namespace
