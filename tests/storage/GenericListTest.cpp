#include "storage/GenericList.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRecord.h"
#include "storage/GenericSortableList.h"
#include "storage/IoFaults.h"
#include "support/FileBytes.h"
#include "support/TempDir.h"

namespace {

using List = GenericList<TestRecord>;
using SortableList = GenericSortableList<TestRecord>;

std::string Image(std::initializer_list<TestRecord> records) {
    std::string bytes;
    ByteWriter writer(bytes);
    for (const auto& r : records) {
        writer << r;
    }
    return bytes;
}

std::vector<std::int32_t> Keys(List& list) {
    std::vector<std::int32_t> keys;
    for (unsigned i = 0; i < list.Count(); ++i) {
        keys.push_back(list[i].key);
    }
    return keys;
}

std::string ExceptionText(const std::function<void()>& action) {
    try {
        action();
    } catch (const MessageException& e) {
        return e.Text();
    }
    return "no exception";
}

class GenericListTest : public ::testing::Test {
  protected:
    void TearDown() override { IoFaults::ClearHook(); }

    TempDir dir_;
    std::string file_ = dir_ / "records.dat";
};

TEST_F(GenericListTest, MissingFileGivesEmptyListAndCreatesFile) {
    List list(file_.c_str());
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_TRUE(FileExists(file_));
    EXPECT_EQ(FileSize(file_), 0);
}

TEST_F(GenericListTest, RecordsRoundTripInFileOrderWithExactBytes) {
    {
        List list(file_.c_str());
        EXPECT_EQ(list.Add(TestRecord(1, "ab", 5)), 0);
        EXPECT_EQ(list.Add(TestRecord(-2, "cde", -1)), 1);
        // Written through at once, before any flush.
        EXPECT_EQ(ReadBytes(file_), Image({TestRecord(1, "ab", 5), TestRecord(-2, "cde", -1)}));
    }
    std::string bytes = ReadBytes(file_);
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(Int32At(bytes, 12), -2);
    EXPECT_EQ(bytes.substr(16, 6), std::string("cde\0\0\0", 6));
    EXPECT_EQ(Int16At(bytes, 22), -1);

    List reloaded(file_.c_str());
    EXPECT_THAT(Keys(reloaded), ::testing::ElementsAre(1, -2));
    EXPECT_STREQ(reloaded[1].name, "cde");
    EXPECT_EQ(reloaded[1].small, -1);
}

TEST_F(GenericListTest, PartialLastRecordTakesRemainingFieldsFromRecordBefore) {
    std::string bytes = Image({TestRecord(1, "one", 11), TestRecord(2, "two", 22)});
    bytes += std::string("\x03\x00\x00\x00X", 5);
    WriteBytes(file_, bytes);

    List list(file_.c_str());
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list[2].key, 3);
    EXPECT_EQ(std::string(list[2].name, 3), "Xwo");
    EXPECT_EQ(list[2].small, 22);

    // The next addition makes the file whole again: positions match indices.
    list.Add(TestRecord(4, "four", 44));
    EXPECT_EQ(FileSize(file_), 4 * 12);
    List reloaded(file_.c_str());
    EXPECT_THAT(Keys(reloaded), ::testing::ElementsAre(1, 2, 3, 4));
}

TEST_F(GenericListTest, PartialFirstRecordKeepsDefaults) {
    WriteBytes(file_, std::string("\x05\x00", 2));
    List list(file_.c_str());
    ASSERT_EQ(list.Count(), 1u);
    // Low bytes from the file, high bytes from the default -7 (0xFFFFFFF9).
    EXPECT_EQ(static_cast<std::uint32_t>(list[0].key), 0xFFFF0005u);
    EXPECT_EQ(list[0].small, 99);
}

TEST_F(GenericListTest, DeleteMovesLastRecordAndLeavesNoStaleCopy) {
    List list(file_.c_str());
    for (int i = 0; i < 5; ++i) {
        list.Add(TestRecord(i, "r"));
    }
    list.Delete(2);
    EXPECT_THAT(Keys(list), ::testing::ElementsAre(0, 1, 4, 3));
    EXPECT_EQ(ReadBytes(file_), Image({TestRecord(0, "r"), TestRecord(1, "r"), TestRecord(4, "r"),
                                       TestRecord(3, "r")}));
    list.Delete(3);
    EXPECT_THAT(Keys(list), ::testing::ElementsAre(0, 1, 4));
    EXPECT_EQ(FileSize(file_), 3 * 12);
}

