#include "template/RecordStream.h"
#include "template/TfrView.h"

#include "Fixture.h"

#include <gtest/gtest.h>

using namespace mirel::tmpl;
using mirel::tmpl::test::Fx;

TEST(RecordStream, NumbersAreLittleEndian) {
    const std::string inBytes = Fx().u8(0xAB).u16(0x1234).i32(-2).i32(0x1FFFFFFF).f64(1.5).b;
    RecordReader in(inBytes);
    EXPECT_EQ(in.ReadByte(), 0xAB);
    EXPECT_EQ(in.ReadWord(), 0x1234);
    EXPECT_EQ(in.ReadInt(), -2);
    EXPECT_EQ(in.ReadColor(), 0x1FFFFFFFu);
    EXPECT_EQ(in.ReadDouble(), 1.5);
    EXPECT_TRUE(in.AtEnd());

    RecordWriter out;
    out.WriteByte(0xAB);
    out.WriteWord(0x1234);
    out.WriteInt(-2);
    out.WriteColor(0x1FFFFFFF);
    out.WriteDouble(1.5);
    out.WriteBool16(true);
    EXPECT_EQ(out.Bytes(), Fx().u8(0xAB).u16(0x1234).i32(-2).i32(0x1FFFFFFF).f64(1.5).u16(0xFFFF).b);
}

TEST(RecordStream, AnyNonZeroBool16IsTrue) {
    const std::string inBytes = Fx().u16(0).u16(1).u16(0x8000).b;
    RecordReader in(inBytes);
    EXPECT_FALSE(in.ReadBool16());
    EXPECT_TRUE(in.ReadBool16());
    EXPECT_TRUE(in.ReadBool16());
}

TEST(RecordStream, ShortReadsGiveWhatIsLeftAndZeros) {
    const std::string inBytes = std::string("\x01\x02\x03", 3);
    RecordReader in(inBytes);
    EXPECT_EQ(in.ReadInt(), 0x030201);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(in.ReadByte(), 0);
    EXPECT_EQ(in.ReadCountedString(), "");
    EXPECT_TRUE(in.ReadLineList().empty());

    // A counted string claiming more than is left takes the rest.
    const std::string longerBytes = Fx().u16(1000).raw("abc").b;
    RecordReader longer(longerBytes);
    EXPECT_EQ(longer.ReadCountedString(), "abc");
    EXPECT_TRUE(longer.AtEnd());
}

TEST(RecordStream, TextForms) {
    const std::string inBytes = Fx().counted("ab").zstr("cd").bare("ef").raw("gh").b;
    RecordReader in(inBytes);
    EXPECT_EQ(in.ReadCountedString(), "ab");
    EXPECT_EQ(in.ReadZeroString(), "cd");
    EXPECT_EQ(in.ReadBareString(), "ef");
    EXPECT_EQ(in.ReadZeroString(), "gh");   // the end of the data ends it too
    EXPECT_TRUE(in.AtEnd());
}

TEST(RecordStream, VersionedFormsFollowTheVersion) {
    const std::string counted = Fx().counted("Memo1").lines({"a", "b"}).b;
    RecordReader v23(counted, 23);
    EXPECT_EQ(v23.ReadVersionedString(), "Memo1");
    EXPECT_EQ(v23.ReadVersionedList(), (Lines{"a", "b"}));

    const std::string old = Fx().zstr("Memo1").zstr("a\rb").b;
    RecordReader v22(old, 22);
    EXPECT_EQ(v22.ReadVersionedString(), "Memo1");
    EXPECT_EQ(v22.ReadVersionedList(), (Lines{"a", "b"}));
}

TEST(RecordStream, LineListReadsToTheZeroSeparator) {
    // The count only tells empty from non-empty: three lines are read although
    // the count says one.
    const std::string inBytes = Fx().u16(1).bare("x").u8(0x0D).bare("").u8(0x0D).bare("z").u8(0).u8(0x77).b;
    RecordReader in(inBytes);
    EXPECT_EQ(in.ReadLineList(), (Lines{"x", "", "z"}));
    EXPECT_EQ(in.ReadByte(), 0x77);

    const std::string emptyBytes = Fx().u16(0).u8(0).u8(0x77).b;
    RecordReader empty(emptyBytes);
    EXPECT_TRUE(empty.ReadLineList().empty());
    EXPECT_EQ(empty.ReadByte(), 0x77);
}

TEST(RecordStream, OldLineList) {
    struct Case {
        const char* text;
        Lines lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r", {"a"}},            // text after the last CR is a line only when not empty
        {"a\r\rb", {"a", "", "b"}},
        {"a\nb\r", {"a\nb"}},      // LF stays part of the line
        {"\r", {""}},
    };
    for (const Case& c : cases) {
        const std::string inBytes = Fx().zstr(c.text).b;
    RecordReader in(inBytes, 21);
        EXPECT_EQ(in.ReadOldLineList(), c.lines) << c.text;
        EXPECT_TRUE(in.AtEnd());
    }
}

TEST(RecordStream, WriterForms) {
    RecordWriter out;
    out.WriteCountedString("ab");
    out.WriteBareString("c");
    out.WriteLineList({});
    out.WriteLineList({"x", "yz"});
    EXPECT_EQ(out.Bytes(), Fx().counted("ab").bare("c").lines({}).lines({"x", "yz"}).b);
}

TEST(RecordStream, LongTextAndManyLinesStayReadable) {
    // 65536 lines: a count word of 0 would read as an empty list.
    Lines many(65536, "");
    RecordWriter out;
    out.WriteLineList(many);
    out.WriteCountedString(std::string(70000, 'x'));
    EXPECT_EQ(static_cast<unsigned char>(out.Bytes()[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(out.Bytes()[1]), 0xFF);
    RecordReader in(out.Bytes());
    EXPECT_EQ(in.ReadLineList().size(), 65536u);
    EXPECT_EQ(in.ReadCountedString().size(), 65535u);   // cut where a word can count
    EXPECT_TRUE(in.AtEnd());
}

TEST(RecordStream, EndOffsetPlaceholder) {
    RecordWriter out;
    out.WriteByte(7);
    const size_t at = out.WritePlaceholder();
    out.WriteBytes("abc");
    out.PatchEndOffset(at);
    EXPECT_EQ(out.Bytes(), Fx().u8(7).i32(8).raw("abc").b);
}

TEST(FrameWidth, StoredForms) {
    struct Case {
        double width;
        std::int32_t stored;
    };
    // Whole widths as themselves, others as thousandths (ties to even).
    const Case cases[] = {{0.5, 500}, {1, 1}, {1.5, 1500}, {3, 3}, {10, 10}, {0.0025, 11}, {0.0625, 62}};
    for (const Case& c : cases)
        EXPECT_EQ(encodeFrameWidth(c.width), c.stored) << c.width;
    EXPECT_EQ(decodeFrameWidth(11), 0.011);
    EXPECT_EQ(decodeFrameWidth(10), 10.0);
    EXPECT_EQ(decodeFrameWidth(500), 0.5);
    EXPECT_EQ(decodeFrameWidth(-3), -3.0);
}

TEST(FrameWidth, EveryWrittenWidthReadsBack) {
    // A whole width above 10 stored as itself would come back as thousandths.
    for (double w : {0.5, 1.0, 1.5, 3.0, 10.0, 11.0, 25.0, 0.25})
        EXPECT_EQ(decodeFrameWidth(encodeFrameWidth(w)), w) << w;
    // A fraction too thin for the file becomes the thinnest it can hold.
    EXPECT_EQ(decodeFrameWidth(encodeFrameWidth(0.004)), 0.011);
}
