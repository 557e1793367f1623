// Label expressions: values of expressions as tables of cases, the names handed
// to the resolver, the errors and their messages, and the safety limits.

#include "engine/Expression.h"

#include "TestResolver.h"

#include <QDate>
#include <gtest/gtest.h>

namespace mirel::engine {
namespace {

using mirel::test::ansi;
using test::labelResolver;
using test::TestResolver;

Value eval(std::string_view utf8, NameResolver& names) { return Expression::parse(ansi(utf8)).evaluate(names); }

Value text(std::string_view utf8) { return Value::string(ansi(utf8)); }

struct ValueCase {
    const char* expression;   // UTF-8
    Value expected;
};

void expectValues(const std::vector<ValueCase>& cases) {
    for (const auto& c : cases) {
        TestResolver names = labelResolver();
        try {
            EXPECT_EQ(eval(c.expression, names), c.expected) << c.expression;
        } catch (const ExpressionError& e) {
            ADD_FAILURE() << c.expression << ": " << e.what();
        }
    }
}

TEST(ExpressionTest, Arithmetic) {
    expectValues({
        {"1 + 2", Value::integer(3)},
        {"2 + 3 * 4", Value::integer(14)},
        {"(2 + 3) * 4", Value::integer(20)},
        {"10 - 2 - 3", Value::integer(5)},
        {"2 * 3 mod 4", Value::integer(2)},
        {"7 / 2", Value::real(3.5)},
        {"6 / 2", Value::real(3.0)},
        {"7 div 2", Value::integer(3)},
        {"-7 div 2", Value::integer(-3)},
        {"-7 mod 2", Value::integer(-1)},
        {"7 mod -2", Value::integer(1)},
        {"7.0 DIV 2", Value::integer(3)},
        {"1.5 + 1", Value::real(2.5)},
        {"1.5e3", Value::real(1500.0)},
        {"- -3", Value::integer(3)},
        {"+'5'", Value::integer(5)},
        {"2 - -3", Value::integer(5)},
        {"-9223372036854775808", Value::integer(INT64_MIN)},
        {"9223372036854775807 + 1", Value::real(9223372036854775808.0)},
        {"99999999999999999999", Value::real(1e20)},
        {"-9223372036854775807 - 2", Value::real(-9223372036854775809.0)},
        {"4294967296 * 4294967296", Value::real(18446744073709551616.0)},
        {"-9223372036854775808 div -1", Value::real(9223372036854775808.0)},
        {"no * 2", Value::integer(10)},
        {"数量 / 4", Value::real(25.0)},
        {"Total Sum + 1", Value::integer(8)},
        {"PAGE# * 2", Value::integer(6)},
    });
}

TEST(ExpressionTest, TextsAndJoining) {
    expectValues({
        {"'It''s'", text("It's")},
        {"\"say \"\"hi\"\"\"", text("say \"hi\"")},
        {"'[x]'", text("[x]")},
        {"[编头] + \"-\"", text("AB-")},
        {"编头 + 条形码编号 + 编尾", text("AB0001Z")},
        {"\"No.\" + 5", text("No.5")},
        {"'12' + 3", text("123")},
        {"3 + '12'", text("312")},
        {"'x' + 1.5", text("x1.5")},
        {"'' + true", text("True")},
        {"'12' - 2", Value::integer(10)},
        {"'2.5' * 2", Value::real(5.0)},
        {"空 + 'a'", text("a")},
        {"空 + 1", Value::integer(1)},
        {"空 + 空", Value()},
        {"数据扩充1 + 编尾", text("Z")},
    });
}

TEST(ExpressionTest, ComparisonsAndLogic) {
    expectValues({
        {"1 = 1.0", Value::boolean(true)},
        {"1 <> 2", Value::boolean(true)},
        {"2 <= 2", Value::boolean(true)},
        {"3 >= 4", Value::boolean(false)},
        {"'abc' < 'abd'", Value::boolean(true)},
        {"'B' < 'a'", Value::boolean(true)},        // byte order, letter case counts
        {"'a' = 'A'", Value::boolean(false)},
        {"'10' = 10", Value::boolean(true)},        // a number text against a number: by value
        {"'9' < 10", Value::boolean(true)},
        {"'a' = 1", Value::boolean(false)},
        {"条形码编号 = 1", Value::boolean(true)},     // "0001" reads as 1
        {"空 = ''", Value::boolean(true)},
        {"空 = 0", Value::boolean(true)},
        {"true > false", Value::boolean(true)},
        {"1 < 2 and 2 < 3", Value::boolean(true)},
        {"1 = 2 or 2 = 2", Value::boolean(true)},
        {"not 1 = 2", Value::boolean(true)},
        {"NOT TRUE", Value::boolean(false)},
        {"true xor true", Value::boolean(false)},
        {"1 and 'true'", Value::boolean(true)},
        {"1 = 1 or 1 / 0 = 1", Value::boolean(true)},   // short-circuit
        {"1 = 2 and 1 / 0 = 1", Value::boolean(false)},
        {"ENCODEDATE(2024, 1, 31) < ENCODEDATE(2024, 2, 1)", Value::boolean(true)},
    });
}

TEST(ExpressionTest, Functions) {
    expectValues({
        {"IF(no > 3, 'big', 'small')", text("big")},
        {"if(no > 9, 'big', 'small')", text("small")},
        {"IF(no > 3, 1, 1 / 0)", Value::integer(1)},   // only the chosen branch is computed
        {"STR(1.5) + STR(no)", text("1.55")},
        {"INT(-2.7)", Value::integer(-2)},
        {"INT('12.9')", Value::integer(12)},
        {"FRAC(2.75)", Value::real(0.75)},
        {"ABS(-3)", Value::integer(3)},
        {"ROUND(2.5)", Value::integer(2)},            // halfway: the even neighbour
        {"ROUND(3.5)", Value::integer(4)},
        {"ROUND(-2.5)", Value::integer(-2)},
        {"ROUND(2.6)", Value::integer(3)},
        {"ROUND(2.675, 2)", Value::real(2.68)},       // 2.67500000000000: 7 is odd, up
        {"ROUND(2.665, 2)", Value::real(2.66)},       // 6 is even, stays
        {"ROUND(1250, -2)", Value::integer(1200)},
        {"MIN(3, 1, 2)", Value::integer(1)},
        {"MAX('a', 'b')", text("b")},
        {"MAX(2, 2.5)", Value::real(2.5)},
        {"STRTOINT('42') + 1", Value::integer(43)},
        {"STRTOFLOAT('1.5')", Value::real(1.5)},
        {"FORMATFLOAT('000000', no + 1)", text("000006")},
        {"FormatFloat('#,##0.00', 1234.5)", text("1,234.50")},
        {"FORMATDATETIME('yyyy.mm.dd', ENCODEDATE(2024, 1, 31))", text("2024.01.31")},
        {"DATETOSTR(ENCODEDATE(2024, 1, 31) + 30)", text("2024-03-01")},
        {"TIMETOSTR(0.75)", text("18:00:00")},
        {"STRTODATE('2024-01-31')", Value::dateTime(45322.0)},
        {"ENCODEDATE(2024, 1, 31)", Value::dateTime(45322.0)},
        {"ENCODEDATE(2024, 3, 1) - ENCODEDATE(2024, 2, 1)", Value::real(29.0)},
        {"ENCODEDATE(2024, 3, 1) - 1", Value::dateTime(45351.0)},
        {"INCMONTH(ENCODEDATE(2024, 1, 31), 1)", Value::dateTime(45351.0)},   // 2024-02-29
        {"INCMONTH(ENCODEDATE(2024, 1, 31), 13)", Value::dateTime(45716.0)},  // 2025-02-28
        {"INCMONTH(ENCODEDATE(2024, 3, 15), -3)", Value::dateTime(45275.0)},  // 2023-12-15
        {"YEAROF(ENCODEDATE(2024, 1, 31)) * 100 + MONTHOF(45322) + DAYOF(45322)", Value::integer(202432)},
        {"LENGTH('条形码')", Value::integer(3)},
        {"LENGTH(12345)", Value::integer(5)},
        {"COPY('条形码编号', 2, 2)", text("形码")},
        {"Copy('abc', 2, 5)", text("bc")},
        {"COPY('abc', 0, 2)", text("ab")},
        {"COPY('abc', 4, 1)", text("")},
        {"SUBSTR('abc', 2, 1)", text("b")},
        {"POS('码', '条形码')", Value::integer(3)},
        {"POS('x', 'abc')", Value::integer(0)},
        {"UPPERCASE('abc条')", text("ABC条")},
        {"LOWERCASE('ABC')", text("abc")},
        {"TRIM('  a b  ') + '|'", text("a b|")},
        {"TRIMLEFT('  a ') + '|'", text("a |")},
        {"TRIMRIGHT('  a ') + '|'", text("  a|")},
        {"LENGTH(TRIM(数据扩充1))", Value::integer(0)},
    });
}

TEST(ExpressionTest, FieldsOfDatasets) {
    expectValues({
        {"frDBDataSet1.\"NO\"", Value::string("000123")},
        {"[frDBDataSet1.\"NO\"]", Value::string("000123")},
        {"frDBDataSet1.'NO'", Value::string("000123")},
        {"frDBDataSet1.NO + 'x'", Value::string("000123x")},
        {"Form1.frDBDataSet1.\"NO\"", Value::string("X")},
    });
    TestResolver names = labelResolver();
    eval("frDBDataSet1 . \"NO\"", names);
    ASSERT_EQ(names.asked.size(), 1u);
    EXPECT_EQ(names.asked[0], "frDBDataSet1.NO");
}

TEST(ExpressionTest, NamesReachTheResolverByteForByte) {
    TestResolver names = labelResolver();
    eval("[数据扩充1] + [ no ] + Total Sum", names);
    const std::vector<AnsiString> asked = {ansi("数据扩充1"), "no", "Total Sum"};
    EXPECT_EQ(names.asked, asked);

    // The host compares case-sensitively: "NO" is not "no".
    names.asked.clear();
    try {
        eval("NO", names);
        ADD_FAILURE();
    } catch (const ExpressionError& e) {
        EXPECT_STREQ(e.what(), "expression \"NO\": unknown name \"NO\"");
    }
    EXPECT_EQ(names.asked, std::vector<AnsiString>{"NO"});

    // Blanks inside a name are kept as written.
    names.asked.clear();
    EXPECT_THROW(eval("编头  编尾", names), ExpressionError);
    EXPECT_EQ(names.asked, std::vector<AnsiString>{ansi("编头  编尾")});
}

TEST(ExpressionTest, BuiltInNamesWhenTheResolverDoesNotKnowThem) {
    TestResolver names;
    EXPECT_EQ(eval("true and not False", names), Value::boolean(true));
    const Value today = eval("date", names);
    ASSERT_EQ(today.kind(), Value::Kind::DateTime);
    const QDate d = QDate::currentDate();
    const double expected = QDate(1899, 12, 30).daysTo(d);
    // Midnight may pass between the two readings.
    EXPECT_TRUE(today.dateTimeValue() == expected || today.dateTimeValue() == expected + 1) << today;
    const Value now = eval("TIME()", names);
    EXPECT_GE(now.dateTimeValue(), 0.0);
    EXPECT_LT(now.dateTimeValue(), 1.0);

    // The resolver is asked first: the engine's DATE (the job's date) wins.
    names.name("DATE", Value::dateTime(45322.0));
    EXPECT_EQ(eval("DATE", names), Value::dateTime(45322.0));
}

TEST(ExpressionTest, OnlyTheNamesANeededBranchUsesAreAsked) {
    TestResolver names = labelResolver();
    eval("IF(no > 3, 编头, 编尾)", names);
    EXPECT_EQ(names.asked, (std::vector<AnsiString>{"no", ansi("编头")}));
    names.asked.clear();
    eval("1 = 2 and 编头 = ''", names);
    EXPECT_TRUE(names.asked.empty());
}

TEST(ExpressionTest, OneParsedExpressionServesEveryLabel) {
    const Expression e = Expression::parse(ansi("FORMATFLOAT('0000', no) + 编尾"));
    TestResolver names = labelResolver();
    for (int no = 0; no < 3; ++no) {
        names.name("no", Value::integer(no));
        EXPECT_EQ(e.evaluate(names), Value::string("000" + std::to_string(no) + "Z"));
    }
    EXPECT_EQ(e.text(), ansi("FORMATFLOAT('0000', no) + 编尾"));
}

struct ErrorCase {
    const char* expression;   // UTF-8
    const char* message;      // what(), UTF-8
};

TEST(ExpressionTest, ErrorsNameTheExpressionAndWhatFailed) {
    const ErrorCase cases[] = {
        // unknown names and fields
        {"编头1", "expression \"编头1\": unknown name \"编头1\""},
        {"frDBDataSet1.\"XX\"", "expression \"frDBDataSet1.\"XX\"\": unknown field frDBDataSet1.\"XX\""},
        // division by zero
        {"1 / 0", "expression \"1 / 0\": division by zero"},
        {"1 / 0.0", "expression \"1 / 0.0\": division by zero"},
        {"5 div 0", "expression \"5 div 0\": division by zero"},
        {"5 mod 空", "expression \"5 mod 空\": division by zero"},
        // values of the wrong kind
        {"'abc' - 1", "expression \"'abc' - 1\": 'abc' is not a number"},
        {"编头 * 2", "expression \"编头 * 2\": 'AB' is not a number"},
        {"true + 1", "expression \"true + 1\": type mismatch: boolean + integer"},
        {"-true", "expression \"-true\": type mismatch: - of a boolean"},
        {"2.5 div 2", "expression \"2.5 div 2\": '2.5' is not a whole number"},
        {"IF('maybe', 1, 2)", "expression \"IF('maybe', 1, 2)\": 'maybe' is not a boolean"},
        {"STRTOINT('12a')", "expression \"STRTOINT('12a')\": '12a' is not a whole number"},
        {"ENCODEDATE(2023, 2, 29)", "expression \"ENCODEDATE(2023, 2, 29)\": there is no date 2023-2-29"},
        {"FORMATDATETIME('yyyy', 3000000)",
         "expression \"FORMATDATETIME('yyyy', 3000000)\": '3000000' is not a date between the years 1 and 9999"},
        // syntax, with the character where it went wrong
        {"", "expression \"\": empty expression at character 1"},
        {"  ", "expression \"  \": empty expression at character 1"},
        {"(1 + 2", "expression \"(1 + 2\": expected \")\" but found end of expression at character 7"},
        {"1 +", "expression \"1 +\": unexpected end of expression at character 4"},
        {"编头 + ", "expression \"编头 + \": unexpected end of expression at character 6"},
        {"1 2", "expression \"1 2\": unexpected number 2 at character 3"},
        {"编头 'x'", "expression \"编头 'x'\": unexpected text \"x\" at character 4"},
        {"a @ b", "expression \"a @ b\": unexpected character \"@\" at character 3"},
        {"'abc", "expression \"'abc\": text without its closing quote at character 1"},
        {"[编头", "expression \"[编头\": expected \"]\" but found end of expression at character 4"},
        {"[]", "expression \"[]\": empty brackets at character 2"},
        {"()", "expression \"()\": empty parentheses at character 2"},
        {"frDBDataSet1.", "expression \"frDBDataSet1.\": expected a field name after \".\" but found end of "
                          "expression at character 14"},
        {"1.", "expression \"1.\": unexpected \".\" at character 2"},
        {")", "expression \")\": unexpected \")\" at character 1"},
        // functions
        {"FOO(1)", "expression \"FOO(1)\": unknown function \"FOO\" at character 1"},
        {"COPY('a', 1)", "expression \"COPY('a', 1)\": COPY takes 3 arguments at character 1"},
        {"x + STR()", "expression \"x + STR()\": STR takes 1 argument at character 5"},
        {"ROUND(1, 2, 3)", "expression \"ROUND(1, 2, 3)\": ROUND takes 1 or 2 arguments at character 1"},
        {"MAX()", "expression \"MAX()\": MAX takes at least 1 arguments at character 1"},
        {"IF(1, 2)", "expression \"IF(1, 2)\": IF takes 3 arguments at character 1"},
        {"IF(1, 2, 3, 4)", "expression \"IF(1, 2, 3, 4)\": IF takes 3 arguments at character 1"},
        {"COPY('a' 1, 2)", "expression \"COPY('a' 1, 2)\": expected \",\" or \")\" but found number 1 at character 10"},
    };
    for (const auto& c : cases) {
        TestResolver names = labelResolver();
        try {
            const Value v = eval(c.expression, names);
            ADD_FAILURE() << c.expression << " gave " << v;
        } catch (const ExpressionError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(e.expression(), ansi(c.expression));
        }
    }
}

TEST(ExpressionTest, ErrorsOfTheResolverPassThrough) {
    struct Failing : NameResolver {
        std::optional<Value> resolveName(const AnsiString&) override { throw std::runtime_error("dataset closed"); }
        std::optional<Value> resolveField(const AnsiString&, const AnsiString&) override { return Value(); }
    } names;
    try {
        eval("a + 1", names);
        ADD_FAILURE();
    } catch (const ExpressionError&) {
        ADD_FAILURE() << "wrapped";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "dataset closed");
    }
}

TEST(ExpressionTest, NestingIsCappedAndLongChainsNeedNoRecursion) {
    TestResolver names;
    const auto nested = [](int levels, const char* open, const char* close) {
        std::string s;
        for (int i = 0; i < levels; ++i)
            s += open;
        s += "1";
        for (int i = 0; i < levels; ++i)
            s += close;
        return s;
    };
    EXPECT_EQ(Expression::parse(nested(64, "(", ")")).evaluate(names), Value::integer(1));
    EXPECT_EQ(Expression::parse(nested(63, "[", "]")).evaluate(names), Value::integer(1));
    for (const auto& [open, close] : {std::pair{"(", ")"}, {"[", "]"}, {"-", ""}, {"not ", ""}, {"ABS(", ")"}}) {
        try {
            Expression::parse(nested(100000, open, close));
            ADD_FAILURE() << open;
        } catch (const ExpressionError& e) {
            EXPECT_NE(e.reason().find("nesting deeper than 64 levels"), std::string::npos) << e.reason();
        }
    }

    // 100,000 terms side by side: a loop, not a recursion, both to parse and to run.
    std::string sum = "1";
    for (int i = 1; i < 100000; ++i)
        sum += "+1";
    EXPECT_EQ(Expression::parse(sum).evaluate(names), Value::integer(100000));
    std::string args = "MAX(0";
    for (int i = 1; i <= 10000; ++i)
        args += "," + std::to_string(i);
    args += ")";
    EXPECT_EQ(Expression::parse(args).evaluate(names), Value::integer(10000));
}

// A dictionary of variables whose values are expressions, as the report engine
// keeps them: the resolver evaluates them through the cache.
class Dictionary : public NameResolver {
public:
    std::map<AnsiString, std::string> variables;   // name -> expression text
    int extraTexts = 0;                            // parse this many other texts per lookup

