#include "activex/AxmSettings.h"

#include <windows.h>

#include "core/Application.h"
#include "core/Array.h"
#include "core/BinaryReader.h"
#include "core/BinaryWriter.h"
#include "core/FileStream.h"
#include "core/WholeFile.h"

using System::String;
using System::IO::FileStream;

namespace {

const int Share = System::IO::FileShare::Delete;

// The first bytes of the file, up to count; fewer when the file is shorter.
System::Array<uint8_t> ReadHead(const String& path, int count)
{
    FileStream file(path, System::IO::FileMode::OpenOrCreate, System::IO::FileAccess::Read, Share, 4096);
    System::IO::BinaryReader reader(&file);
    return reader.ReadBytes(count);
}

template <class T>
T LittleEndianAt(const System::Array<uint8_t>& bytes, int offset)
{
    uint64_t value = 0;
    for (int i = static_cast<int>(sizeof(T)) - 1; i >= 0; --i) value = value << 8 | bytes[offset + i];
    return static_cast<T>(value);
}

}  // namespace

String AxmSettings::GetDefaultPath() { return System::Application::GetCommonAppDataPath() + L"\\vaaxm.cfg"; }

System::DateTime AxmSettings::ReadReferenceTime(const String& path)
{
    System::Array<uint8_t> head = ReadHead(path, 8);
    if (head.GetLength() < 8) return System::DateTime::GetNow();
    int64_t ticks = LittleEndianAt<int64_t>(head, 0);
    if (ticks < 0 || ticks > System::DateTime::MaxTicks) return System::DateTime::GetNow();
    return System::DateTime(ticks);
}

int32_t AxmSettings::ReadNoNoteFlag(const String& path)
{
    System::Array<uint8_t> head = ReadHead(path, 12);
    if (head.GetLength() < 9) return 0;
    // A file cut inside the flag keeps the bytes it has, as a little-endian reader would.
    uint32_t value = 0;
    for (int i = head.GetLength() - 1; i >= 8; --i) value = value << 8 | head[i];
    return static_cast<int32_t>(value);
}

void AxmSettings::WriteNoNoteFlag(const String& path, int32_t flag)
{
    System::Array<uint8_t> head = ReadHead(path, 8);
    System::IO::WriteFileWhole(path, [&](System::IO::Stream& file) {
        System::IO::BinaryWriter writer(&file);
        if (head.GetLength() == 8) {
            writer.Write(head);
        } else {
            writer.WriteInt64(0);
        }
        writer.WriteInt32(flag);
    });
}
