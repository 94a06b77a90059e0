#include "patch/AgentCheck.h"

#include <fcntl.h>
#include <io.h>
#include <msxml2.h>
#include <softpub.h>
#include <sys/stat.h>
#include <wintrust.h>
#include <wuapi.h>
#include <fdi.h>

#include <cwchar>

#include "core/Application.h"
#include "core/ComPtr.h"
#include "core/Trace.h"
#include "core/UniqueResource.h"
#include "patch/UpdateAgentCallbacks.h"
#include "updater/UrlDownload.h"

using System::ComPtr;
using System::String;
using System::Diagnostics::Trace;

namespace {

// The platform's DOM document class and interface the catalogue is read with.
constexpr CLSID DomDocumentClass = {0xf6d90f11, 0x9c73, 0x11d3, {0xb3, 0x2e, 0x00, 0xc0, 0x4f, 0x99, 0x0b, 0xb4}};
constexpr IID DomDocumentInterface = {0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

constexpr DWORD MinimumAgent[4] = {5, 4, 3790, 1000};
constexpr size_t ClientVersionLimit = 80;
constexpr size_t DownloadUrlLimit = 520;

struct ServiceHandleTraits {
    using Type = SC_HANDLE;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { CloseServiceHandle(value); }
};
using UniqueServiceHandle = System::UniqueResource<ServiceHandleTraits>;

struct Bstr {
    explicit Bstr(const std::wstring& text) : value(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(value); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR value = nullptr;
};

std::wstring WithBackslash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

std::wstring TempFolder()
{
    wchar_t folder[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH, folder);
    return WithBackslash(length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring());
}

std::wstring FromCodePage(UINT codePage, const char* text)
{
    int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(length - 1, L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), length);
    return wide;
}

HRESULT Download(const std::wstring& url, const std::wstring& path)
{
    return UrlDownloadToFile(CString(url.c_str()), CString(path.c_str()));
}

int WaitForServiceState(SC_HANDLE service, DWORD wanted, bool start, DWORD waitLimit)
{
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service, &status)) return -1;
    if (status.dwCurrentState == wanted) return 0;
    BOOL sent = start ? StartServiceW(service, 0, nullptr) : ControlService(service, SERVICE_CONTROL_STOP, &status);
    if (!sent) {
        // Nothing will change: waiting the full ten seconds would only hold the user up.
        Trace::WriteLine(String::Format(L"%s request refused (error %lu)", start ? L"Start" : L"Stop", GetLastError()));
        return -1;
    }
    ULONGLONG began = GetTickCount64();
    while (QueryServiceStatus(service, &status) && status.dwCurrentState != wanted && GetTickCount64() - began < waitLimit) {
        DWORD pause = status.dwWaitHint / 10;
        Sleep(pause < 1000 ? 1000 : pause > 10000 ? 10000 : pause);
    }
    return 1;
}

int ChangeService(const wchar_t* name, DWORD wanted, bool start, DWORD waitLimit)
{
    UniqueServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return -1;
    UniqueServiceHandle service(OpenServiceW(manager.Get(), name, SERVICE_QUERY_STATUS | SERVICE_START | SERVICE_STOP));
    if (!service) return -1;
    return WaitForServiceState(service.Get(), wanted, start, waitLimit);
}

// The cabinet callbacks of FDI: plain C runtime memory and files.
FNALLOC(CabinetAlloc) { return malloc(cb); }
FNFREE(CabinetFree) { free(pv); }
FNOPEN(CabinetOpen) { return _wopen(FromCodePage(CP_ACP, pszFile).c_str(), oflag, pmode); }
FNREAD(CabinetRead) { return static_cast<UINT>(_read(static_cast<int>(hf), pv, cb)); }
FNWRITE(CabinetWrite) { return static_cast<UINT>(_write(static_cast<int>(hf), pv, cb)); }
FNCLOSE(CabinetClose) { return _close(static_cast<int>(hf)); }
FNSEEK(CabinetSeek) { return _lseek(static_cast<int>(hf), dist, seektype); }

struct Extraction {
    std::wstring folder;
    std::vector<std::wstring>* extracted;
    // The target of the file being written, by handle.
    std::wstring current;
};

