// The agent check: the version and requirement rules, the catalogue read from cabinets made by gcab
// and served on the loopback, cabinet names that try to leave the folder, the agent's own version
// through the fake agent, and the installer's download, signature check and silent start.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/Trace.h"
#include "patch/AgentCheck.h"
#include "testing/FileBytes.h"
#include "testing/HostPath.h"
#include "testing/FakeUpdateAgent.h"
#include "testing/HttpServer.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"

using TestSupport::FakeUpdateAgent;
using TestSupport::HttpServer;
using TestSupport::TempFolder;

namespace {

std::string TestData(const wchar_t* name) { return TestSupport::ReadFileBytes(TestSupport::HostPath(PATCH_TEST_DATA) + L"\\" + name); }

// Rewrites equal-length texts inside an uncompressed cabinet and clears its data checksums, which
// the extractor then does not verify: how the tests put a port or a hostile name into a catalogue.
std::string Rewrite(std::string cabinet, const std::vector<std::pair<std::string, std::string>>& changes)
{
    for (const auto& change : changes) {
        for (size_t at = cabinet.find(change.first); at != std::string::npos; at = cabinet.find(change.first, at + 1)) {
            cabinet.replace(at, change.first.size(), change.second);
        }
    }
    auto read16 = [&](size_t at) { return static_cast<uint8_t>(cabinet[at]) | static_cast<uint8_t>(cabinet[at + 1]) << 8; };
    auto read32 = [&](size_t at) { return static_cast<uint32_t>(read16(at)) | static_cast<uint32_t>(read16(at + 2)) << 16; };
    int folders = read16(26);
    for (int folder = 0; folder < folders; ++folder) {
        size_t entry = 36 + 8 * static_cast<size_t>(folder);
        size_t block = read32(entry);
        for (int count = read16(entry + 4); count > 0 && block + 8 <= cabinet.size(); --count) {
            std::memset(&cabinet[block], 0, 4);
            block += 8 + read16(block + 4);
        }
    }
    return cabinet;
}

std::string PortText(const HttpServer& server)
{
    char port[8];
    std::snprintf(port, sizeof port, "%05u", static_cast<unsigned>(server.GetPort()));
    return port;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int FileCount(const std::wstring& folder)
{
    int files = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do files += !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileW(find, &data));
    FindClose(find);
    return files;
}

// Collects the trace while it lives; the trace owns its listener and deletes it when removed.
class TraceLines {
public:
    TraceLines() : listener_(new Listener) { System::Diagnostics::Trace::Listeners()->Add(listener_); }
    ~TraceLines() { System::Diagnostics::Trace::Listeners()->Remove(listener_); }
    TraceLines(const TraceLines&) = delete;
    TraceLines& operator=(const TraceLines&) = delete;
    int Count(const std::wstring& line) const
    {
        int count = 0;
        for (const std::wstring& each : listener_->lines) count += each == line;
        return count;
    }

private:
    struct Listener : System::Diagnostics::TraceListener {
        void WriteLine(const System::String& message) override { lines.push_back(message.GetStdString()); }
        std::vector<std::wstring> lines;
    };
    Listener* listener_;
};

class ComScope {
public:
    ComScope() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (initialized_) CoUninitialize();
    }

private:
    bool initialized_;
};

// A check against the loopback server, unpacking into its own temporary folder, on an x64 machine.
struct CatalogueFixture {
    HttpServer server;
    TempFolder temp;
    AgentCheck check;

    explicit CatalogueFixture(const wchar_t* catalogue)
    {
        if (catalogue) {
            HttpServer::Response response;
            response.body = Rewrite(TestData(catalogue), {{"PPPPP", PortText(server)}});
            server.Serve("/redist/wuredist.cab", response);
        }
        check.SetRedistributableServer(server.Url(""));
        check.SetTempFolder(temp.Path() + L"\\");
        check.SetArchitecture(L"x64");
    }
};

}  // namespace

TEST(AgentVersionRule, EachPartIsComparedOnItsOwnAgainst5_4_3790_1000)
{
    EXPECT_FALSE(AgentCheck::IsAgentVersionCurrent(L"5.4.3790.1000"));
    EXPECT_TRUE(AgentCheck::IsAgentVersionCurrent(L"5.4.3790.1001"));
    EXPECT_TRUE(AgentCheck::IsAgentVersionCurrent(L"5.5.0.0"));
    EXPECT_TRUE(AgentCheck::IsAgentVersionCurrent(L"6.0.0.0"));
    EXPECT_TRUE(AgentCheck::IsAgentVersionCurrent(L"5.4.3791.0"));
    EXPECT_TRUE(AgentCheck::IsAgentVersionCurrent(L"4.99.9999.9999")) << "its minor part, 99, is above 4";
    EXPECT_FALSE(AgentCheck::IsAgentVersionCurrent(L"5.4")) << "missing parts count as 0";
    EXPECT_FALSE(AgentCheck::IsAgentVersionCurrent(L""));
}

