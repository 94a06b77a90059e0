#pragma once

#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Removes program identifiers whose class is registered nowhere under the classes root.
class RegistryProgIDSweeper : public CountingSweeper {
public:
    explicit RegistryProgIDSweeper(const System::String& name);

    void Run(bool sweep) override;
};
