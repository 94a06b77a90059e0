#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "console/AddonManager.h"
#include "console/OptionDlg.h"
#include "core/Exception.h"
#include "testing/FuzzRun.h"
#include "testing/TempFolder.h"

using System::String;

namespace {

std::string DeployedCatalogue()
{
    std::ifstream file(CONSOLE_DEPLOY_DIR "/vtaddons3.xml", std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace

// A damaged catalogue never fails: it lists the items whose end tag was read before the damage.
TEST(ConsoleReaderFuzz, DamagedCataloguesListWhatWasReadBeforeTheDamage)
{
    TestSupport::TempFolder folder;
    std::string catalogue = DeployedCatalogue();
    ASSERT_FALSE(catalogue.empty());
    folder.WriteFile(L"vtaddons3.xml", catalogue);
    int whole = AddonManager(String(folder.Path().c_str())).GetAddons().GetLength();
    ASSERT_GT(whole, 5);
    TestSupport::FuzzReport report = TestSupport::RunFuzz(
        "add-on catalogue", {catalogue}, TestSupport::FuzzInputs(300), TestSupport::FuzzSeed(31),
        [&](const std::string& bytes) {
            folder.WriteFile(L"vtaddons3.xml", bytes);
            int listed = AddonManager(String(folder.Path().c_str())).GetAddons().GetLength();
            return std::string(listed == 0 ? "no tool" : listed < whole ? "some tools" : "every tool");
        });
    TestSupport::ExpectSeveralDocumentedOutcomes(report);
}

TEST(ConsoleReaderFuzz, DamagedSettingsFileReadsOnOffOrEndOfStream)
{
    TestSupport::TempFolder folder;
    std::wstring path = folder / L"vacon.cfg";
    COptionDlg::WriteSmoothSwitch(String(path.c_str()), false);
    TestSupport::FuzzReport report = TestSupport::RunFuzz(
        "vacon.cfg", {folder.ReadFile(L"vacon.cfg")}, TestSupport::FuzzInputs(300), TestSupport::FuzzSeed(32),
        [&](const std::string& bytes) {
            folder.WriteFile(L"vacon.cfg", bytes);
            try {
                return std::string(COptionDlg::ReadSmoothSwitch(String(path.c_str())) ? "on" : "off");
            } catch (System::IO::EndOfStreamException* caught) {
                delete caught;
                return std::string("end of stream");
            }
        });
    TestSupport::ExpectSeveralDocumentedOutcomes(report);
    EXPECT_EQ(report.outcomes.size(), 3u) << report.ToString();
}
