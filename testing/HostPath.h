#pragma once

#include <string>

namespace TestSupport {

// A path of the build machine as the tests see it: under Wine the Linux root is drive Z, so
// "/work/build" becomes "Z:\work\build"; a Windows path stays as it is.
std::wstring HostPath(const std::string& buildMachinePath);

// The folder of the running program: the test programs and the libraries built beside them.
std::wstring ProgramFolder();

}  // namespace TestSupport
