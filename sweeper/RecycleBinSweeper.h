#pragma once

#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Empties the recycle bins of all drives.
class RecycleBinSweeper : public CountingSweeper {
public:
    explicit RecycleBinSweeper(const System::String& name);

    void Run(bool sweep) override;
};
