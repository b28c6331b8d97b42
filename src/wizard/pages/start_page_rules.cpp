#include "wizard/pages/start_page_rules.h"

#include "wizard/pages/field_rules.h"

StartField StoreStartFields(const StartPageFields& fields, StartSettings& settings) {
  settings.startUrl = fields.startUrl;
  settings.stayInDomain = fields.stayInDomain;
  settings.linksOnce = fields.linksOnce;
  std::optional<int> pageLimit = ParseIntegerField(fields.pageLimit);
  if (pageLimit) {
    settings.pageLimit = *pageLimit;
  } else if (fields.limitPages) {
    return StartField::PageLimit;
  } else if (settings.pageLimit < 1) {
    // The field is disabled: it cannot be mended by the user, so it must not hold the page.
    settings.pageLimit = StartSettings{}.pageLimit;
  }
  settings.limitPages = fields.limitPages;
  std::optional<int> depth = ParseIntegerField(fields.depth);
  if (!depth) return StartField::Depth;
  settings.depth = *depth;
  return StartField::None;
}
