#pragma once

#include <windows.h>
#include <wincred.h>

#include "core/String.h"
#include "core/UniqueResource.h"
#include "sweeper/SweepCounters.h"
#include "sweeper/Sweeper.h"

// Deletes every credential the user has stored, of every type. The credential functions are
// looked up at run time; without all three the item finds nothing.
class CredentialSweeper : public Sweeper {
public:
    explicit CredentialSweeper(const System::String& name);

    void Reset(bool keepFindings) override;
    void Run(bool sweep) override;
    int64_t GetSize() const override;
    int32_t GetCount() const override;
    int GetProgress() const override;

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
    SweepCounters counters_;
};
