#pragma once

#include <objidl.h>

#include <cstdint>
#include <vector>

// A read-only COM stream over a private copy of downloaded bytes, to feed the XML reader.
// It is created with one reference; the last Release frees it.
class NetMemoryStream final : public IStream {
public:
    NetMemoryStream(const uint8_t* bytes, size_t size);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // When fewer than count bytes remain, the whole buffer is cleared first; at the end it
    // reads 0 bytes and the position stays.
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    // Moves within the data; a position before the start or past the end is refused with
    // STG_E_INVALIDFUNCTION and leaves the position alone.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    // Reports the stream type and size; S_FALSE for an empty stream.
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* statistics, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

    size_t GetPosition() const { return position_; }

private:
    ~NetMemoryStream() = default;

    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
    LONG references_ = 1;
};