TEST(SystemRequirements, Windows2000NeedsServicePack3AndTheGroupIsNotConsultedThere)
{
    EXPECT_EQ(AgentCheck::VersionStateOf(5, 0, L"Service Pack 2"), 1);
    EXPECT_EQ(AgentCheck::VersionStateOf(5, 0, L"Service Pack 3"), 0);
    EXPECT_EQ(AgentCheck::VersionStateOf(5, 0, L"service pack 4"), 0);
    EXPECT_EQ(AgentCheck::VersionStateOf(5, 0, L""), 1);
    EXPECT_EQ(AgentCheck::VersionStateOf(5, 1, L""), 0);
    EXPECT_EQ(AgentCheck::VersionStateOf(4, 0, L"Service Pack 6"), -1);

    EXPECT_EQ(AgentCheck::RequirementCodeOf(1, AgentCheck::AdministratorsGroup), AgentCheck::Windows2000BelowSp3);
    EXPECT_EQ(AgentCheck::RequirementCodeOf(1, 0), AgentCheck::Windows2000BelowSp3);
    EXPECT_EQ(AgentCheck::RequirementCodeOf(-1, AgentCheck::AdministratorsGroup), AgentCheck::UnsupportedSystem);
    EXPECT_EQ(AgentCheck::RequirementCodeOf(0, 2), AgentCheck::NotAdministrator);
    EXPECT_EQ(AgentCheck::RequirementCodeOf(0, AgentCheck::AdministratorsGroup), AgentCheck::Qualifies);
}

TEST(UserGroup, TheLastMatchingAliasWinsWhateverTheTokenOrder)
{
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr, users = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &admins));
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 0, 0, 0, 0, 0, 0, &users));
    std::vector<BYTE> buffer(sizeof(TOKEN_GROUPS) + sizeof(SID_AND_ATTRIBUTES));
    auto* groups = reinterpret_cast<TOKEN_GROUPS*>(buffer.data());
    groups->GroupCount = 2;
    groups->Groups[0].Sid = admins;
    groups->Groups[1].Sid = users;
    EXPECT_EQ(AgentCheck::GroupOf(*groups), AgentCheck::AdministratorsGroup) << "an administrator who is also a user";
    groups->GroupCount = 1;
    groups->Groups[0].Sid = users;
    EXPECT_EQ(AgentCheck::GroupOf(*groups), 0);
    FreeSid(admins);
    FreeSid(users);
    // The test runs as an administrator, as the agent check needs.
    EXPECT_EQ(AgentCheck::GetUserGroup(), AgentCheck::AdministratorsGroup);
}

TEST(Cabinet, NamesWithADriveALeadingSeparatorOrParentPartsStayOutside)
{
    EXPECT_TRUE(AgentCheck::IsContainedName("wuredist.xml"));
    EXPECT_TRUE(AgentCheck::IsContainedName("sub\\a..b.txt"));
    EXPECT_FALSE(AgentCheck::IsContainedName("..\\evil.txt"));
    EXPECT_FALSE(AgentCheck::IsContainedName("sub/../../evil.txt"));
    EXPECT_FALSE(AgentCheck::IsContainedName("\\evil.txt"));
    EXPECT_FALSE(AgentCheck::IsContainedName("c:evil.txt"));

    TempFolder outer;
    CreateDirectoryW((outer / L"target").c_str(), nullptr);
    std::wstring cabinet = outer.WriteFile(L"hostile.cab", Rewrite(TestData(L"hostile.cab"),
                                                                      {{"zz\\evil1.txt", "..\\evil1.txt"},
                                                                       {"qevil2.txt", "\\evil2.txt"},
                                                                       {"ccevil3.txt", "c:evil3.txt"}}));
    std::vector<std::wstring> extracted;
    ASSERT_EQ(AgentCheck::ExtractCabinet(cabinet, outer / L"target", extracted), 0);
    ASSERT_EQ(extracted.size(), 1u);
    EXPECT_EQ(extracted[0], outer / L"target\\wuredist.xml");
    EXPECT_FALSE(Exists(outer / L"evil1.txt"));
    EXPECT_FALSE(Exists(L"C:\\evil2.txt"));
    EXPECT_FALSE(Exists(L"C:evil3.txt"));
    EXPECT_EQ(FileCount(outer.Path()), 1) << "only the cabinet itself";

    std::vector<std::wstring> none;
    EXPECT_EQ(AgentCheck::ExtractCabinet(outer.WriteFile(L"not.cab", "MSCF but not really"), outer / L"target", none), -4);
    EXPECT_TRUE(none.empty());
}

