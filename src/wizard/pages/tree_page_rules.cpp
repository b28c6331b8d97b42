#include "wizard/pages/tree_page_rules.h"

#include <algorithm>

#include "site/labels.h"
#include "site/url.h"

namespace {

constexpr int kTimeoutFieldLowest = 0;
constexpr unsigned kTimeoutFieldHighest = 500;

}  // namespace

CrawlSettings CrawlSettingsOf(const StartSettings& settings) {
  // An empty page limit field is -1, taken as an unsigned number: no limit in practice.
  return {settings.depth, DomainOf(settings.startUrl), settings.stayInDomain, settings.limitPages,
          static_cast<unsigned>(settings.pageLimit), settings.linksOnce};
}

DoubleClickAction ActionForDoubleClick(const SiteNode& node) {
  if (node.firstChild) return DoubleClickAction::Nothing;
  if (IsUnreadableLabel(node.label)) return DoubleClickAction::RefuseUnreadable;
  return DoubleClickAction::Read;
}

DeleteAction ActionForDelete(bool taskActive, const SiteNode* selected) {
  if (taskActive) return DeleteAction::RefuseWhileActive;
  return selected ? DeleteAction::Ask : DeleteAction::Nothing;
}

std::string DeleteQuestion(std::string_view question, std::string_view label) {
  std::string text(question);
  if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, label);
  return text;
}

ContextMenuState MenuStateFor(const SiteNode* selected) {
  return {selected && selected->icon == NodeIcon::DontMap};
}

std::string BrowserCommandLine(const std::string& browserCommand, const std::string& label) {
  if (browserCommand.empty()) return {};
  return browserCommand + std::string(UrlOfLabel(label));
}

void StatusLog::Add(std::string line) {
  if (lines.size() >= kMaxLines) lines.pop_front();
  lines.push_back(std::move(line));
  changed = true;
}

bool StatusLog::TakeChanged() {
  bool was = changed;
  changed = false;
  return was;
}

void BusyAnimation::Advance() {
  if (forward)
    frame = frame == kFrames - 1 ? 0 : frame + 1;
  else
    frame = frame == 0 ? kFrames - 1 : frame - 1;
}

bool LargeTreeNotice::Due(size_t nodes) {
  if (said || nodes <= kNodes) return false;
  said = true;
  return true;
}

bool ShowPacing::Due(unsigned now) const {
  return now - lastShown >= std::min(cost * kPauseFactor, kLongestPause);
}

void ShowPacing::Shown(unsigned now, unsigned showCost) {
  lastShown = now;
  cost = showCost;
}

SettingsFields ReadSettingsFields(const std::string& depthText, const std::string& timeoutText) {
  SettingsFields fields;
  fields.depth = ParseIntegerField(depthText);
  if (!fields.depth) {
    fields.complaint = kEnterInteger;
    return fields;
  }
  auto timeout = ParseUnsignedField(timeoutText);
  if (!timeout)
    fields.complaint = kEnterPositiveInteger;
  else if (*timeout > kTimeoutFieldHighest)  // the lowest, 0, cannot be undercut
    fields.complaint = IntegerRangeMessage(kTimeoutFieldLowest, kTimeoutFieldHighest);
  else
    fields.timeoutSeconds = timeout;
  fields.complaintAboutTimeout = !fields.complaint.empty();
  return fields;
}
