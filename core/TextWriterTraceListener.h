#pragma once

#include "core/CoreApi.h"
#include "core/Trace.h"
#include "core/UniqueResource.h"

namespace System {
namespace Diagnostics {

// Appends each trace line to a file as UTF-8 ending in CR LF, written through at once so that
// the log survives a crash. A file that cannot be opened leaves the listener silent rather than
// stopping the program that wanted a log.
class VAPCORE_API TextWriterTraceListener : public TraceListener {
public:
    TextWriterTraceListener(const String& path, const String& name);
    bool IsOpen() const { return file_.IsValid(); }
    void WriteLine(const String& message) override;
    void Close() override;

private:
    UniqueHandle file_;
};

}  // namespace Diagnostics
}  // namespace System
