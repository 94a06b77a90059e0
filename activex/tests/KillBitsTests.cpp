#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "activex/ActiveXBlocking.h"
#include "activex/ActiveXEntry.h"
#include "activex/AxmSettings.h"
#include "activex/KillBits.h"
#include "testing/TempFolder.h"
#include "testing/TestPrefixGuard.h"

using System::String;

namespace {

const wchar_t* const ClassA = L"{0E5F0222-96B9-11D3-8997-00104BD12D94}";
const wchar_t* const ClassB = L"{d27cdb6e-ae6d-11cf-96b8-444553540000}";
const REGSAM BothViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

// A compatibility key of its own under HKLM\SOFTWARE\Vela\Tests, in both registry views, deleted
// with everything below it at the end.
class KillBitsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::wstring why = TestSupport::WhyDestructiveTestsAreRefused();
        if (!why.empty()) GTEST_SKIP() << std::string(why.begin(), why.end());
        root_ = L"SOFTWARE\\Vela\\Tests\\ActiveX-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64());
        parent_ = root_ + L"\\ActiveX Compatibility";
    }
    void TearDown() override
    {
        if (root_.empty()) return;
        for (REGSAM view : BothViews) {
            HKEY tests = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Vela\\Tests", 0, KEY_ALL_ACCESS | view, &tests) == ERROR_SUCCESS) {
                RegDeleteTreeW(tests, root_.substr(std::wstring(L"SOFTWARE\\Vela\\Tests\\").size()).c_str());
                RegCloseKey(tests);
            }
        }
    }

    void CreateParent(REGSAM view) { SetFlags(parent_, view, L"", 0, false); }
    // Creates the key path in one view, and the DWORD value name := value when asked.
    void SetFlags(const std::wstring& path, REGSAM view, const wchar_t* name, DWORD value, bool write = true)
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        if (write) RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }
    bool Exists(const std::wstring& path, REGSAM view)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    // The DWORD, or -1 when it is missing.
    long long Flags(const std::wstring& path, REGSAM view, const wchar_t* name = L"Compatibility Flags")
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return -1;
        DWORD value = 0;
        DWORD size = sizeof value;
        LSTATUS status = RegGetValueW(key, nullptr, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? value : -1;
    }
    std::wstring ClassKey(const wchar_t* clsid) const { return parent_ + L"\\" + clsid; }
    ActiveXEntry Entry(const String& clsid, const KillBits& bits, const String& rating = L"0")
    {
        return ActiveXEntry(L"Title", L"", L"", L"name", clsid, L"", L"일반", rating, L"", bits);
    }

    std::wstring root_;
    std::wstring parent_;
};

TEST_F(KillBitsTest, OtherBitsReadAsNotBlockedAndBlockingWritesTheKillBitAloneInBothViews)
{
    for (REGSAM view : BothViews) CreateParent(view);
    SetFlags(ClassKey(ClassA), KEY_WOW64_64KEY, L"Compatibility Flags", 0x401);
    KillBits bits(parent_.c_str());

    ActiveXEntry entry = Entry(ClassA, bits);
    EXPECT_EQ(entry.IsBlocked(), 0);
    EXPECT_EQ(entry.Block(), 1);
    EXPECT_EQ(entry.IsBlocked(), 1);
    for (REGSAM view : BothViews) EXPECT_EQ(Flags(ClassKey(ClassA), view), 0x400) << view;
    EXPECT_EQ(entry.Block(), 0);
    EXPECT_EQ(Entry(ClassA, bits).IsBlocked(), 1);

    // Only the native view decides what the list shows.
    SetFlags(ClassKey(ClassB), KEY_WOW64_32KEY, L"Compatibility Flags", 0x400);
    EXPECT_EQ(Entry(ClassB, bits).IsBlocked(), 0);
}

TEST_F(KillBitsTest, UnblockingRemovesTheWholeClassKeyOfBothViewsAndNothingElse)
{
    for (REGSAM view : BothViews) {
        CreateParent(view);
        SetFlags(parent_, view, L"Kept", 7);
        SetFlags(ClassKey(ClassA), view, L"Compatibility Flags", 0x400);
        SetFlags(ClassKey(ClassA), view, L"AlternateCLSID", 1);
        SetFlags(ClassKey(ClassA) + L"\\Inner", view, L"Value", 1);
        SetFlags(ClassKey(ClassB), view, L"Compatibility Flags", 0x400);
    }
    KillBits bits(parent_.c_str());
    ActiveXEntry entry = Entry(ClassA, bits);
    ASSERT_EQ(entry.IsBlocked(), 1);
    EXPECT_EQ(entry.Unblock(), 1);
    EXPECT_EQ(entry.IsBlocked(), 0);
    EXPECT_EQ(entry.Unblock(), 0);
    for (REGSAM view : BothViews) {
        EXPECT_FALSE(Exists(ClassKey(ClassA), view)) << view;
        EXPECT_EQ(Flags(ClassKey(ClassB), view), 0x400) << view;
        EXPECT_EQ(Flags(parent_, view, L"Kept"), 7) << view;
    }
    EXPECT_EQ(entry.Toggle(), 1);
    EXPECT_EQ(Flags(ClassKey(ClassA), KEY_WOW64_64KEY), 0x400);
    EXPECT_EQ(entry.Toggle(), 1);
    EXPECT_FALSE(Exists(ClassKey(ClassA), KEY_WOW64_64KEY));
}

