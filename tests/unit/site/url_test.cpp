// URL rules.
#include "site/url.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "test_files.h"

namespace {

struct Case {
  const char* input;
  const char* expected;
};

// RFC 3986 section 5.4.1 (normal) and 5.4.2 (abnormal, strict parser) examples.
constexpr const char* kRfcBase = "http://a/b/c/d;p?q";
const Case kRfcExamples[] = {
    {"g:h", "g:h"},
    {"g", "http://a/b/c/g"},
    {"./g", "http://a/b/c/g"},
    {"g/", "http://a/b/c/g/"},
    {"/g", "http://a/g"},
    {"//g", "http://g"},
    {"?y", "http://a/b/c/d;p?y"},
    {"g?y", "http://a/b/c/g?y"},
    {"#s", "http://a/b/c/d;p?q#s"},
    {"g#s", "http://a/b/c/g#s"},
    {"g?y#s", "http://a/b/c/g?y#s"},
    {";x", "http://a/b/c/;x"},
    {"g;x", "http://a/b/c/g;x"},
    {"g;x?y#s", "http://a/b/c/g;x?y#s"},
    {"", "http://a/b/c/d;p?q"},
    {".", "http://a/b/c/"},
    {"./", "http://a/b/c/"},
    {"..", "http://a/b/"},
    {"../", "http://a/b/"},
    {"../g", "http://a/b/g"},
    {"../..", "http://a/"},
    {"../../", "http://a/"},
    {"../../g", "http://a/g"},
    // 5.4.2
    {"../../../g", "http://a/g"},
    {"../../../../g", "http://a/g"},
    {"/./g", "http://a/g"},
    {"/../g", "http://a/g"},
    {"g.", "http://a/b/c/g."},
    {".g", "http://a/b/c/.g"},
    {"g..", "http://a/b/c/g.."},
    {"..g", "http://a/b/c/..g"},
    {"./../g", "http://a/b/g"},
    {"./g/.", "http://a/b/c/g/"},
    {"g/./h", "http://a/b/c/g/h"},
    {"g/../h", "http://a/b/c/h"},
    {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
    {"g;x=1/../y", "http://a/b/c/y"},
    {"g?y/./x", "http://a/b/c/g?y/./x"},
    {"g?y/../x", "http://a/b/c/g?y/../x"},
    {"g#s/./x", "http://a/b/c/g#s/./x"},
    {"g#s/../x", "http://a/b/c/g#s/../x"},
    {"http:g", "http:g"},
};

TEST(CombineUrl, Rfc3986Examples) {
  for (const Case& c : kRfcExamples) EXPECT_EQ(CombineUrl(kRfcBase, c.input), c.expected) << "reference " << c.input;
}

struct CombineCase {
  const char* base;
  const char* relative;
  const char* expected;
};

const CombineCase kCombineCases[] = {
    // An absolute reference comes back unchanged.
    {"http://www.example.com/dir/page.html", "http://other.org/x/y.html", "http://other.org/x/y.html"},
    {"http://www.example.com/dir/page.html", "ftp://ftp.example.com/pub", "ftp://ftp.example.com/pub"},
    {"http://www.example.com/dir/page.html", "mailto:me@example.com", "mailto:me@example.com"},
    // "/" replaces the path; "../" and "./" resolve.
    {"http://www.example.com/dir/page.html", "/top.html", "http://www.example.com/top.html"},
    {"http://www.example.com/dir/sub/page.html", "../up.html", "http://www.example.com/dir/up.html"},
    {"http://www.example.com/dir/page.html", "./same.html", "http://www.example.com/dir/same.html"},
    {"http://www.example.com", "a.html", "http://www.example.com/a.html"},
    {"http://www.example.com", "", "http://www.example.com"},
    // Encoded as browsers send it; escapes are never undone.
    {"http://www.example.com/dir/page.html", "a b.html", "http://www.example.com/dir/a%20b.html"},
    {"http://www.example.com/dir/page.html", "a%20b.html", "http://www.example.com/dir/a%20b.html"},
    {"http://www.example.com/dir/page.html", "\xe9t\xe9.html", "http://www.example.com/dir/%E9t%E9.html"},
    {"http://www.example.com/my dir/page.html", "?q=a b#c d", "http://www.example.com/my%20dir/page.html?q=a%20b#c%20d"},
    // An empty reference yields the base unchanged, fragment included.
    {"http://www.example.com/page.html#part", "", "http://www.example.com/page.html#part"},
    // A base without a scheme (example.com/http-notes.html is never prefixed) still merges.
    {"example.com/http-notes.html", "a.html", "example.com/a.html"},
    // Scheme names are checked strictly: "1x:" is a path.
    {"http://a/b/c", "1x:y", "http://a/b/1x:y"},
    {"http://a/b/c", "HTTPS://Host/A", "HTTPS://Host/A"},
};

TEST(CombineUrl, PartCases) {
  for (const CombineCase& c : kCombineCases)
    EXPECT_EQ(CombineUrl(c.base, c.relative), c.expected) << c.base << " + " << c.relative;
}

TEST(EncodeUrl, Table) {
  const Case cases[] = {
      // Blanks, control bytes, bytes from 0x7F on, and " < > ` are encoded, in upper-case hex.
      {"my page.html", "my%20page.html"},
      {"caf\xC3\xA9.html", "caf%C3%A9.html"},
      {"\x01\t\r\n\x1f\x7f\x80\xff", "%01%09%0D%0A%1F%7F%80%FF"},
      {"\"<>`", "%22%3C%3E%60"},
      // Everything else stays as written, an existing escape and a "%" of no escape too.
      {"caf%C3%A9.html", "caf%C3%A9.html"},
      {"caf%c3%a9.html", "caf%c3%a9.html"},
      {"100%.html?a=%zz", "100%.html?a=%zz"},
      {"http://u:p@h:80/a;b?c=d&e#f'{}|\\^[]!$()*+,~", "http://u:p@h:80/a;b?c=d&e#f'{}|\\^[]!$()*+,~"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeUrl(c.input), c.expected) << c.input;
    EXPECT_EQ(EncodeUrl(c.expected), c.expected) << "encoding twice changes nothing: " << c.expected;
  }
  EXPECT_EQ(EncodeUrl(std::string("a\0b", 3)), "a%00b");
}

TEST(DecodeUrl, Table) {
  const Case cases[] = {
      {"my%20page.html", "my page.html"},
      {"caf%C3%A9%c3%a9", "caf\xC3\xA9\xC3\xA9"},
      {"%25%2541", "%%41"},  // decoded once
      {"100%", "100%"},
      {"%4", "%4"},
      {"%zz%4g", "%zz%4g"},
      {"a+b", "a+b"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeUrl(c.input), c.expected) << c.input;
}

TEST(CombineUrl, TwoSpellingsOfOneAddressAreOne) {
  const char* base = "http://www.example.com/dir/page.html";
  EXPECT_EQ(CombineUrl(base, "caf\xC3\xA9.html"), CombineUrl(base, "caf%C3%A9.html"));
  EXPECT_EQ(CombineUrl(base, "my page.html"), CombineUrl(base, "my%20page.html"));
  std::string typed = "www.example.com/my page.html", encoded = "http://www.example.com/my%20page.html";
  NormalizeUrl(typed);
  NormalizeUrl(encoded);
  EXPECT_EQ(typed, encoded);
}

TEST(NormalizeUrl, Table) {
  const Case cases[] = {
      {"www.example.com/a.html#top", "http://www.example.com/a.html"},
      {"ftp.example.com/pub", "ftp://ftp.example.com/pub"},
      {"ftp.example.com", "ftp://ftp.example.com"},
      {"example.com/http-notes.html", "example.com/http-notes.html"},
      {"FTP://Example.com/pub", "FTP://Example.com/pub"},
      {"http://example.com/page.html#part", "http://example.com/page.html"},
      {"ftp://ftp.example.com/a#b", "ftp://ftp.example.com/a#b"},
      {"ftp.example.com/a#b", "ftp://ftp.example.com/a#b"},
      {"https://example.com", "https://example.com"},
      {"HTTP://Example.com/#", "HTTP://Example.com/"},
      {"example.com", "http://example.com"},
      {"#only", "http://"},
      {"example.com/my page.html#a b", "http://example.com/my%20page.html"},
      {"ftp.example.com/my dir", "ftp://ftp.example.com/my%20dir"},
      {"ftp://ftp.example.com/d\xC3\xA9#x", "ftp://ftp.example.com/d%C3%A9#x"},
      {"", "http://"},
  };
  for (const Case& c : cases) {
    std::string url = c.input;
    NormalizeUrl(url);
    EXPECT_EQ(url, c.expected) << "input " << c.input;
  }
}

TEST(NormalizeUrl, LocalFileIsNeverChanged) {
  TempDir dir;
  const std::string path = dir.File("page#1.html");
  WriteFile(path, "<html></html>");
  std::string url = path;
  NormalizeUrl(url);
  EXPECT_EQ(url, path);
}

TEST(IsLocalFile, OpensForReading) {
  TempDir dir;
  const std::string path = dir.File("a.html");
  WriteFile(path, "x");
  EXPECT_TRUE(IsLocalFile(path));
  EXPECT_FALSE(IsLocalFile(dir.File("missing.html")));
  EXPECT_FALSE(IsLocalFile(""));
  EXPECT_FALSE(IsLocalFile(dir.Path()));  // a directory does not open on Windows either
  EXPECT_FALSE(IsLocalFile("/dev/null"));  // a device opens, but is no page
  EXPECT_FALSE(IsLocalFile(std::string("a\0b", 3)));
  EXPECT_FALSE(IsLocalFile("http://www.example.com/"));
}

TEST(DirectoryOfPath, Table) {
  const Case cases[] = {
      {"C:\\site\\index.html", "C:\\site\\"},
      {"C:\\site\\", "C:\\site\\"},
      {"C:\\", "C:\\"},
      {"a\\b", "a\\"},
      {"index.html", "i"},
      {"/usr/share/x.html", "/"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(DirectoryOfPath(c.input), c.expected) << "input " << c.input;
}

TEST(CombineLocal, DosPaths) {
  const CombineCase cases[] = {
      {"C:\\site\\index.html", "a.html", "C:\\site\\a.html"},
      {"C:\\site\\index.html", "../up.html", "C:\\up.html"},
      {"C:\\site\\index.html", "sub/b.html", "C:\\site\\sub\\b.html"},
      {"C:\\site\\index.html", "sub\\b.html", "C:\\site\\sub\\b.html"},
      {"C:\\site\\index.html", "./a.html", "C:\\site\\a.html"},
      {"C:\\site\\index.html", "../../../x.html", "C:\\x.html"},
      {"C:\\site\\index.html", "/root.html", "C:\\root.html"},
      {"C:\\site\\index.html", "\\root.html", "C:\\root.html"},
      {"C:\\site\\deep\\index.html", "../other/./c.html", "C:\\site\\other\\c.html"},
      {"C:\\site\\", "a.html", "C:\\site\\a.html"},
      // Query and fragment are no part of a file name.
      {"C:\\site\\index.html", "a.html#top", "C:\\site\\a.html"},
      {"C:\\site\\index.html", "a.html?x=1", "C:\\site\\a.html"},
      {"C:\\site\\index.html", "#top", "C:\\site\\"},
      // An empty link yields the base, which is the page's directory.
      {"C:\\site\\index.html", "", "C:\\site\\"},
      // Absolute links.
      {"C:\\site\\index.html", "http://x/y", "http://x/y"},
      {"C:\\site\\index.html", "javascript:void(0)", "javascript:void(0)"},
      {"C:\\site\\index.html", "D:\\other\\a.html", "D:\\other\\a.html"},
      {"C:\\site\\index.html", "D:/other/a.html", "D:\\other\\a.html"},
      {"C:\\site\\index.html", "file:///C:/docs/x.html", "C:\\docs\\x.html"},
      {"C:\\site\\index.html", "FILE://server/share/x.html", "\\\\server\\share\\x.html"},
      {"C:\\site\\index.html", "//server/share/x.html", "\\\\server\\share\\x.html"},
      // Two dots after the last "/" make a web address.
      {"C:\\site\\index.html", "www.example.com", "http://www.example.com"},
      {"C:\\site\\index.html", "notes.old.htm", "http://notes.old.htm"},
      {"C:\\site\\index.html", "ftp.example.com", "ftp://ftp.example.com"},
      {"C:\\site\\index.html", "sub.d/a.html", "C:\\site\\sub.d\\a.html"},
      // UNC and relative bases.
      {"\\\\server\\share\\dir\\page.html", "a.html", "\\\\server\\share\\dir\\a.html"},
      {"\\\\server\\share\\dir\\page.html", "../x.html", "\\\\server\\share\\x.html"},
      {"site\\sub\\page.html", "a.html", "site\\sub\\a.html"},
      {"site\\sub\\page.html", "../../../x.html", "x.html"},
      {"\\site\\page.html", "a.html", "\\site\\a.html"},
      {"page.html", "a.html", "a.html"},
      // Escapes name the file the file system has; a web address is encoded.
      {"C:\\site\\index.html", "my%20page.html", "C:\\site\\my page.html"},
      {"C:\\site\\index.html", "caf%C3%A9.html#top", "C:\\site\\caf\xC3\xA9.html"},
      {"C:\\site\\index.html", "a%2523.html", "C:\\site\\a%23.html"},
      {"C:\\site\\index.html", "my page.html", "C:\\site\\my page.html"},
      {"C:\\site\\index.html", "file:///C:/my%20docs/x.html", "C:\\my docs\\x.html"},
      {"C:\\site\\index.html", "D:/my%20docs/a.html", "D:\\my docs\\a.html"},
      {"C:\\site\\index.html", "http://x/my page.html", "http://x/my%20page.html"},
      {"C:\\site\\index.html", "www.example.com/a.b.html?q=a b", "http://www.example.com/a.b.html?q=a%20b"},
  };
  for (const CombineCase& c : cases)
    EXPECT_EQ(CombineLocal(c.base, c.relative), c.expected) << c.base << " + " << c.relative;
}

TEST(FtpParts, Table) {
  const struct {
    const char* url;
    const char* host;
    const char* path;
  } cases[] = {
      {"ftp://ftp.example.com/pub/src", "ftp.example.com", "/pub/src"},
      {"ftp://ftp.example.com", "ftp.example.com", ""},
      {"ftp://ftp.example.com/", "ftp.example.com", "/"},
      {"FTP://Host.example.com/a/", "Host.example.com", "/a/"},
      {"ftp://ftp.example.com/my%20dir/d%C3%A9", "ftp.example.com", "/my dir/d\xC3\xA9"},
      {"ftp.example.com/pub", "ftp.example.com", ""},
      {"ftp.example.com", "ftp.example.com", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FtpHostOf(c.url), c.host) << c.url;
    EXPECT_EQ(FtpPathOf(c.url), c.path) << c.url;
  }
}

TEST(DomainOf, Table) {
  const Case cases[] = {
      {"http://www.example.com/a/b.html", "example"},
      {"ftp://ftp.example.org/pub", "example"},
      {"http://user@example.com/x", "example"},
      {"http://example.com/", "http://example"},
      // A host without a dot is its own key, without user and port.
      {"http://localhost/x", "localhost"},
      {"http://localhost:8080/index.html", "localhost"},
      {"http://user:pw@intranet/docs/a.html", "intranet"},
      {"http://intranet?q=a.b", "intranet"},
      {"www.Example.com", "Example"},
      {"www.example.com", "example"},
      {"http://www.example.co.uk/", "co"},
      {"http://a.b.c.d/e.f/g.h", "c"},
      {".", ""},
      {"x./", "x"},
      {"", ""},
      // A host written as an IPv4 address is its own key (its last parts gave "0").
      {"http://127.0.0.1/", "127.0.0.1"},
      {"http://127.0.0.1:8765/a.b/c.html", "127.0.0.1"},
      {"http://user:pw@10.1.2.3/x", "10.1.2.3"},
      {"192.168.0.10", "192.168.0.10"},
      {"ftp://10.0.0.1:2121/pub", "10.0.0.1"},
      {"http://256.1.1.1/", "1"},      // not an address: the name rule
      {"http://1.2.3/", "2"},
      {"http://1.2.3.4.5/", "4"},
      {"http://1.2.3.04x/", "3"},
  };
  for (const Case& c : cases) EXPECT_EQ(DomainOf(c.input), c.expected) << "input " << c.input;
}

TEST(DomainOf, LocalFileGivesItsDirectory) {
  TempDir dir;
  const std::string path = dir.File("index.html");
  WriteFile(path, "x");
  EXPECT_EQ(DomainOf(path), DirectoryOfPath(path));
}

TEST(TextHelpers, LowerAndContains) {
  EXPECT_EQ(ToLower("AbC\xC9z"), "abc\xC9z");  // ASCII letters only
  EXPECT_TRUE(ContainsNoCase("MAILTO:x", "ailto"));
  EXPECT_TRUE(ContainsNoCase("anything", ""));
  EXPECT_TRUE(ContainsNoCase("", ""));
  EXPECT_FALSE(ContainsNoCase("ftp", "ftp."));
  EXPECT_TRUE(ContainsNoCase("x.FTP.", "ftp."));
  EXPECT_FALSE(ContainsNoCase("fftp", "ftp:"));
  EXPECT_TRUE(ContainsNoCase("ffTP:", "ftp:"));
}

}  // namespace
