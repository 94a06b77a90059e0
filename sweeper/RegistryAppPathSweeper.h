#pragma once

#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Removes App Paths entries whose program is gone (an entry without a program path is valid).
class RegistryAppPathSweeper : public CountingSweeper {
public:
    explicit RegistryAppPathSweeper(const System::String& name);

    void Run(bool sweep) override;
};
