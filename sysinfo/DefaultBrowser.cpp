#include "sysinfo/DefaultBrowser.h"

#include <memory>

#include "core/ExceptionGuard.h"
#include "core/Registry.h"

using Microsoft::Win32::RegistryKey;
using System::String;

namespace {

const wchar_t StartMenuInternet[] = L"Software\\Clients\\StartMenuInternet";

// The text value of a key below root; empty when key or value is missing or not a text.
String ReadText(const RegistryKey& root, const wchar_t* path, const wchar_t* name)
{
    String value;
    System::TraceExceptions([&] {
        std::unique_ptr<RegistryKey> key(root.OpenSubKey(path));
        if (key) key->GetValue(name, value, false);
    });
    return value;
}

}  // namespace

String GetDefaultBrowser()
{
    return GetDefaultBrowser(*Microsoft::Win32::Registry::GetCurrentUser(), *Microsoft::Win32::Registry::GetLocalMachine());
}

String GetDefaultBrowser(const RegistryKey& currentUser, const RegistryKey& localMachine)
{
    // A user's key without a value names no browser; the machine's choice then holds.
    String program = ReadText(currentUser, StartMenuInternet, L"");
    if (program.IsEmpty()) program = ReadText(localMachine, StartMenuInternet, L"");
    if (program.IsEmpty()) return L"알수없음 ";

    String lower = program.ToLower();
    String name = program;
    String version;
    if (lower == L"iexplore.exe") {
        name = L"인터넷 익스플로러";
        // From version 10 on, "Version" stays at 9.x and the true one is "svcVersion".
        version = ReadText(localMachine, L"SOFTWARE\\Microsoft\\Internet Explorer", L"svcVersion");
        if (version.IsEmpty()) version = ReadText(localMachine, L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version");
    } else if (lower == L"firefox.exe") {
        name = L"파이어폭스";
        version = ReadText(localMachine, L"Software\\Mozilla\\Mozilla Firefox", L"CurrentVersion");
    } else if (lower == L"safari.exe") {
        name = L"사파리";
    } else if (lower == L"opera.exe") {
        name = L"오페라";
    }
    return name + L" " + version;
}
