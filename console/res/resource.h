#pragma once

// Resource ids of vtcon.
#define IDR_CONSOLE_MENU 4
#define IDD_CONSOLE 102
#define IDR_HOME_PAGE 104
#define IDD_ABOUT 105
#define IDI_CONSOLE 133
#define IDR_ABOUT_PAGE 134
#define IDD_OPTION 135
#define IDC_SMOOTH_SWITCH 1000

// Commands of the console's menu.
#define ID_HELP_TOPICS 32790
#define ID_APP_ABOUT_CONSOLE 32791
#define ID_HOME_PAGE 32793
#define ID_APP_EXIT_CONSOLE 32794
#define ID_OPTIONS 32796