TEST_F(GenericListTest, OutOfRangeAccessRaisesAndChangesNothing) {
    List list(file_.c_str());
    const std::string range = List::kRangeError;
    EXPECT_EQ(ExceptionText([&] { list.Delete(0); }), range);
    list.Add(TestRecord(1, "a"));
    list.Add(TestRecord(2, "b"));
    EXPECT_EQ(ExceptionText([&] { (void)list[2]; }), range);
    EXPECT_EQ(ExceptionText([&] { (void)list[static_cast<unsigned>(-1)]; }), range);
    EXPECT_EQ(ExceptionText([&] { list.Delete(5); }), range);
    EXPECT_EQ(ExceptionText([&] { list.Delete(-1); }), range);
    EXPECT_THAT(Keys(list), ::testing::ElementsAre(1, 2));
    EXPECT_EQ(FileSize(file_), 24);
}

TEST_F(GenericListTest, EmptyThenAddLeavesOnlyTheNewRecord) {
    List list(file_.c_str());
    list.Add(TestRecord(1, "a"));
    list.Add(TestRecord(2, "b"));
    list.Empty();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(list.Capacity(), 0u);
    EXPECT_EQ(FileSize(file_), 0);
    list.Add(TestRecord(3, "c"));
    EXPECT_EQ(list.Capacity(), 8u);
    EXPECT_EQ(ReadBytes(file_), Image({TestRecord(3, "c")}));
}

TEST_F(GenericListTest, CapacityGrowsByTheFactorOncePerAdd) {
    List list;
    std::vector<unsigned> capacities;
    for (int i = 0; i < 20; ++i) {
        list.Add(TestRecord(i, "x"));
        capacities.push_back(list.Capacity());
    }
    EXPECT_EQ(capacities[0], 8u);
    EXPECT_EQ(capacities[7], 8u);
    EXPECT_EQ(capacities[8], 9u);
    EXPECT_EQ(capacities[9], 10u);
    EXPECT_EQ(capacities[10], 12u);
    EXPECT_EQ(capacities[12], 14u);
    EXPECT_EQ(capacities[14], 16u);
    EXPECT_EQ(capacities[16], 19u);
    EXPECT_EQ(capacities[19], 22u);
}

TEST_F(GenericListTest, ReserveGrowsOnceAndKeepsTheRecords) {
    List list;
    list.Add(TestRecord(1, "a"));
    list.Reserve(100);
    EXPECT_EQ(list.Capacity(), 100u);
    list.Reserve(50);
    EXPECT_EQ(list.Capacity(), 100u);
    EXPECT_EQ(list[0].key, 1);
    for (int i = 2; i <= 100; ++i) {
        list.Add(TestRecord(i, "x"));
    }
    EXPECT_EQ(list.Capacity(), 100u);
    list.Add(TestRecord(101, "y"));
    EXPECT_EQ(list.Capacity(), 120u);
}

TEST_F(GenericListTest, MemoryOnlyListWritesNothing) {
    {
        List list;
        list.Add(TestRecord(1, "a"));
        list.Flush();
        list.Empty();
    }
    EXPECT_FALSE(FileExists(file_));
}

TEST_F(GenericListTest, SortIsStableInBothOrdersAndRewritesTheFile) {
    SortableList list(file_.c_str());
    list.Add(TestRecord(3, "a"));
    list.Add(TestRecord(1, "b"));
    list.Add(TestRecord(3, "c"));
    list.Add(TestRecord(-4, "d"));
    list.Add(TestRecord(2, "e"));
    list.Sort();
    std::string names;
    for (unsigned i = 0; i < list.Count(); ++i) {
        names += list[i].name;
    }
    EXPECT_EQ(names, "dbeac");
    EXPECT_EQ(ReadBytes(file_), Image({TestRecord(-4, "d"), TestRecord(1, "b"), TestRecord(2, "e"),
                                       TestRecord(3, "a"), TestRecord(3, "c")}));

    list.SetSortOrder(1);
    list.Sort();
    EXPECT_THAT(Keys(list), ::testing::ElementsAre(3, 3, 2, 1, -4));

    list.Add(TestRecord(7, "f"));
    list.SetSortOrder(2);
    list.Sort();
    EXPECT_THAT(Keys(list), ::testing::ElementsAre(3, 3, 2, 1, -4, 7));
    EXPECT_EQ(FileSize(file_), 6 * 12);
}

TEST_F(GenericListTest, MissingDirectoryRaisesOpenErrorNamingTheFile) {
    std::string bad = dir_ / "missing/records.dat";
    EXPECT_EQ(ExceptionText([&] { List list(bad.c_str()); }),
              std::string(List::kOpenError) + "\n" + bad + "\nGrund: den Ordner gibt es nicht.");
}

