#pragma once

#include <functional>

#include "core/CoreApi.h"
#include "core/Stream.h"
#include "core/String.h"

namespace System {
namespace IO {

// Writes a file whole beside path ("<path>.new") and only then puts it in
// path's place, so a failure or a crash at any byte leaves the previous file as it was. write
// gets the new file's stream; whatever it raises comes out after the partial file is deleted, and
// a failure to replace raises Win32Exception.
VAPCORE_API void WriteFileWhole(const String& path, const std::function<void(Stream& file)>& write);

}  // namespace IO
}  // namespace System
