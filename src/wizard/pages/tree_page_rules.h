// What the tree page decides without a window: field ranges, what a double click, the Delete
// key and the context menu do to the tree, the status list's length, the busy animation, and
// how the depth and time-out fields are read back when a task starts.
#pragma once
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "crawler/crawl.h"
#include "site/site_tree.h"
#include "wizard/pages/field_rules.h"
#include "wizard/pages/start_settings.h"

inline constexpr FieldRange kTimeoutRange{1, 500, IDS_TIMEOUT_RANGE};

// The status list's lines: the newest at the end, at most 9 (the oldest goes first). The list
// box shows them at its next refresh, so a fast crawl does not pay a redraw per line.
class StatusLog {
public:
  static constexpr size_t kMaxLines = 9;
  void Add(std::string line);
  const std::deque<std::string>& Lines() const { return lines; }
  // True once after lines were added.
  bool TakeChanged();

private:
  std::deque<std::string> lines;
  bool changed = false;
};

// What a crawl is read with, from the start page's settings as the crawl starts: the domain
// key is taken from the URL as typed, before it is normalised.
CrawlSettings CrawlSettingsOf(const StartSettings& settings);

enum class DoubleClickAction {
  Nothing,          // the node already has children
  RefuseUnreadable, // message 124: e-mail links, image maps and FTP files
  Read,
};
DoubleClickAction ActionForDoubleClick(const SiteNode& node);

enum class DeleteAction {
  RefuseWhileActive,  // message 147
  Nothing,            // no node selected
  Ask,                // the question of string 117, Yes and No
};
DeleteAction ActionForDelete(bool taskActive, const SiteNode* selected);

// String 117 ("Delete the branch %s?") with the label put in place of "%s", verbatim: a label
// may hold '%' and must never be taken as a format.
std::string DeleteQuestion(std::string_view question, std::string_view label);

struct ContextMenuState {
  bool dontMapChecked;  // the selected node is excluded from charts and sitemap files
};
ContextMenuState MenuStateFor(const SiteNode* selected);

// The browser command followed by the label cut before " (file)"; empty when no browser is
// registered (the bare label would otherwise be started as a program).
std::string BrowserCommandLine(const std::string& browserCommand, const std::string& label);

// One status line when a tree passes a million nodes: the full tree of a densely linked site
// goes on to many millions, and the start page has a choice that keeps it to one entry a link.
class LargeTreeNotice {
public:
  static constexpr size_t kNodes = 1000000;
  // True once, the first time nodes is past kNodes since the tree was begun.
  bool Due(size_t nodes);
  void Begin() { said = false; }

private:
  bool said = false;
};

// The 14 frames of the busy picture, forward 0..13 or backward 13..0, each wrapping around.
class BusyAnimation {
public:
  static constexpr int kFrames = 14;
  int Frame() const { return frame; }
  void Advance();
  void Reverse() { forward = !forward; }

private:
  int frame = 0;
  bool forward = true;
};

// When the tree view shows the nodes added since it last did. Showing takes a good part of a
// tick under Wine (the control lays out every open item and measures the text of each new
// one), so after a showing that took t ms the next waits kPauseFactor * t ms, at most
// kLongestPause: showing takes the same share of the time however fast nodes come (a count of
// waiting nodes that forced a showing made a large tree show at every tick).
// Times are milliseconds of a wrapping tick count.
class ShowPacing {
public:
  static constexpr unsigned kPauseFactor = 4;
  static constexpr unsigned kLongestPause = 300;
  bool Due(unsigned now) const;
  void Shown(unsigned now, unsigned cost);
  // Time spent later for the same showing (its paint).
  void AddCost(unsigned ms) { cost += ms; }

private:
  unsigned lastShown = 0;
  unsigned cost = 0;
};

// Reading the depth and time-out fields again when a task starts: a field that does not parse
// keeps its old value, and the first such field gives the standard message to show. The
// time-out must also lie in 0..500.
struct SettingsFields {
  std::optional<int> depth;
  std::optional<unsigned> timeoutSeconds;
  std::string complaint;  // empty when both fields parsed
  bool complaintAboutTimeout = false;
};
SettingsFields ReadSettingsFields(const std::string& depthText, const std::string& timeoutText);
