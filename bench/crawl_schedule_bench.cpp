// Whole crawls through the real task queue and reading tasks, with the page's message loop
// modelled: posted messages first, the 70 ms tick only when nothing else waits (and the clock
// jumps to it when idle), and the task-ended poster's short timer after 20 ms of readings that
// end inside the handling of the last one. The time counted is the loop's own work plus the
// waits for timers, so these figures show what scheduling allows, not what the view costs
// under Wine (crawl_bench.py measures that). Web pages come from memory at once.
//
// Arg 0: as the crawler was, every reading started by the tick and nothing kept (the tick-only
// loop reproduces that schedule, and forgetting what was kept before every start reads every
// page again). Arg 1: kept readings and the task-ended message.
//
// Also the heap the kept readings of a 5000-page local crawl hold, counted with a replaced
// operator new.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <set>
#include <unistd.h>

#include "crawler/task_queue.h"
#include "common/message_port.h"

namespace {
long long allocatedBytes = 0;
}  // namespace

#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  allocatedBytes += static_cast<long long>(size);
  auto* block = static_cast<unsigned char*>(std::malloc(size + 16));
  if (!block) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  return block + 16;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  auto* block = static_cast<unsigned char*>(p) - 16;
  allocatedBytes -= static_cast<long long>(*reinterpret_cast<std::size_t*>(block));
  std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using Clock = std::chrono::steady_clock;
using Site = std::map<std::string, std::string>;  // file name -> text

// index links every page; page I links home, its neighbours, two further on (one through an
// anchor) and its own "#top".
Site CrossLinked(int pages) {
  auto name = [&](int i) { return "page" + std::to_string((i - 1 + 10 * (pages - 1)) % (pages - 1) + 1) + ".html"; };
  auto anchor = [](const std::string& href) { return "<a href=\"" + href + "\">x</a>\n"; };
  Site site;
  std::string index;
  for (int i = 1; i < pages; ++i) index += anchor(name(i));
  site["index.html"] = index + anchor("#top");
  for (int i = 1; i < pages; ++i)
    site[name(i)] = anchor("index.html") + anchor(name(i - 1)) + anchor(name(i + 1)) +
                    anchor(name(i + 7)) + anchor(name(i + 13) + "#part") + anchor("#top");
  return site;
}

// index links page1..page(N-1); each page links home and to the next.
Site Chain(int pages) {
  Site site;
  std::string index;
  for (int i = 1; i < pages; ++i) index += "<a href=\"page" + std::to_string(i) + ".html\">p</a>\n";
  site["index.html"] = index;
  for (int i = 1; i < pages; ++i)
    site["page" + std::to_string(i) + ".html"] =
        "<a href=\"index.html\">h</a> <a href=\"page" + std::to_string(i % (pages - 1) + 1) + ".html\">n</a>";
  return site;
}

