#include "startup/NetMemoryStream.h"

#include <algorithm>
#include <cstring>

NetMemoryStream::NetMemoryStream(const uint8_t* bytes, size_t size) : bytes_(bytes, bytes + size) {}

HRESULT STDMETHODCALLTYPE NetMemoryStream::QueryInterface(REFIID iid, void** object)
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

ULONG STDMETHODCALLTYPE NetMemoryStream::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE NetMemoryStream::Release()
{
    LONG remaining = InterlockedDecrement(&references_);
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
}

HRESULT STDMETHODCALLTYPE NetMemoryStream::Read(void* buffer, ULONG count, ULONG* read)
{
    if (!buffer && count > 0) return STG_E_INVALIDPOINTER;
    size_t remaining = bytes_.size() - position_;
    if (remaining < count) std::memset(buffer, 0, count);
    size_t copied = std::min<size_t>(count, remaining);
    if (copied > 0) std::memcpy(buffer, bytes_.data() + position_, copied);
    position_ += copied;
    if (read) *read = static_cast<ULONG>(copied);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE NetMemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    int64_t base;
    switch (origin) {
    case STREAM_SEEK_SET:
        base = 0;
        break;
    case STREAM_SEEK_CUR:
        base = static_cast<int64_t>(position_);
        break;
    case STREAM_SEEK_END:
        base = static_cast<int64_t>(bytes_.size());
        break;
    default:
        return STG_E_INVALIDFUNCTION;
    }
    int64_t target = base + move.QuadPart;
    if (target < 0 || target > static_cast<int64_t>(bytes_.size())) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<size_t>(target);
    if (position) position->QuadPart = static_cast<ULONGLONG>(position_);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE NetMemoryStream::Stat(STATSTG* statistics, DWORD)
{
    if (!statistics) return STG_E_INVALIDPOINTER;
    std::memset(statistics, 0, sizeof *statistics);
    statistics->type = STGTY_STREAM;
    statistics->cbSize.QuadPart = bytes_.size();
    return bytes_.empty() ? S_FALSE : S_OK;
}
