#include "sweeper/RegistryCLSIDSweeper.h"

#include <memory>

#include "core/ExceptionGuard.h"
#include "core/Registry.h"
#include "core/Trace.h"
#include "vdwin32/CommandLine.h"

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using System::String;

RegistryCLSIDSweeper::RegistryCLSIDSweeper(const String& name) : CountingSweeper(name) {}

namespace {

// Only a full path to a missing file makes a class invalid.
bool IsInvalidClass(RegistryKey& classes, const String& name)
{
    std::unique_ptr<RegistryKey> entry(classes.OpenSubKey(name, false));
    if (!entry) return false;
    std::unique_ptr<RegistryKey> server(entry->OpenSubKey(L"InprocServer32", false));
    if (!server) return false;
    String path;
    if (!server->GetValue(String(), path, true) || path.IsEmpty() || !path.Contains(L"\\")) return false;
    return !Vela::Win32::CommandLine(path, String()).Exists();
}

}  // namespace

void RegistryCLSIDSweeper::Run(bool sweep)
{
    counters_.Reset(true);
    SetDone(false);
    // A location that cannot be opened (access denied) finds nothing, like a missing one.
    std::unique_ptr<RegistryKey> classes;
    System::TraceExceptions([&] { classes.reset(Registry::GetClassesRoot()->OpenSubKey(L"CLSID", true)); });
    if (classes) {
        counters_.AddToProcess(classes->GetSubKeyCount());
        for (const String& name : classes->GetSubKeyNames()) {
            System::TraceExceptions([&] {
                if (!IsInvalidClass(*classes, name)) return;
                System::Diagnostics::Trace::WriteLine(name);
                if (sweep) classes->DeleteSubKeyTree(name);
                counters_.Count(sweep);
            });
            counters_.AddProcessed();
            RaiseProgress();
        }
    }
    SetDone(true);
    RaiseCompleted();
}
