// The broken-links report of a 10001-node tree (1 + 100 + 100 x 99), found and written to a real
// file as "Save Broken Links..." does: one crawl of 500 pages linked all over, a tenth of them
// broken, and one whose every link is broken and leads somewhere else.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "crawler/broken_links_page.h"

namespace {

using Kept = std::unordered_map<std::string, KeptReading>;

KeptReading Reading(bool broken) {
  KeptReading reading;
  reading.status = broken ? ReadStatus::ReadFailed : ReadStatus::ReadOk;
  if (broken) reading.reason = "404 Not Found";
  return reading;
}

// Each section's 99 links go to `pages` addresses shared by all; every `brokenEvery`-th is broken.
void Build(SiteTree& tree, Kept& kept, int pages, int brokenEvery) {
  const std::string site = "http://www.example.com/";
  SiteNode* top = tree.AddChild(nullptr, site, NodeIcon::TopOfChart);
  kept.emplace(site, Reading(false));
  for (int s = 0; s < 100; ++s) {
    std::string sectionUrl = site + "section" + std::to_string(s) + "/index.html";
    SiteNode* section = tree.AddChild(top, sectionUrl, NodeIcon::PageWithLinks);
    kept.emplace(sectionUrl, Reading(false));
    for (int p = 0; p < 99; ++p) {
      int page = (s * 37 + p * 101) % pages;
      std::string url = site + "page" + std::to_string(page) + ".html#part" + std::to_string(p);
      tree.AddChild(section, url, NodeIcon::NotRead);
      kept.emplace(site + "page" + std::to_string(page) + ".html", Reading(page % brokenEvery == 0));
    }
  }
}

void Report(benchmark::State& state, int pages, int brokenEvery) {
  SiteTree tree;
  Kept kept;
  Build(tree, kept, pages, brokenEvery);
  const std::string path = (std::filesystem::temp_directory_path() / "pathloom_broken_links_bench.html").string();
  size_t rows = 0;
  for (auto _ : state) {
    BrokenLinks found = FindBrokenLinks(tree, kept);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!WriteBrokenLinksPage(found, "2024-05-01 09:30", file)) state.SkipWithError("cannot write");
    rows = found.broken.size();
  }
  state.counters["nodes"] = static_cast<double>(tree.NodeCount());
  state.counters["broken_addresses"] = static_cast<double>(rows);
  state.counters["file_bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::remove(path.c_str());
}

void BM_BrokenLinks_10k_SharedPages(benchmark::State& state) { Report(state, 500, 10); }
void BM_BrokenLinks_10k_EveryLinkBroken(benchmark::State& state) { Report(state, 9900, 1); }

}  // namespace

BENCHMARK(BM_BrokenLinks_10k_SharedPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BrokenLinks_10k_EveryLinkBroken)->Unit(benchmark::kMillisecond);
