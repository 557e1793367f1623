#pragma once
// Label expressions: the bracketed terms people write in memo lines, tags and
// barcode texts ("No. [条形码编号]", "[IF([数量] > 1, '多', '单')]").
//
// The language, as the parser reads it (text is code page bytes; a GB18030
// character is always read whole, so a trail byte that happens to be '[' or ']'
// or a letter never counts as one):
//
//  Names     letters, digits, '_', '#', '$' and every non-ASCII character, not
//            starting with a digit: 编头, 数据扩充1, PAGE#. A name may hold single
//            or several blanks between its words ("Total Sum") unless a word is an
//            operator (and, or, xor, not, div, mod), so "a and b" is an operation.
//            A name is handed to NameResolver::resolveName byte for byte (outer
//            blanks removed); the resolver decides letter case. When the resolver
//            does not know DATE, TIME, NOW, TRUE or FALSE (any letter case), they
//            are today, the time now, the date and time now, and the booleans.
//  Fields    Dataset."Field" or Dataset.'Field' or Dataset.Field, also with an
//            owner in front (Form1.frDBDataSet1."NO"): everything before the last
//            dot is the dataset name, handed to resolveField with the field name.
//  [..]      a bracketed term inside an expression is a parenthesised
//            sub-expression, so [编头] + "-" and 编头 + "-" are the same and
//            [frDBDataSet1."NO"] is a field.
//  Texts     'single' or "double" quotes alike; the quote itself is written twice
//            inside ('It''s'). There are no other escapes.
//  Numbers   whole numbers (64-bit; larger ones become reals), decimals with '.',
//            an optional exponent (1.5e3).
//  Operators from lowest to highest precedence, all left-associative:
//              or xor | and | not | = <> < > <= >= | + - | * / div mod | unary - +
//            so "a = 1 and b = 2" means what it says. Keywords in any letter case.
//  Functions name(arguments), names in any letter case; see below.
//
// Rules of the values (Value.h):
//  +         when either side is a text, both are joined as texts ("No." + 5 is
//            "No.5", "12" + 3 is "123"); a date plus a number of days is a date;
//            otherwise the sum of two numbers. A null side counts as "" next to a
//            text and as 0 next to a number.
//  - * /     numbers, and texts that read as numbers ("12" - 2 is 10); date minus
//            date is days (a real), date minus number a date. / always gives a
//            real. Whole-number results that overflow 64 bits become reals.
//  div mod   whole numbers (reals without fraction too); the quotient is cut
//            toward zero and mod takes the sign of the dividend.
//  / div mod by zero is an error.
//  compare   numbers (and dates) by value; texts byte by byte, letter case
//            counting; a text and a number by value when the text reads as a
//            number, otherwise as texts; booleans false < true. Gives a boolean.
//  and or    booleans, numbers (non-zero is true), texts "True"/"False"; both
//            short-circuit. not likewise.
//
// Functions (texts are counted in characters, not bytes, so a Chinese character
// is one; positions start at 1):
//  IF(c, a, b)            a when c is true, else b; only the chosen one is computed
//  STR(x)                 x as text, as Value::toString shows it
//  INT(x) FRAC(x) ABS(x)  whole part (cut toward zero), fraction, magnitude
//  ROUND(x) ROUND(x, n)   nearest whole number / n decimals; a value exactly
//                         halfway goes to the even neighbour (2.5 -> 2, 3.5 -> 4),
//                         the rule the system rounds quantities by
//  MIN(a, b, ..) MAX(..)  smallest / largest, compared as above
//  STRTOINT(s) STRTOFLOAT(s)  a text read as a whole / real number
//  FORMATFLOAT(pattern, x)    number pattern of DisplayFormat.h ('000000', '#,##0.00')
//  FORMATDATETIME(pattern, d) date pattern of DateTime.h ('yyyy.mm.dd')
//  DATETOSTR(d) TIMETOSTR(d)  "yyyy-mm-dd" / "hh:nn:ss"
//  STRTODATE(s)               a text read as in parseDateTime
//  DATE() TIME() NOW()        today, the time now, both
//  ENCODEDATE(y, m, d)        a date from its parts
//  YEAROF(d) MONTHOF(d) DAYOF(d)  parts of a date
//  INCMONTH(d, n)             n months later (clamped to the month's last day)
//  LENGTH(s)                  number of characters
//  COPY(s, i, n)              n characters from position i (SUBSTR is the same)
//  POS(sub, s)                position of the first sub in s, 0 when absent
//  UPPERCASE(s) LOWERCASE(s)  ASCII letters only; Chinese text is unchanged
//  TRIM(s) TRIMLEFT(s) TRIMRIGHT(s)  blanks and control characters removed

