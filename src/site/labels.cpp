#include "site/labels.h"

#include "common/text.h"

std::string_view UrlOfLabel(std::string_view label) {
  size_t mark = label.find(kFileMark);
  return mark == std::string_view::npos ? label : label.substr(0, mark);
}

bool IsUnreadableLabel(std::string_view label) {
  return ContainsNoCase(label, "mailto:") || ContainsNoCase(label, ".map") || ContainsNoCase(label, kFileMark);
}
