// Sitemap files and their template.
#include "sitemap/sitemap_reader.h"
#include "sitemap/sitemap_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "test_files.h"

namespace {

struct FakeMessages : MessagePort {
  std::vector<int> shown;
  std::vector<std::string> fileErrors;
  void ShowMessage(int stringId) override { shown.push_back(stringId); }
  void ShowFileError(const std::string& path) override { fileErrors.push_back(path); }
};

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start) + "<missing CR LF>");
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> Entry(const std::string& label) {
  std::vector<std::string> lines;
  for (const std::string& line : SitemapWriter::DefaultTemplate()) lines.push_back(SitemapWriter::ExpandTemplateLine(line, label));
  return lines;
}

void Append(std::vector<std::string>& to, const std::vector<std::string>& lines) { to.insert(to.end(), lines.begin(), lines.end()); }

std::vector<std::string> Header(const std::string& label) { return {"[Sitemap 1.0]", "[! Sitemap for " + label + "]", ""}; }

// A nesting description: each node as "label" with its depth, in pre-order.
std::vector<std::string> Shape(const SiteTree& tree) {
  std::vector<std::string> shape;
  const SiteNode* node = tree.FirstTopLevel();
  int depth = 0;
  while (node) {
    shape.push_back(std::string(static_cast<size_t>(depth), '.') + node->label);
    if (node->firstChild) {
      node = node->firstChild;
      ++depth;
      continue;
    }
    while (node && !node->nextSibling) {
      node = node->parent;
      --depth;
    }
    if (node) node = node->nextSibling;
  }
  return shape;
}

class SitemapTest : public ::testing::Test {
protected:
  TempDir startDir;
  TempDir work;
  FakeMessages messages;

  std::string WriteAndLoad(const SiteTree& tree, const SiteNode* top) {
    SitemapWriter writer(startDir.WithSeparator(), messages);
    const std::string path = work.File("out.smp");
    EXPECT_TRUE(writer.Write(tree, top, path));
    return ReadFile(path);
  }
  void SetTemplate(const std::string& content) { WriteFile(startDir.File("sitemap.txt"), content); }
};

TEST(DefaultTemplate, ByteForByte) {
  const std::vector<std::string> expected = {
      "\t<LI><OBJECT CLASSID = \"clsid:A61D5780-BA29-11CF-952E-00C04FD705B4\">",
      "\t\t<param name=\"URL\" value=\"%URL\">",
      "\t\t<param name=\"icon\" value=\"system:moreicons.dll#1\">",
      "\t\t<A HREF=\"%URL\">",
      "\t\t</A>",
      "\t</OBJECT>",
  };
  EXPECT_EQ(SitemapWriter::DefaultTemplate(), expected);
}

TEST(ExpandTemplateLine, Table) {
  const struct {
    const char* line;
    const char* label;
    const char* expected;
  } cases[] = {
      {"<A HREF=\"%URL\">", "http://x/", "<A HREF=\"http://x/\">"},
      {"%URL and %URL", "u", "u and %URL"},
      {"no mark", "u", "no mark"},
      {"%url stays", "u", "%url stays"},
      {"[%URL]", "ftp://h/f.txt (file)", "[ftp://h/f.txt]"},
      {"[%URL]", "a\"<b>&c", "[a\"<b>&c]"},
      {"%URL", "", ""},
      {"%UR", "u", "%UR"},
  };
  for (const auto& c : cases) EXPECT_EQ(SitemapWriter::ExpandTemplateLine(c.line, c.label), c.expected) << c.line;
}

