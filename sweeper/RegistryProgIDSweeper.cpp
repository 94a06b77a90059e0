#include "sweeper/RegistryProgIDSweeper.h"

#include <memory>

#include "core/ExceptionGuard.h"
#include "core/Registry.h"
#include "core/Trace.h"

using Microsoft::Win32::Registry;
using Microsoft::Win32::RegistryKey;
using System::String;

RegistryProgIDSweeper::RegistryProgIDSweeper(const String& name) : CountingSweeper(name) {}

namespace {

bool ClassExists(const String& path)
{
    std::unique_ptr<RegistryKey> key(Registry::GetClassesRoot()->OpenSubKey(path, false));
    return key != nullptr;
}

// An identifier is invalid only when it names a class, braced or not, that is not registered.
bool IsInvalidProgID(RegistryKey& classes, const String& name)
{
    std::unique_ptr<RegistryKey> progID(classes.OpenSubKey(name, false));
    if (!progID) return false;
    std::unique_ptr<RegistryKey> classKey(progID->OpenSubKey(L"CLSID", false));
    if (!classKey) return false;
    String classID;
    classKey->GetValue(String(), classID, true);
    return !ClassExists(L"CLSID\\" + classID) && !ClassExists(L"CLSID\\{" + classID + L"}");
}

}  // namespace

void RegistryProgIDSweeper::Run(bool sweep)
{
    counters_.Reset(true);
    SetDone(false);
    // A location that cannot be opened (access denied) finds nothing, like a missing one.
    std::unique_ptr<RegistryKey> classes;
    System::TraceExceptions([&] { classes.reset(Registry::GetLocalMachine()->OpenSubKey(L"Software\\Classes", true)); });
    if (classes) {
        counters_.AddToProcess(classes->GetSubKeyCount());
        for (const String& name : classes->GetSubKeyNames()) {
            // The class table itself is no program identifier; registry names ignore case.
            if (name.Equals(L"CLSID", true)) continue;
            System::TraceExceptions([&] {
                if (!IsInvalidProgID(*classes, name)) return;
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
