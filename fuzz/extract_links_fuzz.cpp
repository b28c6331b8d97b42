// libFuzzer target: the link scanner with the URL resolution behind it.
// Input: one flag byte (bit 0: local page), a base up to the first newline, then the page text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crawler/link_extractor.h"
#include "site/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool isLocal = data[0] & 1;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string_view base = isLocal ? "C:\\site\\index.html" : "http://www.example.com/dir/page.html";
  size_t newline = rest.find('\n');
  if ((data[0] & 2) && newline != std::string_view::npos && newline < 256) {
    base = rest.substr(0, newline);
    rest.remove_prefix(newline + 1);
  }
  LinkList links = {"kept"};
  const bool read = ExtractLinks(rest, base, isLocal, links);
  if (links.empty() || links.front() != "kept") std::abort();
  if (!read && links.size() != 1) std::abort();  // an error page appends nothing
  if (links.size() - 1 > rest.size() / 4 + 1) std::abort();  // each link needs its own "HREF" or "SRC"
  return 0;
}
