#include "testing/HostPath.h"

#include <algorithm>

namespace TestSupport {

std::wstring HostPath(const std::string& buildMachinePath)
{
    std::wstring path(buildMachinePath.begin(), buildMachinePath.end());
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

}  // namespace TestSupport