    std::optional<Value> resolveName(const AnsiString& name) override {
        for (int i = 0; i < extraTexts; ++i)
            evaluateExpression(std::to_string(i) + " + 0", *this);
        const auto it = variables.find(name);
        if (it == variables.end())
            return std::nullopt;
        return evaluateExpression(it->second, *this);
    }
    std::optional<Value> resolveField(const AnsiString&, const AnsiString&) override { return std::nullopt; }
};

TEST(ExpressionTest, VariablesThatNameEachOtherAreStopped) {
    Dictionary d;
    d.variables = {{"a", "[b] + 1"}, {"b", "[a] + 1"}, {"c", "[d] * 2"}, {"d", "20 + 1"}};
    EXPECT_EQ(evaluateExpression("[c]", d), Value::integer(42));
    try {
        evaluateExpression("[a]", d);
        ADD_FAILURE();
    } catch (const ExpressionError& e) {
        EXPECT_EQ(e.reason(), "expressions call each other deeper than 64 levels (a variable that names itself?)");
    }
    // The limit is counted per evaluation in progress, not per run.
    EXPECT_EQ(evaluateExpression("[c]", d), Value::integer(42));
}

TEST(ExpressionTest, CachedExpressionsSurviveTheCacheBeingEmptiedWhileTheyRun) {
    // Each lookup of "d" parses 5,000 other texts, more than the cache keeps.
    Dictionary d;
    d.variables = {{"d", "2"}};
    d.extraTexts = 5000;
    EXPECT_EQ(evaluateExpression("[d] * 10 + [d]", d), Value::integer(22));
    EXPECT_EQ(expandBrackets("[d]-[d]", d, [](const Value& v) { return v.toString(); }), "2-2");
}

TEST(ExpressionTest, ParseErrorsAreCachedAndThrownAgain) {
    TestResolver names;
    for (int i = 0; i < 2; ++i) {
        try {
            evaluateExpression("1 +", names);
            ADD_FAILURE();
        } catch (const ExpressionError& e) {
            EXPECT_STREQ(e.what(), "expression \"1 +\": unexpected end of expression at character 4");
        }
    }
}

TEST(ExpressionTest, CodePageCharactersAreReadWhole) {
    // 乚 is 81 5D: its second byte is ']'. 乤 is 81 61 ('a' as second byte), 丄 81 41 ('A').
    TestResolver names;
    names.text("乚", "V").text("乤", "small").text("丄", "capital");
    EXPECT_EQ(eval("[乚] + 'x'", names), Value::string("Vx"));
    EXPECT_EQ(eval("乤 + 丄", names), Value::string("smallcapital"));
    EXPECT_EQ(eval("UPPERCASE('乤a')", names), text("乤A"));
    EXPECT_EQ(eval("LENGTH('乚乤丄')", names), Value::integer(3));
    EXPECT_EQ(eval("FORMATFLOAT('¥0.00', 2)", names), text("¥2.00"));
}

TEST(ExpressionTest, SystemNamesCompareIgnoringAsciiCaseOnly) {
    EXPECT_TRUE(sameNameIgnoringCase("page#", "PAGE#"));
    EXPECT_TRUE(sameNameIgnoringCase(ansi("Line#条"), ansi("LINE#条")));
    EXPECT_FALSE(sameNameIgnoringCase("PAGE", "PAGE#"));
    // 乤 (81 61) and 丄 (81 41) differ only in a byte that looks like a letter's case.
    EXPECT_FALSE(sameNameIgnoringCase(ansi("乤"), ansi("丄")));
}

} // namespace
} // namespace mirel::engine
