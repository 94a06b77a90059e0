#include "sweeper/RegistrySharedDllSweeper.h"

#include <memory>

#include "core/ExceptionGuard.h"
#include "core/FileInfo.h"
#include "core/Registry.h"
#include "core/Trace.h"

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using System::String;

RegistrySharedDllSweeper::RegistrySharedDllSweeper(const String& name) : CountingSweeper(name) {}

void RegistrySharedDllSweeper::Run(bool sweep)
{
    counters_.Reset(true);
    SetDone(false);
    // A location that cannot be opened (access denied) finds nothing, like a missing one.
    std::unique_ptr<RegistryKey> sharedDlls;
    System::TraceExceptions([&] { sharedDlls.reset(Registry::GetLocalMachine()->OpenSubKey(L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDlls", true)); });
    if (sharedDlls) {
        counters_.AddToProcess(sharedDlls->GetValueCount());
        RaiseProgress();
        for (const String& name : sharedDlls->GetValueNames()) {
            System::TraceExceptions([&] {
                if (System::IO::FileInfo(name).Exists()) return;
                System::Diagnostics::Trace::WriteLine(name);
                if (sweep) sharedDlls->DeleteValue(name);
                counters_.Count(sweep);
            });
            counters_.AddProcessed();
            RaiseProgress();
        }
    }
    SetDone(true);
    RaiseCompleted();
}
