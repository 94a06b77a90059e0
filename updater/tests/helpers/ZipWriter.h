#pragma once

#include <zlib.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace UpdaterTests {

// Builds zip archives in memory, with the features and the faults the reader must handle.
class ZipWriter {
public:
    struct Entry {
        std::string name;  // UTF-8
        std::string data;
        bool deflate = true;
        bool descriptor = false;
        bool utf8Flag = false;
        uint16_t versionMadeBy = 20;  // MS-DOS host
        uint32_t externalAttributes = 0;
        uint16_t dosTime = (12 << 11) | (30 << 5);  // 12:30:00
        uint16_t dosDate = ((2020 - 1980) << 9) | (6 << 5) | 15;  // 2020-06-15
        // Faults: a CRC that does not match, a recorded size other than the real one.
        bool wrongCrc = false;
        int64_t uncompressedSizeDelta = 0;
    };

    void Add(const Entry& entry) { entries_.push_back(entry); }
    void AddFile(const std::string& name, const std::string& data, bool deflate = true)
    {
        Entry entry;
        entry.name = name;
        entry.data = data;
        entry.deflate = deflate;
        Add(entry);
    }
    void AddDirectory(const std::string& name)
    {
        Entry entry;
        entry.name = name;
        entry.deflate = false;
        entry.externalAttributes = 0x10;
        Add(entry);
    }

    static std::string Deflate(const std::string& data, int level = 6)
    {
        z_stream stream = {};
        if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("deflateInit2");
        std::string out(deflateBound(&stream, static_cast<uLong>(data.size())), '\0');
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        stream.avail_in = static_cast<uInt>(data.size());
        stream.next_out = reinterpret_cast<Bytef*>(&out[0]);
        stream.avail_out = static_cast<uInt>(out.size());
        int status = deflate(&stream, Z_FINISH);
        out.resize(stream.total_out);
        deflateEnd(&stream);
        if (status != Z_STREAM_END) throw std::runtime_error("deflate");
        return out;
    }

    std::string Build() const
    {
        std::string archive;
        std::string directory;
        for (const Entry& entry : entries_) {
            std::string payload = entry.deflate ? Deflate(entry.data) : entry.data;
            uint32_t crc = static_cast<uint32_t>(
                crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), static_cast<uInt>(entry.data.size())));
            if (entry.wrongCrc) crc ^= 0x5A5A5A5A;
            uint32_t size = static_cast<uint32_t>(static_cast<int64_t>(entry.data.size()) + entry.uncompressedSizeDelta);
            uint16_t flags = static_cast<uint16_t>((entry.descriptor ? 0x0008 : 0) | (entry.utf8Flag ? 0x0800 : 0));
            uint16_t method = entry.deflate ? 8 : 0;
            uint32_t offset = static_cast<uint32_t>(archive.size());

            Put32(archive, 0x04034b50);
            Put16(archive, 20);
            Put16(archive, flags);
            Put16(archive, method);
            Put16(archive, entry.dosTime);
            Put16(archive, entry.dosDate);
            Put32(archive, entry.descriptor ? 0 : crc);
            Put32(archive, entry.descriptor ? 0 : static_cast<uint32_t>(payload.size()));
            Put32(archive, entry.descriptor ? 0 : size);
            Put16(archive, static_cast<uint16_t>(entry.name.size()));
            Put16(archive, 0);
            archive += entry.name;
            archive += payload;
            if (entry.descriptor) {
                Put32(archive, 0x08074b50);
                Put32(archive, crc);
                Put32(archive, static_cast<uint32_t>(payload.size()));
                Put32(archive, size);
            }

            Put32(directory, 0x02014b50);
            Put16(directory, entry.versionMadeBy);
            Put16(directory, 20);
            Put16(directory, flags);
            Put16(directory, method);
            Put16(directory, entry.dosTime);
            Put16(directory, entry.dosDate);
            Put32(directory, crc);
            Put32(directory, static_cast<uint32_t>(payload.size()));
            Put32(directory, size);
            Put16(directory, static_cast<uint16_t>(entry.name.size()));
            Put16(directory, 0);
            Put16(directory, 0);
            Put16(directory, 0);
            Put16(directory, 0);
            Put32(directory, entry.externalAttributes);
            Put32(directory, offset);
            directory += entry.name;
        }
        uint32_t directoryOffset = static_cast<uint32_t>(archive.size());
        archive += directory;
        Put32(archive, 0x06054b50);
        Put16(archive, 0);
        Put16(archive, 0);
        Put16(archive, static_cast<uint16_t>(entries_.size()));
        Put16(archive, static_cast<uint16_t>(entries_.size()));
        Put32(archive, static_cast<uint32_t>(directory.size()));
        Put32(archive, directoryOffset);
        Put16(archive, 0);
        return archive;
    }

private:
    static void Put16(std::string& out, uint16_t value)
    {
        out += static_cast<char>(value & 0xFF);
        out += static_cast<char>(value >> 8);
    }
    static void Put32(std::string& out, uint32_t value)
    {
        Put16(out, static_cast<uint16_t>(value & 0xFFFF));
        Put16(out, static_cast<uint16_t>(value >> 16));
    }

    std::vector<Entry> entries_;
};

}  // namespace UpdaterTests
