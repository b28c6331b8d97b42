// ExtractLinks throughput on a realistic 30000-byte page and on a 10 MB page with few links.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "crawler/link_extractor.h"

namespace {

// Deterministic text with the letters of English prose (many "h" and "f"), tags and attributes.
class PageMaker {
public:
  std::string Make(size_t size, size_t bytesPerLink) {
    std::string page = "<!DOCTYPE html>\n<html><head><title>Field notes from the harbour</title>\n"
                       "<link rel=\"stylesheet\" href=\"/css/site.css\">\n"
                       "<script>function show(f){ if (f.hidden) { f.hidden = false; } }</script></head>\n<body>\n";
    size_t nextLink = bytesPerLink;
    while (page.size() < size) {
      if (page.size() >= nextLink) {
        page += "<a href=\"/archive/" + std::to_string(Next() % 400) + "/index.html\" title=\"Archive\">from the archive</a>\n";
        nextLink += bytesPerLink;
      }
      page += "<p class=\"body\">";
      for (int w = 0; w < 40; ++w) {
        page += kWords[Next() % (sizeof(kWords) / sizeof(kWords[0]))];
        page += ' ';
      }
      page += "</p>\n";
      if (Next() % 5 == 0) page += "<img src=\"/img/photo" + std::to_string(Next() % 90) + ".jpg\" alt=\"harbour\" width=\"320\">\n";
    }
    page.resize(size);
    return page;
  }

private:
  uint32_t Next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
  static constexpr const char* kWords[] = {
      "the", "harbour", "fisher", "which", "of", "from", "half", "frame", "shelf", "hull", "the", "hefted",
      "fresh", "fish", "ref", "with", "height", "for", "her", "hands", "further", "shore", "of", "than",
      "after", "French", "harvest", "frequent", "fog", "refreshing", "what", "where", "when", "how", "a",
  };
  uint32_t state = 12345;
};

const std::string& Page(size_t size, size_t bytesPerLink) {
  static std::string small = PageMaker().Make(30000, 300);
  static std::string large = PageMaker().Make(10 * 1024 * 1024, 20000);
  return size == 30000 && bytesPerLink == 300 ? small : large;
}

void Run(benchmark::State& state, const std::string& page) {
  size_t links = 0;
  for (auto _ : state) {
    LinkList list;
    benchmark::DoNotOptimize(ExtractLinks(page, "http://www.example.com/notes/harbour.html", false, list));
    links = list.size();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
  state.counters["links"] = static_cast<double>(links);
}

void BM_ExtractLinks_Page30000(benchmark::State& state) { Run(state, Page(30000, 300)); }
void BM_ExtractLinks_Page10MB(benchmark::State& state) { Run(state, Page(10 * 1024 * 1024, 20000)); }

}  // namespace

BENCHMARK(BM_ExtractLinks_Page30000);
BENCHMARK(BM_ExtractLinks_Page10MB)->Unit(benchmark::kMillisecond);
