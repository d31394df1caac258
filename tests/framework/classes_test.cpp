#include <gtest/gtest.h>

#include <string>

#include "framework/Exception.h"
#include "framework/StringList.h"
#include "framework/Streams.h"

namespace plx {
namespace {

TEST(StringList, KeepsObjectsWithTheirStringsAndZeroBytes) {
  TStringList list;
  TObject a, b;
  list.AddObject(std::string("x\0y", 3), &a);
  list.AddObject("second", &b);
  list.Insert(0, "first");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Strings(1), std::string("x\0y", 3));
  EXPECT_EQ(list.Objects(1), &a);
  EXPECT_EQ(list.Objects(2), &b);
  EXPECT_EQ(list.Objects(0), nullptr);
  list.Exchange(1, 2);
  EXPECT_EQ(list.Objects(1), &b);
  list.Delete(0);
  EXPECT_EQ(list.Strings(0), "second");
  EXPECT_THROW(list.Strings(2), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
}

TEST(StringList, SortedListsInsertInOrderIgnoringCaseByDefault) {
  TStringList list;
  list.Add("pear");
  list.Add("Apple");
  list.SetSorted(true);
  EXPECT_EQ(list.Strings(0), "Apple");
  EXPECT_EQ(list.Add("banana"), 1);
  EXPECT_EQ(list.IndexOf("BANANA"), 1);
  EXPECT_THROW(list.Insert(0, "x"), EListError);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("BANANA"), -1);
}

TEST(StringList, TextSplitsAtEveryKindOfLineBreak) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\n\n", {"", ""}},
  };
  for (const auto& c : cases) {
    TStringList list;
    list.SetText(c.text);
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
    EXPECT_EQ(lines, c.lines) << "text: " << c.text;
  }
  TStringList list;
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(list.Text(), "a\r\nb\r\n");
}

TEST(StringList, OnChangeFiresOncePerUpdateBlock) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };
  list.Add("a");
  EXPECT_EQ(changes, 1);
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  EXPECT_EQ(changes, 1);
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
}

TEST(MemoryStream, ReadsWritesAndSeeksWithinAndPastItsEnd) {
  TMemoryStream stream;
  stream.WriteBuffer("hello", 5);
  EXPECT_EQ(stream.Size(), 5);
  stream.SetPosition(8);
  stream.WriteBuffer("!", 1);  // the gap is filled with zero bytes
  EXPECT_EQ(stream.Bytes(), (std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o', 0, 0, 0, '!'}));
  stream.Seek(-4, TSeekOrigin::soEnd);
  char buffer[16] = {};
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 4u);
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0u);
  stream.Seek(-100, TSeekOrigin::soCurrent);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_THROW(stream.ReadBuffer(buffer, 10), EStreamError);  // only 9 bytes
}

TEST(MemoryStream, CopyFromTakesAWholeReadOnlyBlock) {
  const char data[] = "borrowed bytes";
  TReadOnlyMemoryStream source(data, sizeof data - 1);
  EXPECT_EQ(source.Write("x", 1), 0u);
  TMemoryStream copy;
  EXPECT_EQ(copy.CopyFrom(source, 0), 14);
  EXPECT_EQ(std::string(copy.Bytes().begin(), copy.Bytes().end()), "borrowed bytes");
}

}  // namespace
}  // namespace plx
