#include "site/labels.h"

#include <gtest/gtest.h>

namespace {

TEST(UrlOfLabel, CutsAtFileMark) {
  EXPECT_EQ(UrlOfLabel("ftp://ftp.example.com/a.txt (file)"), "ftp://ftp.example.com/a.txt");
  EXPECT_EQ(UrlOfLabel("a (file) b (file)"), "a");
  EXPECT_EQ(UrlOfLabel("http://x/"), "http://x/");
  EXPECT_EQ(UrlOfLabel("x (FILE)"), "x (FILE)");
}

TEST(LabelLooks, SubstringsInAnyCaseAnywhereInTheText) {
  struct Case {
    const char* text;
    bool mail, ftpUrl, ftpSite;
  } cases[] = {
      {"mailto:joe@site.com", true, false, false},
      {"MAILTO:joe@site.com", true, false, false},
      {"http://site.com/mailto.html", true, false, false},
      {"ftp://ftp.site.com/pub/", false, true, true},
      {"FTP://files.site.com/", false, true, false},
      {"ftp.site.com/pub", false, false, true},
      {"http://site.com/ftp.html", false, false, true},
      {"http://site.com/", false, false, false},
      {"", false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LooksLikeMail(c.text), c.mail) << c.text;
    EXPECT_EQ(LooksLikeFtpUrl(c.text), c.ftpUrl) << c.text;
    EXPECT_EQ(LooksLikeFtpSite(c.text), c.ftpSite) << c.text;
  }
}

}  // namespace

namespace {

TEST(ReadableName, EscapesOfPrintableAsciiAndOfUtf8CharactersAreDecoded) {
  struct Case {
    const char* name;
    const char* readable;
  } cases[] = {
      {"index.html", "index.html"},
      {"my%20page.html", "my page.html"},
      {"%41%62c.html", "Abc.html"},
      {"%7e%7E", "~~"},
      {"caf%C3%A9.html", "caf\xC3\xA9.html"},
      {"caf%c3%a9.html", "caf\xC3\xA9.html"},
      {"%E6%97%A5%E6%9C%AC%E8%AA%9E.html", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.html"},
      {"%F0%9F%98%80.html", "\xF0\x9F\x98\x80.html"},
      {"100%25.html", "100%.html"},
      {"%25C3%25A9", "%C3%A9"},  // decoded once only
      // Bytes that spell no UTF-8 character stay escaped; the escapes around them are read
      // on their own.
      {"caf%E9.html", "caf%E9.html"},
      {"%C3%A9%E9", "\xC3\xA9%E9"},
      {"%C3%41", "%C3A"},
      {"%E6%97.html", "%E6%97.html"},
      {"%A9", "%A9"},
      {"%C0%AF", "%C0%AF"},           // overlong '/'
      {"%ED%A0%80", "%ED%A0%80"},     // a surrogate
      {"%F4%90%80%80", "%F4%90%80%80"},
      // Control characters have nothing to read.
      {"a%00b%0Ac%7F", "a%00b%0Ac%7F"},
      {"%C2%85", "%C2%85"},
      {"%C2%A0", "\xC2\xA0"},
      // A '%' without two hex digits is kept.
      {"50%", "50%"},
      {"%4", "%4"},
      {"%zz%", "%zz%"},
      {"%%41", "%A"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadableName(c.name), c.readable) << c.name;
}

}  // namespace