TEST_F(SitemapTest, ChildrenFollowTheirParentsEntryInAListOfTheirOwn) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "http://a/", NodeIcon::TopOfChart);
  tree.AddChild(a, "http://a/b", NodeIcon::NotRead);
  SiteNode* c = tree.AddChild(a, "http://a/c", NodeIcon::PageWithLinks);
  tree.AddChild(c, "http://a/d", NodeIcon::NotRead);
  std::vector<std::string> expected = Header("http://a/");
  expected.push_back("<UL>");
  Append(expected, Entry("http://a/"));
  expected.push_back("<UL>");
  Append(expected, Entry("http://a/b"));
  Append(expected, Entry("http://a/c"));
  expected.push_back("<UL>");
  Append(expected, Entry("http://a/d"));
  Append(expected, {"</UL>", "</UL>", "</UL>"});
  const std::vector<std::string> lines = SplitCrLf(WriteAndLoad(tree, a));
  EXPECT_EQ(lines.size(), 33u);
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(messages.shown, std::vector<int>{139});
}

TEST_F(SitemapTest, TopWithoutChildrenGivesElevenLines) {
  SiteTree tree;
  SiteNode* a = tree.AddChild(nullptr, "http://a/", NodeIcon::TopOfChart);
  const std::string text = WriteAndLoad(tree, a);
  std::vector<std::string> lines = SplitCrLf(text);
  EXPECT_EQ(lines.size(), 11u);
  EXPECT_EQ(text,
            "[Sitemap 1.0]\r\n[! Sitemap for http://a/]\r\n\r\n<UL>\r\n"
            "\t<LI><OBJECT CLASSID = \"clsid:A61D5780-BA29-11CF-952E-00C04FD705B4\">\r\n"
            "\t\t<param name=\"URL\" value=\"http://a/\">\r\n"
            "\t\t<param name=\"icon\" value=\"system:moreicons.dll#1\">\r\n"
            "\t\t<A HREF=\"http://a/\">\r\n\t\t</A>\r\n\t</OBJECT>\r\n</UL>\r\n");
}

TEST_F(SitemapTest, TopSiblingsAreNotWritten) {
  SiteTree tree;
  tree.AddChild(nullptr, "before", NodeIcon::NotRead);
  SiteNode* top = tree.AddChild(nullptr, "top", NodeIcon::NotRead);
  tree.AddChild(nullptr, "after", NodeIcon::NotRead);
  tree.AddChild(top, "child", NodeIcon::NotRead);
  std::vector<std::string> expected = Header("top");
  expected.push_back("<UL>");
  Append(expected, Entry("top"));
  expected.push_back("<UL>");
  Append(expected, Entry("child"));
  Append(expected, {"</UL>", "</UL>"});
  EXPECT_EQ(SplitCrLf(WriteAndLoad(tree, top)), expected);
  // The top node below the top level: its siblings neither.
  SiteNode* child = top->firstChild;
  tree.AddChild(top, "child2", NodeIcon::NotRead);
  expected = Header("child");
  expected.push_back("<UL>");
  Append(expected, Entry("child"));
  expected.push_back("</UL>");
  EXPECT_EQ(SplitCrLf(WriteAndLoad(tree, child)), expected);
}

TEST_F(SitemapTest, FileSuffixIsCutEverywhere) {
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "ftp://h/pub/x.txt (file)", NodeIcon::File);
  const std::string text = WriteAndLoad(tree, top);
  EXPECT_EQ(text.find("(file)"), std::string::npos);
  EXPECT_NE(text.find("[! Sitemap for ftp://h/pub/x.txt]"), std::string::npos);
  EXPECT_NE(text.find("value=\"ftp://h/pub/x.txt\">"), std::string::npos);
  EXPECT_NE(text.find("HREF=\"ftp://h/pub/x.txt\">"), std::string::npos);
}

TEST_F(SitemapTest, LabelsWrittenUnchanged) {
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "http://x/?a=\"1\"&b=<2>", NodeIcon::NotRead);
  EXPECT_NE(WriteAndLoad(tree, top).find("<A HREF=\"http://x/?a=\"1\"&b=<2>\">"), std::string::npos);
}

