#include "core/WholeFile.h"

#include <windows.h>

#include "core/FileStream.h"
#include "core/Win32Exception.h"

namespace System {
namespace IO {

void WriteFileWhole(const String& path, const std::function<void(Stream& file)>& write)
{
    String partial = path + L".new";
    try {
        // No sharing: a reader never sees the new file half-written.
        FileStream file(partial, FileMode::Create, FileAccess::Write, FileShare::None, 4096);
        write(file);
        file.Close();
    } catch (...) {
        DeleteFileW(partial.GetBuffer());
        throw;
    }
    if (!MoveFileExW(partial.GetBuffer(), path.GetBuffer(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD error = GetLastError();
        DeleteFileW(partial.GetBuffer());
        Microsoft::Win32::Win32Exception::Throw(error, L"Replacing " + path);
    }
}

}  // namespace IO
}  // namespace System
