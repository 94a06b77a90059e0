#include "core/Version.h"

#include "core/Convert.h"
#include "core/Exception.h"

namespace System {

namespace {

int CheckedPart(int value, const wchar_t* name)
{
    if (value < 0) throw new ArgumentOutOfRangeException(name);
    return value;
}

}  // namespace

Version::Version(int major, int minor)
    : major_(CheckedPart(major, L"major")), minor_(CheckedPart(minor, L"minor"))
{
}

Version::Version(int major, int minor, int build) : Version(major, minor) { build_ = CheckedPart(build, L"build"); }

Version::Version(int major, int minor, int build, int revision) : Version(major, minor, build)
{
    revision_ = CheckedPart(revision, L"revision");
}

Version::Version(const String& text)
{
    Array<String> parts = text.Split(L".");
    if (parts.GetLength() < 2 || parts.GetLength() > 4)
        throw new ArgumentException(L"A version has two to four parts: " + text);
    int values[4] = {0, 0, -1, -1};
    for (int i = 0; i < parts.GetLength(); ++i) {
        String part = parts[i].Trim();
        bool digits = !part.IsEmpty();
        for (int c = 0; c < part.GetLength(); ++c) digits = digits && part[c] >= L'0' && part[c] <= L'9';
        if (!digits) throw new ArgumentException(L"A version part is not a number: " + text);
        values[i] = Convert::ToInt32(part);
    }
    major_ = values[0];
    minor_ = values[1];
    build_ = values[2];
    revision_ = values[3];
}

int Version::Compare(const Version& a, const Version& b)
{
    const int left[] = {a.major_, a.minor_, a.build_, a.revision_};
    const int right[] = {b.major_, b.minor_, b.build_, b.revision_};
    for (int i = 0; i < 4; ++i) {
        if (left[i] != right[i]) return left[i] < right[i] ? -1 : 1;
    }
    return 0;
}

bool Version::Equals(const Object* other) const
{
    const Version* version = dynamic_cast<const Version*>(other);
    return version && *this == *version;
}

int64_t Version::GetHashCode() const
{
    return (static_cast<int64_t>(major_) << 48) ^ (static_cast<int64_t>(minor_) << 32) ^
           (static_cast<int64_t>(build_) << 16) ^ revision_;
}

String Version::ToString() const
{
    String text = String::Format(L"%d.%d", major_, minor_);
    if (build_ >= 0) text += String::Format(L".%d", build_);
    if (revision_ >= 0) text += String::Format(L".%d", revision_);
    return text;
}

}  // namespace System
