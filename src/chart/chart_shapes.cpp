// Shapes of a chart run: the master by icon, colours by depth, domain or duplicate label,
// the duplicate gate on children, and the label and link of each shape.
#include <algorithm>
#include <cstdlib>

#include "chart/chart_builder.h"
#include "plotwright/dispatch_ids.h"
#include "common/strings.h"
#include "common/text.h"
#include "site/url.h"
#include "site/labels.h"

namespace {

int MasterFor(NodeIcon icon) {
  switch (icon) {
    case NodeIcon::MailLink: return IDS_SHAPE_PREPARATION;
    case NodeIcon::ReadError: return IDS_SHAPE_SUMMING_JUNCTION;
    case NodeIcon::ImageMap: return IDS_SHAPE_TERMINAL;
    case NodeIcon::FtpFolder: return IDS_SHAPE_DOCUMENT;
    case NodeIcon::File: return IDS_SHAPE_INTERNAL_STORAGE;
    default: return IDS_SHAPE_PROCESS;
  }
}

// Pre-order over the branch of start: start's own siblings are not part of it.
template <class Visit>
void ForEachInBranch(const SiteNode* start, Visit visit) {
  for (const SiteNode* node = start; node;) {
    visit(*node);
    if (node->firstChild) {
      node = node->firstChild;
      continue;
    }
    while (node != start && !node->nextSibling) node = node->parent;
    node = node == start ? nullptr : node->nextSibling;
  }
}

// The integer value of a map entry: its leading decimal digits with an optional sign,
// 0 when there are none; kept to 32 bits the way the counter that wrote it is.
std::int32_t IntegerOf(const std::string& text) {
  size_t i = 0;
  bool negative = i < text.size() && (text[i] == '-' || text[i] == '+') && text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10u + unsigned(text[i] - '0');
  return static_cast<std::int32_t>(negative ? 0u - value : value);
}

// Colour components are 16-bit signed and wrap, never clamped: depth 9 gives (-15, 270, 255).
std::int16_t Component(std::int32_t value) { return static_cast<std::int16_t>(value); }

}  // namespace

std::string ShapeName(const std::string& label) {
  std::string url(UrlOfLabel(label));
  std::string name = url;
  if (!name.empty() && name.back() == '/') name.pop_back();
  size_t slash = name.rfind('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  if (ContainsNoCase(name, "mailto:") && url.size() >= 7 && name.size() > url.size() - 7)
    name.erase(0, name.size() - (url.size() - 7));
  return name;
}

void ChartBuilder::MarkDuplicates(const SiteNode* start) {
  ForEachInBranch(start, [this](const SiteNode& node) {
    auto [entry, added] = textMap.try_emplace(node.label, "N");
    if (!added) entry->second = 'D';
  });
}

void ChartBuilder::NumberDomains(const SiteNode* start) {
  std::int16_t& counter = ProcessChartCounters().domainCounter;
  ForEachInBranch(start, [this, &counter](const SiteNode& node) {
    if (textMap.try_emplace(DomainOf(node.label), std::to_string(counter)).second)
      counter = static_cast<std::int16_t>(counter - 50);
  });
}

int ChartBuilder::AddShape(const SiteNode& node, int depth, DispatchPtr& shape) {
  if (node.icon == NodeIcon::DontMap) return ShapeNotDrawn;
  shape = CallForObject(*document, docid::kDrop, {AutoValue::Variant(AutoValue::Text(StringText(MasterFor(node.icon))))});
  finishPage.StepProgress();
  if (!Get(*shape, shapeid::kPlaced, AutoType::Bool).integer) {
    tooMuchData = true;
    return ShapeWithoutChildren;
  }
  double x = Get(*document, docid::kDropX, AutoType::R8).real;
  Get(*document, docid::kDropY, AutoType::R8);
  if (maxX < x) maxX = x;
  if (minX > x) minX = x;
  if (colorDepth) {
    std::int16_t step = Component(30 * depth);
    SetColor(*shape, Component(255 - step), step, 255);
  }
  if (colorDomains) {
    auto entry = textMap.find(DomainOf(node.label));
    std::int16_t n = Component(entry == textMap.end() ? 0 : IntegerOf(entry->second));
    SetColor(*shape, n, Component(255 - n), 255);
  }
  int result = ShapeWithChildren;
  if (colorDuplicates || !chartDuplicateChildren) result = CheckDuplicate(*shape, node.label);
  return chartDuplicateChildren ? ShapeWithChildren : result;
}

int ChartBuilder::CheckDuplicate(DispatchObject& shape, const std::string& label) {
  auto entry = textMap.find(label);
  std::string value = entry == textMap.end() ? std::string() : entry->second;
  if (value.starts_with("N")) return 1;
  int result = 0;
  if (value.starts_with("D")) {
    std::int32_t& counter = ProcessChartCounters().duplicateCounter;
    value = std::to_string(counter);
    counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + 30u);
    textMap[label] = value;
    result = 1;
  }
  if (colorDuplicates) {
    std::int16_t n = Component(IntegerOf(value));
    SetColor(shape, n, Component(255 - n), 255);
  }
  return result;
}

void ChartBuilder::SetColor(DispatchObject& shape, std::int16_t red, std::int16_t green, std::int16_t blue) {
  AutoValue color = Call(*application, appid::kMakeColor, {AutoValue::I2(red), AutoValue::I2(green), AutoValue::I2(blue)},
                         AutoType::I4);
  Put(shape, shapeid::kFill, AutoValue::I4(color.integer));
}

void ChartBuilder::LabelShape(DispatchObject& shape, const std::string& label) {
  std::string url(UrlOfLabel(label));
  DispatchPtr link = GetObject(shape, shapeid::kLink);
  Put(*link, linkid::kAddress, AutoValue::Text(url));
  Put(*link, linkid::kCommand, AutoValue::Text(browserCommand + url));
  std::string name = ShapeName(label);
  // A name of ASCII alone may spell UTF-8 characters in escapes; any other came from a page or
  // a path in the ANSI code page and is sent as it is.
  bool ascii = std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  Put(shape, shapeid::kLabel, ascii ? AutoValue::Utf8Text(ReadableName(name)) : AutoValue::Text(name));
}
