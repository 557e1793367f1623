// Texts with bracketed expressions: memo lines, tags and barcode lines.

#include "engine/Expression.h"

#include "TestResolver.h"

#include <gtest/gtest.h>

namespace mirel::engine {
namespace {

using mirel::test::ansi;
using test::labelResolver;
using test::TestResolver;

AnsiString asText(const Value& v) { return v.toString(); }

TEST(BracketTextTest, EachOutermostBracketIsReplacedByItsValue) {
    const std::pair<const char*, const char*> cases[] = {
        {"No. [条形码编号] [PAGE#]", "No. 0001 3"},
        {"[编头][条形码编号][编尾]", "AB0001Z"},
        {"[IF([no]>1,\"x\",\"y\")]", "x"},
        {"[IF(no > 1, ']', '[')] done", "] done"},      // brackets inside quoted texts
        {"[[编头]]", "AB"},
        {"[数量]", "100"},
        {"He said \"hi\" to [编头]", "He said \"hi\" to AB"},
        {"A\r\n[编头]\r\n", "A\r\nAB\r\n"},
        {"a [b", "a [b"},                                 // never closed: plain text
        {"a ] b", "a ] b"},
        {"a [b [编头] c", "a [b AB c"},
        {"x [乚] y", "x V y"},                            // 乚 is 81 5D, its second byte ']'
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases) {
        TestResolver names = labelResolver();
        names.text("乚", "V");
        EXPECT_EQ(expandBrackets(ansi(text), names, asText), ansi(expected)) << text;
    }
}

TEST(BracketTextTest, FormatIsAppliedToEachValue) {
    TestResolver names = labelResolver();
    std::vector<Value> seen;
    const auto format = [&](const Value& v) {
        seen.push_back(v);
        return "<" + v.toString() + ">";
    };
    EXPECT_EQ(expandBrackets(ansi("[no] of [数量]."), names, format), "<5> of <100>.");
    EXPECT_EQ(seen, (std::vector<Value>{Value::integer(5), Value::real(100.0)}));
}

TEST(BracketTextTest, ParsedOnceExpandedPerLabel) {
    const BracketText t = BracketText::parse(ansi("[编头]-[no]"));
    EXPECT_TRUE(t.hasExpressions());
    EXPECT_FALSE(BracketText::parse("a [b").hasExpressions());
    TestResolver names = labelResolver();
    for (int no = 1; no <= 2; ++no) {
        names.name("no", Value::integer(no));
        EXPECT_EQ(t.expand(names, asText), "AB-" + std::to_string(no));
    }
}

TEST(BracketTextTest, ABadBracketIsAnErrorNamingIt) {
    TestResolver names = labelResolver();
    const std::pair<const char*, const char*> cases[] = {
        {"x [1/0] y", "expression \"1/0\": division by zero"},
        {"x [] y", "expression \"\": empty expression at character 1"},
        {"[编头 +]", "expression \"编头 +\": unexpected end of expression at character 5"},
        {"[未知]", "expression \"未知\": unknown name \"未知\""},
    };
    for (const auto& [text, message] : cases) {
        try {
            expandBrackets(ansi(text), names, asText);
            ADD_FAILURE() << text;
        } catch (const ExpressionError& e) {
            EXPECT_EQ(std::string(e.what()), message) << text;
        }
    }
}

TEST(BracketTextTest, BarcodeLines) {
    const std::pair<const char*, const char*> cases[] = {
        {"[条形码编号]", "0001"},
        {"[编头][条形码编号][编尾]", "AB0001Z"},
        {"[编头]-[条形码编号]", "AB-0001"},           // the dash stays text, no subtraction
        {"[编头] + [编尾]", "AB + Z"},
        {"[no]", "5"},
        {"[no + 1]", "6"},
        {"[frDBDataSet1.\"NO\"]", "000123"},
        {"abc[编头]", "abc[编头]"},                  // not beginning with '[': as it is
        {" [编头]", " [编头]"},
        {"", ""},
    };
    for (const auto& [line, expected] : cases) {
        TestResolver names = labelResolver();
        EXPECT_EQ(evaluateLine(ansi(line), names), ansi(expected)) << line;
    }
    TestResolver names = labelResolver();
    EXPECT_THROW(evaluateLine(ansi("[未知]"), names), ExpressionError);
}

} // namespace
} // namespace mirel::engine
