#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "activex/ActiveXListFilter.h"

using System::DateTime;
using System::String;

namespace {

class ActiveXListFilterTest : public ::testing::Test {
protected:
    void Add(const wchar_t* title, const wchar_t* name, const wchar_t* type, const DateTime& updated)
    {
        owned_.push_back(std::make_unique<ActiveXEntry>(title, L"", L"", name, L"", L"", type, L"0",
                                                        std::to_wstring(updated.GetTicks()).c_str(), nowhere_));
        entries_.push_back(owned_.back().get());
    }
    std::vector<String> Shown(const wchar_t* category, const wchar_t* search) const
    {
        std::vector<String> titles;
        for (ActiveXEntry* entry : ActiveXListFilter(category, search, today_).Apply(entries_)) titles.push_back(entry->GetTitle());
        return titles;
    }
    static std::vector<String> Titles(std::initializer_list<const wchar_t*> texts) { return std::vector<String>(texts.begin(), texts.end()); }

    KillBits nowhere_{L"SOFTWARE\\Vela\\Tests\\NoSuchCompatibilityKey"};
    DateTime today_{2026, 3, 3};
    std::vector<std::unique_ptr<ActiveXEntry>> owned_;
    std::vector<ActiveXEntry*> entries_;
};

TEST_F(ActiveXListFilterTest, CategoriesAndSearchTextChooseTheRowsInLoadOrder)
{
    Add(L"a", L"FlashPlayer.ocx", L"멀티미디어", DateTime(2026, 2, 24));
    Add(L"b", L"KeyGuard.cab", L"보안", DateTime(2026, 2, 23, 23, 59));
    Add(L"c", L"MediaFLASH.dll", L"멀티미디어", DateTime(2025, 1, 1));
    Add(L"d", L"Viewer.ocx", L"일반", DateTime(2026, 3, 3, 12));
    Add(L"e", L"flash", L"멀티미디어 ", DateTime(2025, 1, 1));

    EXPECT_EQ(Shown(L"전체", L""), Titles({L"a", L"b", L"c", L"d", L"e"}));
    EXPECT_EQ(Shown(L"새로 추가된 항목", L""), Titles({L"a", L"d"}));
    // Types compare exactly: a trailing space is another type.
    EXPECT_EQ(Shown(L"멀티미디어", L""), Titles({L"a", L"c"}));
    EXPECT_EQ(Shown(L"일반", L""), Titles({L"d"}));
    // The search looks at the name, whatever its case.
    EXPECT_EQ(Shown(L"전체", L"Flash"), Titles({L"a", L"c", L"e"}));
    EXPECT_EQ(Shown(L"멀티미디어", L"FLASH"), Titles({L"a", L"c"}));
    EXPECT_EQ(Shown(L"새로 추가된 항목", L"flash"), Titles({L"a"}));
    EXPECT_TRUE(Shown(L"전체", L"xyz").empty());
    EXPECT_TRUE(Shown(L"없는 종류", L"").empty());
}

}  // namespace
