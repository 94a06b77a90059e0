#include "process/ProcessHandleNames.h"

#include <winternl.h>

#include <memory>
#include <vector>

#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/Process.h"
#include "core/Thread.h"
#include "core/Trace.h"
#include "core/UniqueResource.h"

using System::String;
using System::UniqueHandle;

namespace {

constexpr ULONG SystemHandleInformationClass = 16;
constexpr ULONG SystemExtendedHandleInformationClass = 64;
constexpr ULONG ObjectNameInformationClass = 1;
constexpr ULONG ObjectTypeInformationClass = 2;
constexpr ULONG FileNameInformationClass = 9;
constexpr NTSTATUS StatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
constexpr NTSTATUS StatusBufferOverflow = static_cast<NTSTATUS>(0x80000005);
constexpr NTSTATUS StatusBufferTooSmall = static_cast<NTSTATUS>(0xC0000023);
constexpr DWORD DuplicateQueryRead = PROCESS_DUP_HANDLE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ;

// The classic entry holds only the low 16 bits of the owner's id.
struct HandleEntry {
    USHORT UniqueProcessId;
    USHORT CreatorBackTraceIndex;
    UCHAR ObjectTypeIndex;
    UCHAR HandleAttributes;
    USHORT HandleValue;
    PVOID Object;
    ULONG GrantedAccess;
};
struct HandleTable {
    ULONG NumberOfHandles;
    HandleEntry Handles[1];
};
struct HandleEntryEx {
    PVOID Object;
    ULONG_PTR UniqueProcessId;
    ULONG_PTR HandleValue;
    ULONG GrantedAccess;
    USHORT CreatorBackTraceIndex;
    USHORT ObjectTypeIndex;
    ULONG HandleAttributes;
    ULONG Reserved;
};
struct HandleTableEx {
    ULONG_PTR NumberOfHandles;
    ULONG_PTR Reserved;
    HandleEntryEx Handles[1];
};

bool QueryTable(ULONG informationClass, std::vector<uint8_t>& buffer)
{
    buffer.assign(64 * 1024, 0);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        NTSTATUS status = NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(informationClass),
                                                   buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (NT_SUCCESS(status)) return true;
        if (status != StatusInfoLengthMismatch) return false;
        // Handles appear between the two calls: leave room for them.
        buffer.assign(std::max<size_t>(buffer.size() * 2, static_cast<size_t>(needed) + 16 * 1024), 0);
    }
    return false;
}

// The owner's handle values, from the extended table when the system has one.
bool ReadHandleValues(uint32_t processId, std::vector<HANDLE>& handles)
{
    std::vector<uint8_t> buffer;
    if (QueryTable(SystemExtendedHandleInformationClass, buffer)) {
        const auto* table = reinterpret_cast<const HandleTableEx*>(buffer.data());
        size_t room = (buffer.size() - offsetof(HandleTableEx, Handles)) / sizeof(HandleEntryEx);
        size_t count = std::min<size_t>(table->NumberOfHandles, room);
        for (size_t i = 0; i < count; ++i)
            if (table->Handles[i].UniqueProcessId == processId)
                handles.push_back(reinterpret_cast<HANDLE>(table->Handles[i].HandleValue));
        return true;
    }
    if (!QueryTable(SystemHandleInformationClass, buffer)) return false;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    size_t room = (buffer.size() - offsetof(HandleTable, Handles)) / sizeof(HandleEntry);
    size_t count = std::min<size_t>(table->NumberOfHandles, room);
    for (size_t i = 0; i < count; ++i)
        if (table->Handles[i].UniqueProcessId == static_cast<USHORT>(processId))
            handles.push_back(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(table->Handles[i].HandleValue)));
    return true;
}

String ToString(const UNICODE_STRING& text)
{
    if (!text.Buffer || text.Length == 0) return String();
    return String(text.Buffer, static_cast<int>(text.Length / sizeof(wchar_t)));
}

String QueryTypeName(HANDLE handle)
{
    alignas(8) uint8_t buffer[1024] = {};
    NTSTATUS status =
        NtQueryObject(handle, static_cast<OBJECT_INFORMATION_CLASS>(ObjectTypeInformationClass), buffer, sizeof buffer, nullptr);
    if (!NT_SUCCESS(status)) {
        System::Diagnostics::Trace::WriteLine(L"QueryInformation error");
        return String();
    }
    return ToString(*reinterpret_cast<const UNICODE_STRING*>(buffer)).ToLower();
}

