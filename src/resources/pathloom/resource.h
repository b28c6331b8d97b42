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

// Tree page (dialog 130) and its context menu
#define IDR_TREE_MENU           146
#define IDC_SITE_TREE           1002
#define IDC_TREE_DEPTH          1003
#define IDC_TREE_TIMEOUT        1017
#define IDC_STATUS_LIST         1032
#define IDC_ABORT_ALL           1033
#define IDC_ABORT_ACTIVE        1034
#define IDC_ACTIVE_COUNTER      1035
#define IDC_QUEUE_COUNTER       1036
#define IDC_BUSY_PICTURE        1037
#define ID_TREE_DELETE_BRANCH   32771
#define ID_TREE_EXPORT          32772
#define ID_TREE_OPEN_BROWSER    32773
#define ID_TREE_DONT_MAP        32774
#define ID_TREE_TOP_OF_CHART    32775
#define ID_TREE_COPY_URL        32776
