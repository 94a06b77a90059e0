#pragma once

// windows.h renames GetEnvironmentVariable to GetEnvironmentVariableW; including it here first
// gives the member the same name in every file that uses it.
#include <windows.h>

#include "core/CoreApi.h"
#include "core/OperatingSystem.h"
#include "core/String.h"

namespace System {

class VAPCORE_API Environment {
public:
    // Codes for GetFolderPath, each naming one shell folder. (The enumerator System hides the
    // namespace inside this class: write no "System::" below it.)
    enum ESpecialFolder {
        ApplicationData = 0,
        CommonApplicationData = 1,
        CommonProgramFiles = 2,
        Cookies = 3,
        Desktop = 4,
        DesktopDirectory = 5,
        Favorites = 6,
        History = 7,
        InternetCache = 8,
        LocalApplicationData = 9,
        MyComputer = 10,
        MyMusic = 11,
        MyPictures = 12,
        Personal = 13,
        ProgramFiles = 14,
        Programs = 15,
        Recent = 16,
        SendTo = 17,
        StartMenu = 18,
        Startup = 19,
        System = 20,
        Templates = 21,
        Windows = 22,
        CommonDesktopDirectory = 23,
        CommonPrograms = 24,
        CommonStartMenu = 25,
        CommonStartup = 26,
        CommonDocuments = 27,
        UserProfile = 28,
    };

    // Replaces each %name% of a set variable with its value, as the platform does; other text,
    // %name% of unset variables and a lone % stay as they are. Any length.
    static String ExpandEnvironmentVariables(const String& text);
    // Empty when the variable is not set.
    static String GetEnvironmentVariable(const String& name);
    // The folder's path without a trailing backslash, or empty when the shell has none for it
    // (MyComputer never has). A code outside 0 to 28 raises ArgumentOutOfRangeException.
    static String GetFolderPath(int specialFolder);
    // Owned by the library.
    static const OperatingSystem* GetOSVersion();
    // The whole version record of the running system, product type and suites included, as the
    // system tells it (not as GetVersionEx does to programs without a manifest). Raises
    // Win32Exception when the system does not answer.
    static OSVERSIONINFOEXW GetVersionRecord();
};

}  // namespace System