TEST_F(KillBitsTest, AMissingCompatibilityKeyMakesBlockingImpossibleAndCreatesNothing)
{
    KillBits bits(parent_.c_str());
    ActiveXEntry entry = Entry(ClassA, bits);
    EXPECT_EQ(entry.Block(), 0);
    EXPECT_EQ(entry.IsBlocked(), 0);
    TestSupport::TempFolder folder;
    int notes = 0;
    ActiveXBlocking blocking((folder / L"vaaxm.cfg").c_str(), [&](bool&) { return ++notes, true; });
    EXPECT_TRUE(blocking.Apply({&entry}, true).empty());
    EXPECT_EQ(notes, 0);
    for (REGSAM view : BothViews) EXPECT_FALSE(Exists(parent_, view)) << view;

    // Where only the native view has the key, that view is used alone.
    CreateParent(KEY_WOW64_64KEY);
    EXPECT_EQ(entry.Block(), 1);
    EXPECT_EQ(Flags(ClassKey(ClassA), KEY_WOW64_64KEY), 0x400);
    EXPECT_FALSE(Exists(parent_, KEY_WOW64_32KEY));
}

TEST_F(KillBitsTest, IdentifiersNotInRegistryFormNeverNameAKey)
{
    for (REGSAM view : BothViews) {
        CreateParent(view);
        SetFlags(ClassKey(ClassA), view, L"Compatibility Flags", 0x400);
        SetFlags(ClassKey(ClassA) + L"\\x", view, L"Compatibility Flags", 0x400);
    }
    KillBits bits(parent_.c_str());
    std::wstring a = ClassA;
    const std::wstring hostile[] = {L"", a + L"\\..", a + L"\\x", L"..", L"\\", a + L" ", L" " + a,
                                    std::wstring(300, L'A'), L"{0E5F0222-96B9-11D3-8997+00104BD12D94}",
                                    L"{0E5F0222-96B9-11D3-8997-00104BD12D9G}", L"(0E5F0222-96B9-11D3-8997-00104BD12D94)"};
    for (const std::wstring& clsid : hostile) {
        ActiveXEntry entry = Entry(clsid.c_str(), bits, L"-2");
        EXPECT_FALSE(entry.CanChangeBlock()) << clsid.size();
        EXPECT_EQ(entry.IsBlocked(), 0);
        EXPECT_EQ(entry.Block(), 0);
        EXPECT_EQ(entry.Toggle(), 0);
        EXPECT_FALSE(bits.Unblock(clsid.c_str()));
        EXPECT_FALSE(bits.Block(clsid.c_str()));
    }
    for (REGSAM view : BothViews) {
        EXPECT_EQ(Flags(ClassKey(ClassA), view), 0x400);
        EXPECT_EQ(Flags(ClassKey(ClassA) + L"\\x", view), 0x400);
    }
    EXPECT_TRUE(KillBits::IsRegistryClassId(ClassB));
    EXPECT_TRUE(Entry(ClassA, bits).CanChangeBlock());
}

TEST(ActiveXEntryTests, RatingsAndDatesThatAreNotNumbersReadAsZero)
{
    KillBits nowhere(L"SOFTWARE\\Vela\\Tests\\NoSuchCompatibilityKey");
    ActiveXEntry dangerous(L"T", L"D", L"A", L"N", L"", L"S", L"일반", L"-2", L"638000000000000000", nowhere);
    EXPECT_EQ(dangerous.GetRating(), -2);
    EXPECT_EQ(dangerous.GetRatingText(), String(L"매우 위험"));
    EXPECT_TRUE(dangerous.IsDangerous());
    EXPECT_EQ(dangerous.GetUpdated().GetTicks(), 638000000000000000LL);
    ActiveXEntry garbled(L"T", L"", L"", L"", L"", L"", L"", L"high", L"soon", nowhere);
    EXPECT_EQ(garbled.GetRating(), 0);
    EXPECT_EQ(garbled.GetRatingText(), String(L"보통"));
    EXPECT_EQ(garbled.GetUpdated().GetTicks(), 0);
    ActiveXEntry outside(L"T", L"", L"", L"", L"", L"", L"", L"3", L"-5", nowhere);
    EXPECT_EQ(outside.GetRatingText(), String());
    EXPECT_EQ(outside.GetUpdated().GetTicks(), 0);
    EXPECT_EQ(ActiveXEntry(L"T", L"", L"", L"", L"", L"", L"", L"", L"99999999999999999999", nowhere).GetUpdated().GetTicks(), 0);
    const wchar_t* texts[] = {L"위험", L"보통", L"안전", L"필수"};
    for (int rating = -1; rating <= 2; ++rating) EXPECT_EQ(ActiveXEntry::RatingText(rating), String(texts[rating + 1]));
}