FNFDINOTIFY(CabinetNotify)
{
    auto* extraction = static_cast<Extraction*>(pfdin->pv);
    switch (fdint) {
    case fdintCOPY_FILE: {
        std::string name = pfdin->psz1 ? pfdin->psz1 : "";
        if (!AgentCheck::IsContainedName(name)) {
            Trace::WriteLine(L"Cabinet entry skipped, its name leaves the folder: " + String::FromUtf8(name));
            return 0;
        }
        UINT codePage = (pfdin->attribs & _A_NAME_IS_UTF) ? CP_UTF8 : CP_ACP;
        extraction->current = extraction->folder + FromCodePage(codePage, name.c_str());
        return _wopen(extraction->current.c_str(), _O_BINARY | _O_CREAT | _O_TRUNC | _O_WRONLY | _O_SEQUENTIAL, _S_IREAD | _S_IWRITE);
    }
    case fdintCLOSE_FILE_INFO:
        _close(static_cast<int>(pfdin->hf));
        extraction->extracted->push_back(extraction->current);
        return TRUE;
    default:
        return 0;
    }
}

}  // namespace

AgentCheck::AgentCheck()
    : server_(System::Application::GetServerUrl(System::Application::Server::Redistributable).GetStdString()),
      tempFolder_(TempFolder()),
      architecture_(MachineArchitecture())
{
}

int AgentCheck::VersionStateOf(DWORD major, DWORD minor, const std::wstring& servicePack)
{
    if (major < 5) return -1;
    if (major != 5 || minor != 0) return 0;
    if (servicePack.size() <= 12 || _wcsnicmp(servicePack.c_str(), L"Service Pack", 12) != 0) return 1;
    return _wtoi(servicePack.c_str() + 12) < 3 ? 1 : 0;
}

int AgentCheck::GetWindowsVersionState()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&version)) return -1;
#pragma GCC diagnostic pop
    return VersionStateOf(version.dwMajorVersion, version.dwMinorVersion, version.szCSDVersion);
}

int AgentCheck::GroupOf(const TOKEN_GROUPS& groups)
{
    const DWORD aliases[] = {DOMAIN_ALIAS_RID_USERS, DOMAIN_ALIAS_RID_GUESTS, DOMAIN_ALIAS_RID_POWER_USERS, DOMAIN_ALIAS_RID_ADMINS};
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    int group = -1;
    for (int index = 0; index < 4; ++index) {
        PSID alias = nullptr;
        if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, aliases[index], 0, 0, 0, 0, 0, 0, &alias)) continue;
        for (DWORD i = 0; i < groups.GroupCount; ++i) {
            if (EqualSid(alias, groups.Groups[i].Sid)) group = index;
        }
        FreeSid(alias);
    }
    return group;
}

int AgentCheck::GetUserGroup()
{
    if (GetVersion() & 0x80000000) return AdministratorsGroup;
    System::UniqueHandle token;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, token.Receive()) &&
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) {
        return -1;
    }
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenGroups, nullptr, 0, &size);
    if (size == 0) return -1;
    std::vector<BYTE> buffer(size);
    if (!GetTokenInformation(token.Get(), TokenGroups, buffer.data(), size, &size)) return -1;
    return GroupOf(*reinterpret_cast<const TOKEN_GROUPS*>(buffer.data()));
}

int AgentCheck::RequirementCodeOf(int versionState, int group)
{
    if (versionState != 0) return versionState == 1 ? Windows2000BelowSp3 : UnsupportedSystem;
    return group == AdministratorsGroup ? Qualifies : NotAdministrator;
}

int AgentCheck::CheckSystemRequirements()
{
    static const int versionState = GetWindowsVersionState();
    static const int group = GetUserGroup();
    return RequirementCodeOf(versionState, group);
}

bool AgentCheck::IsAgentVersionCurrent(const std::wstring& version)
{
    DWORD parts[4] = {};
    const wchar_t* at = version.c_str();
    for (int i = 0; i < 4 && *at; ++i) {
        parts[i] = static_cast<DWORD>(wcstoul(at, nullptr, 10));
        const wchar_t* dot = wcschr(at, L'.');
        if (!dot) break;
        at = dot + 1;
    }
    for (int i = 0; i < 4; ++i) {
        if (parts[i] > MinimumAgent[i]) return true;
    }
    return false;
}

