#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "framework/CArray.h"
#include "framework/CException.h"
#include "framework/CString.h"
#include "framework/CStringArray.h"

// Shows texts in failure messages.
void PrintTo(const CString& text, std::ostream* out) { *out << ::testing::PrintToString(std::wstring(text.GetString())); }

namespace {

template <class Work>
void ExpectInvalidArgument(Work&& work)
{
    try {
        work();
    } catch (CException* caught) {
        EXPECT_NE(dynamic_cast<CInvalidArgException*>(caught), nullptr);
        caught->Delete();
        return;
    }
    ADD_FAILURE() << "nothing was thrown";
}

// Counts live instances, to show that the arrays construct and destroy exactly what they hold.
struct Counted {
    static int live;
    Counted() : value(0) { ++live; }
    explicit Counted(int v) : value(v) { ++live; }
    Counted(const Counted& other) : value(other.value) { ++live; }
    Counted& operator=(const Counted&) = default;
    ~Counted() { --live; }
    int value;
};
int Counted::live = 0;

TEST(CArrayTest, GrowsKeepingElementsAndZeroesNewOnes)
{
    CArray<int, int> numbers;
    for (int i = 0; i < 5000; ++i) EXPECT_EQ(numbers.Add(i * 3), i);
    ASSERT_EQ(numbers.GetSize(), 5000);
    EXPECT_EQ(numbers.GetUpperBound(), 4999);
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(numbers[i], i * 3);

    numbers.SetSize(5010);
    for (int i = 5000; i < 5010; ++i) EXPECT_EQ(numbers.GetAt(i), 0);
    numbers.SetSize(2);
    numbers.FreeExtra();
    EXPECT_EQ(numbers.GetCount(), 2);
    EXPECT_EQ(numbers[1], 3);
    numbers.SetAtGrow(6, 7);
    EXPECT_EQ(numbers.GetSize(), 7);
    EXPECT_EQ(numbers[5], 0);
    EXPECT_EQ(numbers[6], 7);
    numbers.RemoveAll();
    EXPECT_TRUE(numbers.IsEmpty());
    EXPECT_EQ(numbers.GetData(), nullptr);
}

TEST(CArrayTest, InsertAtShiftsAndGrowsPastTheEnd)
{
    CArray<int, int> numbers;
    numbers.Add(1);
    numbers.Add(4);
    numbers.InsertAt(1, 2);
    numbers.InsertAt(2, 3, 1);
    numbers.InsertAt(0, 0);
    ASSERT_EQ(numbers.GetSize(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(numbers[i], i);

    numbers.InsertAt(1, 9, 3);
    EXPECT_EQ(numbers.GetSize(), 8);
    EXPECT_EQ(numbers[1], 9);
    EXPECT_EQ(numbers[3], 9);
    EXPECT_EQ(numbers[4], 1);

    numbers.InsertAt(10, 5, 2);
    ASSERT_EQ(numbers.GetSize(), 12);
    EXPECT_EQ(numbers[9], 0);
    EXPECT_EQ(numbers[10], 5);
    EXPECT_EQ(numbers[11], 5);

    ExpectInvalidArgument([&] { numbers.InsertAt(-1, 1); });
    ExpectInvalidArgument([&] { numbers.InsertAt(0, 1, 0); });
}

TEST(CArrayTest, RemoveAtClosesTheGapAndRejectsRangesOutside)
{
    CArray<int, int> numbers;
    for (int i = 0; i < 10; ++i) numbers.Add(i);
    numbers.RemoveAt(0);
    numbers.RemoveAt(2, 3);
    numbers.RemoveAt(numbers.GetUpperBound());
    ASSERT_EQ(numbers.GetSize(), 5);
    const int expected[] = {1, 2, 6, 7, 8};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(numbers[i], expected[i]);
    numbers.RemoveAt(5, 0);
    EXPECT_EQ(numbers.GetSize(), 5);

    ExpectInvalidArgument([&] { numbers.RemoveAt(4, 2); });
    ExpectInvalidArgument([&] { numbers.RemoveAt(-1); });
    ExpectInvalidArgument([&] { numbers.RemoveAt(6, 0); });
    ExpectInvalidArgument([&] { numbers.RemoveAt(0, -1); });
    EXPECT_EQ(numbers.GetSize(), 5);
}

TEST(CArrayTest, IndexOutsideRaisesInvalidArgument)
{
    CArray<int, int> numbers;
    ExpectInvalidArgument([&] { numbers.GetAt(0); });
    numbers.Add(1);
    ExpectInvalidArgument([&] { numbers[1]; });
    ExpectInvalidArgument([&] { numbers.SetAt(-1, 0); });
    ExpectInvalidArgument([&] { numbers.SetAtGrow(-1, 0); });
    ExpectInvalidArgument([&] { numbers.SetSize(-1); });
}

TEST(CArrayTest, AddingAnElementOfTheSameArrayWhileGrowingCopiesIt)
{
    CArray<CString, const CString&> texts;
    texts.Add(CString(L"첫째"));
    for (int i = 0; i < 100; ++i) texts.Add(texts[0]);
    for (int i = 0; i < 100; ++i) texts.InsertAt(1, texts[texts.GetUpperBound()]);
    ASSERT_EQ(texts.GetSize(), 201);
    for (int i = 0; i < texts.GetSize(); ++i) ASSERT_EQ(texts[i], L"첫째") << i;
}

TEST(CArrayTest, AppendAndCopyIncludingItself)
{
    CArray<CString, const CString&> texts;
    texts.Add(CString(L"a"));
    texts.Add(CString(L"b"));
    EXPECT_EQ(texts.Append(texts), 2);
    ASSERT_EQ(texts.GetSize(), 4);
    EXPECT_EQ(texts[2], L"a");
    EXPECT_EQ(texts[3], L"b");

    CArray<CString, const CString&> copy;
    copy.Add(CString(L"old"));
    copy.Copy(texts);
    EXPECT_EQ(copy.GetSize(), 4);
    EXPECT_EQ(copy[0], L"a");
    copy.Copy(copy);
    EXPECT_EQ(copy.GetSize(), 4);
}

TEST(CArrayTest, ConstructsAndDestroysExactlyTheElementsItHolds)
{
    {
        CArray<Counted, const Counted&> items;
        for (int i = 0; i < 100; ++i) items.Add(Counted(i));
        EXPECT_EQ(Counted::live, 100);
        items.RemoveAt(10, 20);
        items.InsertAt(5, Counted(-1), 3);
        EXPECT_EQ(Counted::live, 83);
        EXPECT_EQ(items[5].value, -1);
        EXPECT_EQ(items[8].value, 5);
        items.SetSize(10);
        EXPECT_EQ(Counted::live, 10);
    }
    EXPECT_EQ(Counted::live, 0);
}

struct Element {
    explicit Element(int v) : value(v) {}
    int value;
};

TEST(CTypedPtrArrayTest, HoldsTypedPointersTheOwnerDeletes)
{
    CTypedPtrArray<CPtrArray, Element*> elements;
    for (int i = 0; i < 3; ++i) elements.Add(new Element(i));
    elements.InsertAt(0, new Element(-1));
    ASSERT_EQ(elements.GetSize(), 4);
    EXPECT_EQ(elements.GetAt(0)->value, -1);
    EXPECT_EQ(elements[3]->value, 2);
    Element* replaced = elements[1];
    elements[1] = new Element(10);
    delete replaced;
    EXPECT_EQ(elements.GetAt(1)->value, 10);
    ExpectInvalidArgument([&] { elements.GetAt(4); });
    for (int i = 0; i < elements.GetSize(); ++i) delete elements[i];
    elements.RemoveAll();
    EXPECT_EQ(elements.GetSize(), 0);
}

TEST(CStringArrayTest, AddsInsertsAndRemovesTexts)
{
    CStringArray args;
    EXPECT_EQ(args.Add(L"BtnNext"), 0);
    EXPECT_EQ(args.Add(CString(L"벨라")), 1);
    args.InsertAt(0, L"first");
    args.SetAtGrow(4, L"far");
    ASSERT_EQ(args.GetSize(), 5);
    EXPECT_EQ(args[0], L"first");
    EXPECT_EQ(args.GetAt(2), L"벨라");
    EXPECT_TRUE(args[3].IsEmpty());
    args.SetAt(3, L"middle");
    args.ElementAt(3) += L"!";
    EXPECT_EQ(args[3], L"middle!");
    args.RemoveAt(1, 2);
    ASSERT_EQ(args.GetSize(), 3);
    EXPECT_EQ(args[1], L"middle!");

    CStringArray copy;
    copy.Copy(args);
    copy.Append(args);
    EXPECT_EQ(copy.GetSize(), 6);
    EXPECT_EQ(copy[5], L"far");
    ExpectInvalidArgument([&] { args.GetAt(3); });
    args.RemoveAll();
    EXPECT_TRUE(args.IsEmpty());
}

using TextMap = CMap<CString, LPCWSTR, CString, LPCWSTR>;

std::map<std::wstring, std::wstring> Contents(const TextMap& map)
{
    std::map<std::wstring, std::wstring> contents;
    POSITION position = map.GetStartPosition();
    while (position) {
        CString key;
        CString value;
        map.GetNextAssoc(position, key, value);
        EXPECT_TRUE(contents.emplace(key.GetString(), value.GetString()).second) << "visited twice";
    }
    return contents;
}

TEST(CMapTest, LooksUpReplacesAndAddsThroughTheIndexOperator)
{
    TextMap attributes;
    attributes.SetAt(L"name", L"a.dll");
    attributes.SetAt(L"zipped", L"true");
    attributes.SetAt(L"name", L"b.dll");
    EXPECT_EQ(attributes.GetCount(), 2);

    CString value(L"unchanged");
    EXPECT_TRUE(attributes.Lookup(L"name", value));
    EXPECT_EQ(value, L"b.dll");
    value = L"unchanged";
    EXPECT_FALSE(attributes.Lookup(L"Name", value));
    EXPECT_EQ(value, L"unchanged");

    EXPECT_TRUE(attributes[L"url"].IsEmpty());
    EXPECT_EQ(attributes.GetCount(), 3);
    attributes[L"url"] = L"pkg/a.zip";
    EXPECT_TRUE(attributes.Lookup(L"url", value));
    EXPECT_EQ(value, L"pkg/a.zip");
}

TEST(CMapTest, WalksEveryEntryOnceAfterRemovals)
{
    TextMap files;
    std::map<std::wstring, std::wstring> expected;
    for (int i = 0; i < 200; ++i) {
        CString key;
        key.Format(L"C:\\work\\파일%d.dll", i);
        CString target;
        target.Format(L"D:\\target\\%d", i);
        files[key] = target;
        expected[key.GetString()] = target.GetString();
    }
    EXPECT_EQ(Contents(files), expected);

    for (int i = 0; i < 200; i += 3) {
        CString key;
        key.Format(L"C:\\work\\파일%d.dll", i);
        EXPECT_TRUE(files.RemoveKey(key));
        EXPECT_FALSE(files.RemoveKey(key));
        expected.erase(key.GetString());
    }
    EXPECT_EQ(files.GetCount(), static_cast<INT_PTR>(expected.size()));
    EXPECT_EQ(Contents(files), expected);

    CString value;
    EXPECT_FALSE(files.Lookup(L"C:\\work\\파일0.dll", value));
    EXPECT_TRUE(files.Lookup(L"C:\\work\\파일1.dll", value));
    EXPECT_EQ(value, L"D:\\target\\1");
}

TEST(CMapTest, EmptiesAndFillsAgain)
{
    CMap<int, int, int, int> counts(2);
    EXPECT_EQ(counts.GetStartPosition(), nullptr);
    for (int i = 0; i < 50; ++i) counts[i] = i * i;
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(counts.RemoveKey(i));
    EXPECT_TRUE(counts.IsEmpty());
    EXPECT_EQ(counts.GetStartPosition(), nullptr);
    EXPECT_FALSE(counts.RemoveKey(3));

    counts.SetAt(-7, 1);
    counts.SetAt(7, 2);
    int value = 0;
    EXPECT_TRUE(counts.Lookup(-7, value));
    EXPECT_EQ(value, 1);
    counts.RemoveAll();
    EXPECT_FALSE(counts.Lookup(7, value));
    EXPECT_EQ(counts.GetCount(), 0);

    POSITION none = nullptr;
    int key = 0;
    ExpectInvalidArgument([&] { counts.GetNextAssoc(none, key, value); });
}

TEST(CMapTest, WalksBucketsInOrderWithTheNewestKeyOfABucketFirst)
{
    // Small numbers share bucket 0 (their hash drops the low four bits); 16 lands in bucket 1.
    CMap<int, int, int, int> map;
    map[16] = 0;
    map[1] = 0;
    map[2] = 0;
    int order[3] = {};
    POSITION position = map.GetStartPosition();
    for (int& key : order) {
        int value = 0;
        ASSERT_NE(position, nullptr);
        map.GetNextAssoc(position, key, value);
    }
    EXPECT_EQ(position, nullptr);
    EXPECT_EQ(order[0], 2);
    EXPECT_EQ(order[1], 1);
    EXPECT_EQ(order[2], 16);
}

}  // namespace
