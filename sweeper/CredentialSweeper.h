#pragma once

#include <windows.h>
#include <wincred.h>

#include "core/String.h"
#include "core/UniqueResource.h"
#include "sweeper/CountingSweeper.h"

// Deletes every credential the user has stored, of every type. The credential functions are
// looked up at run time; without all three the item finds nothing.
class CredentialSweeper : public CountingSweeper {
public:
    explicit CredentialSweeper(const System::String& name);

    void Run(bool sweep) override;

    bool IsAvailable() const { return available_; }

private:
    using CredEnumerateFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD*, PCREDENTIALW**);
    using CredDeleteFunction = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD);
    using CredFreeFunction = VOID(WINAPI*)(PVOID);

    System::UniqueLibrary advapi32_;
    CredEnumerateFunction credEnumerate_ = nullptr;
    CredDeleteFunction credDelete_ = nullptr;
    CredFreeFunction credFree_ = nullptr;
    bool available_ = false;
};