std::wstring AgentCheck::ReadAgentVersion()
{
    ComPtr<IWindowsUpdateAgentInfo> info;
    if (FAILED(CoCreateInstance(UpdateAgentIds::WindowsUpdateAgentInfo, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWindowsUpdateAgentInfo),
                                reinterpret_cast<void**>(info.Receive())))) {
        return std::wstring();
    }
    Bstr name(L"ProductVersionString");
    VARIANT identifier;
    VariantInit(&identifier);
    identifier.vt = VT_BSTR;
    identifier.bstrVal = name.value;
    VARIANT answer;
    VariantInit(&answer);
    std::wstring version;
    if (SUCCEEDED(info->GetInfo(identifier, &answer)) && answer.vt == VT_BSTR && answer.bstrVal) version = answer.bstrVal;
    VariantClear(&answer);
    return version;
}

int AgentCheck::CheckAgentVersion()
{
    std::wstring version = ReadAgentVersion();
    bool current = !version.empty() && IsAgentVersionCurrent(version);
    if (GetRedistInfo() != 0) return current ? AgentCurrent : AgentTooOldNoCatalogue;
    if (!current) return AgentTooOld;
    return version == clientVersion_ ? AgentCurrent : AgentDiffers;
}

std::wstring AgentCheck::MachineArchitecture()
{
    SYSTEM_INFO system = {};
    GetNativeSystemInfo(&system);
    switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
        return L"x64";
    case PROCESSOR_ARCHITECTURE_ARM64:
        return L"arm64";
    case PROCESSOR_ARCHITECTURE_IA64:
        return L"ia64";
    default:
        return L"x86";
    }
}

bool AgentCheck::IsContainedName(const std::string& name)
{
    if (name.empty() || name[0] == '\\' || name[0] == '/' || name.find(':') != std::string::npos) return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "..") return false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return true;
}

int AgentCheck::ExtractCabinet(const std::wstring& cabinet, const std::wstring& folder, std::vector<std::wstring>& extracted)
{
    ERF error = {};
    HFDI context = FDICreate(CabinetAlloc, CabinetFree, CabinetOpen, CabinetRead, CabinetWrite, CabinetClose, CabinetSeek, cpu80386, &error);
    if (!context) return -4;
    int result = -4;
    int file = _wopen(cabinet.c_str(), _O_BINARY | _O_RDONLY);
    if (file != -1) {
        FDICABINETINFO info = {};
        BOOL isCabinet = FDIIsCabinet(context, file, &info);
        _close(file);
        size_t split = cabinet.find_last_of(L'\\');
        // FDI takes ANSI names.
        auto narrow = [](const std::wstring& text) {
            int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string bytes(length > 0 ? length - 1 : 0, '\0');
            WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
            return bytes;
        };
        std::string path = narrow(split == std::wstring::npos ? std::wstring() : cabinet.substr(0, split + 1));
        std::string name = narrow(split == std::wstring::npos ? cabinet : cabinet.substr(split + 1));
        Extraction extraction{WithBackslash(folder), &extracted, std::wstring()};
        if (isCabinet && FDICopy(context, name.data(), path.data(), 0, CabinetNotify, nullptr, &extraction)) result = 0;
    }
    FDIDestroy(context);
    return result;
}

