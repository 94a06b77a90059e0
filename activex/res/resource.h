#pragma once

// Resource ids of the ActiveX manager add-on.
#define IDD_AXM_CATEGORY_PANE 2000
#define IDD_AXM_LIST_PANE 2001
#define IDD_AXM 2002
#define IDD_AXM_PROGINFO_PANE 2003
#define IDD_AXM_APPLY_COMMENT 2013
#define IDD_AXM_BLOCK_DANGER 2030
#define IDB_AXM_UNBLOCKED 2006
#define IDB_AXM_BLOCKED 2007
// Category pictures: everything, a type, newly added.
#define IDB_AXM_CATEGORY_FIRST 2040
#define IDI_AXM 2050
#define IDR_AXM_PAGE 2060

#define IDC_AXM_MORE 3
#define IDC_AXM_LIST 1001
#define IDC_AXM_TREE 1002
#define IDC_AXM_PICTURE 1026
#define IDC_AXM_CAPTION 1027
#define IDC_AXM_NO_NOTE 1032
#define IDC_AXM_NOTE_PICTURE 2000
#define IDC_AXM_NOTE_TEXT 2001
#define IDC_AXM_DANGER_TEXT 2004
#define IDC_AXM_DANGER_FRAME 2005
