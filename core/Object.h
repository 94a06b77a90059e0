#pragma once

#include <cstdint>

#include "core/CoreApi.h"
#include "core/String.h"

namespace System {

// Base of the suite's data classes.
class VAPCORE_API Object {
public:
    virtual ~Object();
    // Identity unless a class says otherwise.
    virtual bool Equals(const Object* other) const;
    virtual int64_t GetHashCode() const;
    virtual String ToString() const;
};

}  // namespace System
