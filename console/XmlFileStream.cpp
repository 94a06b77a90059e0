#include "console/XmlFileStream.h"

namespace {

HRESULT LastError() { return HRESULT_FROM_WIN32(GetLastError()); }

}  // namespace

HRESULT XmlFileStream::OpenFile(const wchar_t* fileName, IStream** stream, bool write)
{
    if (!stream) return E_POINTER;
    *stream = nullptr;
    HANDLE file = CreateFileW(fileName, write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, nullptr,
                              write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    *stream = new XmlFileStream(file);
    return S_OK;
}

XmlFileStream::~XmlFileStream()
{
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
}

HRESULT XmlFileStream::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(ISequentialStream) || iid == __uuidof(IStream)) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG XmlFileStream::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG XmlFileStream::Release()
{
    LONG remaining = InterlockedDecrement(&references_);
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
}

HRESULT XmlFileStream::Read(void* buffer, ULONG count, ULONG* read)
{
    DWORD done = 0;
    BOOL ok = ReadFile(file_, buffer, count, &done, nullptr);
    if (read) *read = done;
    return ok ? S_OK : LastError();
}

HRESULT XmlFileStream::Write(const void* buffer, ULONG count, ULONG* written)
{
    DWORD done = 0;
    BOOL ok = WriteFile(file_, buffer, count, &done, nullptr);
    if (written) *written = done;
    return ok ? S_OK : LastError();
}

HRESULT XmlFileStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    static_assert(STREAM_SEEK_SET == FILE_BEGIN && STREAM_SEEK_CUR == FILE_CURRENT && STREAM_SEEK_END == FILE_END,
                  "stream and file origins share their numbers");
    if (origin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
    LARGE_INTEGER moved;
    if (!SetFilePointerEx(file_, move, &moved, origin)) return LastError();
    if (position) position->QuadPart = static_cast<ULONGLONG>(moved.QuadPart);
    return S_OK;
}

HRESULT XmlFileStream::Stat(STATSTG* statistics, DWORD)
{
    if (!statistics) return E_POINTER;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_, &size)) return LastError();
    statistics->cbSize.QuadPart = static_cast<ULONGLONG>(size.QuadPart);
    return S_OK;
}
