#include "startup/SpannerSettings.h"

#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/FileStream.h"
#include "core/WholeFile.h"

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
    System::IO::WriteFileWhole(path, [&](System::IO::Stream& file) { System::IO::BinaryWriter(&file).WriteInt32(value); });
}
