#pragma once

#include <cstdint>

#include "core/FileStream.h"

namespace TestSupport {

// Makes file writes fail after bytes more bytes for the life of the object.
class WriteFault {
public:
    explicit WriteFault(int64_t bytes) { System::IO::FileStream::SetWriteLimitForTesting(bytes); }
    ~WriteFault() { System::IO::FileStream::SetWriteLimitForTesting(-1); }
    WriteFault(const WriteFault&) = delete;
    WriteFault& operator=(const WriteFault&) = delete;
};

}  // namespace TestSupport