TEST(Catalogue, TheMachinesEntryIsReadAndNothingIsLeftBehind)
{
    ComScope com;
    CatalogueFixture fixture(L"both.cab");
    ASSERT_EQ(fixture.check.GetRedistInfo(), 0);
    EXPECT_EQ(fixture.check.GetClientVersion(), L"7.6.7600.321") << "the x64 entry on an x64 machine";
    EXPECT_EQ(fixture.check.GetDownloadUrl(), fixture.server.Url("/x64.exe"));
    EXPECT_EQ(FileCount(fixture.temp.Path()), 0) << "the cabinet and what it held are deleted";

    fixture.check.SetArchitecture(L"x86");
    ASSERT_EQ(fixture.check.GetRedistInfo(), 0);
    EXPECT_EQ(fixture.check.GetClientVersion(), L"7.6.7600.320");
}

TEST(Catalogue, TheX86EntryServesOnlyWhereTheMachineHasNone)
{
    ComScope com;
    CatalogueFixture fallback(L"x86only.cab");
    ASSERT_EQ(fallback.check.GetRedistInfo(), 0);
    EXPECT_EQ(fallback.check.GetClientVersion(), L"7.6.7600.320");

    CatalogueFixture missingAttribute(L"nox64attribute.cab");
    EXPECT_EQ(missingAttribute.check.GetRedistInfo(), -1) << "the machine's entry lacks clientVersion";
    CatalogueFixture noEntry(L"noentry.cab");
    EXPECT_EQ(noEntry.check.GetRedistInfo(), -1);
    CatalogueFixture notServed(nullptr);
    EXPECT_EQ(notServed.check.GetRedistInfo(), -1) << "HTTP 404";
    EXPECT_EQ(FileCount(notServed.temp.Path()), 0) << "no error page is left as a cabinet";
}

TEST(AgentVersion, TheFakeAgentsVersionAgainstTheCatalogue)
{
    std::wstring refused = FakeUpdateAgent::Register();
    if (!refused.empty()) GTEST_SKIP() << std::string(refused.begin(), refused.end());
    ComScope com;
    struct Case {
        const char* version;
        bool network;
        int expected;
    } cases[] = {
        {"7.6.7600.321", true, AgentCheck::AgentCurrent},   {"7.6.7600.256", true, AgentCheck::AgentDiffers},
        {"5.4.3790.1000", true, AgentCheck::AgentTooOld},   {"", true, AgentCheck::AgentTooOld},
        {"7.6.7600.256", false, AgentCheck::AgentCurrent},  {"5.4.3790.1000", false, AgentCheck::AgentTooOldNoCatalogue},
    };
    for (const Case& c : cases) {
        FakeUpdateAgent agent(std::string("version=") + c.version + "\n");
        CatalogueFixture fixture(c.network ? L"both.cab" : nullptr);
        if (!c.network) fixture.check.SetRedistributableServer(L"http://127.0.0.1:" + std::to_wstring(HttpServer::UnusedPort()));
        EXPECT_EQ(fixture.check.CheckAgentVersion(), c.expected) << c.version << (c.network ? "" : " without network");
    }
}

TEST(InstallAgent, AnUnsignedInstallerIsNotRunAndFailuresAreReported)
{
    CatalogueFixture fixture(L"both.cab");
    EXPECT_EQ(fixture.check.InstallAgent(), -31) << "no address before the catalogue";
    ComScope com;
    ASSERT_EQ(fixture.check.GetRedistInfo(), 0);
    EXPECT_EQ(fixture.check.InstallAgent(), -2) << "the installer is not served";

    HttpServer::Response installer;
    installer.body = TestSupport::ReadFileBytes(TestSupport::ProgramFolder() + L"\\patch_test_installer.exe");
    ASSERT_FALSE(installer.body.empty());
    fixture.server.Serve("/x64.exe", installer);
    EXPECT_EQ(fixture.check.InstallAgent(), AgentCheck::InstallerUntrusted);
    EXPECT_FALSE(Exists(fixture.temp / L"inst.exe.ran")) << "an unsigned installer must not run";
}

