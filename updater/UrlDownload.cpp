#include "updater/UrlDownload.h"

#include <urlmon.h>
#include <wininet.h>

namespace {

// Watches the HTTP status of one download.
class StatusCallback final : public IBindStatusCallback, public IHttpNegotiate {
public:
    DWORD Status() const { return m_status; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IBindStatusCallback)) {
            *object = static_cast<IBindStatusCallback*>(this);
        } else if (iid == __uuidof(IHttpNegotiate)) {
            *object = static_cast<IHttpNegotiate*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    // Lives on the caller's stack for the one synchronous download.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding* binding) override
    {
        m_binding = binding;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG, ULONG, ULONG statusCode, LPCWSTR) override
    {
        // The status is known once the answer's headers are in; some monikers tell it only here.
        if (m_status == 0 && m_binding &&
            (statusCode == BINDSTATUS_BEGINDOWNLOADDATA || statusCode == BINDSTATUS_ENDDOWNLOADDATA)) {
            ReadStatusFromBinding();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override
    {
        if (m_status == 0 && m_binding) ReadStatusFromBinding();
        m_binding = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override
    {
        if (!flags || !info) return E_INVALIDARG;
        ULONG size = info->cbSize;
        ZeroMemory(info, size);
        info->cbSize = size;
        info->dwBindVerb = BINDVERB_GET;
        *flags = BINDF_GETNEWESTVERSION | BINDF_NO_UI;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) override
    {
        if (additionalHeaders) *additionalHeaders = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR, LPWSTR* additionalHeaders) override
    {
        if (additionalHeaders) *additionalHeaders = nullptr;
        m_status = responseCode;
        return S_OK;
    }

private:
    void ReadStatusFromBinding()
    {
        IWinInetHttpInfo* info = nullptr;
        if (FAILED(m_binding->QueryInterface(IID_IWinInetHttpInfo, reinterpret_cast<void**>(&info))) || !info) return;
        DWORD status = 0;
        DWORD size = sizeof(status);
        DWORD flags = HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER;
        if (SUCCEEDED(info->QueryInfo(flags, &status, &size, nullptr, nullptr))) m_status = status;
        info->Release();
    }

    IBinding* m_binding = nullptr;
    DWORD m_status = 0;
};

HRESULT CheckStatus(HRESULT result, const StatusCallback& callback, const CString& url)
{
    if (FAILED(result)) return result;
    if (callback.Status() >= 400) {
        CString message;
        message.Format(L"HTTP status %u for %s\n", static_cast<unsigned>(callback.Status()), url.GetString());
        OutputDebugStringW(message);
        return INET_E_DOWNLOAD_FAILURE;
    }
    return result;
}

}  // namespace

HRESULT UrlDownloadToFile(const CString& url, const CString& path)
{
    StatusCallback callback;
    HRESULT result = URLDownloadToFileW(nullptr, url, path, 0, &callback);
    result = CheckStatus(result, callback, url);
    // The error page saved in place of the payload must not be taken for it later.
    if (FAILED(result)) DeleteFileW(path);
    return result;
}

HRESULT UrlDownloadToCacheFile(const CString& url, CString& path)
{
    StatusCallback callback;
    WCHAR buffer[MAX_PATH] = {};
    HRESULT result = URLDownloadToCacheFileW(nullptr, url, buffer, MAX_PATH, 0, &callback);
    result = CheckStatus(result, callback, url);
    path = SUCCEEDED(result) ? CString(buffer) : CString();
    return result;
}
