#include "plotwright/journal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

TEST(Journal, ValuesAsJson) {
  struct Case {
    Value value;
    const char* json;
  } cases[] = {
      {Value::I2(-15), "-15"},
      {Value::I4(16777216), "16777216"},
      {Value::R8(2.0), "2.0"},
      {Value::R8(-4.0), "-4.0"},
      {Value::R8(1.5), "1.5"},
      {Value::R8(0.1), "0.1"},
      {Value::R8(1e300), "1e+300"},
      {Value::R8(0.0 / 0.0), "null"},
      {Value::Bool(true), "true"},
      {Value::Bool(false), "false"},
      {Value::Text("Plotwright basic palettes\\Standard"), "\"Plotwright basic palettes\\\\Standard\""},
      {Value::Text("say \"hi\"\r\n\t\x01"), "\"say \\\"hi\\\"\\r\\n\\t\\u0001\""},
      {Value::Text("caf\xe9 \x7f"), "\"caf\\u00e9 \\u007f\""},
      // UTF-8 as the server keeps it: one escape a UTF-16 unit, so every line stays ASCII.
      {Value::Text("caf\xc3\xa9 \xe6\x97\xa5\xf0\x9f\x98\x80"), "\"caf\\u00e9 \\u65e5\\ud83d\\ude00\""},
      {Value::Object({ObjectKind::LineFormat, 3}), "\"lineformat3\""},
      {Value::Object({ObjectKind::Application, 0}), "\"application\""},
      {Value(), "null"},
      {Value::Other(), "null"},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonValue(c.value), c.json);
}

TEST(Journal, OneLinePerCallWithItsArguments) {
  EXPECT_EQ(JournalLine({ObjectKind::Document, 1}, 69, CallKind::Call,
                        {Value::Object({ObjectKind::Shape, 7}), Value::Object({ObjectKind::Shape, 2}), Value::R8(2),
                         Value::R8(3)}),
            "document1 69 call [\"shape7\", \"shape2\", 2.0, 3.0]");
  EXPECT_EQ(JournalLine({ObjectKind::Link, 7}, 15, CallKind::Put, {Value::Text("http://a/")}),
            "link7 15 put [\"http://a/\"]");
  EXPECT_EQ(JournalLine({ObjectKind::Page, 1}, 9, CallKind::Get, {}), "page1 9 get []");
}

TEST(Journal, FileLinesCanBeReadBeforeItCloses) {
  std::string path = ::testing::TempDir() + "plotwright_journal_test.txt";
  std::remove(path.c_str());
  {
    JournalFile first(path);
    first.Write("application 30 get []");
  }
  JournalFile second(path);  // appends
  ASSERT_TRUE(second.isOpen());
  second.Write("application 67 call []");
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "application 30 get []\r\napplication 67 call []\r\n");
  std::remove(path.c_str());
}

TEST(Journal, AFileThatCannotBeOpenedWritesNothing) {
  JournalFile journal(::testing::TempDir() + "no/such/folder/journal.txt");
  EXPECT_FALSE(journal.isOpen());
  journal.Write("application 30 get []");
}
