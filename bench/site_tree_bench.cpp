// The crawl's AddLinks building a 100001-node tree (1 + 100 + 100 x 999), its destruction, and
// the tree's memory per node, labels included, counted with a replaced operator new. The crawl
// reads to depth 1, so no link is queued and only the tree's memory is counted. "Repeated" is
// the full tree of a densely linked site: every section's page links the same 999 pages.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "common/message_port.h"
#include "crawler/crawl.h"
#include "crawler/task_queue.h"
#include "site/site_tree.h"

namespace {
int64_t allocatedBytes = 0;
int64_t allocationCount = 0;
}  // namespace

// Each block carries its size in a 16-byte header, so every form of delete is counted.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#pragma GCC diagnostic ignored "-Warray-bounds"
void* operator new(std::size_t size) {
  allocatedBytes += static_cast<int64_t>(size);
  ++allocationCount;
  auto* block = static_cast<unsigned char*>(std::malloc(size + 16));
  if (!block) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  return block + 16;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  auto* block = static_cast<unsigned char*>(p) - 16;
  allocatedBytes -= static_cast<int64_t>(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

constexpr int kSections = 100;
constexpr int kPagesPerSection = 999;

struct Links {
  LinkList top;
  std::vector<LinkList> sections;
  Links() {
    for (int s = 0; s < kSections; ++s) {
      top.push_back("http://www.example.com/section" + std::to_string(s) + "/index.html");
      LinkList pages;
      for (int p = 0; p < kPagesPerSection; ++p)
        pages.push_back("http://www.example.com/section" + std::to_string(s) + "/page" + std::to_string(p) + ".html");
      sections.push_back(std::move(pages));
    }
  }
};

const Links& TheLinks() {
  static Links links;
  return links;
}

// Nothing is read: the crawl only needs a queue to exist.
class NoReading : public InternetClient, public StatusLineSink, public MessagePort, public CrawlPage,
                  public TaskTimer {
public:
  InternetHandle Open(const std::string&) override { return 0; }
  bool SetStatusCallback(InternetHandle, InternetStatusSink&) override { return false; }
  InternetHandle OpenUrl(InternetHandle, const std::string&, unsigned) override { return 0; }
  InternetHandle ConnectFtp(InternetHandle, const std::string&, unsigned short, unsigned) override { return 0; }
  bool QueryResponse(InternetHandle, HttpResponse&) override { return false; }
  void ReadFile(InternetHandle, std::shared_ptr<ReadBuffer>) override {}
  void ChangeFtpDirectory(InternetHandle, const std::string&, unsigned) override {}
  void FindFirstFtpEntry(InternetHandle, const std::string&, unsigned) override {}
  void FindNextFtpEntry(InternetHandle) override {}
  void CloseHandle(InternetHandle) override {}
  void AddStatusLine(const std::string&) override {}
  void ShowMessage(int) override {}
  void ShowActiveCounter(const std::string&) override {}
  void ShowQueueCounter(const std::string&) override {}
  void NextBusyFrame() override {}
  void PostTaskEnded() override {}
  void ArmTimeout(unsigned) override {}
  void DisarmTimeout() override {}
};

struct Crawling {
  explicit Crawling(SiteTree& tree) : crawl(tree, queue, none, none), queue(tree, crawl, {none, none, none, none, none}) {}
  NoReading none;
  Crawl crawl;
  TaskQueue queue;
};

void Build(SiteTree& tree, bool repeated = false) {
  const Links& links = TheLinks();
  Crawling crawling(tree);
  Crawl& crawl = crawling.crawl;
  crawl.Begin(CrawlSettings{1, "", false, false, 0});
  SiteNode* start = tree.AddChild(nullptr, "http://www.example.com/", NodeIcon::Queued);
  crawl.CountStartPage();
  crawl.AddLinks(*start, 0, links.top, ReadStatus::ReadOk);
  int s = 0;
  for (SiteNode* section = start->firstChild; section; section = section->nextSibling)
    crawl.AddLinks(*section, 1, links.sections[repeated ? 0 : static_cast<size_t>(s++)], ReadStatus::ReadOk);
}

void BM_AddLinks_Build100k(benchmark::State& state) {
  const bool repeated = state.range(0) != 0;
  TheLinks();
  double bytesPerNode = 0;
  double allocationsPerNode = 0;
  size_t nodes = 0;
  for (auto _ : state) {
    const int64_t bytesBefore = allocatedBytes;
    const int64_t countBefore = allocationCount;
    auto tree = std::make_unique<SiteTree>();
    Build(*tree, repeated);
    state.PauseTiming();
    nodes = tree->NodeCount();
    const int64_t treeBytes = allocatedBytes - bytesBefore - static_cast<int64_t>(sizeof(SiteTree));
    bytesPerNode = static_cast<double>(treeBytes) / static_cast<double>(nodes);
    allocationsPerNode = static_cast<double>(allocationCount - countBefore) / static_cast<double>(nodes);
    tree.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(nodes));
  state.counters["nodes"] = static_cast<double>(nodes);
  state.counters["bytes_per_node"] = bytesPerNode;
  state.counters["allocs_per_node_all"] = allocationsPerNode;
  state.counters["sizeof_SiteNode"] = sizeof(SiteNode);
}

void BM_SiteTree_Destroy100k(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    auto tree = std::make_unique<SiteTree>();
    Build(*tree);
    state.ResumeTiming();
    tree.reset();
  }
}

void BM_SiteTree_RefreshIcons100k(benchmark::State& state) {
  SiteTree tree;
  Build(tree);
  for (auto _ : state) tree.RefreshIcons();
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(tree.NodeCount()));
}

}  // namespace

BENCHMARK(BM_AddLinks_Build100k)->ArgName("repeated")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SiteTree_Destroy100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SiteTree_RefreshIcons100k)->Unit(benchmark::kMillisecond);
