#include "sweeper/RegistryValueSweeper.h"

#include <memory>

#include "core/ExceptionGuard.h"
#include "sweeper/RegistryPath.h"

using Microsoft::Win32::RegistryKey;
using System::String;

RegistryValueSweeper::RegistryValueSweeper(const String& name, const String& valuePaths)
    : CountingSweeper(name), valuePaths_(valuePaths.Split(L";"))
{
}

void RegistryValueSweeper::Run(bool sweep)
{
    counters_.Reset(true);
    SetDone(false);
    counters_.AddToProcess(valuePaths_.GetLength());
    RaiseProgress();
    for (const String& path : valuePaths_) {
        System::TraceExceptions([&] {
            int separator = path.LastIndexOf(L'\\');
            String keyPath, valueName;
            if (separator > 0) {
                keyPath = path.Substring(0, separator);
                valueName = path.Substring(separator + 1);
            }
            std::unique_ptr<RegistryKey> key(OpenRegistryPath(keyPath, true));
            if (!key || !key->ContainsValue(valueName)) return;
            if (sweep) key->DeleteValue(valueName, true);
            counters_.Count(sweep);
        });
        counters_.AddProcessed();
        RaiseProgress();
    }
    SetDone(true);
    RaiseCompleted();
}