TEST_F(KillBitsTest, TheDangerCheckListsOnlyUnblockedNegativeRatingsInListOrder)
{
    for (REGSAM view : BothViews) CreateParent(view);
    KillBits bits(parent_.c_str());
    const wchar_t* ratings[] = {L"-1", L"0", L"-2", L"2", L"-1"};
    std::vector<ActiveXEntry> entries;
    for (int i = 0; i < 5; ++i) {
        wchar_t clsid[39];
        swprintf(clsid, 39, L"{0E5F0222-96B9-11D3-8997-00104BD12D9%d}", i);
        entries.push_back(Entry(clsid, bits, ratings[i]));
    }
    std::vector<ActiveXEntry*> list;
    for (ActiveXEntry& entry : entries) list.push_back(&entry);
    ASSERT_EQ(entries[4].Block(), 1);

    std::vector<ActiveXEntry*> dangerous = FindUnblockedDangerous(list);
    ASSERT_EQ(dangerous.size(), 2u);
    EXPECT_EQ(dangerous[0], &entries[0]);
    EXPECT_EQ(dangerous[1], &entries[2]);
    for (ActiveXEntry* entry : dangerous) EXPECT_EQ(entry->Block(), 1);
    EXPECT_TRUE(FindUnblockedDangerous(list).empty());
}

TEST_F(KillBitsTest, TheNoteFollowsAChangeUntilItsBoxIsTicked)
{
    for (REGSAM view : BothViews) CreateParent(view);
    KillBits bits(parent_.c_str());
    TestSupport::TempFolder folder;
    String path = (folder / L"vaaxm.cfg").c_str();
    int notes = 0;
    bool answerOk = false;
    ActiveXBlocking blocking(path, [&](bool& dontAskAgain) {
        ++notes;
        dontAskAgain = true;
        return answerOk;
    });
    ActiveXEntry a = Entry(ClassA, bits);
    ActiveXEntry b = Entry(ClassB, bits);
    ActiveXEntry hostile = Entry(L"", bits);
    ASSERT_EQ(b.Block(), 1);

    // Closed without OK, the note comes back and nothing is written.
    EXPECT_EQ(blocking.Apply({&hostile, &a, &b}, true), (std::vector<size_t>{1}));
    EXPECT_EQ(notes, 1);
    EXPECT_EQ(folder.ReadFile(L"vaaxm.cfg"), "");
    // Nothing changed: no note.
    EXPECT_TRUE(blocking.Apply({&a, &b, &hostile}, true).empty());
    EXPECT_EQ(notes, 1);

    answerOk = true;
    EXPECT_EQ(blocking.Apply({&a, &hostile, &b}, false), (std::vector<size_t>{0, 2}));
    EXPECT_EQ(notes, 2);
    EXPECT_EQ(blocking.GetNoNoteFlag(), 1);
    EXPECT_EQ(folder.ReadFile(L"vaaxm.cfg").size(), 12u);
    EXPECT_EQ(blocking.Apply({&a}, true).size(), 1u);
    EXPECT_EQ(notes, 2);
    EXPECT_EQ(ActiveXBlocking(path, nullptr).GetNoNoteFlag(), 1);

    EXPECT_EQ(ActiveXBlocking::BlockWithoutNote({&a, &b, &hostile}), 1);
    EXPECT_EQ(b.IsBlocked(), 1);
}

TEST(AxmSettingsTests, TickingTheBoxMakesANewFileTwelveBytesAndKeepsTheReferenceTime)
{
    TestSupport::TempFolder folder;
    String path = (folder / L"vaaxm.cfg").c_str();
    EXPECT_EQ(AxmSettings::ReadNoNoteFlag(path), 0);
    System::DateTime before = System::DateTime::GetNow();
    EXPECT_GE(AxmSettings::ReadReferenceTime(path).GetTicks(), before.GetTicks());
    EXPECT_EQ(folder.ReadFile(L"vaaxm.cfg"), "");

    AxmSettings::WriteNoNoteFlag(path, 1);
    EXPECT_EQ(folder.ReadFile(L"vaaxm.cfg"), std::string("\0\0\0\0\0\0\0\0\1\0\0\0", 12));
    EXPECT_EQ(AxmSettings::ReadNoNoteFlag(path), 1);

    std::string stored("\x00\x40\x83\x67\xE5\xDB\xDB\x08\x01\x00\x00\x00", 12);
    folder.WriteFile(L"vaaxm.cfg", stored);
    EXPECT_EQ(AxmSettings::ReadReferenceTime(path).GetTicks(), 0x08DBDBE567834000LL);
    AxmSettings::WriteNoNoteFlag(path, 0);
    EXPECT_EQ(folder.ReadFile(L"vaaxm.cfg"), stored.substr(0, 8) + std::string(4, '\0'));
    EXPECT_EQ(AxmSettings::ReadNoNoteFlag(path), 0);

    folder.WriteFile(L"vaaxm.cfg", std::string("\0\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(AxmSettings::ReadNoNoteFlag(path), 0);
}

}  // namespace