String QueryObjectName(HANDLE handle)
{
    std::vector<uint8_t> buffer(1024, 0);
    ULONG needed = 0;
    NTSTATUS status = NtQueryObject(handle, static_cast<OBJECT_INFORMATION_CLASS>(ObjectNameInformationClass),
                                    buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if ((status == StatusBufferOverflow || status == StatusInfoLengthMismatch || status == StatusBufferTooSmall) &&
        needed > buffer.size()) {
        buffer.assign(needed, 0);
        status = NtQueryObject(handle, static_cast<OBJECT_INFORMATION_CLASS>(ObjectNameInformationClass), buffer.data(),
                               static_cast<ULONG>(buffer.size()), &needed);
    }
    if (!NT_SUCCESS(status)) return String();
    return ToString(*reinterpret_cast<const UNICODE_STRING*>(buffer.data()));
}

void EnableDebugPrivilege()
{
    System::TraceExceptions([] { System::Diagnostics::Process::EnterDebugMode(); });
}

// Runs the query on its own thread and gives up after the time; false when it was abandoned.
bool QueryFileNameWithin(UniqueHandle& handle, const HandleNameOptions& options, String& name, bool& found)
{
    // The worker keeps the info alive even if it outlives this call.
    auto info = std::make_shared<FWHandleToNameInfo>(handle.Get());
    FileNameQuery query = options.query;
    System::Threading::Thread worker([info, query](void*) { query(*info); });
    bool finished = true;
    System::TraceExceptions([&] {
        worker.Start();
        if (!worker.Join(options.timeoutMilliseconds)) {
            finished = false;
            worker.Abort();
        }
    });
    // A worker that could not be ended may still use the handle: leave it open rather than let
    // its value be reused under the worker.
    if (!finished && worker.IsAlive()) handle.Release();
    found = finished && info->GetStatus() >= 0;
    if (found) name = info->GetName();
    return finished;
}

}  // namespace

void QueryFileName(FWHandleToNameInfo& info)
{
    alignas(8) uint8_t buffer[1024] = {};
    IO_STATUS_BLOCK io = {};
    NTSTATUS status = NtQueryInformationFile(info.GetHandle(), &io, buffer, sizeof buffer,
                                             static_cast<FILE_INFORMATION_CLASS>(FileNameInformationClass));
    String name;
    if (NT_SUCCESS(status)) {
        ULONG length = *reinterpret_cast<const ULONG*>(buffer);
        ULONG room = sizeof buffer - sizeof(ULONG);
        name = String(reinterpret_cast<const wchar_t*>(buffer + sizeof(ULONG)),
                      static_cast<int>(std::min(length, room) / sizeof(wchar_t)));
    }
    info.SetResult(status, name);
}

System::Array<String> GetProcessHandleNames(uint32_t processId, const HandleNameOptions& options)
{
    EnableDebugPrivilege();
    std::vector<HANDLE> handles;
    if (!ReadHandleValues(processId, handles)) {
        System::Diagnostics::Trace::WriteLine(L"Error while trying to allocate memory for System Handle Information.\n");
        return {};
    }
    UniqueHandle process(OpenProcess(DuplicateQueryRead, FALSE, processId));
    if (!process) return {};

    std::vector<String> names;
    names.reserve(handles.size());
    int abandoned = 0;
    for (HANDLE value : handles) {
        UniqueHandle duplicate;
        if (!DuplicateHandle(process.Get(), value, GetCurrentProcess(), duplicate.Receive(), 0x000F0000, FALSE, 0) &&
            !DuplicateHandle(process.Get(), value, GetCurrentProcess(), duplicate.Receive(), 0, FALSE,
                             DUPLICATE_SAME_ACCESS))
            continue;
        String type = QueryTypeName(duplicate.Get());
        if (type == L"file") {
            if (abandoned >= options.maxAbandonedQueries) continue;
            String name;
            bool found = false;
            if (!QueryFileNameWithin(duplicate, options, name, found)) ++abandoned;
            if (found) names.push_back(name);
        } else if (type == L"directory" || type == L"key") {
            String name = QueryObjectName(duplicate.Get());
            if (!name.IsEmpty()) names.push_back(name);
        }
    }
    return System::Array<String>(std::move(names));
}
