#pragma once

#include "core/CoreApi.h"
#include "core/Object.h"
#include "core/String.h"
#include "core/Version.h"

namespace System {

enum PlatformID { Win32S = 0, Win32Windows = 1, Win32NT = 2 };

// The platform and version of the running operating system.
class VAPCORE_API OperatingSystem : public Object {
public:
    OperatingSystem(PlatformID platform, const Version& version, const String& servicePack);

    PlatformID GetPlatform() const { return platform_; }
    // major.minor.build.revision, the revision being service-pack major << 16 | minor.
    Version GetVersion() const { return version_; }
    // Such as "Service Pack 1"; empty without one.
    String GetServicePack() const { return servicePack_; }
    // Such as "Microsoft Windows NT 6.1.7601 Service Pack 1".
    String ToString() const override;

private:
    PlatformID platform_;
    Version version_;
    String servicePack_;
};

}  // namespace System
