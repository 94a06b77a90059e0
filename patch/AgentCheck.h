#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/String.h"

// Whether this machine may use the update agent, whether the agent is current, and the agent's
// silent update from the redistributable catalogue. The catalogue comes from the deployment's
// redistributable server; everything downloaded or unpacked stays in the temporary folder.
class AgentCheck {
public:
    // Requirement codes.
    static constexpr int Qualifies = 0;
    static constexpr int UnsupportedSystem = -10;
    static constexpr int NotAdministrator = -11;
    static constexpr int Windows2000BelowSp3 = -12;
    // Agent codes.
    static constexpr int AgentCurrent = 0;
    static constexpr int AgentDiffers = 1;
    static constexpr int AgentTooOld = -20;
    static constexpr int AgentTooOldNoCatalogue = -2;
    static constexpr int AdministratorsGroup = 3;

    AgentCheck();

    // -1 unknown or too old, 0 Windows XP and later, 1 Windows 2000 below Service Pack 3.
    static int GetWindowsVersionState();
    static int VersionStateOf(DWORD major, DWORD minor, const std::wstring& servicePack);
    // The last of Users (0), Guests (1), Power Users (2), Administrators (3) that the token's groups
    // hold, or -1.
    static int GetUserGroup();
    static int GroupOf(const TOKEN_GROUPS& groups);
    // The state and group are found once per process.
    static int CheckSystemRequirements();
    static int RequirementCodeOf(int versionState, int group);

    // Newer than 5.4.3790.1000 in at least one of its four parts, each compared on its own.
    static bool IsAgentVersionCurrent(const std::wstring& version);
    // The installed agent's "ProductVersionString"; empty when the agent cannot tell.
    static std::wstring ReadAgentVersion();
    int CheckAgentVersion();

    // Reads the catalogue into the client version and download address; 0 or -1.
    int GetRedistInfo();
    const std::wstring& GetClientVersion() const { return clientVersion_; }
    const std::wstring& GetDownloadUrl() const { return downloadUrl_; }
    // "x64", "x86" or "arm64" as the catalogue names the machine's processor.
    static std::wstring MachineArchitecture();

    // Unpacks every file of the cabinet into folder; 0, or -4 when it is no cabinet or cannot be
    // read. A file whose name would leave the folder is skipped and traced.
    static int ExtractCabinet(const std::wstring& cabinet, const std::wstring& folder, std::vector<std::wstring>& extracted);
    // Whether a name from a cabinet can be joined to a folder without leaving it.
    static bool IsContainedName(const std::string& name);

    // 0 the installer ended, -1 it did not end in time, -2 download failed, -31 no address,
    // -32 it could not be started, -33 its signature is not trusted.
    int InstallAgent();
    static constexpr int InstallerUntrusted = -33;
    // Whether Windows trusts the file's signature; why not, in reason.
    static bool IsTrustedSignature(const std::wstring& path, std::wstring& reason);

    // -1 the manager or service cannot be opened or refused the request, 0 already in that state,
    // 1 a request was sent (and the state was awaited for up to waitLimit milliseconds).
    static int StartServiceAndWait(const wchar_t* name, DWORD waitLimit = ServiceWaitLimit);
    static int StopServiceAndWait(const wchar_t* name, DWORD waitLimit = ServiceWaitLimit);
    static constexpr DWORD ServiceWaitLimit = 10000;

    // The agent check as the search runs it, on its own thread: -2 when the agent must be updated
    // but the catalogue could not be read, else 0 (after installing a newer agent when needed).
    int RunWorker();
    static DWORD WINAPI WorkerThread(LPVOID check);

    // For tests: the catalogue server, the temporary folder (with a trailing backslash), the
    // installer's wait and the machine architecture.
    void SetRedistributableServer(const std::wstring& url) { server_ = url; }
    void SetTempFolder(const std::wstring& folder) { tempFolder_ = folder; }
    void SetInstallerWait(DWORD milliseconds) { installerWait_ = milliseconds; }
    void SetArchitecture(const std::wstring& architecture) { architecture_ = architecture; }

private:
    bool ReadCatalogue(const std::wstring& path);

    std::wstring server_;
    std::wstring tempFolder_;
    std::wstring architecture_;
    std::wstring clientVersion_;
    std::wstring downloadUrl_;
    DWORD installerWait_ = 600000;
};
