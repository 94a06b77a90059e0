#include "sweeper/Catalogue.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "core/Environment.h"
#include "sweeper/CredentialSweeper.h"
#include "sweeper/FileSweeper.h"
#include "sweeper/FirefoxSweeper.h"
#include "sweeper/InternetCacheSweeper.h"
#include "sweeper/RecycleBinSweeper.h"
#include "sweeper/RegistryAppPathSweeper.h"
#include "sweeper/RegistryCLSIDSweeper.h"
#include "sweeper/RegistryProgIDSweeper.h"
#include "sweeper/RegistrySharedDllSweeper.h"
#include "sweeper/RegistrySweeper.h"
#include "sweeper/RegistryValueSweeper.h"

using System::Environment;
using System::String;

namespace {

// The full path with "." and ".." resolved, "\" separators and no trailing backslash except at a
// drive root; empty for anything that is not a full path.
String Normalise(const String& path)
{
    String text = path.Trim().Replace(L"/", L"\\");
    bool full = (text.GetLength() >= 3 && text[1] == L':' && text[2] == L'\\') || text.StartsWith(L"\\\\");
    if (!full) return String();
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetFullPathNameW(text.GetBuffer(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0) return String();
        if (length < buffer.size()) {
            text = String(buffer.data(), static_cast<int>(length));
            break;
        }
        buffer.resize(length);
    }
    while (text.GetLength() > 3 && text.EndsWith(L"\\")) text = text.Substring(0, text.GetLength() - 1);
    return text;
}

bool IsRoot(const String& normalised)
{
    if (normalised.GetLength() <= 3 && normalised.GetLength() >= 2 && normalised[1] == L':') return true;
    // "\\server\share" and "\\?\C:" style roots: at most one separator after the leading pair.
    if (normalised.StartsWith(L"\\\\")) {
        int separator = normalised.IndexOf(L'\\', 2);
        return separator < 0 || normalised.IndexOf(L'\\', separator + 1) < 0;
    }
    return false;
}

// Whether folder is special or lies under special, both normalised.
bool Covers(const String& folder, const String& special)
{
    if (special.Equals(folder, true)) return true;
    String prefix = folder.EndsWith(L"\\") ? folder : folder + L"\\";
    return special.StartsWith(prefix, true);
}

Sweeper* Add(Sweeper* parent, Sweeper* child)
{
    std::unique_ptr<Sweeper> owned(child);
    parent->AddChild(child);
    return owned.release();
}

}  // namespace

bool IsSweepableTempFolder(const String& path)
{
    String folder = Normalise(path);
    if (folder.IsEmpty() || IsRoot(folder)) return false;
    for (int code = Environment::ApplicationData; code <= Environment::UserProfile; ++code) {
        String special = Normalise(Environment::GetFolderPath(code));
        if (!special.IsEmpty() && Covers(folder, special)) return false;
    }
    return true;
}

Sweeper* BuildCatalogue()
{
    auto root = std::make_unique<Sweeper>(String());
    const wchar_t* const user = L"HKEY_CURRENT_USER\\Software\\Microsoft\\";

    Sweeper* disk = Add(root.get(), new Sweeper(L"Disk"));
    Add(disk, new RecycleBinSweeper(L"RecycleBin"));
    String temp = Environment::GetEnvironmentVariable(L"Temp");
    if (IsSweepableTempFolder(temp)) Add(disk, new FileSweeper(L"Temp", temp));
    String windows = Environment::GetFolderPath(Environment::Windows);
    Add(disk, new FileSweeper(L"WindowsTemp", windows.IsEmpty() ? String() : windows + L"\\Temp"));
    Add(disk, new InternetCacheSweeper(L"IECache", 0));
    Add(disk, new InternetCacheSweeper(L"IECookie", 1));
    Add(disk, new FirefoxSweeper(L"FFCache", 0));
    Add(disk, new FirefoxSweeper(L"FFCookie", 1));

    Sweeper* registry = Add(root.get(), new Sweeper(L"Registry"));
    Add(registry, new RegistryCLSIDSweeper(L"CLSID"));
    Add(registry, new RegistryProgIDSweeper(L"ProgID"));
    Add(registry, new RegistrySharedDllSweeper(L"SharedDll"));
    Add(registry, new RegistryAppPathSweeper(L"AppPath"));

    String explorer = String(user) + L"Windows\\CurrentVersion\\Explorer\\";
    Sweeper* history = Add(root.get(), new Sweeper(L"History"));
    Add(history, new RegistrySweeper(L"CommonOpenMRU", explorer + L"ComDlg32\\LastVisitedMRU;" + explorer + L"ComDlg32\\LastVisitedPidlMRU"));
    Add(history, new RegistrySweeper(L"CommonSaveAsMRU", explorer + L"ComDlg32\\OpenSaveMRU;" + explorer + L"ComDlg32\\OpenSavePidlMRU"));
    Add(history, new FileSweeper(L"ExplorerRecent", Environment::GetFolderPath(Environment::Recent)));
    Add(history, new RegistrySweeper(L"ExplorerRunMRU", explorer + L"RunMRU"));
    Add(history, new FileSweeper(L"IEHistory", Environment::GetFolderPath(Environment::History)));
    Add(history, new RegistrySweeper(L"IETypedURLs", String(user) + L"Internet Explorer\\TypedURLs"));
    Add(history, new InternetCacheSweeper(L"IESiteVisited", 2));
    String terminal = String(user) + L"Terminal Server Client\\";
    Add(history, new RegistrySweeper(L"TSCMRU", terminal + L"Default;" + terminal + L"LocalDevices;" + terminal + L"UsernameHint"));

    String player = String(user) + L"MediaPlayer\\Player\\";
    Sweeper* applications = Add(root.get(), new Sweeper(L"ApplicationHistory"));
    Add(applications, new RegistrySweeper(L"WMPRecentFileList", player + L"RecentFileList"));
    Add(applications, new RegistrySweeper(L"WMPRecentURLList", player + L"RecentURLList"));
    Add(applications, new FirefoxSweeper(L"FFDownloadHistory", 2));
    Add(applications, new FirefoxSweeper(L"FFHistory", 4));

    String messenger = L"HKEY_CURRENT_USER\\Software\\SK Communications\\Messenger\\Settings\\";
    Sweeper* privacy = Add(root.get(), new Sweeper(L"Privacy"));
    Add(privacy, new CredentialSweeper(L"Credential"));
    Add(privacy, new RegistrySweeper(L"IEAutoCompletePassword", String(user) + L"Internet Explorer\\IntelliForms"));
    Add(privacy, new RegistryValueSweeper(L"NateOnPassword", messenger + L"User ID;" + messenger + L"Pass"));
    Add(privacy, new RegistrySweeper(L"GoogleTalkPassword", L"HKEY_CURRENT_USER\\Software\\Google\\Google Talk\\Accounts"));
    Add(privacy, new FirefoxSweeper(L"FFFormHistory", 3));

    return root.release();
}
