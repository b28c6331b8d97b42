// The start page's rules: storing its controls into the settings.
#pragma once
#include <string>

#include "wizard/pages/field_rules.h"
#include "wizard/pages/start_settings.h"

inline constexpr FieldRange kPageLimitRange{1, 5000, IDS_PAGE_LIMIT_RANGE};

// The start page's controls as the user left them.
struct StartPageFields {
  std::string startUrl;
  bool stayInDomain = true;
  std::string pageLimit;
  bool limitPages = false;
  std::string depth;
  bool linksOnce = false;
};

// The field whose text is not an integer ("Please enter an integer."), or None.
enum class StartField { None, PageLimit, Depth };

// Stores the controls in the order startUrl, stayInDomain, linksOnce, pageLimit, limitPages, depth. It stops
// at an integer field without an integer: what came before is stored, the rest keep their values.
// An unticked page limit is in no use and cannot be edited: its bad text keeps the old value (or
// the default when the old one was the -1 of an empty field) instead of stopping the store.
StartField StoreStartFields(const StartPageFields& fields, StartSettings& settings);

// Next is offered exactly while there is a URL to read.
inline bool StartNextEnabled(const StartSettings& settings) { return !settings.startUrl.empty(); }
