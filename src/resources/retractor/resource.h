// Retractor's resource numbers.
#pragma once

#define IDS_TITLE               1
#define IDS_DELETING_FILES      2
#define IDS_DELETING_KEYS       3
#define IDS_CLEANING_DIRS       4
#define IDS_DELETING_SHARED     5
#define IDS_EXTERNAL_PROCESS    6
#define IDS_APP_RUNNING         59142
#define IDS_NO_MANIFEST         59145
#define IDS_CONFIRM_REMOVE      59146
#define IDS_CONFIRM_SHARED      59147

#define IDD_PROGRESS            129
#define IDC_PROGRESS_BAR        1006
#define IDC_PROGRESS_TEXT       1010

#define IDD_SHARED_FILE         134
#define IDC_YES_TO_ALL          1019
#define IDC_SHARED_TEXT         1020
#define IDC_SHARED_ICON         1021
