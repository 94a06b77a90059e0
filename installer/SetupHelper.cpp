// The setup program's helper for the suite's files in its install folder:
//   setuphelper.exe query "<folder>"   exit code 1 when a program runs from it, 0 when none does
//   setuphelper.exe close "<folder>"   asks those programs to close; 1 when one still runs after the wait
//   setuphelper.exe clean "<folder>"   deletes the suite's programs and libraries directly in it, also
//                                      those the live updater added; 1 when one could not be deleted
// Exit code 2 is a command line it does not understand. It has no window of its own.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "installer/RunningPrograms.h"
#include "installer/SuiteBinaries.h"

namespace {

// Long enough for the console to fade out its tool and free its add-ons.
constexpr DWORD kCloseWait = 15000;

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return 2;
    int result = 2;
    if (count == 3 && arguments[2][0] != L'\0') {
        std::wstring command = arguments[1];
        std::wstring folder = arguments[2];
        if (command == L"query") result = Setup::FindProgramsIn(folder).empty() ? 0 : 1;
        if (command == L"close") result = Setup::CloseProgramsIn(folder, kCloseWait).empty() ? 0 : 1;
        if (command == L"clean")
            result = Setup::RemoveSuiteBinariesIn(folder, TEXT(VELA_PRODUCT_NAME), TEXT(VELA_COMPANY_NAME)).empty() ? 0 : 1;
    }
    LocalFree(arguments);
    return result;
}
