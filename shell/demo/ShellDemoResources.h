#pragma once

#define IDD_SHELL_DEMO 110
#define IDR_SHELL_DEMO_PAGE 210
