#include "sweeper/RegistryAppPathSweeper.h"

#include <memory>

#include "core/ExceptionGuard.h"
#include "core/Registry.h"
#include "core/Trace.h"
#include "vdwin32/CommandLine.h"

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using System::String;

RegistryAppPathSweeper::RegistryAppPathSweeper(const String& name) : CountingSweeper(name) {}

void RegistryAppPathSweeper::Run(bool sweep)
{
    counters_.Reset(true);
    SetDone(false);
    // A location that cannot be opened (access denied) finds nothing, like a missing one.
    std::unique_ptr<RegistryKey> appPaths;
    System::TraceExceptions([&] { appPaths.reset(Registry::GetLocalMachine()->OpenSubKey(L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", true)); });
    if (appPaths) {
        counters_.AddToProcess(appPaths->GetSubKeyCount());
        RaiseProgress();
        for (const String& name : appPaths->GetSubKeyNames()) {
            System::TraceExceptions([&] {
                std::unique_ptr<RegistryKey> entry(appPaths->OpenSubKey(name, false));
                String program;
                if (!entry || !entry->GetValue(String(), program, true) || program.IsEmpty()) return;
                entry.reset();
                if (Vela::Win32::CommandLine(program, String()).Exists()) return;
                System::Diagnostics::Trace::WriteLine(name);
                if (sweep) appPaths->DeleteSubKeyTree(name);
                counters_.Count(sweep);
            });
            counters_.AddProcessed();
            RaiseProgress();
        }
    }
    SetDone(true);
    RaiseCompleted();
}
