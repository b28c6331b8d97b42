// Pathloom's resource numbers: the one numbering table for strings, dialogs, menus and bitmaps.
#pragma once
#include "bitmap_ids.h"

// Dialogs (wizard pages, 308 x 181 dialog units each)
#define IDD_START_PAGE          102
#define IDD_FINISH_PAGE         106
#define IDD_TREE_PAGE           130
#define IDD_CHART_OPTIONS_PAGE  131

// Strings: made from strings.txt at build time
#include "string_ids.h"
