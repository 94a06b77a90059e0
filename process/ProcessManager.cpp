#include "process/ProcessManager.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>
#include <wtsapi32.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/UniqueResource.h"
#include "startup/CVersion.h"

using System::String;
using System::UniqueHandle;
using System::UniqueRegistryKey;

namespace {

constexpr uint32_t IdleProcessId = 0;
constexpr uint64_t IdleMemory = 16384;
constexpr DWORD QueryAndRead = PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;
constexpr ULONG ProcessBreakOnTerminationClass = 29;

struct WtsMemoryDeleter {
    void operator()(void* memory) const { WTSFreeMemory(memory); }
};

String LookupUser(PSID sid)
{
    if (!sid || !IsValidSid(sid)) return String();
    wchar_t name[260], domain[260];
    DWORD nameLength = 260, domainLength = 260;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, sid, name, &nameLength, domain, &domainLength, &use)) return String();
    return String(name);
}

String GetProcessPath(HANDLE process)
{
    HMODULE modules[512];
    DWORD needed = 0;
    if (EnumProcessModules(process, modules, sizeof modules, &needed) && needed >= sizeof(HMODULE)) {
        wchar_t path[MAX_PATH];
        DWORD length = GetModuleFileNameExW(process, modules[0], path, MAX_PATH);
        return length ? String(path, static_cast<int>(length)) : String();
    }
    // A process that has only just started has no module list yet, but its image is known.
    wchar_t image[MAX_PATH];
    DWORD imageLength = MAX_PATH;
    if (QueryFullProcessImageNameW(process, 0, image, &imageLength)) return String(image, static_cast<int>(imageLength));
    // Kernel-side processes have no modules of their own: name the kernel image.
    LPVOID drivers[256];
    if (EnumDeviceDrivers(drivers, sizeof drivers, &needed) && needed >= sizeof(LPVOID)) {
        wchar_t path[1024];
        DWORD length = GetDeviceDriverFileNameW(drivers[0], path, 1024);
        return length ? String(path, static_cast<int>(length)) : String();
    }
    return String();
}

bool IsCriticalProcess(HANDLE process)
{
    ULONG critical = 0;
    NTSTATUS status = NtQueryInformationProcess(process, static_cast<PROCESSINFOCLASS>(ProcessBreakOnTerminationClass),
                                                &critical, sizeof critical, nullptr);
    return NT_SUCCESS(status) && critical != 0;
}

bool DisableCountersSwitch(const wchar_t* subKey)
{
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subKey, 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, key.Receive()) !=
        ERROR_SUCCESS)
        return false;
    DWORD zero = 0;
    RegSetValueExW(key.Get(), L"Disable Performance Counters", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero),
                   sizeof zero);
    return true;
}

}  // namespace

ProcessManager::ProcessManager() { processes_.reserve(64); }

ProcessManager::~ProcessManager()
{
    for (auto& item : processes_) delete item.second;
}

// Owner of the process from its token; empty when the token cannot be read.
static String OwnerOfToken(HANDLE process)
{
    UniqueHandle token;
    if (!process || !OpenProcessToken(process, TOKEN_QUERY, token.Receive())) return String();
    alignas(8) BYTE buffer[256];
    DWORD length = 0;
    if (!GetTokenInformation(token.Get(), ::TokenUser, buffer, sizeof buffer, &length)) return String();
    return LookupUser(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
}

void ProcessManager::ReadOwnersOfOtherAccounts()
{
    // The terminal-services enumeration knows every owner but costs many times a snapshot, so it
    // is asked only when a new process's token is out of reach, at most once per refresh.
    if (ownersRead_) return;
    ownersRead_ = true;
    owners_.clear();
    WTS_PROCESS_INFOW* records = nullptr;
    DWORD count = 0;
    if (!WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &records, &count)) return;
    std::unique_ptr<void, WtsMemoryDeleter> recordsHolder(records);
    for (DWORD i = 0; i < count; ++i) owners_[records[i].ProcessId] = LookupUser(records[i].pUserSid);
}

