#include "plotwright/document_model.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr Master kMasters[] = {Master::Process,     Master::Document,        Master::Terminal,
                               Master::Preparation, Master::SummingJunction, Master::InternalStorage};

bool SameTextCaseBlind(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return i == a.size() && !b[i];
}

}  // namespace

std::optional<Master> MasterByName(const std::string& name) {
  for (Master m : kMasters)
    if (SameTextCaseBlind(name, MasterName(m))) return m;
  return std::nullopt;
}

const char* MasterName(Master master) {
  switch (master) {
    case Master::Process: return "Process";
    case Master::Document: return "Document";
    case Master::Terminal: return "Terminal";
    case Master::Preparation: return "Preparation";
    case Master::SummingJunction: return "Summing Junction";
    case Master::InternalStorage: return "Internal Storage";
  }
  return "Process";
}

Bounds Bounds::Union(const Bounds& o) const {
  return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
}

std::string HoverText(const Shape& s) {
  if (s.linkAddress.empty() || s.linkAddress == s.label) return s.label;
  return s.label.empty() ? s.linkAddress : s.label + "\n" + s.linkAddress;
}

bool OnPage(double x, double y) { return x >= 0.0 && x <= kPageExtent && y >= 0.0 && y <= kPageExtent; }
