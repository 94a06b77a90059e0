#include "sweeper/RegistrySweeper.h"

#include <memory>

#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "sweeper/RegistryPath.h"

using Microsoft::Win32::RegistryKey;
using System::String;

RegistrySweeper::RegistrySweeper(const String& name, const String& keyPaths)
    : CountingSweeper(name), keyPaths_(keyPaths.Split(L";"))
{
}

void RegistrySweeper::Run(bool sweep)
{
    counters_.Reset(true);
    SetDone(false);
    for (const String& path : keyPaths_) {
        System::TraceExceptions([&] {
            std::unique_ptr<RegistryKey> key(OpenRegistryPath(path, true));
            SweepKey(sweep, key.get());
        });
    }
    SetDone(true);
    RaiseCompleted();
}

void RegistrySweeper::SweepKey(bool sweep, RegistryKey* key)
{
    if (!key) throw new System::ArgumentNullException(L"key");
    counters_.AddToProcess(key->GetSubKeyCount() + key->GetValueCount());
    RaiseProgress();
    for (const String& name : key->GetSubKeyNames()) {
        System::TraceExceptions([&] {
            // A link is left as it is: following it would sweep the key it points at, which a
            // user could plant to make this elevated program delete keys of the machine.
            if (key->IsLink(name)) return;
            std::unique_ptr<RegistryKey> subkey(key->OpenSubKey(name, true));
            SweepKey(sweep, subkey.get());
            subkey->Close();
            // Only an emptied key goes: whatever could not be removed below keeps it.
            if (sweep) key->DeleteSubKey(name);
            counters_.Count(sweep);
        });
        counters_.AddProcessed();
        RaiseProgress();
    }
    for (const String& name : key->GetValueNames()) {
        System::TraceExceptions([&] {
            if (sweep) key->DeleteValue(name);
            counters_.Count(sweep);
        });
        counters_.AddProcessed();
        RaiseProgress();
    }
}

