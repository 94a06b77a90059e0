#pragma once

#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Removes class registrations whose in-process server is named by a full path to a file that is
// gone. Bare file names, found through the search path, are never judged.
class RegistryCLSIDSweeper : public CountingSweeper {
public:
    explicit RegistryCLSIDSweeper(const System::String& name);

    void Run(bool sweep) override;
};