TEST_F(SitemapTest, DontMapBranchesAreSkipped) {
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "top", NodeIcon::TopOfChart);
  SiteNode* a = tree.AddChild(top, "a", NodeIcon::DontMap);
  tree.AddChild(a, "a1", NodeIcon::NotRead);
  SiteNode* b = tree.AddChild(top, "b", NodeIcon::PageWithLinks);
  tree.AddChild(b, "b1", NodeIcon::DontMap);
  tree.AddChild(top, "c", NodeIcon::NotRead);
  std::vector<std::string> expected = Header("top");
  expected.push_back("<UL>");
  Append(expected, Entry("top"));
  expected.push_back("<UL>");
  Append(expected, Entry("b"));
  Append(expected, {"<UL>", "</UL>"});  // all of b's children are marked
  Append(expected, Entry("c"));
  Append(expected, {"</UL>", "</UL>"});
  EXPECT_EQ(SplitCrLf(WriteAndLoad(tree, top)), expected);
}

TEST_F(SitemapTest, MarkedTopAndEmptyTree) {
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "top (file)", NodeIcon::DontMap);
  tree.AddChild(top, "child", NodeIcon::NotRead);
  EXPECT_EQ(WriteAndLoad(tree, top), "[Sitemap 1.0]\r\n[! Sitemap for top]\r\n\r\n<UL>\r\n</UL>\r\n");
  SiteTree empty;
  EXPECT_EQ(WriteAndLoad(empty, nullptr), "[Sitemap 1.0]\r\n[! Sitemap for ]\r\n\r\n<UL>\r\n</UL>\r\n");
}

TEST_F(SitemapTest, MissingTemplateMessageOnEveryWrite) {
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "top", NodeIcon::NotRead);
  WriteAndLoad(tree, top);
  WriteAndLoad(tree, top);
  EXPECT_EQ(messages.shown, (std::vector<int>{139, 139}));
  SetTemplate("[%URL]\r\n");
  WriteAndLoad(tree, top);
  EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(SitemapTest, TemplateFile) {
  // LF and CR LF lines, comments dropped only at the start, "//" inside kept, empty lines kept.
  SetTemplate("// a comment\n<LI>%URL\r\n//\n\nhttp://example.com/x %URL %URL\r\n  // not a comment\nlast");
  SitemapWriter writer(startDir.WithSeparator(), messages);
  writer.LoadTemplate();
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(writer.TemplateLines(),
            (std::vector<std::string>{"<LI>%URL", "", "http://example.com/x %URL %URL", "  // not a comment", "last"}));
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "T", NodeIcon::NotRead);
  EXPECT_EQ(SplitCrLf(WriteAndLoad(tree, top)),
            (std::vector<std::string>{"[Sitemap 1.0]", "[! Sitemap for T]", "", "<UL>", "<LI>T", "",
                                      "http://example.com/x T %URL", "  // not a comment", "last", "</UL>"}));
}

TEST_F(SitemapTest, TemplateTakesALoneCrAsLineEnd) {
  SetTemplate("a\rb\r\rc\r\n\nd");
  SitemapWriter writer(startDir.WithSeparator(), messages);
  writer.LoadTemplate();
  EXPECT_EQ(writer.TemplateLines(), (std::vector<std::string>{"a", "b", "", "c", "", "d"}));
}

TEST_F(SitemapTest, CrLfAcrossTheReadChunkIsOneLineEnd) {
  // The reader takes 64 KiB at a time; put the CR at the last byte of the first chunk.
  for (size_t crAt : {65534u, 65535u, 65536u}) {
    std::string first(crAt, 'x');
    SetTemplate(first + "\r\nsecond\r\rthird");
    SitemapWriter writer(startDir.WithSeparator(), messages);
    writer.LoadTemplate();
    EXPECT_EQ(writer.TemplateLines(), (std::vector<std::string>{first, "second", "", "third"})) << crAt;
  }
}

