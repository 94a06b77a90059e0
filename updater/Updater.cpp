#include "updater/Updater.h"

#include <objbase.h>
#include <shellapi.h>

#include "framework/CArray.h"
#include "framework/CException.h"
#include "updater/FileSystem.h"
#include "updater/FileVersionInfo.h"
#include "updater/UpdateInfo.h"
#include "updater/UrlDownload.h"
#include "updater/ZipArchive.h"

namespace {

constexpr DWORD kThreadEndWait = 5000;

// COM for the current thread, for the scope of one check or update.
class ComScope {
public:
    ComScope() : m_initialized(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope()
    {
        if (m_initialized) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    BOOL m_initialized;
};

void TraceException(LPCWSTR where, CException* error)
{
    WCHAR message[512] = {};
    CString line(where);
    if (error->GetErrorMessage(message, _countof(message))) line += CString(L": ") + message;
    OutputDebugStringW(line + L"\n");
    error->Delete();
}

// One line of the update's course for whoever watches the debugger output.
void TraceStep(LPCWSTR step, const CString& text) { OutputDebugStringW(CString(step) + L" " + text + L"\n"); }

void TraceFailure(LPCWSTR format, const CString& text, DWORD code)
{
    CString line;
    line.Format(format, text.GetString(), static_cast<unsigned>(code));
    OutputDebugStringW(line + L"\n");
}

CString ExpandEnvironment(const CString& text)
{
    DWORD size = ExpandEnvironmentStringsW(text, nullptr, 0);
    if (size == 0) return text;
    CString expanded;
    DWORD written = ExpandEnvironmentStringsW(text, expanded.GetBuffer(static_cast<int>(size)), size);
    expanded.ReleaseBuffer();
    return written == 0 || written > size ? text : expanded;
}

// Missing, or present with a version other than the one the manifest wants.
BOOL NeedsUpdating(const CUpdateInfoElement& object, const CString& localPath)
{
    CFileVersionInfo info(localPath);
    if (!info.Exists()) return TRUE;
    CString wanted = object.GetAttribute(L"fileVersion");
    if (wanted.IsEmpty()) return FALSE;
    return info.GetFileVersion() != wanted;
}

CString MakeWorkDirectory()
{
    WCHAR temp[MAX_PATH + 1] = {};
    WCHAR name[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(_countof(temp), temp);
    if (length == 0 || length > MAX_PATH || !GetTempFileNameW(temp, L"QXV", 0, name)) {
        TraceFailure(L"Cannot name a work directory in %s (error %u)", temp, GetLastError());
        AfxThrowUserException();
    }
    DeleteFileW(name);
    if (!CreateDirectoryW(name, nullptr)) {
        TraceFailure(L"Cannot create the work directory %s (error %u)", name, GetLastError());
        AfxThrowUserException();
    }
    return name;
}

void RunShellAction(const CUpdateInfoElement& action)
{
    CString operation = action.GetAttribute(L"operation");
    CString file = action.GetAttribute(L"file");
    CString parameters = action.GetAttribute(L"parameters");
    CString directory = action.GetAttribute(L"directory");
    CString showCmd = action.GetAttribute(L"showCmd");
    int show = showCmd.IsEmpty() ? SW_SHOW : _wtoi(showCmd);
    ShellExecuteW(nullptr, operation.IsEmpty() ? nullptr : operation.GetString(), file,
                  parameters.IsEmpty() ? nullptr : parameters.GetString(),
                  directory.IsEmpty() ? nullptr : directory.GetString(), show);
}

// Copies the new file beside the installed one, then renames it over it: an update killed at any
// moment leaves every installed file whole, the old version or the new one, and the next run
// finds the old version and updates it again.
BOOL ReplaceInstalledFile(const CString& workFile, const CString& localPath)
{
    CString partial = localPath + L".new";
    if (!CopyFileW(workFile, partial, FALSE)) return FALSE;
    TraceStep(L"Written beside", localPath);
    if (MoveFileExW(partial, localPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        TraceStep(L"Replaced", localPath);
        return TRUE;
    }
    DWORD error = GetLastError();
    DeleteFileW(partial);
    SetLastError(error);
    return FALSE;
}

}  // namespace

CUpdater::~CUpdater()
{
    if (m_thread) WaitForSingleObject(m_thread.Get(), kThreadEndWait);
}

CString CUpdater::ResolveUrl(const CString& address, const CString& base)
{
    if (address.Find(L"://") > 0) return address;
    if (!address.IsEmpty() && address[0] == L'/') {
        int scheme = base.Find(L"://");
        int rootEnd = scheme < 0 ? -1 : base.Find(L'/', scheme + 3);
        return (rootEnd < 0 ? base : base.Left(rootEnd)) + address;
    }
    return base.Left(base.ReverseFind(L'/') + 1) + address;
}

CString CUpdater::LocalPath(const CUpdateInfoElement& object, BOOL expand) const
{
    CString directory = object.GetAttribute(L"directory");
    CString path = (directory.IsEmpty() ? m_directory : directory) + L"\\" + object.GetAttribute(L"name");
    return expand ? ExpandEnvironment(path) : path;
}

void CUpdater::ReportProgress(int percent, const CString& text)
{
    if (m_handler) m_handler->OnProgress(percent, text);
}

BOOL CUpdater::Check()
{
    ComScope com;
    try {
        CString manifest;
        HRESULT result = UrlDownloadToCacheFile(m_url, manifest);
        if (FAILED(result)) {
            CString line;
            line.Format(L"hr = 0x%08X\n", static_cast<unsigned>(result));
            OutputDebugStringW(line);
            return FALSE;
        }
        CUpdateInfo info(manifest);
        const CUpdateInfoElementArray& objects = info.GetObjects();
        for (INT_PTR i = 0; i < objects.GetSize(); ++i) {
            const CUpdateInfoElement& object = *objects[i];
            if (object.GetKind() == L"file" && NeedsUpdating(object, LocalPath(object, FALSE))) return TRUE;
        }
    } catch (CException* error) {
        TraceException(L"CUpdater::Check()", error);
    }
    return FALSE;
}

void CUpdater::Update()
{
    BOOL success = FALSE;
    {
        ComScope com;
        try {
            success = RunUpdate();
        } catch (CException* error) {
            TraceException(L"CUpdater::Update()", error);
        }
    }
    if (m_handler) m_handler->OnComplete(success);
}

BOOL CUpdater::RunUpdate()
{
    ReportProgress(0, CString());
    CString work = MakeWorkDirectory();
    CString manifest = work + L"\\update.xml";
    HRESULT result = UrlDownloadToFile(m_url, manifest);
    if (FAILED(result)) {
        TraceFailure(L"Cannot download the manifest %s (0x%08X)", m_url, static_cast<DWORD>(result));
        return FALSE;
    }
    CUpdateInfo info(manifest);
    if (!info.GetUrl().IsEmpty()) m_url = info.GetUrl();

    const CUpdateInfoElementArray& objects = info.GetObjects();
    const int total = static_cast<int>(objects.GetSize()) * 2;
    int done = 0;
    // Keyed by work file, so a second object of the same name replaces the first one's download.
    CMap<CString, const CString&, CString, const CString&> copies;
    for (INT_PTR i = 0; i < objects.GetSize(); ++i, ++done) {
        const CUpdateInfoElement& object = *objects[i];
        if (object.GetKind() != L"file") continue;
        CString name = object.GetAttribute(L"name");
        ReportProgress(done * 100 / total, name);
        CString localPath = LocalPath(object, TRUE);
        if (!NeedsUpdating(object, localPath)) continue;

        CString address = object.GetAttribute(L"url");
        CString source = ResolveUrl(address.IsEmpty() ? name : address, m_url);
        CString workFile = work + L"\\" + name;
        CreateDirectories(ParentPath(workFile));
        if (object.GetAttribute(L"zipped") == L"true") {
            CString archive;
            result = UrlDownloadToCacheFile(source, archive);
            if (FAILED(result)) {
                TraceFailure(L"Cannot download %s (0x%08X)", source, static_cast<DWORD>(result));
                return FALSE;
            }
            CZipArchive(archive).ExtractTo(work);
            if (GetFileAttributesW(workFile) == INVALID_FILE_ATTRIBUTES) {
                OutputDebugStringW(L"The archive " + source + L" holds no entry named " + name + L"\n");
                return FALSE;
            }
        } else {
            result = UrlDownloadToFile(source, workFile);
            if (FAILED(result)) {
                TraceFailure(L"Cannot download %s (0x%08X)", source, static_cast<DWORD>(result));
                return FALSE;
            }
        }
        TraceStep(L"Downloaded", source);
        copies[workFile] = localPath;
    }

    POSITION position = copies.GetStartPosition();
    while (position) {
        CString workFile;
        CString localPath;
        copies.GetNextAssoc(position, workFile, localPath);
        ReportProgress(done * 100 / total, localPath);
        if (!ReplaceInstalledFile(workFile, localPath)) {
            TraceFailure(L"Cannot replace %s (error %u)", localPath, GetLastError());
            return FALSE;
        }
        DeleteFileW(workFile);
        ++done;
    }

    const CUpdateInfoElementArray& actions = info.GetActions();
    for (INT_PTR i = 0; i < actions.GetSize(); ++i) {
        if (actions[i]->GetKind() == L"shell") RunShellAction(*actions[i]);
    }
    if (!DeleteTree(work)) TraceFailure(L"Cannot remove all of the work directory %s (error %u)", work, GetLastError());
    return TRUE;
}

DWORD WINAPI CUpdater::UpdateThread(LPVOID updater)
{
    static_cast<CUpdater*>(updater)->Update();
    return 0;
}

void CUpdater::StartUpdate()
{
    m_thread.Reset(CreateThread(nullptr, 0, &CUpdater::UpdateThread, this, 0, nullptr));
    if (!m_thread) {
        TraceFailure(L"Cannot start the update thread for %s (error %u)", m_url, GetLastError());
        AfxThrowUserException();
    }
}
