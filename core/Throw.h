#pragma once

#include "core/CoreApi.h"

namespace System {

// Internal failure codes that _Throw turns into exception objects of the matching kind.
enum ThrowCode {
    ThrowArgument = 1,
    ThrowIndexOutOfRange = 2,
    ThrowArgumentNull = 3,
    ThrowInvalidOperation = 4,
    ThrowKeyNotFound = 5,
    ThrowNotSupported = 6,
    ThrowNotImplemented = 7,
    ThrowNullReference = 8,
    ThrowEnumerationNotPositioned = 9,
    ThrowCollectionModified = 10,
};

// Raises a new exception of the kind that belongs to code. Header-only templates use it so
// that they need not see the exception classes.
[[noreturn]] VAPCORE_API void _Throw(int code);

}  // namespace System