TEST_F(SitemapTest, CommentOnlyTemplateGivesEmptyEntries) {
  SetTemplate("// one\r\n// two\r\n");
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "top", NodeIcon::NotRead);
  tree.AddChild(top, "child", NodeIcon::NotRead);
  const std::string text = WriteAndLoad(tree, top);
  EXPECT_EQ(text, "[Sitemap 1.0]\r\n[! Sitemap for top]\r\n\r\n<UL>\r\n<UL>\r\n</UL>\r\n</UL>\r\n");
  SiteTree back;
  SitemapReader reader(messages);
  ASSERT_TRUE(reader.Read(back, work.File("out.smp")));
  EXPECT_TRUE(back.Empty());
}

TEST_F(SitemapTest, WriteFailsWhenTheFileCannotBeCreated) {
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "top", NodeIcon::NotRead);
  SitemapWriter writer(startDir.WithSeparator(), messages);
  EXPECT_FALSE(writer.Write(tree, top, work.File("no/such/dir/out.smp")));
  EXPECT_FALSE(writer.Write(tree, top, work.Path()));  // a directory
  EXPECT_TRUE(messages.shown.empty());  // no template was loaded
  EXPECT_TRUE(writer.TemplateLines().empty());
}

TEST_F(SitemapTest, WriteTruncatesAndAddsNoExtension) {
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "top", NodeIcon::NotRead);
  const std::string path = work.File("plain");
  WriteFile(path, std::string(100000, 'x'));
  SitemapWriter writer(startDir.WithSeparator(), messages);
  ASSERT_TRUE(writer.Write(tree, top, path));
  EXPECT_EQ(SplitCrLf(ReadFile(path)).size(), 11u);
}

TEST_F(SitemapTest, RoundTrip) {
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "http://www.example.com/", NodeIcon::TopOfChart);
  SiteNode* a = tree.AddChild(top, "http://www.example.com/a.html", NodeIcon::PageWithLinks);
  tree.AddChild(a, "ftp://ftp.example.com/x.txt (file)", NodeIcon::File);
  tree.AddChild(a, "mailto:me@example.com", NodeIcon::MailLink);
  SiteNode* b = tree.AddChild(top, "http://www.example.com/b.html", NodeIcon::PageWithLinks);
  SiteNode* b1 = tree.AddChild(b, "http://www.example.com/b1.html", NodeIcon::PageWithLinks);
  tree.AddChild(b1, "http://www.example.com/deep.map", NodeIcon::ImageMap);
  tree.AddChild(top, "http://other.org/", NodeIcon::NotRead);
  WriteAndLoad(tree, top);

  SiteTree back;
  SitemapReader reader(messages);
  ASSERT_TRUE(reader.Read(back, work.File("out.smp")));
  EXPECT_EQ(Shape(back), (std::vector<std::string>{
                             "http://www.example.com/", ".http://www.example.com/a.html", "..ftp://ftp.example.com/x.txt",
                             "..mailto:me@example.com", ".http://www.example.com/b.html", "..http://www.example.com/b1.html",
                             "...http://www.example.com/deep.map", ".http://other.org/"}));
  for (const SiteNode* n = back.FirstTopLevel(); n; n = n->nextSibling) EXPECT_EQ(n->icon, NodeIcon::PageWithLinks);
  back.RefreshIcons();
  EXPECT_EQ(back.FirstTopLevel()->icon, NodeIcon::PageWithLinks);
  // " (file)" is gone: the former FTP file is an FTP item by its "ftp." now.
  EXPECT_EQ(back.FirstTopLevel()->firstChild->firstChild->icon, NodeIcon::FtpFolder);
  EXPECT_EQ(back.NodeCount(), 8u);
}

TEST_F(SitemapTest, ReadFailsWhenTheFileCannotBeOpened) {
  SiteTree tree;
  SitemapReader reader(messages);
  EXPECT_FALSE(reader.Read(tree, work.File("missing.smp")));
  EXPECT_TRUE(tree.Empty());
  EXPECT_TRUE(messages.shown.empty());
}

