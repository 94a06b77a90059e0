#pragma once

#define IDD_SHELL_TEST 100
#define IDR_SHELL_TEST_PAGE 200
