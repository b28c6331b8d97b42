// Pathloom's resource numbers: the one numbering table for strings, dialogs, menus and bitmaps.
#pragma once
#include "bitmap_ids.h"

// Dialogs (wizard pages, 308 x 181 dialog units each)
#define IDD_START_PAGE          102
#define IDD_FINISH_PAGE         106
#define IDD_TREE_PAGE           130
#define IDD_CHART_OPTIONS_PAGE  131

// Start page (102)
#define IDC_IMPORT                     3
#define IDC_START_URL               1000
#define IDC_DEPTH                   1003
#define IDC_STAY_IN_DOMAIN          1020
#define IDC_LIMIT_PAGES             1026
#define IDC_PAGE_LIMIT              1027
#define IDC_LINKS_ONCE              1028
#define IDC_START_PICTURE           1038

// Chart options page (131)
#define IDC_HORIZONTAL              1011
#define IDC_VERTICAL                1012
#define IDC_ORG_CHART               1013
#define IDC_COLOR_DOMAINS           1016
#define IDC_COLOR_DUPLICATES        1017
#define IDC_COLOR_NONE              1018
#define IDC_COLOR_DEPTH             1019
#define IDC_CHART_DUPLICATE_CHILDREN 1021
#define IDC_HORIZONTAL_SPACING      1024
#define IDC_VERTICAL_SPACING        1025
#define IDC_HORIZONTAL_PICTURE      1039
#define IDC_VERTICAL_PICTURE        1040
#define IDC_ORG_CHART_PICTURE       1041
#define IDC_SAVE_SITEMAP            1042
#define IDC_SITEMAP_FILE            1043
#define IDC_BROWSE                  1044
#define IDC_GENERATE_FLOWCHART      1045

// Finish page (106)
#define IDC_STATUS_LOADING          1058
#define IDC_STATUS_CHART            1045
#define IDC_PROGRESS                1019
#define IDC_STATUS_SITEMAP          1042
#define IDC_STATUS_DONE             1043
#define IDC_FINISH_TEXT             1056
#define IDC_FINISH_PICTURE          1057

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

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
#define ID_TREE_SAVE_BROKEN_LINKS 32777
