#pragma once

#include <memory>

#include "core/Exception.h"
#include "core/Trace.h"

namespace System {

// Owns a caught exception object, so that every path deletes it.
using ExceptionHolder = std::unique_ptr<Exception>;

// Runs work; a library exception it raises is written to the trace and deleted.
// Returns false when that happened.
template <class Work>
bool TraceExceptions(Work&& work)
{
    try {
        work();
        return true;
    } catch (Exception* caught) {
        ExceptionHolder exception(caught);
        Diagnostics::Trace::WriteLine(exception->ToString());
        return false;
    }
}

}  // namespace System
