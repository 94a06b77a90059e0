#include "core/Application.h"

#include <windows.h>

#include <initializer_list>
#include <memory>
#include <mutex>
#include <vector>

#include "core/Environment.h"
#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/Registry.h"
#include "core/Trace.h"
#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

namespace System {

using Diagnostics::Trace;
using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using Microsoft::Win32::Win32Exception;

namespace {

const wchar_t kSuiteKey[] = L"Software\\Vela\\Toolbox";
const wchar_t kLibraryVersion[] = VELA_PRODUCT_VERSION;
constexpr DWORD kUpdateCheckTimeout = 120 * 1000;
constexpr DWORD kTerminationWait = 5000;
// Longest path the platform allows, NUL included.
constexpr size_t kLongestPath = 32768;

struct ServerSetting {
    const wchar_t* valueName;
    const wchar_t* defaultUrl;
};

// In the order of Application::Server.
const ServerSetting kServers[] = {
    {L"InformationServer", L"http://info.velatoolbox.co.kr"},
    {L"UpdateServer", L"http://update.velatoolbox.co.kr"},
    {L"HomePage", L"http://www.velatoolbox.co.kr"},
    {L"GuideServer", L"http://www.velatoolbox.co.kr/guide"},
    {L"RedistributableServer", L"http://download.windowsupdate.com"},
};

struct UpdateSettings {
    std::mutex lock;
    String url;
    String updaterPath;
};

UpdateSettings& Updating()
{
    static UpdateSettings settings;
    return settings;
}

// Quotes one argument so that the platform's command-line parser gives it back unchanged,
// also when it ends with a backslash or holds quotes.
std::wstring QuoteArgument(const String& value)
{
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : value.GetStdString()) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes escape only a following quote: double them there, and escape the quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

bool IsFolder(const String& path)
{
    DWORD attributes = GetFileAttributesW(path.GetBuffer());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void CreateFolderWithParents(const String& path)
{
    if (IsFolder(path)) return;
    int parentEnd = path.LastIndexOf(L'\\');
    if (parentEnd > 0) CreateFolderWithParents(path.Substring(0, parentEnd));
    if (!CreateDirectoryW(path.GetBuffer(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        Win32Exception::ThrowLastError(L"Cannot create the folder " + path);
    if (!IsFolder(path)) throw new IO::IOException(L"The path " + path + L" exists but is not a folder.");
}

// Opens the suite's key under root for writing, creating it when missing. A key that the user
// may read but not write (the machine's key for a standard user) is opened for reading.
RegistryKey* OpenSuiteKey(RegistryKey* root)
{
    RegistryKey* key = nullptr;
    try {
        key = root->OpenSubKey(kSuiteKey, true);
    } catch (Exception* caught) {
        auto* failure = dynamic_cast<Win32Exception*>(caught);
        if (!failure || failure->GetNativeErrorCode() != ERROR_ACCESS_DENIED) throw;
        delete caught;
        key = root->OpenSubKey(kSuiteKey, false);
    }
    return key ? key : root->CreateSubKey(kSuiteKey);
}

// Starts the updater with a command line of its path and the arguments, of which all but the
// first (the command word) are quoted. A null handle when it did not start (traced).
UniqueHandle StartUpdater(const String& updater, std::initializer_list<String> arguments, const wchar_t* operation)
{
    std::wstring commandLine = QuoteArgument(updater);
    bool command = true;
    for (const String& argument : arguments) {
        commandLine += L' ';
        commandLine += command ? argument.GetStdString() : QuoteArgument(argument);
        command = false;
    }
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(updater.GetBuffer(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        Trace::WriteLine(String::Format(L"%s: cannot start %s: %s", operation, updater.GetBuffer(),
                                        Win32Exception::GetSystemMessage(GetLastError()).GetBuffer()));
        return UniqueHandle();
    }
    UniqueHandle thread(process.hThread);
    return UniqueHandle(process.hProcess);
}

// The update address and the updater, or false (traced) when either is missing.
bool PrepareUpdater(String& url, String& updater, const wchar_t* operation)
{
    url = Application::GetUpdateUrl();
    updater = Application::GetUpdaterPath();
    if (url.IsEmpty()) {
        Trace::WriteLine(String::Format(L"%s: no update address is set", operation));
        return false;
    }
    DWORD attributes = GetFileAttributesW(updater.GetBuffer());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Trace::WriteLine(String::Format(L"%s: the updater %s is missing", operation, updater.GetBuffer()));
        return false;
    }
    return true;
}

}  // namespace

String Application::GetExecutablePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) Win32Exception::ThrowLastError(L"Cannot get the path of the executable");
        // A path that filled the buffer may have been cut short.
        if (length < buffer.size()) return String(buffer.data(), static_cast<int>(length));
        if (buffer.size() >= kLongestPath)
            Win32Exception::Throw(ERROR_INSUFFICIENT_BUFFER, L"Cannot get the path of the executable");
        buffer.resize(buffer.size() * 2);
    }
}

String Application::GetStartupPath()
{
    String path = GetExecutablePath();
    int end = path.LastIndexOf(L'\\');
    return end < 0 ? String() : path.Substring(0, end);
}

String Application::GetCommonAppDataPath()
{
    String root = Environment::GetFolderPath(Environment::CommonApplicationData);
    if (root.IsEmpty()) throw new IO::IOException(L"The shell names no common application data folder.");
    // Drive roots keep their backslash; every other folder has none.
    String path = (root.EndsWith(L"\\") ? root : root + L"\\") + L"Vela\\Toolbox";
    CreateFolderWithParents(path);
    return path;
}

RegistryKey* Application::GetCommonAppDataRegistry() { return OpenSuiteKey(Registry::GetLocalMachine()); }

RegistryKey* Application::GetUserAppDataRegistry() { return Registry::GetCurrentUser()->CreateSubKey(kSuiteKey); }

String Application::GetProductVersion()
{
    String path = GetExecutablePath();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.GetBuffer(), &ignored);
    if (size == 0) return kLibraryVersion;
    std::vector<uint8_t> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!GetFileVersionInfoW(path.GetBuffer(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) || !info ||
        infoSize < sizeof(VS_FIXEDFILEINFO) || info->dwSignature != VS_FFI_SIGNATURE)
        return kLibraryVersion;
    return String::Format(L"%u.%u.%u.%u", HIWORD(info->dwProductVersionMS), LOWORD(info->dwProductVersionMS),
                          HIWORD(info->dwProductVersionLS), LOWORD(info->dwProductVersionLS));
}

String Application::GetServerUrl(Server server)
{
    int index = static_cast<int>(server);
    if (index < 0 || index >= static_cast<int>(sizeof kServers / sizeof kServers[0]))
        throw new ArgumentOutOfRangeException(String::Format(L"Unknown server %d.", index));
    const ServerSetting& setting = kServers[index];
    String url = setting.defaultUrl;
    // A setting that cannot be read must not keep the suite from its servers: use the default.
    TraceExceptions([&] {
        std::unique_ptr<RegistryKey> key(Registry::GetLocalMachine()->OpenSubKey(kSuiteKey));
        String value;
        if (key && key->GetValue(setting.valueName, value, true) && !value.Trim().IsEmpty()) url = value.Trim();
    });
    int length = url.GetLength();
    while (length > 0 && url[length - 1] == L'/') --length;
    return url.Substring(0, length);
}

void Application::SetUpdateUrl(const String& url)
{
    std::lock_guard<std::mutex> guard(Updating().lock);
    Updating().url = url;
}

String Application::GetUpdateUrl()
{
    std::lock_guard<std::mutex> guard(Updating().lock);
    return Updating().url;
}

void Application::SetUpdaterPath(const String& path)
{
    std::lock_guard<std::mutex> guard(Updating().lock);
    Updating().updaterPath = path;
}

String Application::GetUpdaterPath()
{
    {
        std::lock_guard<std::mutex> guard(Updating().lock);
        if (!Updating().updaterPath.IsEmpty()) return Updating().updaterPath;
    }
    return GetStartupPath() + L"\\vapup.exe";
}

bool Application::HasUpdate()
{
    const wchar_t* operation = L"HasUpdate()";
    String url;
    String updater;
    if (!PrepareUpdater(url, updater, operation)) return false;
    UniqueHandle process = StartUpdater(updater, {L"check", url, GetStartupPath()}, operation);
    if (!process) return false;
    DWORD waited = WaitForSingleObject(process.Get(), kUpdateCheckTimeout);
    if (waited == WAIT_TIMEOUT) {
        Trace::WriteLine(String::Format(L"%s: the updater did not answer in time and is ended", operation));
        if (TerminateProcess(process.Get(), 0)) WaitForSingleObject(process.Get(), kTerminationWait);
        return false;
    }
    DWORD exitCode = 0;
    if (waited != WAIT_OBJECT_0 || !GetExitCodeProcess(process.Get(), &exitCode)) {
        Trace::WriteLine(String::Format(L"%s: cannot learn the updater's answer: %s", operation,
                                        Win32Exception::GetSystemMessage(GetLastError()).GetBuffer()));
        return false;
    }
    return exitCode == 1;
}

bool Application::Update(bool wait)
{
    const wchar_t* operation = L"Update()";
    String url;
    String updater;
    if (!PrepareUpdater(url, updater, operation)) return false;
    UniqueHandle process = StartUpdater(updater, {L"update", url, GetStartupPath(), GetExecutablePath()}, operation);
    if (!process) return false;
    if (wait && WaitForSingleObject(process.Get(), INFINITE) != WAIT_OBJECT_0)
        Trace::WriteLine(String::Format(L"%s: cannot wait for the updater: %s", operation,
                                        Win32Exception::GetSystemMessage(GetLastError()).GetBuffer()));
    return true;
}

}  // namespace System
