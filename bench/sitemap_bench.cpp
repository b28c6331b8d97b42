// Writing and reading a sitemap file of a 100001-node tree (1 + 100 + 100 x 999) with the
// default template, through real files.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "sitemap/sitemap_reader.h"
#include "sitemap/sitemap_writer.h"

namespace {

struct NoMessages : MessagePort {
  void ShowMessage(int) override {}
};

void Build(SiteTree& tree) {
  SiteNode* top = tree.AddChild(nullptr, "http://www.example.com/", NodeIcon::TopOfChart);
  for (int s = 0; s < 100; ++s) {
    SiteNode* section = tree.AddChild(top, "http://www.example.com/section" + std::to_string(s) + "/index.html", NodeIcon::PageWithLinks);
    for (int p = 0; p < 999; ++p)
      tree.AddChild(section, "http://www.example.com/section" + std::to_string(s) + "/page" + std::to_string(p) + ".html",
                    NodeIcon::NotRead);
  }
}

std::string TempPath() { return (std::filesystem::temp_directory_path() / "pathloom_sitemap_bench.smp").string(); }

void BM_Sitemap_Write100k(benchmark::State& state) {
  SiteTree tree;
  Build(tree);
  NoMessages messages;
  const std::string path = TempPath();
  for (auto _ : state) {
    SitemapWriter writer("/nonexistent-pathloom-dir/", messages);
    if (!writer.Write(tree, tree.FirstTopLevel(), path)) state.SkipWithError("cannot write");
  }
  const auto size = std::filesystem::file_size(path);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
  state.counters["nodes"] = static_cast<double>(tree.NodeCount());
  state.counters["file_bytes"] = static_cast<double>(size);
}

void BM_Sitemap_Read100k(benchmark::State& state) {
  const std::string path = TempPath();
  {
    SiteTree tree;
    Build(tree);
    NoMessages messages;
    SitemapWriter writer("/nonexistent-pathloom-dir/", messages);
    writer.Write(tree, tree.FirstTopLevel(), path);
  }
  NoMessages messages;
  size_t nodes = 0;
  for (auto _ : state) {
    SiteTree tree;
    SitemapReader reader(messages);
    reader.Read(tree, path);
    tree.RefreshIcons();  // as the tree page does after an import
    nodes = tree.NodeCount();
    state.PauseTiming();
    tree.Clear();
    state.ResumeTiming();
  }
  const auto size = std::filesystem::file_size(path);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
  state.counters["nodes"] = static_cast<double>(nodes);
  std::remove(path.c_str());
}

}  // namespace

BENCHMARK(BM_Sitemap_Write100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sitemap_Read100k)->Unit(benchmark::kMillisecond);
