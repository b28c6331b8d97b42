// The bitmaps the pages load: each id names a file of the size and colour depth its page expects.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

#include "resources/pathloom/bitmap_ids.h"
#include "test_files.h"

namespace {

const std::string kFolder = SOURCE_DIR "/src/resources/pathloom/";

using Rgb = std::tuple<int, int, int>;

struct Bmp {
  int32_t width = 0;
  int32_t height = 0;
  int bits = 0;
  std::vector<Rgb> table;
  std::string file;
  uint32_t offset = 0;

  uint32_t Stride() const { return (static_cast<uint32_t>(width) * bits + 31) / 32 * 4; }

  // Colour of the pixel at (x, y), y from the top, for the indexed depths.
  Rgb At(int x, int y) const {
    const unsigned char* row = reinterpret_cast<const unsigned char*>(file.data()) + offset +
                               static_cast<size_t>(height - 1 - y) * Stride();
    int index = bits == 8 ? row[x] : (x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4);
    return table.at(index);
  }
};

uint32_t Le(const std::string& s, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s.at(at + i));
  return v;
}

// Reads what LoadBitmap and the pages rely on; a malformed file fails the test here.
Bmp ReadBmp(const std::string& path) {
  Bmp b;
  b.file = ReadFile(path);
  EXPECT_GE(b.file.size(), 54u) << path;
  if (b.file.size() < 54) return b;
  EXPECT_EQ(b.file.substr(0, 2), "BM") << path;
  EXPECT_EQ(Le(b.file, 14, 4), 40u) << path << ": BITMAPINFOHEADER";
  EXPECT_EQ(Le(b.file, 30, 4), 0u) << path << ": uncompressed";
  b.width = static_cast<int32_t>(Le(b.file, 18, 4));
  b.height = static_cast<int32_t>(Le(b.file, 22, 4));
  b.bits = static_cast<int>(Le(b.file, 28, 2));
  uint32_t used = Le(b.file, 46, 4);
  uint32_t entries = b.bits <= 8 ? (used ? used : 1u << b.bits) : 0;
  for (uint32_t i = 0; i < entries && 54 + 4 * i + 3 < b.file.size(); ++i)
    b.table.emplace_back(Le(b.file, 56 + 4 * i, 1), Le(b.file, 55 + 4 * i, 1), Le(b.file, 54 + 4 * i, 1));
  b.offset = Le(b.file, 10, 4);
  EXPECT_EQ(b.offset, 54 + 4 * entries) << path;
  EXPECT_GE(b.file.size(), b.offset + static_cast<uint64_t>(b.Stride()) * b.height) << path << ": pixels cut short";
  return b;
}

// Name and file of each BITMAP line of bitmaps.rc.
std::map<std::string, std::string> RcFiles() {
  std::map<std::string, std::string> files;
  std::istringstream rc(ReadFile(kFolder + "bitmaps.rc"));
  const std::regex line(R"(^(\w+)\s+BITMAP\s+"([^"]+)\"\s*$)");
  std::smatch m;
  for (std::string text; std::getline(rc, text);)
    if (std::regex_match(text, m, line)) files[m[1]] = m[2];
  return files;
}

struct Expected {
  int id;
  const char* name;
  int number;
  int width, height, bits;
};

#define BITMAP_ENTRY(name, number, width, height, bits) {name, #name, number, width, height, bits}

const Expected kBitmaps[] = {
    BITMAP_ENTRY(IDB_NODE_PAGE_WITH_LINKS, 139, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_FTP_SITE, 140, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_NOT_READ, 136, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_MAIL_LINK, 137, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_READ_ERROR, 138, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_NO_LINKS, 141, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_IMAGE_MAP, 142, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_PAGE_LIMIT, 143, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_QUEUED, 145, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_TOP_OF_CHART, 154, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_DONT_MAP, 153, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_FTP_FOLDER, 157, 16, 13, 4),
    BITMAP_ENTRY(IDB_NODE_FILE, 158, 16, 13, 4),
    BITMAP_ENTRY(IDB_ANIMATION, 161, 900, 45, 4),
    BITMAP_ENTRY(IDB_START_24, 147, 240, 211, 24),
    BITMAP_ENTRY(IDB_START_8, 164, 240, 211, 8),
    BITMAP_ENTRY(IDB_ORIENT_HORIZONTAL, 148, 50, 50, 4),
    BITMAP_ENTRY(IDB_ORIENT_VERTICAL, 149, 50, 50, 4),
    BITMAP_ENTRY(IDB_ORIENT_ORG_CHART, 150, 50, 50, 4),
    BITMAP_ENTRY(IDB_FINISH_24, 160, 300, 264, 24),
    BITMAP_ENTRY(IDB_FINISH_8, 163, 300, 264, 8),
    BITMAP_ENTRY(IDB_STATUS, 162, 8 * 130, 50, 4),
};

TEST(Bitmaps, EachIdNamesAFileOfItsSizeAndDepth) {
  auto files = RcFiles();
  EXPECT_EQ(files.size(), std::size(kBitmaps)) << "one BITMAP line per id";
  for (const Expected& e : kBitmaps) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(e.id, e.number);
    ASSERT_TRUE(files.count(e.name)) << "no BITMAP line";
    Bmp b = ReadBmp(kFolder + files[e.name]);
    EXPECT_EQ(std::make_tuple(b.width, b.height, b.bits), std::make_tuple(e.width, e.height, e.bits));
    // The pages build a palette from 2^bits entries of the table: all of them must be there.
    if (e.bits <= 8) {
      EXPECT_EQ(b.table.size(), 1u << e.bits);
    }
  }
}

// Each pair of status images is the same words, first in magenta (the step in progress), then black.
TEST(Bitmaps, StatusImagesAreMagentaThenBlackOnWhite) {
  Bmp b = ReadBmp(kFolder + RcFiles()["IDB_STATUS"]);
  ASSERT_EQ(b.width, 8 * 130);
  const Rgb white{255, 255, 255}, magenta{255, 0, 255}, black{0, 0, 0};
  for (int image = 0; image < 8; ++image) {
    SCOPED_TRACE(image);
    std::set<Rgb> ink;
    for (int y = 0; y < b.height; ++y)
      for (int x = image * 130; x < (image + 1) * 130; ++x) ink.insert(b.At(x, y));
    EXPECT_EQ(ink, (std::set<Rgb>{white, image % 2 ? black : magenta}));
    EXPECT_EQ(b.At(image * 130, 0), white);
  }
}

}  // namespace
