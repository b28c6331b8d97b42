// A scripted internet client and tree page for the crawler's tests: calls are recorded as
// text, and the test plays the client's notifications through the installed sink.
#pragma once
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "crawler/crawl_ports.h"
#include "crawler/internet_client.h"
#include "common/message_port.h"

class FakeInternetClient : public InternetClient {
public:
  std::vector<std::string> calls;
  std::set<InternetHandle> openHandles;
  InternetStatusSink* sink = nullptr;
  std::shared_ptr<ReadBuffer> buffer;  // of the last read
  bool failOpen = false;
  bool failCallback = false;
  unsigned short lastPort = 0;
  // The reply of the next QueryResponse; noStatusLine makes it fail.
  HttpResponse response{200, {}, "text/html"};
  bool noStatusLine = false;
  unsigned waitLimit = 0;  // of the last LimitWaiting

  InternetHandle Open(const std::string& agent) override {
    calls.push_back("Open " + agent);
    return failOpen ? 0 : NewHandle();
  }
  void LimitWaiting(InternetHandle, unsigned milliseconds) override { waitLimit = milliseconds; }
  bool SetStatusCallback(InternetHandle, InternetStatusSink& routine) override {
    if (failCallback) return false;
    sink = &routine;
    return true;
  }
  InternetHandle OpenUrl(InternetHandle, const std::string& url, unsigned context) override {
    calls.push_back("OpenUrl " + url + " #" + std::to_string(context));
    return 0;
  }
  InternetHandle ConnectFtp(InternetHandle, const std::string& host, unsigned short port,
                            unsigned context) override {
    lastPort = port;
    calls.push_back("ConnectFtp " + host + ":" + std::to_string(port) + " #" +
                    std::to_string(context));
    return NewHandle();
  }
  bool QueryResponse(InternetHandle, HttpResponse& reply) override {
    reply = response;
    return !noStatusLine;
  }
  void ReadFile(InternetHandle request, std::shared_ptr<ReadBuffer> into) override {
    calls.push_back("ReadFile h" + std::to_string(request));
    buffer = std::move(into);
  }
  void ChangeFtpDirectory(InternetHandle connection, const std::string& path,
                              unsigned) override {
    calls.push_back("FtpSetCurrentDirectory h" + std::to_string(connection) + " " + path);
  }
  void FindFirstFtpEntry(InternetHandle connection, const std::string& pattern,
                        unsigned) override {
    calls.push_back("FtpFindFirstFile h" + std::to_string(connection) + " " + pattern);
  }
  void FindNextFtpEntry(InternetHandle find) override {
    calls.push_back("FindNextFile h" + std::to_string(find));
  }
  void CloseHandle(InternetHandle handle) override {
    calls.push_back("CloseHandle h" + std::to_string(handle));
    openHandles.erase(handle);
  }

  InternetHandle NewHandle() {
    InternetHandle handle = nextHandle++;
    openHandles.insert(handle);
    return handle;
  }

  // What the client would report.
  void Notify(unsigned context, unsigned status, InternetHandle handle = 0) {
    sink->OnStatus(handle, context, status, StatusInfo{});
  }
  void Complete(unsigned context, InternetHandle handle, unsigned long error = 0,
                const FindEntry* entry = nullptr, std::string serverReply = {}) {
    sink->OnStatus(handle, context, StatusRequestComplete,
                   StatusInfo{error ? 0 : handle, error, entry, std::move(serverReply)});
  }
  // The open-URL request completes with a fresh request handle; returns it.
  InternetHandle CompleteOpen(unsigned context) {
    InternetHandle request = NewHandle();
    Complete(context, request);
    return request;
  }
  // As much of TEXT as the read asked for; returns that count.
  size_t CompleteRead(unsigned context, std::string_view text, unsigned long error = 0) {
    size_t n = std::min(text.size(), buffer->data.size());
    std::memcpy(buffer->data.data(), text.data(), n);
    buffer->bytesRead = static_cast<std::uint32_t>(n);
    sink->OnStatus(0, context, StatusRequestComplete, StatusInfo{0, error, nullptr});
    return n;
  }
  // A whole page, read by as many reads as it takes and the read that finds its end.
  void ReadPage(unsigned context, std::string_view text) {
    for (size_t at = 0; at < text.size();) at += CompleteRead(context, text.substr(at));
    CompleteRead(context, "");
  }
  void Entry(unsigned context, InternetHandle find, std::string name, bool directory) {
    FindEntry entry{std::move(name), directory};
    Complete(context, find, 0, &entry);
  }

private:
  InternetHandle nextHandle = 1;
};

// The tree page as the crawler sees it: everything it is told, in order.
class FakeCrawlPage : public StatusLineSink, public MessagePort, public CrawlPage, public TaskTimer {
public:
  std::vector<std::string> lines;
  std::vector<int> messages;
  std::vector<std::string> counterChanges;
  std::string activeCounter = "0 Active tasks";
  std::string queueCounter = "0 tasks in the queue";
  int busyFrames = 0;
  int posted = 0;  // task-ended messages; the test delivers them (TaskQueue::OnTaskEnded)
  int localTasks = 0;
  bool timeoutArmed = false;
  unsigned armedMilliseconds = 0;
  int arms = 0;
  int disarms = 0;
  int noRoom = 0;  // times the crawl stopped for want of room for a node

  // Runs after each line is added, as a nested message loop of the page might.
  std::function<void(const std::string&)> onLine;
  std::function<void()> onPost;

  void AddStatusLine(const std::string& line) override {
    lines.push_back(line);
    if (onLine) onLine(line);
  }
  void ShowMessage(int stringId) override { messages.push_back(stringId); }
  void ShowActiveCounter(const std::string& text) override {
    counterChanges.push_back(activeCounter = text);
  }
  void ShowQueueCounter(const std::string& text) override {
    counterChanges.push_back(queueCounter = text);
  }
  void NextBusyFrame() override { ++busyFrames; }
  void PostTaskEnded() override {
    ++posted;
    if (onPost) onPost();
  }
  void TaskWasLocal() override { ++localTasks; }
  void ArmTimeout(unsigned milliseconds) override {
    timeoutArmed = true;
    armedMilliseconds = milliseconds;
    ++arms;
  }
  void DisarmTimeout() override {
    timeoutArmed = false;
    ++disarms;
  }
  void NoRoomForNodes() override { ++noRoom; }
  // What the depth and time-out fields give when read again as a task starts.
  SettingsFieldValues fields;
  std::vector<std::string> fieldEvents;  // "read" and "complain", in order
  SettingsFieldValues RereadFields() override {
    fieldEvents.push_back("read");
    return fields;
  }
  void ComplainAboutFields() override { fieldEvents.push_back("complain"); }

  CrawlerPorts Ports(InternetClient& client) { return {client, *this, *this, *this, *this}; }
};
