#pragma once

#include "core/CoreApi.h"
#include "core/Object.h"
#include "core/String.h"

namespace System {

// A four-part version number; parts that were not given are -1 and sort first, as "1.2" < "1.2.0".
class VAPCORE_API Version : public Object {
public:
    Version() = default;
    Version(int major, int minor);
    Version(int major, int minor, int build);
    Version(int major, int minor, int build, int revision);
    // Two to four dot-separated non-negative numbers; anything else raises ArgumentException.
    explicit Version(const String& text);

    int GetMajor() const { return major_; }
    int GetMinor() const { return minor_; }
    int GetBuild() const { return build_; }
    int GetRevision() const { return revision_; }

    static int Compare(const Version& a, const Version& b);
    bool operator==(const Version& other) const { return Compare(*this, other) == 0; }
    bool operator!=(const Version& other) const { return Compare(*this, other) != 0; }
    bool operator<(const Version& other) const { return Compare(*this, other) < 0; }
    bool operator<=(const Version& other) const { return Compare(*this, other) <= 0; }
    bool operator>(const Version& other) const { return Compare(*this, other) > 0; }
    bool operator>=(const Version& other) const { return Compare(*this, other) >= 0; }

    bool Equals(const Object* other) const override;
    int64_t GetHashCode() const override;
    String ToString() const override;

private:
    int major_ = 0;
    int minor_ = 0;
    int build_ = -1;
    int revision_ = -1;
};

}  // namespace System
