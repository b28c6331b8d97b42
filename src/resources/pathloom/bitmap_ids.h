// Pathloom's bitmaps. The small ones (node icons, animation frames, orientation pictures,
// status strip) have white (255, 255, 255) as their transparent colour and are drawn from one
// 16-colour palette: load them into ILC_COLOR24 | ILC_MASK image lists with white as the mask.
#pragma once

// Node icons, 16 by 13, in the tree's image list order (NodeIcon 0 to 12)
#define IDB_NODE_PAGE_WITH_LINKS    139
#define IDB_NODE_FTP_SITE           140
#define IDB_NODE_NOT_READ           136
#define IDB_NODE_MAIL_LINK          137
#define IDB_NODE_READ_ERROR         138
#define IDB_NODE_NO_LINKS           141
#define IDB_NODE_IMAGE_MAP          142
#define IDB_NODE_PAGE_LIMIT         143
#define IDB_NODE_QUEUED             145
#define IDB_NODE_TOP_OF_CHART       154
#define IDB_NODE_DONT_MAP           153
#define IDB_NODE_FTP_FOLDER         157
#define IDB_NODE_FILE               158

// Busy animation: 15 frames of 60 by 45 side by side; frames 0 to 13 loop either way
#define IDB_ANIMATION               161

// Start page picture, 240 by 211, in 24 bits and in 8 bits with its own colour table
#define IDB_START_24                147
#define IDB_START_8                 164

// Chart options page: orientation pictures, 50 by 50, 16 colours
#define IDB_ORIENT_HORIZONTAL       148
#define IDB_ORIENT_VERTICAL         149
#define IDB_ORIENT_ORG_CHART        150

// Finish page picture, 300 by 264, in 24 bits and in 8 bits with its own colour table
#define IDB_FINISH_24               160
#define IDB_FINISH_8                163

// Finish page status strip: eight images of 130 by 50, 16 colours
#define IDB_STATUS                  162