#include "engine/Value.h"

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace mirel::engine {

// An expression that cannot be parsed or evaluated. what() is UTF-8 and names the
// expression text and what failed:
//   expression "[编头1]": unknown name "编头1"
class ExpressionError : public std::runtime_error {
public:
    ExpressionError(std::string_view expression, const std::string& reason);
    const AnsiString& expression() const { return m_expression; }   // code page bytes
    const std::string& reason() const { return m_reason; }            // UTF-8
private:
    AnsiString m_expression;
    std::string m_reason;
};

// Answers the names an expression uses; implemented by the report engine (host
// variable callback, dictionary, system variables, dataset fields). It may evaluate
// further expressions itself (a dictionary variable's value is an expression);
// variables that keep naming each other are stopped with an ExpressionError after
// 64 nested evaluations. Exceptions it throws pass through unchanged.
class NameResolver {
public:
    virtual ~NameResolver() = default;
    // nullopt: the name is unknown and the expression fails.
    virtual std::optional<Value> resolveName(const AnsiString& name) = 0;
    virtual std::optional<Value> resolveField(const AnsiString& dataset, const AnsiString& field) = 0;
};

// A parsed expression: parsed once, evaluated per label. Copies are cheap and
// share the parsed form.
class Expression {
public:
    // The text is the expression itself, without surrounding brackets (a bracketed
    // text such as "[编头]" is a bracketed sub-expression and means the same).
    // Throws ExpressionError for bad syntax, an unknown function, a wrong number of
    // arguments, or nesting deeper than 64 levels.
    static Expression parse(std::string_view text);

    // Throws ExpressionError for an unknown name or field, division by zero, or a
    // value of the wrong kind.
    Value evaluate(NameResolver& names) const;

    const AnsiString& text() const;

    struct Program;   // the compiled form (Expression.cpp)
private:
    explicit Expression(std::shared_ptr<const Program> program) : m_program(std::move(program)) {}
    std::shared_ptr<const Program> m_program;
};

// A text with bracketed expressions, parsed once: literal pieces and expressions.
class BracketText {
public:
    // Each outermost [..] is an expression; brackets nest ([IF([a] > 1, "x", "y")])
    // and quoted texts inside a bracket may hold brackets ([IF(a, "]", "[")]). A '['
    // that is never closed, and a ']' that closes nothing, are plain text. Throws
    // ExpressionError when a bracket's expression does not parse ("[]" included).
    static BracketText parse(std::string_view text);

    // The text with every expression replaced by format(its value).
    AnsiString expand(NameResolver& names, const std::function<AnsiString(const Value&)>& format) const;

    bool hasExpressions() const;

    struct Pieces;
private:
    explicit BracketText(std::shared_ptr<const Pieces> pieces) : m_pieces(std::move(pieces)) {}
    std::shared_ptr<const Pieces> m_pieces;
};

// Parse (cached per text) and evaluate: preparation evaluates the same few texts
// for every label. Parse errors are cached too.
Value evaluateExpression(std::string_view text, NameResolver& names);

// Text with bracketed expressions ("No. [条形码编号] [PAGE#]"), parsed once per text
// (cached) and expanded as BracketText::expand does.
AnsiString expandBrackets(std::string_view text, NameResolver& names,
                          const std::function<AnsiString(const Value&)>& format);

// A barcode's first memo line. A line that begins with "[" is evaluated: when it
// is one bracketed term ("[条形码编号]") that term's value as text, otherwise the
// line expanded as text with every value as text, so "[编头][条形码编号][编尾]"
// joins the three values and "[编头]-[条形码编号]" keeps its dash. A line that
// does not begin with "[" is returned unchanged.
AnsiString evaluateLine(std::string_view line, NameResolver& names);

// Compares two names ignoring the letter case of ASCII letters (a GB18030
// character's bytes compare exactly), as system variables and functions are
// looked up: "page#" names PAGE#.
bool sameNameIgnoringCase(std::string_view a, std::string_view b);

} // namespace mirel::engine
