#include <gtest/gtest.h>

#include <windows.h>
#include <wincred.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/Trace.h"
#include "core/Win32Exception.h"
#include "sweeper/CredentialSweeper.h"
#include "testing/TestPrefixGuard.h"

using System::String;

namespace {

// The flag the sweeper passes from Windows Vista on (mingw's headers lack its name).
constexpr DWORD EnumerateAllCredentials = 0x1;

std::string Narrow(const std::wstring& text) { return String(text).ToUtf8(); }

bool CredentialExists(const std::wstring& target)
{
    PCREDENTIALW credential = nullptr;
    if (!CredReadW(target.c_str(), CRED_TYPE_GENERIC, 0, &credential)) return false;
    CredFree(credential);
    return true;
}

// What the store answers to the sweeper's own enumeration: the number of credentials, or the
// error the call failed with (ERROR_NOT_FOUND for an empty store).
struct Enumeration {
    DWORD error = 0;
    DWORD count = 0;
};

Enumeration EnumerateAll()
{
    Enumeration result;
    PCREDENTIALW* credentials = nullptr;
    if (CredEnumerateW(nullptr, EnumerateAllCredentials, &result.count, &credentials)) {
        CredFree(credentials);
    } else {
        result.error = GetLastError();
        result.count = 0;
    }
    return result;
}

class TraceCapture : public System::Diagnostics::TraceListener {
public:
    void WriteLine(const String& message) override { lines.push_back(message); }
    std::vector<String> lines;
};

// The sweeper removes every credential of the user, so these tests run only where the store is
// a throw-away one. Each writes generic credentials under names unique to the run and removes
// whatever is left of them afterwards.
class CredentialSweeperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
        if (!why.empty()) GTEST_SKIP() << Narrow(why);
        prefix = L"VelaSweeperTest/" + std::to_wstring(GetCurrentProcessId()) + L"/";
    }
    void TearDown() override
    {
        for (const std::wstring& target : written) CredDeleteW(target.c_str(), CRED_TYPE_GENERIC, 0);
    }

    std::wstring Write(const std::wstring& name)
    {
        std::wstring target = prefix + name;
        std::string secret = "secret of " + Narrow(name);
        CREDENTIALW credential = {};
        credential.Type = CRED_TYPE_GENERIC;
        credential.TargetName = &target[0];
        credential.UserName = const_cast<wchar_t*>(L"vela");
        credential.CredentialBlobSize = static_cast<DWORD>(secret.size());
        credential.CredentialBlob = reinterpret_cast<BYTE*>(&secret[0]);
        credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
        EXPECT_TRUE(CredWriteW(&credential, 0)) << "CredWriteW failed with " << GetLastError();
        written.push_back(target);
        return target;
    }

    // Why no pass can get past the sweeper's enumeration here, or empty when it can.
    static std::string WhyTheStoreCannotBeEnumerated()
    {
        Enumeration probe = EnumerateAll();
        if (probe.error == 0 || probe.error == ERROR_NOT_FOUND) return std::string();
        std::string reason = "the credential store refuses the enumerate-all flag (error " + std::to_string(probe.error) + ")";
        if (TestSupport::IsWine()) reason += ": Wine accepts no CredEnumerateW flag, though it reports Windows 6.1";
        return reason;
    }

    std::wstring prefix;
    std::vector<std::wstring> written;
};

}  // namespace

TEST_F(CredentialSweeperTest, AnalysisCountsEveryStoredCredentialWithoutSizeAndKeepsThem)
{
    std::wstring first = Write(L"first");
    std::wstring second = Write(L"second");
    std::string why = WhyTheStoreCannotBeEnumerated();
    if (!why.empty()) GTEST_SKIP() << why;
    Enumeration stored = EnumerateAll();
    ASSERT_EQ(stored.error, 0u);
    ASSERT_GE(stored.count, 2u);

    CredentialSweeper sweeper(L"Credential");
    ASSERT_TRUE(sweeper.IsAvailable());
    sweeper.Reset(false);
    sweeper.Run(false);
    EXPECT_EQ(sweeper.GetCount(), static_cast<int32_t>(stored.count));
    EXPECT_EQ(sweeper.GetSize(), 0);
    EXPECT_EQ(sweeper.GetProgress(), 100);
    EXPECT_TRUE(CredentialExists(first));
    EXPECT_TRUE(CredentialExists(second));
}

TEST_F(CredentialSweeperTest, SweepDeletesEveryCredentialAndCountsThemDown)
{
    std::wstring first = Write(L"first");
    std::wstring second = Write(L"second");
    std::string why = WhyTheStoreCannotBeEnumerated();
    if (!why.empty()) GTEST_SKIP() << why;
    CredentialSweeper sweeper(L"Credential");
    sweeper.Reset(false);
    sweeper.Run(false);
    sweeper.Reset(true);
    sweeper.Run(true);

    EXPECT_EQ(sweeper.GetCount(), 0);
    EXPECT_EQ(sweeper.GetProgress(), 100);
    EXPECT_FALSE(CredentialExists(first));
    EXPECT_FALSE(CredentialExists(second));
    EXPECT_EQ(EnumerateAll().error, static_cast<DWORD>(ERROR_NOT_FOUND));
}

TEST_F(CredentialSweeperTest, AnEmptyStoreTracesNotFoundAndFindsNothing)
{
    Write(L"only");
    std::string why = WhyTheStoreCannotBeEnumerated();
    if (!why.empty()) GTEST_SKIP() << why;
    CredentialSweeper emptying(L"Credential");
    emptying.Reset(false);
    emptying.Run(true);
    ASSERT_EQ(EnumerateAll().error, static_cast<DWORD>(ERROR_NOT_FOUND));

    auto* listener = new TraceCapture;
    System::Diagnostics::Trace::Listeners()->Add(listener);
    CredentialSweeper sweeper(L"Credential");
    sweeper.Reset(false);
    sweeper.Run(false);
    std::vector<String> lines = listener->lines;
    System::Diagnostics::Trace::Listeners()->Remove(listener);
    EXPECT_EQ(sweeper.GetCount(), 0);
    EXPECT_EQ(sweeper.GetProgress(), 100);
    EXPECT_EQ(lines, std::vector<String>{L"1168"});
}

TEST_F(CredentialSweeperTest, ARefusedEnumerationRaisesOutOfRunAndDeletesNothing)
{
    std::wstring kept = Write(L"kept");
    Enumeration probe = EnumerateAll();
    if (probe.error == 0 || probe.error == ERROR_NOT_FOUND) GTEST_SKIP() << "the store accepts the enumeration: no failure to provoke";

    CredentialSweeper sweeper(L"Credential");
    sweeper.Reset(false);
    DWORD raised = 0;
    try {
        sweeper.Run(true);
    } catch (System::Exception* caught) {
        std::unique_ptr<System::Exception> exception(caught);
        auto* win32 = dynamic_cast<Microsoft::Win32::Win32Exception*>(caught);
        ASSERT_NE(win32, nullptr) << caught->ToString().ToUtf8();
        raised = win32->GetNativeErrorCode();
    }
    // The failure ends the pass (the root reports it stopped) instead of passing for an empty store.
    EXPECT_EQ(raised, probe.error);
    EXPECT_FALSE(sweeper.IsDone());
    EXPECT_TRUE(CredentialExists(kept));
}
