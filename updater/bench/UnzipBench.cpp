// Unpacking throughput of a 50 MB archive, as a ratio against zlib's raw inflate of the same
// compressed data in memory, measured in the same run. Raw inflate runs twice: with 16 KB of
// output room, as a plain inflate loop has, and with the unpacker's own 256 KB, so that the second
// ratio shows only what reading, checking and writing the file cost.
#include <windows.h>

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "framework/CException.h"
#include "updater/FileSystem.h"
#include "updater/ZipArchive.h"
#include "updater/tests/helpers/ZipWriter.h"

namespace {

constexpr size_t kDataSize = 50u * 1024 * 1024;
// The best of several rounds, interleaved, so that other work on the machine weighs little.
constexpr int kRounds = 5;
constexpr uInt kSmallOutput = 16 * 1024;
constexpr uInt kLargeOutput = 256 * 1024;

double Now()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Text-like data that compresses about as well as program files do (roughly 3:1).
std::string MakeData()
{
    static const char* const words[] = {"update", "vela", "toolbox", "manifest", "archive", "version",
                                        "file",   "object", "action", "directory", "0x7f3a", "\r\n"};
    std::string data;
    data.reserve(kDataSize);
    uint32_t seed = 12345;
    while (data.size() < kDataSize) {
        seed = seed * 1664525u + 1013904223u;
        data += words[(seed >> 16) % 12];
        data += static_cast<char>('A' + (seed >> 8) % 26);
        data += static_cast<char>(' ' + (seed >> 24) % 64);
    }
    data.resize(kDataSize);
    return data;
}

double InflateSeconds(const std::string& compressed, uInt outputSize)
{
    static unsigned char output[kLargeOutput];
    double start = Now();
    z_stream stream = {};
    inflateInit2(&stream, -MAX_WBITS);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = output;
        stream.avail_out = outputSize;
        status = inflate(&stream, Z_NO_FLUSH);
    }
    inflateEnd(&stream);
    double seconds = Now() - start;
    if (status != Z_STREAM_END) std::fprintf(stderr, "baseline inflate failed: %d\n", status);
    return seconds;
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

}  // namespace

int main()
{
    std::string data = MakeData();
    UpdaterTests::ZipWriter writer;
    writer.AddFile("payload.bin", data);
    std::string archive = writer.Build();
    std::string compressed = UpdaterTests::ZipWriter::Deflate(data);

    std::wstring archivePath = TempPath(L"vapup-bench.zip");
    std::wstring target = TempPath(L"vapup-bench");
    HANDLE file = CreateFileW(archivePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !WriteFile(file, archive.data(), static_cast<DWORD>(archive.size()), &written, nullptr)) {
        std::fprintf(stderr, "cannot write the archive\n");
        return 1;
    }
    CloseHandle(file);

    double inflateSmall = 1e9;
    double inflateLarge = 1e9;
    double unpack = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        inflateSmall = std::min(inflateSmall, InflateSeconds(compressed, kSmallOutput));
        inflateLarge = std::min(inflateLarge, InflateSeconds(compressed, kLargeOutput));
        DeleteTree(target.c_str());
        CreateDirectoryW(target.c_str(), nullptr);
        double start = Now();
        try {
            CZipArchive(archivePath.c_str()).ExtractTo(target.c_str());
        } catch (CException* error) {
            error->Delete();
            std::fprintf(stderr, "unpacking failed\n");
            return 1;
        }
        unpack = std::min(unpack, Now() - start);
    }
    DeleteTree(target.c_str());
    DeleteFileW(archivePath.c_str());

    double megabytes = static_cast<double>(kDataSize) / (1024 * 1024);
    std::printf("archive: %.1f MB unpacked from %.1f MB\n", megabytes, static_cast<double>(archive.size()) / (1024 * 1024));
    std::printf("zlib raw inflate, 16 KB output:  %.0f MB/s\n", megabytes / inflateSmall);
    std::printf("zlib raw inflate, 256 KB output: %.0f MB/s\n", megabytes / inflateLarge);
    std::printf("unpack to disk, CRC checked:     %.0f MB/s\n", megabytes / unpack);
    std::printf("ratio (unpack / raw inflate, 16 KB output):  %.2f\n", inflateSmall / unpack);
    std::printf("ratio (unpack / raw inflate, 256 KB output): %.2f\n", inflateLarge / unpack);
    return 0;
}
