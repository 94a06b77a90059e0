#pragma once

#include <string>

namespace TestSupport {

// True when the program runs under Wine.
bool IsWine();

// Tests that change fixed machine locations (HKCR\CLSID, the profile's folders, the recycle bin,
// the credential store) call this first and skip with the answer when it is not empty. Under Wine
// they may run only inside the test run's own prefix: VELA_TEST_PREFIX must name the prefix the
// program runs in. On Windows they run only when VELA_ALLOW_DESTRUCTIVE_TESTS is 1.
std::wstring WhyDestructiveTestsAreRefused();

// Tests that empty the recycle bin call this first and skip with the answer when it is not empty.
// They run only under Wine, in the test prefix, with the bin (the trash of XDG_DATA_HOME) kept
// inside that prefix: on Windows, and in any other Wine setup, the bin holds the user's own files.
std::wstring WhyEmptyingTheRecycleBinIsRefused();

}  // namespace TestSupport
