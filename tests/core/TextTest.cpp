#include "core/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using mirel::core::splitLines;
using mirel::core::trimBlanks;

TEST(Text, SplitLines) {
    struct Case { std::string text; std::vector<std::string> lines; };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"\r\n", {""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},           // LF then CR: two breaks
        {"a\r\r\nb", {"a", "", "b"}},
        {"x\r\ny\nz\rw", {"x", "y", "z", "w"}},  // mixed breaks in one file
    };
    for (const Case& c : cases) {
        const auto got = splitLines(c.text);
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.end()), c.lines) << testing::PrintToString(c.text);
    }
}

TEST(Text, JoinLinesEndsEveryLineWithCrLf) {
    EXPECT_EQ(mirel::core::joinLines({"1 A", "2 B"}), "1 A\r\n2 B\r\n");
    EXPECT_EQ(mirel::core::joinLines({}), "");
}

TEST(Text, TrimRemovesBlanksAndControlsOnly) {
    struct Case { std::string in; std::string out; };
    const Case cases[] = {
        {"", ""},
        {"  a b \t", "a b"},
        {std::string("\0\x01x\x1F ", 5), "x"},
        {" \xD6\xD0 ", "\xD6\xD0"},   // code page bytes above 127 are kept
        {"\x7F", "\x7F"},             // DEL is code 127, not a control below 33
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(trimBlanks(c.in)), c.out);
}
