#pragma once

#include <windows.h>

#include "framework/CWinApp.h"

// Message loops for tests that drive framework windows on their own thread. Header only: the
// test support library itself does not link the window framework.
namespace TestSupport {

// Runs the thread's messages (with the framework's pre-translation) until done() holds; false
// when it did not within timeoutMs.
template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs = 10000)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        MSG peek;
        if (PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            AfxPumpMessage();
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

// Runs what is queued now (posted page updates, notices), then returns.
inline void PumpPending()
{
    MSG peek;
    for (int i = 0; i < 1000 && PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE); ++i) AfxPumpMessage();
}

}  // namespace TestSupport
