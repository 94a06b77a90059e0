#pragma once

// Resource ids of the process manager add-on. Dialog templates 2002, 2003, 2004 and 2007 belong to
// the detail sheet, which brings its own resources.
#define IDD_PROCESS_INFO 102
#define IDD_PROCESS_MANAGER 2000
#define IDR_PROCESS_PAGE 2001
#define IDR_PROCESS_MENU 2008

#define IDC_PROCESS_LIST 1001
#define IDC_CPU_VALUE 2006
#define IDC_CPU_CAPTION 2008
#define IDC_MEMORY_VALUE 2009
#define IDC_MEMORY_CAPTION 2010
#define IDC_CPU_GRAPH 2004
#define IDC_MEMORY_GRAPH 2007
#define IDC_PROCESS_DETAILS 2003
#define IDC_PROCESS_INFO_PANE 1050

#define ID_PROCESS_SHOW_INFO 32772
#define ID_PROCESS_END 32774
