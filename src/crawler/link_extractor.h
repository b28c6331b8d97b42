// The one-pass link scanner over a page's text.
#pragma once
#include <string>
#include <string_view>

#include "common/link_list.h"

// Appends the page's links to `links`; false (nothing appended) for an error page.
bool ExtractLinks(std::string_view pageText, std::string_view base, bool isLocal, LinkList& links);