TEST_F(GenericListTest, OverlongFileNameIsRefusedNotCut) {
    std::string name = dir_ / std::string(300, 'x');
    EXPECT_EQ(ExceptionText([&] { List list(name.c_str()); }), List::kOpenError);
    EXPECT_FALSE(FileExists(name.substr(0, 255)));
}

TEST_F(GenericListTest, StaleTemporaryFileIsRemovedOnLoad) {
    WriteBytes(file_ + ".tmp", "half a file");
    List list(file_.c_str());
    EXPECT_FALSE(FileExists(file_ + ".tmp"));
}

// A failing write of any kind leaves the old file exactly as it was, removes
// the temporary file, raises the list's text, and keeps the list consistent.
class GenericListFaultTest : public GenericListTest,
                             public ::testing::WithParamInterface<IoFaults::Op> {
  protected:
    void FailFrom(IoFaults::Op op, int err = ENOSPC) {
        IoFaults::SetHook(
            [op, err](IoFaults::Op what, const std::string&) { return what == op ? err : 0; });
    }
};

TEST_P(GenericListFaultTest, FailedRewriteKeepsOldFile) {
    List list(file_.c_str());
    list.Add(TestRecord(1, "a"));
    list.Add(TestRecord(2, "b"));
    list.Add(TestRecord(3, "c"));
    const std::string before = ReadBytes(file_);
    list[0].key = 10;

    FailFrom(GetParam());
    EXPECT_EQ(ExceptionText([&] { list.Flush(); }), List::kFlushError);
    EXPECT_EQ(ReadBytes(file_), before);
    EXPECT_FALSE(FileExists(file_ + ".tmp"));
    EXPECT_EQ(list[0].key, 10);

    EXPECT_EQ(ExceptionText([&] { list.Delete(0); }), List::kFlushError);
    EXPECT_EQ(ReadBytes(file_), before);
    EXPECT_THAT(Keys(list), ::testing::ElementsAre(10, 2, 3));

    EXPECT_EQ(ExceptionText([&] { list.Empty(); }), List::kEmptyError);
    EXPECT_EQ(ReadBytes(file_), before);
    EXPECT_EQ(list.Count(), 3u);

    IoFaults::ClearHook();
    list.Flush();
    List reloaded(file_.c_str());
    EXPECT_THAT(Keys(reloaded), ::testing::ElementsAre(10, 2, 3));
}

INSTANTIATE_TEST_SUITE_P(EveryCall, GenericListFaultTest,
                         ::testing::Values(IoFaults::Op::Open, IoFaults::Op::Write,
                                           IoFaults::Op::Sync, IoFaults::Op::Rename));

TEST_F(GenericListFaultTest, FailedAppendIsReportedAndTakenBack) {
    List list(file_.c_str());
    list.Add(TestRecord(1, "a"));
    FailFrom(IoFaults::Op::Write, EIO);
    EXPECT_EQ(ExceptionText([&] { list.Add(TestRecord(2, "b")); }), List::kAddError);
    EXPECT_EQ(list.Count(), 1u);
    EXPECT_EQ(ReadBytes(file_), Image({TestRecord(1, "a")}));
    IoFaults::ClearHook();
    list.Add(TestRecord(3, "c"));
    EXPECT_EQ(ReadBytes(file_), Image({TestRecord(1, "a"), TestRecord(3, "c")}));
}

TEST_F(GenericListFaultTest, DestructorSwallowsAFailedFlush) {
    {
        List list(file_.c_str());
        list.Add(TestRecord(1, "a"));
        list[0].key = 5;
        FailFrom(IoFaults::Op::Rename);
    }
    IoFaults::ClearHook();
    EXPECT_EQ(ReadBytes(file_), Image({TestRecord(1, "a")}));
}

}  // namespace

namespace {

TEST_F(GenericListTest, StoreWritesOneChangedRecordInPlace) {
    List list(file_.c_str());
    list.Add(TestRecord(1, "a"));
    list.Add(TestRecord(2, "b"));
    list[1].small = 7;
    list.Store(1);
    EXPECT_EQ(ReadBytes(file_), Image({TestRecord(1, "a"), TestRecord(2, "b", 7)}));
    EXPECT_THROW(list.Store(2), MessageException);
}

TEST_F(GenericListTest, StoreOnAPartialFileMakesItWhole) {
    WriteBytes(file_, Image({TestRecord(1, "a")}) + "xy");
    List list(file_.c_str());
    ASSERT_EQ(list.Count(), 2u);
    list[0].small = 3;
    list.Store(0);
    EXPECT_EQ(FileSize(file_), 24);
    List reloaded(file_.c_str());
    EXPECT_EQ(reloaded[0].small, 3);
}

}  // namespace