struct ReadCase {
  const char* name;
  std::string text;
  std::vector<std::string> shape;
};

TEST(SitemapRead, Table) {
  const std::vector<ReadCase> cases = {
      {"empty file", "", {}},
      {"no URL lines", "[Sitemap 1.0]\r\nhello\r\n<UL>\r\n</UL>\r\n", {}},
      {"any case", "<ul>\n<param name=\"url\" value=\"A\">\n<Ul>\n<x \"URL\" v=\"B\">\n</uL>\n</ul>\n", {"A", ".B"}},
      {"<UL> wins over URL", "x \"URL\" v=\"A\"\n<UL> \"URL\" v=\"B\"\n\"URL\" v=\"C\"\n", {"A", ".C"}},
      {"URL wins over </UL>", "\"URL\" v=\"A\"\n<UL>\n\"URL\" v=\"B\" </UL>\n\"URL\" v=\"C\"\n", {"A", ".B", ".C"}},
      {"exactly three quotes runs to the end", "URL \"a\" \"rest of line", {"rest of line"}},
      {"fewer than three quotes", "URL \"a\" b\nURL\n", {}},
      {"empty label", "URL \"a\" \"\"\n", {}},
      {"fourth quote ends", "URL \"a\" \"lab\"el\" more\"", {"lab"}},
      {"more </UL> than <UL>", "\"URL\" v=\"A\"\n<UL>\n\"URL\" v=\"B\"\n</UL>\n</UL>\n</UL>\n\"URL\" v=\"C\"\n", {"A", ".B", "C"}},
      {"<UL> before any node", "<UL>\n\"URL\" v=\"A\"\n<UL>\n<UL>\n\"URL\" v=\"B\"\n", {"A", ".B"}},
      {"LF lines", "\"URL\" v=\"A\"\n<UL>\n\"URL\" v=\"B\"\n", {"A", ".B"}},
      {"lone CR lines", "\"URL\" v=\"A\"\r<UL>\r\"URL\" v=\"B\"\r</UL>\r\"URL\" v=\"C\"", {"A", ".B", "C"}},
      {"mixed line ends", "\"URL\" v=\"A\"\r\n<UL>\n\"URL\" v=\"B\"\r\r\n</UL>\r\"URL\" v=\"C\"\n", {"A", ".B", "C"}},
      {"last line without terminator", "<UL>\r\n\"URL\" v=\"A\"", {"A"}},
      {"the header is a line like any other", "garbage\r\n[! Sitemap for \"URL\" \"x\"]\r\n", {"x"}},
      {"label with blanks and quotes outside", "URL \"\" \"a b c\"\"", {"a b c"}},
      {"tab kept", "URL\"\"\"\tx\"", {"\tx"}},
  };
  for (const ReadCase& c : cases) {
    SiteTree tree;
    FakeMessages messages;
    SitemapReader reader(messages);
    std::istringstream in(c.text);
    EXPECT_TRUE(reader.ReadFromStream(tree, in)) << c.name;
    EXPECT_EQ(Shape(tree), c.shape) << c.name;
  }
}

TEST(SitemapRead, IntoANonEmptyTreeStartsAtItsFirstNode) {
  SiteTree tree;
  tree.AddChild(nullptr, "existing", NodeIcon::NotRead);
  FakeMessages messages;
  SitemapReader reader(messages);
  std::istringstream in("\"URL\" v=\"A\"\n<UL>\n\"URL\" v=\"B\"\n");
  ASSERT_TRUE(reader.ReadFromStream(tree, in));
  EXPECT_EQ(Shape(tree), (std::vector<std::string>{"existing", ".A", "..B"}));
}

