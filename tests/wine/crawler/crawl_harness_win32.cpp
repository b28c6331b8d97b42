// crawl_harness [--depth N] [--any-domain] [--limit N] [--timeout S] [--linger S] URL
// Crawls URL as the tree page would, with a real message loop, the 70 ms tick and the
// task-ended message, prints
// every status line, message and counter change as it happens, then the final tree with
// each node's icon number and a few figures. --linger keeps it open and idle afterwards.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/strings.h"
#include "crawler/crawl.h"
#include "crawler/internet_client_win32.h"
#include "crawler/task_ended_poster_win32.h"
#include "crawler/task_queue.h"
#include "site/url.h"
#include "site/site_tree.h"
#include "common/message_port.h"

namespace {

constexpr UINT_PTR kTickTimer = 13;
constexpr UINT_PTR kTimeoutTimer = 14;

struct Settings {
  int depth = 1;
  bool stayInDomain = true;
  bool limitPages = false;
  unsigned pageLimit = 100;
  unsigned timeoutSeconds = 45;
  double lingerSeconds = 0;
  std::string url;
};

double Now() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME t) {
    return double((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

unsigned ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  unsigned count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snapshot);
  return count;
}

unsigned long WorkingSetKb() {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory)) return 0;
  return static_cast<unsigned long>(memory.WorkingSetSize / 1024);
}

