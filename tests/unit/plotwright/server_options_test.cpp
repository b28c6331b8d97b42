#include "plotwright/server_options.h"

#include <gtest/gtest.h>

TEST(ServerOptions, SwitchesAreRead) {
  ServerOptions o = ParseCommandLine(
      "-Embedding /VERSION:5.0 \"/journal:C:\\my files\\j.txt\" /svgdir:\"C:\\out dir\" /failat:12 /idle:5");
  EXPECT_TRUE(o.embedding);
  EXPECT_FALSE(o.regServer);
  EXPECT_EQ(o.version, "5.0");
  EXPECT_EQ(o.journal, "C:\\my files\\j.txt");
  EXPECT_EQ(o.svgFolder, "C:\\out dir");
  EXPECT_EQ(o.failAt, 12);
  EXPECT_EQ(o.idleSeconds, 5);
  EXPECT_TRUE(o.errors.empty());
}

TEST(ServerOptions, WhatIsNotUnderstoodIsReportedAndLeavesTheDefaults) {
  struct Case {
    const char* line;
    const char* error;
  } cases[] = {
      {"/failat:0", "/failat:0"},        {"/failat:-3", "/failat:-3"},  {"/failat:x", "/failat:x"},
      {"/idle:", "/idle:"},              {"/version:", "/version:"},    {"/frobnicate", "/frobnicate"},
      {"stray", "stray"},                {"/regserver:yes", "/regserver:yes"},
      {"/failat:9999999999", "/failat:9999999999"},
  };
  for (const Case& c : cases) {
    ServerOptions o = ParseCommandLine(c.line);
    ASSERT_EQ(o.errors.size(), 1u) << c.line;
    EXPECT_EQ(o.errors[0], c.error);
    EXPECT_EQ(o.failAt, 0);
    EXPECT_EQ(o.idleSeconds, 900);
    EXPECT_EQ(o.version, "7.0");
  }
}

TEST(ServerOptions, TheRegisteredCommandCarriesTheSwitchesBack) {
  ServerOptions o = ParseCommandLine("/regserver /version:5.0 \"/journal:C:\\a b\\j.txt\" /failat:4 /idle:30");
  std::string command = ServerCommand("C:\\Program Files\\Plotwright\\Plotwright.exe", o);
  EXPECT_EQ(command,
            "\"C:\\Program Files\\Plotwright\\Plotwright.exe\" /version:5.0 \"/journal:C:\\a b\\j.txt\" /failat:4 "
            "/idle:30");
  std::vector<std::string> words = SplitCommandLine(command + " -Embedding");
  ASSERT_FALSE(words.empty());
  EXPECT_EQ(words[0], "C:\\Program Files\\Plotwright\\Plotwright.exe");
  std::string rest = command.substr(command.find(".exe\"") + 5) + " -Embedding";
  ServerOptions started = ParseCommandLine(rest);
  EXPECT_TRUE(started.embedding);
  EXPECT_FALSE(started.regServer);
  EXPECT_EQ(started.version, "5.0");
  EXPECT_EQ(started.journal, "C:\\a b\\j.txt");
  EXPECT_EQ(started.failAt, 4);
  EXPECT_EQ(started.idleSeconds, 30);
  EXPECT_EQ(ServerCommand("C:\\P.exe", ServerOptions{}), "\"C:\\P.exe\"");
}