TEST(InstallAgent, ASignedInstallerRunsQuietlyWithoutRestart)
{
    std::wstring refused = TestSupport::WhyDestructiveTestsAreRefused();
    if (!refused.empty()) GTEST_SKIP() << std::string(refused.begin(), refused.end());
    std::string certificate = TestData(L"testroot.cer");
    ASSERT_FALSE(certificate.empty());
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    ASSERT_NE(root, nullptr);
    PCCERT_CONTEXT added = nullptr;
    ASSERT_TRUE(CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(certificate.data()),
                                                 static_cast<DWORD>(certificate.size()), CERT_STORE_ADD_REPLACE_EXISTING, &added));
    CertDeleteCertificateFromStore(added);

    CatalogueFixture fixture(L"both.cab");
    ComScope com;
    ASSERT_EQ(fixture.check.GetRedistInfo(), 0);
    HttpServer::Response installer;
    installer.body = TestData(L"installer_signed.exe");
    ASSERT_FALSE(installer.body.empty());
    fixture.server.Serve("/x64.exe", installer);
    std::wstring signedCopy = fixture.temp.WriteFile(L"probe.exe", installer.body);
    std::wstring reason;

    // The prefix trusts the test's signing certificate, as a machine trusts its vendors' roots.
    ASSERT_TRUE(CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(certificate.data()),
                                                 static_cast<DWORD>(certificate.size()), CERT_STORE_ADD_REPLACE_EXISTING, &added));
    struct RootRemoval {
        HCERTSTORE store;
        PCCERT_CONTEXT certificate;
        ~RootRemoval()
        {
            CertDeleteCertificateFromStore(certificate);
            CertCloseStore(store, 0);
        }
    } removal{root, added};
    ASSERT_TRUE(AgentCheck::IsTrustedSignature(signedCopy, reason)) << std::string(reason.begin(), reason.end());
    ASSERT_EQ(fixture.check.InstallAgent(), 0);
    std::string ran = TestSupport::ReadFileBytes(fixture.temp / L"inst.exe.ran");
    std::wstring command(reinterpret_cast<const wchar_t*>(ran.data()), ran.size() / sizeof(wchar_t));
    EXPECT_EQ(command, L"\"" + (fixture.temp / L"inst.exe") + L"\" /quiet /norestart");
}

TEST(InstallAgent, AnInstallerSignedUnderAnUntrustedRootIsNotRun)
{
    std::wstring refused = TestSupport::WhyDestructiveTestsAreRefused();
    if (!refused.empty()) GTEST_SKIP() << std::string(refused.begin(), refused.end());
    std::string certificate = TestData(L"testroot.cer");
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    ASSERT_NE(root, nullptr);
    PCCERT_CONTEXT added = nullptr;
    ASSERT_TRUE(CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(certificate.data()),
                                                 static_cast<DWORD>(certificate.size()), CERT_STORE_ADD_REPLACE_EXISTING, &added));
    CertDeleteCertificateFromStore(added);
    CertCloseStore(root, 0);

    CatalogueFixture fixture(L"both.cab");
    ComScope com;
    ASSERT_EQ(fixture.check.GetRedistInfo(), 0);
    HttpServer::Response installer;
    installer.body = TestData(L"installer_signed.exe");
    fixture.server.Serve("/x64.exe", installer);
    std::wstring reason;
    if (AgentCheck::IsTrustedSignature(fixture.temp.WriteFile(L"probe.exe", installer.body), reason) && TestSupport::IsWine()) {
        GTEST_SKIP() << "Wine's WinVerifyTrust accepts a signature whose root the machine does not trust, so refusing such an "
                        "installer is untested here (Windows refuses it with CERT_E_UNTRUSTEDROOT)";
    }
    EXPECT_EQ(fixture.check.InstallAgent(), AgentCheck::InstallerUntrusted);
    EXPECT_FALSE(Exists(fixture.temp / L"inst.exe.ran"));
}

TEST(AgentCheckWorker, AnOutdatedAgentIsUpdatedAndAMissingCatalogueEndsTheCheck)
{
    std::wstring refused = FakeUpdateAgent::Register();
    if (!refused.empty()) GTEST_SKIP() << std::string(refused.begin(), refused.end());
    TraceLines trace;
    {
        FakeUpdateAgent agent("version=5.4.3790.1000\n");
        CatalogueFixture fixture(L"both.cab");
        HttpServer::Response installer;
        installer.body = TestSupport::ReadFileBytes(TestSupport::ProgramFolder() + L"\\patch_test_installer.exe");
        fixture.server.Serve("/x64.exe", installer);
        EXPECT_EQ(fixture.check.RunWorker(), 0);
        EXPECT_EQ(trace.Count(L"Update WUA"), 1);
        EXPECT_TRUE(Exists(fixture.temp / L"inst.exe")) << "the new agent was fetched";

        fixture.check.SetRedistributableServer(L"http://127.0.0.1:" + std::to_wstring(HttpServer::UnusedPort()));
        EXPECT_EQ(fixture.check.RunWorker(), AgentCheck::AgentTooOldNoCatalogue);
    }
    FakeUpdateAgent current("version=7.6.7600.321\n");
    CatalogueFixture fixture(L"both.cab");
    EXPECT_EQ(fixture.check.RunWorker(), 0);
    EXPECT_EQ(trace.Count(L"Update WUA"), 1) << "a current agent is left alone";
}