bool AgentCheck::ReadCatalogue(const std::wstring& path)
{
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(CoCreateInstance(DomDocumentClass, nullptr, CLSCTX_INPROC_SERVER, DomDocumentInterface,
                                reinterpret_cast<void**>(document.Receive())))) {
        Trace::WriteLine(L"GetRedistInfo: no XML document class");
        return false;
    }
    document->put_async(VARIANT_FALSE);
    Bstr file(path);
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = file.value;
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (FAILED(document->load(source, &loaded)) || loaded != VARIANT_TRUE) return false;

    // The machine's own entry; the x86 one only where the catalogue has none for the machine.
    ComPtr<IXMLDOMNode> entry;
    for (const std::wstring& architecture : {architecture_, std::wstring(L"x86")}) {
        Bstr query(L"//architecture[@name=\"" + architecture + L"\"]");
        if (SUCCEEDED(document->selectSingleNode(query.value, entry.Receive())) && entry) break;
    }
    if (!entry) return false;
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    long count = 0;
    if (FAILED(entry->get_attributes(attributes.Receive())) || !attributes || FAILED(attributes->get_length(&count))) return false;
    for (long i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> attribute;
        Bstr name, value;
        if (FAILED(attributes->get_item(i, attribute.Receive())) || !attribute) continue;
        if (FAILED(attribute->get_baseName(&name.value)) || !name.value || FAILED(attribute->get_text(&value.value)) || !value.value) continue;
        std::wstring text = value.value;
        if (_wcsicmp(name.value, L"downloadUrl") == 0) downloadUrl_ = text.substr(0, DownloadUrlLimit);
        else if (_wcsicmp(name.value, L"clientVersion") == 0) clientVersion_ = text.substr(0, ClientVersionLimit);
    }
    return true;
}

int AgentCheck::GetRedistInfo()
{
    clientVersion_.clear();
    downloadUrl_.clear();
    std::wstring cabinet = tempFolder_ + L"wuredist.cab";
    std::vector<std::wstring> extracted;
    bool read = false;
    if (SUCCEEDED(Download(server_ + L"/redist/wuredist.cab", cabinet)) && ExtractCabinet(cabinet, tempFolder_, extracted) == 0 &&
        !extracted.empty()) {
        read = ReadCatalogue(extracted.front());
    }
    DeleteFileW(cabinet.c_str());
    for (const std::wstring& file : extracted) DeleteFileW(file.c_str());
    return read && !clientVersion_.empty() && !downloadUrl_.empty() ? 0 : -1;
}

bool AgentCheck::IsTrustedSignature(const std::wstring& path, std::wstring& reason)
{
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG status = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    if (status == ERROR_SUCCESS) return true;
    reason = String::Format(L"signature not trusted (0x%08lX)", static_cast<unsigned long>(status)).GetStdString();
    return false;
}

int AgentCheck::InstallAgent()
{
    if (downloadUrl_.empty()) return -31;
    bool stopped = StopServiceAndWait(L"wuauserv") == 1;
    std::wstring target = tempFolder_ + L"inst.exe";
    if (FAILED(Download(downloadUrl_, target))) return -2;
    int result = 0;
    std::wstring reason;
    if (!IsTrustedSignature(target, reason)) {
        // An installer that runs silently with administrator rights must come from its maker.
        Trace::WriteLine(L"InstallAgent: not run, " + String(reason));
        result = InstallerUntrusted;
    } else {
        // Quoted: the temporary folder may hold spaces.
        std::wstring command = L"\"" + target + L"\" /quiet /norestart";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            Trace::WriteLine(String::Format(L"InstallAgent: cannot start the installer (error %lu)", GetLastError()));
            result = -32;
        } else {
            System::UniqueHandle processHandle(process.hProcess);
            System::UniqueHandle threadHandle(process.hThread);
            result = WaitForSingleObject(process.hProcess, installerWait_) == WAIT_OBJECT_0 ? 0 : -1;
        }
    }
    if (stopped) StartServiceAndWait(L"wuauserv");
    return result;
}

int AgentCheck::StartServiceAndWait(const wchar_t* name, DWORD waitLimit) { return ChangeService(name, SERVICE_RUNNING, true, waitLimit); }

int AgentCheck::StopServiceAndWait(const wchar_t* name, DWORD waitLimit) { return ChangeService(name, SERVICE_STOPPED, false, waitLimit); }

int AgentCheck::RunWorker()
{
    HRESULT com = CoInitialize(nullptr);
    int code = CheckAgentVersion();
    int result = 0;
    if (code == AgentTooOldNoCatalogue) {
        result = AgentTooOldNoCatalogue;
    } else if (code == AgentDiffers || code == AgentTooOld) {
        Trace::WriteLine(L"Update WUA");
        InstallAgent();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

DWORD WINAPI AgentCheck::WorkerThread(LPVOID check)
{
    return static_cast<DWORD>(static_cast<AgentCheck*>(check)->RunWorker());
}
