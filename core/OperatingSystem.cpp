#include "core/OperatingSystem.h"

namespace System {

OperatingSystem::OperatingSystem(PlatformID platform, const Version& version, const String& servicePack)
    : platform_(platform), version_(version), servicePack_(servicePack)
{
}

String OperatingSystem::ToString() const
{
    String name;
    switch (platform_) {
    case Win32S: name = L"Microsoft Win32S "; break;
    case Win32Windows: name = L"Microsoft Windows 98 "; break;
    case Win32NT: name = L"Microsoft Windows NT "; break;
    default: name = L"<unknown> "; break;
    }
    if (servicePack_.IsEmpty()) return name + version_.ToString();
    return name + String::Format(L"%d.%d.%d ", version_.GetMajor(), version_.GetMinor(), version_.GetBuild()) +
           servicePack_;
}

}  // namespace System
