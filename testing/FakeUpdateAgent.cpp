#include "testing/FakeUpdateAgent.h"

#include <windows.h>

#include "testing/TestPrefixGuard.h"

namespace TestSupport {

namespace {

const wchar_t kDll[] = L"fakeupdateagent.dll";
const wchar_t kScenarioVariable[] = L"VELA_FAKE_AGENT_SCENARIO";

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    return program.substr(0, program.find_last_of(L'\\') + 1);
}

}  // namespace

std::wstring FakeUpdateAgent::Register()
{
    std::wstring refused = WhyDestructiveTestsAreRefused();
    if (!refused.empty()) return refused;
    static std::wstring outcome = [] {
        HMODULE module = LoadLibraryW((ProgramFolder() + kDll).c_str());
        if (!module) return std::wstring(L"fakeupdateagent.dll cannot be loaded, error ") + std::to_wstring(GetLastError());
        using RegisterFunction = HRESULT(STDAPICALLTYPE*)();
        auto registerServer = reinterpret_cast<RegisterFunction>(reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
        HRESULT result = registerServer ? registerServer() : E_NOINTERFACE;
        // The DLL stays loaded, so that LiveObjects can ask it.
        if (FAILED(result)) return std::wstring(L"the fake update agent cannot be registered, error ") + std::to_wstring(result);
        return std::wstring();
    }();
    return outcome;
}

FakeUpdateAgent::FakeUpdateAgent(const std::string& scenario)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wchar_t file[MAX_PATH];
    GetTempFileNameW(folder, L"fua", 0, file);
    path_ = file;
    HANDLE handle = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(handle, scenario.data(), static_cast<DWORD>(scenario.size()), &written, nullptr);
        CloseHandle(handle);
    }
    SetEnvironmentVariableW(kScenarioVariable, path_.c_str());
}

FakeUpdateAgent::~FakeUpdateAgent()
{
    SetEnvironmentVariableW(kScenarioVariable, nullptr);
    DeleteFileW(path_.c_str());
}

long FakeUpdateAgent::LiveObjects()
{
    HMODULE module = GetModuleHandleW(kDll);
    if (!module) return -1;
    using CountFunction = LONG(STDAPICALLTYPE*)();
    auto count = reinterpret_cast<CountFunction>(reinterpret_cast<void*>(GetProcAddress(module, "FakeAgentObjectCount")));
    return count ? count() : -1;
}

}  // namespace TestSupport
