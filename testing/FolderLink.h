#pragma once

#include <string>

namespace TestSupport {

enum class FolderLinkKind { Junction, SymbolicLink };

// Makes link point at the folder target; false when that cannot be done here. Wine makes neither
// kind itself but shows a Unix link to a folder as a directory reparse point, so under Wine both
// kinds are made with the native ln -s (a junction with the absolute target, a symbolic link with
// the target relative to the link's folder when both share one).
bool MakeFolderLink(const std::wstring& target, const std::wstring& link, FolderLinkKind kind);

// Makes link a symbolic link to the file target (under Wine with the native ln -s, absolute);
// false when that cannot be done here.
bool MakeFileLink(const std::wstring& target, const std::wstring& link);

// The build machine's name of a path (under Wine its Unix path); empty where there is none.
std::wstring HostNameOf(const std::wstring& path);

// Runs command with the build machine's /bin/sh under Wine (paths in it are host names, see
// HostNameOf; it must not hold double quotes) and waits for its end, at most 5 s. False when
// there is no such shell here or the command failed or did not end.
bool RunHostShell(const std::wstring& command);

}  // namespace TestSupport
