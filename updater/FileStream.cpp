#include "updater/FileStream.h"

CFileStream::CFileStream(LPCWSTR path) : m_file(path, CFile::modeRead | CFile::shareDenyWrite | CFile::modeNoInherit) {}

HRESULT STDMETHODCALLTYPE CFileStream::QueryInterface(REFIID iid, void** object)
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

ULONG STDMETHODCALLTYPE CFileStream::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG STDMETHODCALLTYPE CFileStream::Release()
{
    LONG left = InterlockedDecrement(&m_references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE CFileStream::Read(void* buffer, ULONG count, ULONG* read)
{
    if (read) *read = 0;
    if (!buffer) return STG_E_INVALIDPOINTER;
    try {
        UINT got = m_file.Read(buffer, count);
        if (read) *read = got;
        // Reading past the end is an error: Wine's XML reader retries an empty successful read for
        // ever inside an unfinished element. A complete document has ended before then.
        return got == 0 && count > 0 ? HRESULT_FROM_WIN32(ERROR_HANDLE_EOF) : S_OK;
    } catch (CException* error) {
        // The reader sees a read error; the file exception cannot cross the COM boundary.
        HRESULT result = E_FAIL;
        if (auto* fileError = dynamic_cast<CFileException*>(error)) {
            if (fileError->m_lOsError > 0) result = HRESULT_FROM_WIN32(static_cast<DWORD>(fileError->m_lOsError));
        }
        error->Delete();
        return result;
    }
}
