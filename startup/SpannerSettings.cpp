#include "startup/SpannerSettings.h"

#include <windows.h>

#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/FileStream.h"
#include "core/Win32Exception.h"

using System::String;
using System::IO::FileStream;

String SpannerSettings::PathIn(const String& dataFolder) { return dataFolder + L"\\velaspanner.cfg"; }

int32_t SpannerSettings::Read(const String& path)
{
    FileStream file(path, System::IO::FileMode::OpenOrCreate, System::IO::FileAccess::Read,
                    System::IO::FileShare::Delete, 4096);
    if (file.GetLength() != sizeof(int32_t)) return 0;
    System::IO::BinaryReader reader(&file);
    return reader.ReadInt32();
}

void SpannerSettings::Write(const String& path, int32_t value)
{
    String partial = path + L".new";
    try {
        FileStream file(partial, System::IO::FileMode::Create, System::IO::FileAccess::Write, 0, 4096);
        System::IO::BinaryWriter writer(&file);
        writer.WriteInt32(value);
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
