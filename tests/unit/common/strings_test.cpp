#include <gtest/gtest.h>

#include "common/strings.h"

// The texts pass through a generator: quotes, backslashes and double spaces must come out whole.
TEST(StringText, KeepsTheListsTextsExactly) {
  const struct {
    int id;
    const char* text;
  } cases[] = {
      {IDS_OLE_INIT_FAILED, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
      {IDS_BROWSER_KEY, "software\\classes\\http\\shell\\open\\command"},
      {IDS_PALETTE_BASIC, "Plotwright basic palettes\\Standard"},
      {IDS_OPENING, "Opening "},
      {99, ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(StringText(c.id), c.text) << c.id;
  const std::string tooMuch = StringText(IDS_TOO_MUCH_DATA);
  EXPECT_EQ(tooMuch.substr(tooMuch.size() - 22), "\"Set as top of chart\".");
  EXPECT_EQ(StringTextWithNumber(IDS_QUEUED_TASKS, 12), "12 Tasks in the queue");
}