// A line that tells of the crawl as it goes: written out at once, so that a run that is
// killed keeps it. One write per line: unbuffered, the C library writes (and asks whether
// the handle is a console) a character at a time, which costs Wine a server call each.
void Event(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

// The crawl and its queue, as the program makes them: the crawl first.
struct Crawling {
  Crawling(SiteTree& tree, const CrawlerPorts& ports)
      : crawl(tree, queue, ports.page, ports.timer), queue(tree, crawl, ports) {}
  Crawl crawl;
  TaskQueue queue;
};

class Harness : public StatusLineSink, public MessagePort, public CrawlPage, public TaskTimer {
public:
  explicit Harness(const Settings& settings) : settings(settings) {}

  int Run() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Harness::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PathloomCrawlHarness";
    RegisterClassA(&windowClass);
    window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                             nullptr, windowClass.hInstance, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

    TaskEndedPoster taskEnded(window);
    poster = &taskEnded;
    InternetClientWin32 client;
    threadsAtStart = ThreadCount();
    workingSetAtStart = WorkingSetKb();
    Crawling crawling(tree, CrawlerPorts{client, *this, *this, *this, *this});
    TaskQueue& taskQueue = crawling.queue;
    queue = &taskQueue;
    taskQueue.SetTimeout(settings.timeoutSeconds);

    // As the tree page starts a crawl.
    crawling.crawl.Begin(CrawlSettings{settings.depth, DomainOf(settings.url), settings.stayInDomain,
                                       settings.limitPages, settings.pageLimit});
    std::string url = settings.url;
    NormalizeUrl(url);
    SiteNode* root = tree.AddChild(nullptr, url, NodeIcon::Queued);
    crawling.crawl.CountStartPage();
    started = Now();
    SetTimer(window, kTickTimer, TaskQueue::kTickMilliseconds, nullptr);
    taskQueue.StartOrQueue(url, *root, 0);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    KillTimer(window, kTickTimer);
    KillTimer(window, kTimeoutTimer);
    idleCpu = CpuSeconds() - cpuAtFinish;
    idleSeconds = Now() - finished;
    PrintTree();
    PrintFigures(taskQueue.ContextCounter());
    queue = nullptr;
    poster = nullptr;
    return 0;
  }

  void AddStatusLine(const std::string& line) override { Event("status: %s\n", line.c_str()); }
  void ShowMessage(int stringId) override {
    Event("message: %d %s\n", stringId, StringText(stringId));
  }
  void ShowActiveCounter(const std::string& text) override { Event("counter: %s\n", text.c_str()); }
  void ShowQueueCounter(const std::string& text) override { Event("counter: %s\n", text.c_str()); }
  void NextBusyFrame() override {}
  void PostTaskEnded() override { poster->Post(); }
  void ArmTimeout(unsigned milliseconds) override {
    SetTimer(window, kTimeoutTimer, milliseconds, nullptr);
  }
  void DisarmTimeout() override { KillTimer(window, kTimeoutTimer); }

private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Harness*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && self->queue && self->poster->Handle(message, wParam, *self->queue)) {
      self->NoteEnd();
      return 0;
    }
    if (message == WM_TIMER && self && self->queue) {
      if (wParam == kTickTimer) self->Tick();
      if (wParam == kTimeoutTimer) self->queue->OnTimeout();
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  bool Idle() const { return !queue->HasActiveTask() && queue->PendingCount() == 0; }

  // The crawl's end is taken when the queue is first idle, which is mostly in the handling
  // of the last task's end, not at the tick after it.
  void NoteEnd() {
    if (finished != 0 || !Idle()) return;
    finished = Now();
    cpuAtFinish = CpuSeconds();
    Event("finished\n");
  }

  void Tick() {
    // The tick waits behind everything else in the queue: a late one shows the loop was held.
    double now = Now();
    if (finished == 0 && lastTick != 0) longestTickGap = std::max(longestTickGap, now - lastTick);
    lastTick = now;
    // Idle on both sides of a tick: its counters have shown the end too.
    bool idleBefore = Idle();
    queue->OnTick();
    if (!idleBefore || !Idle()) return;
    NoteEnd();
    if (Now() - finished >= settings.lingerSeconds) PostQuitMessage(0);
  }

  void PrintTree() {
    // Depth first in order, siblings by loop.
    for (SiteNode* top = tree.FirstTopLevel(); top; top = top->nextSibling) {
      SiteNode* node = top;
      int depth = 0;
      for (;;) {
        std::printf("tree: %d %d %s\n", depth, static_cast<int>(node->icon), node->label.c_str());
        if (node->firstChild) {
          node = node->firstChild;
          ++depth;
          continue;
        }
        while (node != top && !node->nextSibling) {
          node = node->parent;
          --depth;
        }
        if (node == top) break;
        node = node->nextSibling;
      }
    }
  }

  void PrintFigures(unsigned tasks) {
    double seconds = finished - started;
    std::printf("figure: tasks %u seconds %.3f pages_per_second %.2f\n", tasks, seconds,
                seconds > 0 ? tasks / seconds : 0.0);
    std::printf("figure: nodes %u\n", static_cast<unsigned>(tree.NodeCount()));
    std::printf("figure: longest_tick_gap_ms %.0f\n", longestTickGap * 1000);
    std::printf("figure: cpu_seconds_total %.3f cpu_seconds_idle %.3f idle_seconds %.1f\n",
                CpuSeconds(), idleCpu, idleSeconds);
    // At the start of the crawl and at the end of the idle time after it.
    std::printf("figure: threads_start %u threads_end %u working_set_start_kb %lu\n",
                threadsAtStart, ThreadCount(), workingSetAtStart);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory))
      std::printf("figure: working_set_kb %lu peak_working_set_kb %lu pagefile_kb %lu\n",
                  static_cast<unsigned long>(memory.WorkingSetSize / 1024),
                  static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
                  static_cast<unsigned long>(memory.PagefileUsage / 1024));
  }

  Settings settings;
  SiteTree tree;
  TaskQueue* queue = nullptr;
  TaskEndedPoster* poster = nullptr;
  HWND window = nullptr;
  double started = 0;
  double finished = 0;
  double cpuAtFinish = 0;
  double idleCpu = 0;
  double idleSeconds = 0;
  unsigned threadsAtStart = 0;
  unsigned long workingSetAtStart = 0;
  double lastTick = 0;
  double longestTickGap = 0;
};

bool ParseArguments(int argc, char** argv, Settings& settings) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--depth" && hasValue) {
      settings.depth = std::atoi(argv[++i]);
    } else if (arg == "--any-domain") {
      settings.stayInDomain = false;
    } else if (arg == "--limit" && hasValue) {
      settings.limitPages = true;
      settings.pageLimit = static_cast<unsigned>(std::atoi(argv[++i]));
    } else if (arg == "--timeout" && hasValue) {
      settings.timeoutSeconds = static_cast<unsigned>(std::atoi(argv[++i]));
    } else if (arg == "--linger" && hasValue) {
      settings.lingerSeconds = std::atof(argv[++i]);
    } else if (arg.rfind("--", 0) == 0 || !settings.url.empty()) {
      return false;
    } else {
      settings.url = arg;
    }
  }
  return !settings.url.empty();
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  Settings settings;
  if (!ParseArguments(argc, argv, settings)) {
    std::fprintf(stderr,
                 "usage: crawl_harness [--depth N] [--any-domain] [--limit N] [--timeout S] "
                 "[--linger S] URL\n");
    return 2;
  }
  return Harness(settings).Run();
}
