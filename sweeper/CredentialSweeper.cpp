#include "sweeper/CredentialSweeper.h"

#include <memory>

#include "core/Convert.h"
#include "core/Environment.h"
#include "core/ExceptionGuard.h"
#include "core/Trace.h"
#include "core/Version.h"
#include "core/Win32Exception.h"

using System::String;

namespace {

// The platform's flag for every credential of the logon session, from Windows Vista on (mingw's
// headers lack its name).
constexpr DWORD EnumerateAllCredentials = 0x1;

template <class Function>
Function Lookup(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

CredentialSweeper::CredentialSweeper(const String& name) : CountingSweeper(name), advapi32_(LoadLibraryW(L"advapi32.dll"))
{
    if (!advapi32_) return;
    credEnumerate_ = Lookup<CredEnumerateFunction>(advapi32_.Get(), "CredEnumerateW");
    credDelete_ = Lookup<CredDeleteFunction>(advapi32_.Get(), "CredDeleteW");
    credFree_ = Lookup<CredFreeFunction>(advapi32_.Get(), "CredFree");
    available_ = credEnumerate_ && credDelete_ && credFree_;
}

void CredentialSweeper::Run(bool sweep)
{
    counters_.Reset(true);
    SetDone(false);
    RaiseProgress();
    if (available_) {
        const System::OperatingSystem* system = System::Environment::GetOSVersion();
        DWORD flags = system->GetPlatform() == System::Win32NT && System::Version(6, 0, 0, 0) <= system->GetVersion()
                          ? EnumerateAllCredentials
                          : 0;
        DWORD count = 0;
        PCREDENTIALW* credentials = nullptr;
        if (!credEnumerate_(nullptr, flags, &count, &credentials)) {
            DWORD error = GetLastError();
            if (error != ERROR_NOT_FOUND) Microsoft::Win32::Win32Exception::Throw(error, L"Cannot list the stored credentials");
            System::Diagnostics::Trace::WriteLine(System::Convert::ToString(static_cast<int32_t>(error), 10));
            count = 0;
            credentials = nullptr;
        }
        CredFreeFunction credFree = credFree_;
        auto release = [credFree](PCREDENTIALW* list) { credFree(list); };
        std::unique_ptr<PCREDENTIALW, decltype(release)> owned(credentials, release);

        counters_.AddToProcess(static_cast<int32_t>(count));
        if (!sweep) {
            counters_.Count(false, 0, static_cast<int32_t>(count));
            counters_.AddProcessed(static_cast<int32_t>(count));
            RaiseProgress();
        } else {
            for (DWORD i = 0; i < count; ++i) {
                const CREDENTIALW* credential = credentials[i];
                System::TraceExceptions([&] {
                    if (!credDelete_(credential->TargetName, credential->Type, 0)) {
                        Microsoft::Win32::Win32Exception::ThrowLastError(L"Cannot delete the credential " + String(credential->TargetName));
                    }
                    counters_.Count(true);
                });
                counters_.AddProcessed();
                RaiseProgress();
            }
        }
    }
    SetDone(true);
    RaiseCompleted();
}

