#include <gtest/gtest.h>

#include "core/Dictionary.h"
#include "core/LinkedList.h"
#include "core/List.h"
#include "testing/LibraryAssertions.h"

namespace {

using namespace System;
using TestSupport::ExpectThrows;

TEST(ListTest, KeepsOrderAndReportsBadIndexes)
{
    List<String> list(32);
    list.Add(L"하나");
    list.Add(L"셋");
    list.Insert(1, L"둘");
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list[1], String(L"둘"));
    EXPECT_EQ(list.IndexOf(L"셋"), 2);
    EXPECT_TRUE(list.Remove(L"하나"));
    EXPECT_FALSE(list.Remove(L"넷"));
    EXPECT_EQ(list.ToArray(), (Array<String>{L"둘", L"셋"}));
    ExpectThrows<ArgumentOutOfRangeException>([&] { list[2]; });
    ExpectThrows<ArgumentOutOfRangeException>([&] { list[-1]; });
    ExpectThrows<ArgumentOutOfRangeException>([&] { list.RemoveAt(5); });
    ExpectThrows<ArgumentOutOfRangeException>([&] { list.Insert(3, L"x"); });
    ExpectThrows<ArgumentOutOfRangeException>([] { List<int> bad(-1); });
}

TEST(ListTest, EnumeratorMustBePositionedAndFailsAfterAChange)
{
    List<int> list;
    list.Add(1);
    list.Add(2);
    auto enumerator = list.GetEnumerator();
    ExpectThrows<InvalidOperationException>([&] { enumerator.GetCurrent(); });
    ASSERT_TRUE(enumerator.MoveNext());
    EXPECT_EQ(enumerator.GetCurrent(), 1);
    ASSERT_TRUE(enumerator.MoveNext());
    EXPECT_EQ(enumerator.GetCurrent(), 2);
    EXPECT_FALSE(enumerator.MoveNext());
    ExpectThrows<InvalidOperationException>([&] { enumerator.GetCurrent(); });
    EXPECT_FALSE(enumerator.MoveNext());
    enumerator.Reset();
    ASSERT_TRUE(enumerator.MoveNext());
    EXPECT_EQ(enumerator.GetCurrent(), 1);

    list.Add(3);
    ExpectThrows<InvalidOperationException>([&] { enumerator.MoveNext(); });
    ExpectThrows<InvalidOperationException>([&] { enumerator.GetCurrent(); });
}

TEST(LinkedListTest, KeepsInsertionOrderAndRemovesTheFirstMatch)
{
    LinkedList<int> list;
    ExpectThrows<InvalidOperationException>([&] { list.GetFirst(); });
    list.AddLast(2);
    list.AddLast(3);
    list.AddFirst(1);
    list.AddLast(2);
    EXPECT_TRUE(list.Remove(2));
    EXPECT_EQ(list.ToArray(), (Array<int>{1, 3, 2}));
    EXPECT_EQ(list.GetFirst(), 1);
    EXPECT_EQ(list.GetLast(), 2);

    auto enumerator = list.GetEnumerator();
    int sum = 0;
    while (enumerator.MoveNext()) sum += enumerator.GetCurrent();
    EXPECT_EQ(sum, 6);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    ExpectThrows<InvalidOperationException>([&] { enumerator.Reset(); });
}

TEST(DictionaryTest, LooksUpAddsOnceAndRaisesForMissingKeys)
{
    Dictionary<String, int> table(64);
    table.Add(L"Privacy", 1);
    table.Add(L"Disk.Temp", 2);
    EXPECT_EQ(table.Get(L"Disk.Temp"), 2);
    int value = 0;
    EXPECT_TRUE(table.TryGetValue(L"Privacy", value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(table.TryGetValue(L"privacy", value));
    ExpectThrows<KeyNotFoundException>([&] { table.Get(L"Registry"); });
    ExpectThrows<ArgumentException>([&] { table.Add(L"Privacy", 3); });
    EXPECT_EQ(table.Get(L"Privacy"), 1);
    table.Set(L"Privacy", 4);
    EXPECT_EQ(table.Get(L"Privacy"), 4);
    ExpectThrows<ArgumentOutOfRangeException>([] { Dictionary<int, int> bad(-5); });
}

TEST(DictionaryTest, EnumeratesInInsertionOrderAcrossRemovals)
{
    Dictionary<int, String> table;
    for (int i = 0; i < 100; ++i) table.Add(i, String::Format(L"%d", i));
    for (int i = 0; i < 100; i += 3) EXPECT_TRUE(table.Remove(i));
    EXPECT_FALSE(table.Remove(0));
    int expected = 1;
    for (const auto& entry : table) {
        if (expected % 3 == 0) ++expected;
        EXPECT_EQ(entry.GetKey(), expected);
        EXPECT_EQ(entry.GetValue(), String::Format(L"%d", expected));
        ++expected;
    }
    EXPECT_EQ(table.GetCount(), 66);
    EXPECT_EQ(table.Get(98), String(L"98"));
    EXPECT_EQ(table.GetKeys().GetLength(), 66);

    auto enumerator = table.GetEnumerator();
    ASSERT_TRUE(enumerator.MoveNext());
    EXPECT_EQ(enumerator.GetCurrent().GetKey(), 1);
    table.Add(1000, L"x");
    ExpectThrows<InvalidOperationException>([&] { enumerator.MoveNext(); });
}

TEST(ArrayTest, IsAFixedCopyWithCheckedIndexes)
{
    Array<int> array(3);
    array[0] = 7;
    Array<int> copy = array;
    copy[0] = 8;
    EXPECT_EQ(array[0], 7);
    EXPECT_EQ(array.GetLength(), 3);
    ExpectThrows<ArgumentOutOfRangeException>([&] { array[3]; });
    ExpectThrows<ArgumentOutOfRangeException>([] { Array<int> bad(-2); });
}

}  // namespace
