#pragma once

#define IDD_FORM 100
#define IDD_PAGE_ONE 200
#define IDD_PAGE_TWO 201
#define IDD_BAR 300
#define IDD_PROBE 500
#define IDC_NAME 1000
#define IDC_AGREE 1001
#define IDC_COUNT 1002
#define IDC_PROBE_TEXT 1003
