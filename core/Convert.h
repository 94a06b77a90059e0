#pragma once

#include <cstdint>

#include "core/CoreApi.h"
#include "core/String.h"

namespace System {

class VAPCORE_API Convert {
public:
    // Decimal text with an optional sign and surrounding white space; anything else, or a value
    // outside the type's range, raises FormatException.
    static int32_t ToInt32(const String& text);
    static int64_t ToInt64(const String& text);
    // The value in base 2, 8, 10 or 16; other bases raise ArgumentException. Bases other than 10
    // show the two's-complement bits of a negative value.
    static String ToString(int64_t value, int base);
    static String ToString(int32_t value, int base);
};

}  // namespace System
