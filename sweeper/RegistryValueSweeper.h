#pragma once

#include <cstdint>

#include "core/Array.h"
#include "core/String.h"
#include "sweeper/CountingSweeper.h"

// Removes single named registry values, such as a messenger's saved user name and password.
class RegistryValueSweeper : public CountingSweeper {
public:
    // valuePaths: full registry key paths followed by "\" and the value name, joined by ";".
    RegistryValueSweeper(const System::String& name, const System::String& valuePaths);

    void Run(bool sweep) override;

private:
    System::Array<System::String> valuePaths_;
};
