#pragma once

#include "console/AddonManager.h"
#include "framework/CWinApp.h"

// The console program. Its catalogue is read while the application object is constructed, before
// the program's start-up runs; at the end of the run the catalogue's destruction deletes every
// tool's dialog and frees every tool's library, in catalogue order.
class ConsoleApp : public CWinApp {
public:
    ConsoleApp();

    // Starts the core library and the log, asks the updater whether an update is due (handing
    // over to it when the user agrees), then runs the console's window. Always FALSE: the
    // program ends when the window does.
    BOOL InitInstance() override;
    // Ends the core library, which also completes the log.
    int ExitInstance() override;

    AddonManager& GetAddonManager() { return addons_; }

private:
    // True when the user agreed to an update and the updater took over.
    bool HandOverToUpdate();

    AddonManager addons_;
    bool coreStarted_ = false;
};
