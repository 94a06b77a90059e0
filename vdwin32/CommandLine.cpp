#include "vdwin32/CommandLine.h"

#include <windows.h>

#include <vector>

#include "core/Environment.h"

namespace Vela {
namespace Win32 {

using System::String;

namespace {

bool IsFile(const String& path)
{
    DWORD attributes = GetFileAttributesW(path.GetBuffer());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// "C:\..." or "\\server\share\...": a path that names one place whatever the current folder.
bool IsAbsolute(const String& path)
{
    if (path.GetLength() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) return true;
    return path.StartsWith(L"\\\\");
}

bool HasExtension(const String& path)
{
    int separator = path.LastIndexOf(L'\\');
    if (path.LastIndexOf(L'/') > separator) separator = path.LastIndexOf(L'/');
    return path.LastIndexOf(L'.') > separator;
}

bool SearchPathFinds(const String& name)
{
    std::vector<wchar_t> found(MAX_PATH);
    for (;;) {
        DWORD length = SearchPathW(nullptr, name.GetBuffer(), nullptr, static_cast<DWORD>(found.size()), found.data(), nullptr);
        if (length == 0) return false;
        if (length < found.size()) return IsFile(String(found.data(), static_cast<int>(length)));
        found.resize(length);
    }
}

}  // namespace

CommandLine::CommandLine(const String& commandLine, const String& baseFolder)
    : commandLine_(commandLine), baseFolder_(baseFolder)
{
}

bool CommandLine::CandidateExists(const String& candidate) const
{
    if (candidate.IsEmpty()) return false;
    std::vector<String> names{candidate};
    if (!HasExtension(candidate)) names.push_back(candidate + L".exe");
    for (const String& name : names) {
        if (IsAbsolute(name)) {
            if (IsFile(name)) return true;
            continue;
        }
        if (!baseFolder_.IsEmpty()) {
            String folder = baseFolder_.EndsWith(L"\\") ? baseFolder_ : baseFolder_ + L"\\";
            if (IsFile(folder + name)) return true;
        }
        if (SearchPathFinds(name)) return true;
    }
    return false;
}

bool CommandLine::Exists() const
{
    String text = System::Environment::ExpandEnvironmentVariables(commandLine_).Trim();
    if (text.IsEmpty()) return false;

    if (text[0] == L'"') {
        int close = text.IndexOf(L'"', 1);
        String program = close < 0 ? text.Substring(1) : text.Substring(1, close - 1);
        return CandidateExists(program.Trim());
    }

    // Unquoted: the program ends at some space, or the line is all program.
    for (int space = text.IndexOf(L' '); space >= 0; space = text.IndexOf(L' ', space + 1)) {
        if (CandidateExists(text.Substring(0, space))) return true;
    }
    return CandidateExists(text);
}

}  // namespace Win32
}  // namespace Vela