TEST(SitemapRead, OverlongLinesAndDeepNesting) {
  std::string text = "\"URL\" v=\"" + std::string(5 * 1024 * 1024, 'x') + "\"\r\n";
  text += std::string(3 * 1024 * 1024, 'y') + "\r\n";
  for (int i = 0; i < 100000; ++i) text += "<UL>\n\"URL\" v=\"d\"\n";
  SiteTree tree;
  FakeMessages messages;
  SitemapReader reader(messages);
  std::istringstream in(text);
  ASSERT_TRUE(reader.ReadFromStream(tree, in));
  ASSERT_FALSE(tree.Empty());
  EXPECT_EQ(tree.FirstTopLevel()->label.size(), 5u * 1024 * 1024);
  EXPECT_EQ(tree.NodeCount(), 100001u);
  // The deep chain goes out again without recursion.
  std::ostringstream out;
  SitemapWriter writer("/nonexistent-dir/", messages);
  ASSERT_TRUE(writer.WriteToStream(tree.FirstTopLevel(), out));
  SiteTree back;
  std::istringstream again(out.str());
  ASSERT_TRUE(reader.ReadFromStream(back, again));
  EXPECT_EQ(back.NodeCount(), 100001u);
}

// A stream buffer that fails after a number of bytes, as a full disk does.
class FailingBuffer : public std::streambuf {
public:
  explicit FailingBuffer(size_t room) : room(room) {}
  std::string written;

protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::streamsize take = std::min<std::streamsize>(n, static_cast<std::streamsize>(room - written.size()));
    written.append(s, static_cast<size_t>(take));
    return take;
  }
  int_type overflow(int_type c) override {
    if (written.size() >= room || traits_type::eq_int_type(c, traits_type::eof())) return traits_type::eof();
    written.push_back(traits_type::to_char_type(c));
    return c;
  }

private:
  size_t room;
};

TEST(SitemapWrite, ErrorInTheMiddleKeepsWhatWasWritten) {
  SiteTree tree;
  SiteNode* top = tree.AddChild(nullptr, "top", NodeIcon::NotRead);
  for (int i = 0; i < 5000; ++i) tree.AddChild(top, "http://www.example.com/" + std::to_string(i), NodeIcon::NotRead);
  FailingBuffer buffer(70000);
  std::ostream out(&buffer);
  FakeMessages messages;
  SitemapWriter writer("/nonexistent-dir/", messages);
  EXPECT_FALSE(writer.WriteToStream(top, out));
  EXPECT_EQ(buffer.written.size(), 70000u);
  EXPECT_EQ(buffer.written.substr(0, 15), "[Sitemap 1.0]\r\n");
}

// A stream buffer that gives its text in one read, then fails, as a removed medium does.
class BrokenSource : public std::streambuf {
public:
  explicit BrokenSource(std::string text) : text(std::move(text)) {}

protected:
  std::streamsize xsgetn(char* s, std::streamsize n) override {
    if (given) throw std::ios_base::failure("read error");
    given = true;
    const size_t take = std::min(text.size(), static_cast<size_t>(n));
    text.copy(s, take);
    return static_cast<std::streamsize>(take);
  }
  int_type underflow() override { throw std::ios_base::failure("read error"); }

private:
  std::string text;
  bool given = false;
};

TEST(SitemapRead, ErrorInTheMiddleKeepsTheNodes) {
  // The reader takes 64 KiB at a time: the first read succeeds, the second fails.
  std::string text = "\"URL\" v=\"A\"\r\n<UL>\r\n\"URL\" v=\"B\"\r\n";
  text += std::string(64 * 1024 - text.size() - 2, 'x') + "\r\n";
  BrokenSource source(text);
  std::istream in(&source);
  SiteTree tree;
  FakeMessages messages;
  SitemapReader reader(messages);
  EXPECT_FALSE(reader.ReadFromStream(tree, in));
  EXPECT_EQ(Shape(tree), (std::vector<std::string>{"A", ".B"}));
}

}  // namespace
