#pragma once

#define IDD_TEST_ADDON 3000
#define IDD_STATE_ADDON 3001
// No module has this template, so creating a dialog from it fails.
#define IDD_ABSENT 3999
#define IDR_TEST_ADDON_PAGE 3100
#define IDC_STATE_TEXT 3200