class Loop : public InternetClient, public StatusLineSink, public MessagePort, public CrawlPage,
             public TaskTimer {
public:
  static constexpr double kTick = 0.070, kRun = 0.020, kTimerMinimum = 0.010;

  Loop(Site site, bool fast) : site(std::move(site)), fast(fast), crawl(tree, queue, *this, *this),
        queue(tree, crawl, {*this, *this, *this, *this, *this}) {
    crawl.SetDepth(3);
  }

  void Crawl(const std::string& start, int depth) {
    crawl.SetDepth(depth);
    SiteNode& root = *tree.AddChild(nullptr, start, NodeIcon::Queued);
    crawl.CountStartPage();
    began = Clock::now();
    nextTick = kTick;
    queue.StartOrQueue(start, root, 0);
    for (;;) {
      if (!events.empty()) {
        auto event = std::move(events.front());
        events.pop_front();
        event();
        continue;
      }
      if (!queue.HasActiveTask() && queue.PendingCount() == 0) break;
      // Nothing waits: sleep to the next timer.
      double due = std::min(nextTick, resumeAt);
      if (due > Now()) waited += due - Now();
      if (resumeAt <= Now()) {
        resumeAt = 1e300;
        runStart = Now();
        Handle();
      } else {
        if (!fast) crawl.ForgetReadings();
        queue.OnTick();
        nextTick += kTick;
      }
    }
    seconds = Now();
  }

  double Now() const { return std::chrono::duration<double>(Clock::now() - began).count() + waited; }

  // The client: every web URL of the site answers at once, in order, through the loop.
  InternetHandle Open(const std::string&) override { return 1; }
  bool SetStatusCallback(InternetHandle, InternetStatusSink& s) override {
    sink = &s;
    return true;
  }
  InternetHandle OpenUrl(InternetHandle, const std::string& url, unsigned context) override {
    ++requests;
    distinct.insert(url);
    urls[context] = url;
    Complete(context, site.count(Name(url)) ? 2 : 0, site.count(Name(url)) ? 0 : 12029);
    return 0;
  }
  bool QueryResponse(InternetHandle, HttpResponse& response) override {
    response = HttpResponse{200, {}};
    return true;
  }
  void ReadFile(InternetHandle, std::shared_ptr<ReadBuffer> buffer) override {
    unsigned context = queue.ContextCounter();
    const std::string& text = site.at(Name(urls[context]));
    size_t& at = readAt[context];
    buffer->bytesRead = static_cast<std::uint32_t>(text.copy(buffer->data.data(), buffer->data.size(), std::min(at, text.size())));
    at += buffer->bytesRead;
    Complete(context, 2, 0);
  }
  InternetHandle ConnectFtp(InternetHandle, const std::string&, unsigned short, unsigned) override { return 0; }
  void ChangeFtpDirectory(InternetHandle, const std::string&, unsigned) override {}
  void FindFirstFtpEntry(InternetHandle, const std::string&, unsigned) override {}
  void FindNextFtpEntry(InternetHandle) override {}
  void CloseHandle(InternetHandle) override {}

  void AddStatusLine(const std::string& line) override { benchmark::DoNotOptimize(line.data()); }
  void ShowMessage(int) override {}
  void ShowActiveCounter(const std::string&) override {}
  void ShowQueueCounter(const std::string&) override {}
  void NextBusyFrame() override {}
  void ArmTimeout(unsigned) override {}
  void DisarmTimeout() override {}
  void PostTaskEnded() override {
    if (!fast) return;
    if (!handling) runStart = Now();
    if (Now() - runStart < kRun)
      events.push_back([this] { Handle(); });
    else
      resumeAt = Now() + kTimerMinimum;
  }

  Site site;
  bool fast;
  SiteTree tree;
  ::Crawl crawl;
  TaskQueue queue;
  int requests = 0;
  std::set<std::string> distinct;
  double seconds = 0;

private:
  static std::string Name(const std::string& url) { return url.substr(url.rfind('/') + 1); }
  void Complete(unsigned context, InternetHandle result, unsigned long error) {
    events.push_back([=, this] {
      sink->OnStatus(result, context, StatusRequestComplete, StatusInfo{result, error, nullptr});
    });
  }
  void Handle() {
    handling = true;
    queue.OnTaskEnded();
    handling = false;
  }

  InternetStatusSink* sink = nullptr;
  std::map<unsigned, std::string> urls;
  std::map<unsigned, size_t> readAt;  // how far each reading has read its page
  std::deque<std::function<void()>> events;
  Clock::time_point began;
  double waited = 0, nextTick = 0, resumeAt = 1e300, runStart = 0;
  bool handling = false;
};

// Local files are found by relative names: the link rules resolve at backslashes.
class LocalSite {
public:
  explicit LocalSite(const Site& site) {
    dir = std::filesystem::temp_directory_path() / ("pathloom_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    home = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    for (const auto& [name, text] : site) std::ofstream("site\\" + name) << text;
  }
  ~LocalSite() {
    std::filesystem::current_path(home);
    std::filesystem::remove_all(dir);
  }
  static std::string Start() { return "site\\index.html"; }

private:
  std::filesystem::path dir, home;
};

void Report(benchmark::State& state, const Loop& loop) {
  auto readings = static_cast<double>(loop.queue.ContextCounter());
  state.counters["readings"] = readings;
  state.counters["seconds"] = loop.seconds;
  state.counters["readings_per_s"] = readings / loop.seconds;
  if (loop.requests)
    state.counters["requests_per_page"] = double(loop.requests) / double(loop.distinct.size());
}

void BM_CrossLinkedWeb(benchmark::State& state) {
  for (auto _ : state) {
    Loop loop(CrossLinked(40), state.range(0));
    loop.Crawl("http://127.0.0.1/index.html", 3);
    Report(state, loop);
  }
}
void BM_CrossLinkedLocal(benchmark::State& state) {
  LocalSite files(CrossLinked(40));
  for (auto _ : state) {
    Loop loop({}, state.range(0));
    loop.Crawl(LocalSite::Start(), 3);
    Report(state, loop);
  }
}
void BM_Chain200Web(benchmark::State& state) {
  for (auto _ : state) {
    Loop loop(Chain(200), state.range(0));
    loop.Crawl("http://127.0.0.1/index.html", 2);
    Report(state, loop);
  }
}
void BM_Chain200Local(benchmark::State& state) {
  LocalSite files(Chain(200));
  for (auto _ : state) {
    Loop loop({}, state.range(0));
    loop.Crawl(LocalSite::Start(), 2);
    Report(state, loop);
  }
}

// What the kept readings of a 5000-page local crawl hold on the heap.
void BM_KeptBytes5000Local(benchmark::State& state) {
  LocalSite files(Chain(5000));
  for (auto _ : state) {
    Loop loop({}, true);
    loop.Crawl(LocalSite::Start(), 2);
    long long withKept = allocatedBytes;
    loop.crawl.ForgetReadings();
    state.counters["kept_bytes"] = double(withKept - allocatedBytes);
    state.counters["tree_nodes"] = double(loop.tree.NodeCount());
    Report(state, loop);
  }
}

BENCHMARK(BM_CrossLinkedWeb)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossLinkedLocal)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Chain200Web)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Chain200Local)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeptBytes5000Local)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