String ProcessManager::ReadOwner(uint32_t processId, HANDLE process)
{
    UniqueHandle limited;
    if (!process) limited.Reset(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    String user = OwnerOfToken(process ? process : limited.Get());
    if (user.IsEmpty()) {
        ReadOwnersOfOtherAccounts();
        auto owner = owners_.find(processId);
        if (owner != owners_.end()) user = owner->second;
    }
    return user;
}

ProcessInfo* ProcessManager::CreateEntry(uint32_t processId, const String& name, int cpu, uint64_t memory)
{
    // Path, description and user never change for a process, so they are read once, here.
    String path;
    UniqueHandle process(OpenProcess(QueryAndRead, FALSE, processId));
    if (process) path = GetProcessPath(process.Get());
    String user = ReadOwner(processId, process.Get());
    String description = name;
    if (!path.IsEmpty()) {
        CVersion version(path);
        if (version.Load()) description = version.GetFileVersionInfoText(L"ProductName");
    }
    return new ProcessInfo(processId, name, description, user, cpu, memory, path);
}

System::Array<ProcessInfo*> ProcessManager::GetProcesses()
{
    if (!snapshot_.Take()) return {};
    cpu_.Sample(snapshot_);
    ownersRead_ = false;

    std::vector<ProcessInfo*> created;
    created.reserve(32);
    int total = 0;
    for (const ProcessSnapshot::Figures& figures : snapshot_.GetProcesses()) {
        uint32_t processId = figures.processId;
        if (processId == IdleProcessId) continue;
        int cpu = cpu_.GetCpuUsage(processId);
        total += cpu;

        auto found = processes_.find(processId);
        if (found != processes_.end()) {
            found->second->SetCpu(cpu);
            found->second->SetMemory(figures.workingSet);
            found->second->SetAlive(true);
            continue;
        }
        ProcessInfo* info = CreateEntry(processId, String(figures.imageName), cpu, figures.workingSet);
        processes_.emplace(processId, info);
        created.insert(created.begin(), info);
    }

    total = std::min(total, 100);
    auto idle = processes_.find(IdleProcessId);
    if (idle != processes_.end()) {
        idle->second->SetCpu(100 - total);
        idle->second->SetAlive(true);
    } else {
        auto* info = new ProcessInfo(IdleProcessId, L"System Idle Process", L"System Idle Process", L"SYSTEM",
                                     100 - total, IdleMemory, String());
        processes_.emplace(IdleProcessId, info);
        created.push_back(info);
    }

    for (auto it = processes_.begin(); it != processes_.end();) {
        if (it->second->IsAlive()) {
            it->second->SetAlive(false);
            ++it;
        } else {
            delete it->second;
            it = processes_.erase(it);
        }
    }
    return System::Array<ProcessInfo*>(std::move(created));
}

bool ProcessManager::TryGetProcess(uint32_t processId, ProcessInfo*& info) const
{
    auto found = processes_.find(processId);
    if (found == processes_.end()) return false;
    info = found->second;
    return true;
}

System::Array<uint32_t> ProcessManager::GetProcessIds() const
{
    std::vector<uint32_t> ids;
    ids.reserve(processes_.size());
    for (const auto& item : processes_) ids.push_back(item.first);
    return System::Array<uint32_t>(std::move(ids));
}

bool ProcessManager::EnablePerformanceCounters()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version)) return false;
#pragma GCC diagnostic pop
    if (version.dwPlatformId != VER_PLATFORM_WIN32_NT || version.dwMajorVersion == 4) return true;
    if (!DisableCountersSwitch(L"SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance")) return false;
    return DisableCountersSwitch(L"SYSTEM\\CurrentControlSet\\Services\\PerfProc\\Performance");
}

ProcessManager::EndResult ProcessManager::EndProcess(uint32_t processId)
{
    if (processId == GetCurrentProcessId()) return EndResult::OwnProcess;
    UniqueHandle process(OpenProcess(PROCESS_ALL_ACCESS, TRUE, processId));
    if (!process) process.Reset(OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return EndResult::Failed;
    if (IsCriticalProcess(process.Get())) return EndResult::CriticalProcess;
    return TerminateProcess(process.Get(), 0) ? EndResult::Ended : EndResult::Failed;
}

String ProcessManager::GetEndResultText(EndResult result)
{
    switch (result) {
    case EndResult::Ended: return String();
    case EndResult::OwnProcess: return L"벨라 툴박스 자신은 종료할 수 없습니다.";
    case EndResult::CriticalProcess:
        return L"이 프로세스는 Windows에 꼭 필요한 프로세스입니다. 종료하면 Windows가 바로 멈추므로 종료하지 않았습니다.";
    case EndResult::Failed: break;
    }
    return L"프로세스를 종료하지 못했습니다. 이미 끝났거나 종료할 권한이 없습니다.";
}

String FormatSize(uint64_t bytes)
{
    constexpr uint64_t Mebibyte = 1ull << 20, Gibibyte = 1ull << 30;
    if (bytes < 1024 * Mebibyte) return String::Format(L"%llu MB", static_cast<unsigned long long>(bytes / Mebibyte));
    return String::Format(L"%llu GB", static_cast<unsigned long long>(bytes / Gibibyte));
}

String FormatMemoryCell(uint64_t bytes)
{
    return String::Format(L"%llu KB", static_cast<unsigned long long>(bytes / 1024));
}

MemoryLoad ComputeMemoryLoad(uint64_t totalBytes, uint64_t availableBytes)
{
    MemoryLoad load;
    load.usedBytes = totalBytes > availableBytes ? totalBytes - availableBytes : 0;
    if (totalBytes > 0)
        load.percent = static_cast<int>(static_cast<double>(load.usedBytes) / static_cast<double>(totalBytes) * 100.0);
    load.percent = std::max(load.percent, 2);
    return load;
}

MemoryLoad GetMemoryLoad()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return MemoryLoad();
    return ComputeMemoryLoad(status.ullTotalPhys, status.ullAvailPhys);
}

int GetProcessorLoad(const ProcessManager& manager)
{
    ProcessInfo* idle = nullptr;
    if (!manager.TryGetProcess(0, idle)) return 0;
    return 100 - idle->GetCpu();
}
