#pragma once

#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Removes shared-library reference counts of files that are gone.
class RegistrySharedDllSweeper : public CountingSweeper {
public:
    explicit RegistrySharedDllSweeper(const System::String& name);

    void Run(bool sweep) override;
};
