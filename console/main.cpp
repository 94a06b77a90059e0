#include <windows.h>

#include "console/ConsoleApp.h"
#include "framework/CWinApp.h"

// The program's application object: constructing it reads the catalogue.
ConsoleApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show)
{
    return AfxWinMain(instance, previous, commandLine, show);
}
