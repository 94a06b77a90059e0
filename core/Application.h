#pragma once

#include "core/CoreApi.h"
#include "core/String.h"

namespace Microsoft {
namespace Win32 {
class RegistryKey;
}  // namespace Win32
}  // namespace Microsoft

namespace System {

// Facts about the running program, the suite's data and settings locations, and the update check.
class VAPCORE_API Application {
public:
    // Hosts whose addresses are deployment settings (see GetServerUrl).
    enum class Server { Information, Update, HomePage, Guide, Redistributable };

    // Full path of the process's executable.
    static String GetExecutablePath();
    // The executable's folder, without a trailing backslash.
    static String GetStartupPath();
    // The suite's data folder, created with its parents when missing.
    static String GetCommonAppDataPath();
    // HKEY_LOCAL_MACHINE\Software\Vela\Toolbox, created when missing; the caller deletes it.
    // Open for writing, or for reading only when the user may not write it.
    static Microsoft::Win32::RegistryKey* GetCommonAppDataRegistry();
    // HKEY_CURRENT_USER\Software\Vela\Toolbox, created when missing and open for writing;
    // the caller deletes it.
    static Microsoft::Win32::RegistryKey* GetUserAppDataRegistry();
    // "a.b.c.d" from the executable's version resource, or the library's own version.
    static String GetProductVersion();
    // The host's address without a trailing slash: the text value of the common key named after
    // it ("UpdateServer", ...) when set, else the built-in address.
    static String GetServerUrl(Server server);

    static void SetUpdateUrl(const String& url);
    static String GetUpdateUrl();
    // The updater started by HasUpdate and Update; empty restores the default, vapup.exe in
    // the startup folder.
    static void SetUpdaterPath(const String& path);
    static String GetUpdaterPath();
    // Asks the updater whether the update address offers newer files. False when no address
    // is set, the updater is missing or fails, or it does not answer within two minutes.
    static bool HasUpdate();
    // Starts the updater on the update, which starts this executable again when done; waits
    // for the updater to end when wait is set. False when it could not be started.
    static bool Update(bool wait);
};

}  // namespace System
