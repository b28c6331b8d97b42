// Pathloom's resource numbers: the one numbering table for strings, dialogs, menus and bitmaps.
#pragma once

// Dialogs (wizard pages, 308 x 181 dialog units each)
#define IDD_START_PAGE          102
#define IDD_FINISH_PAGE         106
#define IDD_TREE_PAGE           130
#define IDD_CHART_OPTIONS_PAGE  131

// Strings
#define IDS_OLE_INIT_FAILED         100
#define IDS_NO_INTERNET             102
#define IDS_INIT_FAILED             103
#define IDS_OPENING                 105
#define IDS_RESOLVING_NAME          111
#define IDS_CONNECTING_TO_SERVER    112
#define IDS_SENDING_REQUEST         113
#define IDS_RECEIVING_RESPONSE      114
#define IDS_PLOTWRIGHT_FAILED       116
#define IDS_DELETE_BRANCH           117
#define IDS_APP_TITLE               119
#define IDS_BROWSER_KEY             122
#define IDS_CONNECTING_INTERNET     123
#define IDS_CANNOT_EXPAND           124
#define IDS_PALETTE_STANDARD        126
#define IDS_SHAPE_SUMMING_JUNCTION  127
#define IDS_SHAPE_PROCESS           128
#define IDS_SHAPE_PREPARATION       129
#define IDS_SHAPE_INTERNAL_STORAGE  130
#define IDS_SHAPE_TERMINAL          131
#define IDS_ACTIVE_TASKS            132
#define IDS_QUEUED_TASKS            133
#define IDS_DONE_READING            134
#define IDS_CANNOT_OPEN_FILE        135
#define IDS_TOO_MUCH_DATA           136
#define IDS_DEPTH_RANGE             137
#define IDS_READING_LOCAL           138
#define IDS_NO_TEMPLATE             139
#define IDS_TIMEOUT_REACHED         140
#define IDS_NO_BROWSER              141
#define IDS_BROWSER_FAILED          142
#define IDS_SHAPE_DOCUMENT          143
#define IDS_TIMEOUT_RANGE           144
#define IDS_PAGE_LIMIT_RANGE        145
#define IDS_NO_DELETE_WHILE_ACTIVE  147
#define IDS_PALETTE_BASIC           148
