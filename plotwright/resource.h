// Plotwright's resource numbers.
#pragma once

#define IDR_MAINMENU            100
#define IDR_ACCELERATORS        101

#define IDM_SAVE_SVG            1001
#define IDM_EXIT                1002
#define IDM_ZOOM_IN             1010
#define IDM_ZOOM_OUT            1011
#define IDM_ZOOM_ACTUAL         1012
#define IDM_ZOOM_FIT            1013

#define IDS_TITLE               1
#define IDS_BAD_SWITCH          2
#define IDS_SAVE_FAILED         3
#define IDS_NOTHING_TO_SAVE     4
#define IDS_FOLDER              5
#define IDS_SAVED               6
#define IDS_COUNTS              7
#define IDS_ZOOM                8
#define IDS_WAITING             9
#define IDS_RUNNING             10
#define IDS_RUN_ABORTED         11
#define IDS_SVG_FILTER          12
#define IDS_NO_CLASS            13
#define IDS_NO_JOURNAL          14
#define IDS_NO_LINK             15
#define IDS_NO_PAGE             16
#define IDS_LINK_REFUSED        17
#define IDS_LINK_OPENED         18
#define IDS_LINK_FAILED         19
