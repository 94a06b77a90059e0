#include "sweeper/RegistrySweeper.h"

#include <memory>

#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "sweeper/RegistryPath.h"

using Microsoft::Win32::RegistryKey;
using System::String;

RegistrySweeper::RegistrySweeper(const String& name, const String& keyPaths)
    : Sweeper(name), keyPaths_(keyPaths.Split(L";"))
{
}

void RegistrySweeper::Reset(bool keepFindings)
{
    Sweeper::Reset(keepFindings);
    counters_.Reset(keepFindings);
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

int64_t RegistrySweeper::GetSize() const { return 0; }
int32_t RegistrySweeper::GetCount() const { return counters_.GetFound(); }
int RegistrySweeper::GetProgress() const { return counters_.GetProgress(IsDone()); }
