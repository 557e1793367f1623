#include "engine/Expression.h"

#include "engine/CodePageText.h"
#include "engine/Functions.h"
#include "engine/Operations.h"

#include "core/Numbers.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <unordered_map>
#include <vector>

namespace mirel::engine {

namespace {

// Parentheses, brackets, unary operators and function calls nest at most this
// deep, so that no text can exhaust the stack of the recursive parser.
constexpr int kMaxNesting = 64;

// Evaluations that start further evaluations through the resolver (a dictionary
// variable whose expression names another) stop at this depth.
constexpr int kMaxEvaluationDepth = 64;

// Parsed texts kept per thread; the cache is emptied when it reaches this size.
constexpr std::size_t kCacheLimit = 4096;

std::string messageText(std::string_view ansi) { return core::toUtf8(ansi); }

} // namespace

ExpressionError::ExpressionError(std::string_view expression, const std::string& reason)
    : std::runtime_error("expression \"" + messageText(expression) + "\": " + reason)
    , m_expression(expression)
    , m_reason(reason) {}

// The compiled form: a small stack machine, so that evaluation is a loop (a long
// chain "a + b + c + ..." costs no recursion) and short-circuits by jumps.

namespace {

enum class Op : std::uint8_t {
    Constant,     // push constants[arg]
    Name,         // push the value of names[arg]
    Field,        // push the value of fields[arg]
    Negate, Plus, Not,
    Add, Subtract, Multiply, Divide, IntegerDivide, Modulo,
    Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Xor,
    AndTest,      // top false: replace by false and jump to arg; else pop
    OrTest,       // top true: replace by true and jump to arg; else pop
    ToBoolean,
    JumpIfFalse,  // pop; jump to arg when false
    Jump,
    Call,         // functions[arg] with argc arguments from the stack
};

struct Instruction {
    Op op;
    std::uint32_t arg = 0;
    std::uint32_t argc = 0;
};

} // namespace

struct Expression::Program {
    AnsiString text;
    std::vector<Instruction> code;
    std::vector<Value> constants;
    std::vector<AnsiString> names;
    std::vector<std::pair<AnsiString, AnsiString>> fields;
    std::vector<const Function*> functions;
    std::size_t maxStack = 0;
};

namespace {

enum class Tok {
    End, Number, String, Name,
    LBracket, RBracket, LParen, RParen, Comma, Dot,
    Plus, Minus, Star, Slash, Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual,
    And, Or, Xor, Not, Div, Mod,
};

struct Token {
    Tok kind = Tok::End;
    std::size_t start = 0;   // byte offset in the text
    std::size_t end = 0;
    AnsiString text;         // names and texts; numbers: their spelling
    Value number;
};

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameStart(char c) {
    return isAsciiLetter(c) || c == '_' || c == '#' || c == '$' || static_cast<unsigned char>(c) >= 0x80;
}
bool isNameChar(char c) { return isNameStart(c) || isDigit(c); }
bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Operators written as words, in any letter case.
std::optional<Tok> keyword(std::string_view word) {
    struct Entry {
        const char* word;
        Tok tok;
    };
    static constexpr Entry kKeywords[] = {{"and", Tok::And}, {"or", Tok::Or},   {"xor", Tok::Xor},
                                          {"not", Tok::Not}, {"div", Tok::Div}, {"mod", Tok::Mod}};
    for (const Entry& e : kKeywords) {
        const std::string_view k = e.word;
        if (word.size() != k.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < k.size() && same; ++i) {
            char c = word[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            same = c == k[i];
        }
        if (same)
            return e.tok;
    }
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) { m_program.text = AnsiString(text); }

    Expression::Program parse() {
        advance();
        if (m_token.kind == Tok::End)
            fail(0, "empty expression");
        parseOr();
        if (m_token.kind != Tok::End)
            fail(m_token.start, "unexpected " + describe(m_token));
        assert(m_depth == 0 && m_stack == 1);
        return std::move(m_program);
    }

private:
    [[noreturn]] void fail(std::size_t at, const std::string& what) const {
        const std::size_t column = charCount(m_text.substr(0, std::min(at, m_text.size()))) + 1;
        throw ExpressionError(m_text, what + " at character " + std::to_string(column));
    }

    std::string describe(const Token& t) const {
        switch (t.kind) {
        case Tok::End: return "end of expression";
        case Tok::Number: return "number " + t.text;
        case Tok::String: return "text \"" + messageText(t.text) + "\"";
        case Tok::Name: return "name \"" + messageText(t.text) + "\"";
        default: return "\"" + messageText(m_text.substr(t.start, t.end - t.start)) + "\"";
        }
    }

    void expect(Tok kind, const char* what) {
        if (m_token.kind != kind)
            fail(m_token.start, std::string("expected ") + what + " but found " + describe(m_token));
        advance();
    }

    struct Nest {
        explicit Nest(Parser& p) : parser(p) {
            if (++parser.m_depth > kMaxNesting)
                parser.fail(parser.m_token.start, "nesting deeper than " + std::to_string(kMaxNesting) + " levels");
        }
        ~Nest() { --parser.m_depth; }
        Parser& parser;
    };

    void skipBlanks() {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
            ++m_pos;
    }

    // One word of a name: name characters, a code page character always whole.
    std::size_t wordEnd(std::size_t i) const {
        while (i < m_text.size() && isNameChar(m_text[i]))
            i += charLength(m_text, i);
        return std::min(i, m_text.size());
    }

    void advance() {
        skipBlanks();
        Token t;
        t.start = m_pos;
        if (m_pos >= m_text.size()) {
            t.kind = Tok::End;
            t.end = m_pos;
            m_token = std::move(t);
            return;
        }
        const char c = m_text[m_pos];
        auto single = [&](Tok kind, std::size_t length = 1) {
            t.kind = kind;
            m_pos += length;
        };
        const char next = m_pos + 1 < m_text.size() ? m_text[m_pos + 1] : '\0';
        if (isDigit(c)) {
            lexNumber(t);
        } else if (c == '\'' || c == '"') {
            lexString(t, c);
        } else if (isNameStart(c)) {
            lexName(t);
        } else {
            switch (c) {
            case '[': single(Tok::LBracket); break;
            case ']': single(Tok::RBracket); break;
            case '(': single(Tok::LParen); break;
            case ')': single(Tok::RParen); break;
            case ',': single(Tok::Comma); break;
            case '.': single(Tok::Dot); break;
            case '+': single(Tok::Plus); break;
            case '-': single(Tok::Minus); break;
            case '*': single(Tok::Star); break;
            case '/': single(Tok::Slash); break;
            case '=': single(Tok::Equal); break;
            case '<':
                if (next == '>')
                    single(Tok::NotEqual, 2);
                else if (next == '=')
                    single(Tok::LessEqual, 2);
                else
                    single(Tok::Less);
                break;
            case '>':
                if (next == '=')
                    single(Tok::GreaterEqual, 2);
                else
                    single(Tok::Greater);
                break;
            default: {
                const std::size_t length = charLength(m_text, m_pos);
                fail(m_pos, "unexpected character \"" + messageText(m_text.substr(m_pos, length)) + "\"");
            }
            }
        }
        t.end = m_pos;
        m_token = std::move(t);
    }

    void lexNumber(Token& t) {
        std::size_t i = m_pos;
        while (i < m_text.size() && isDigit(m_text[i]))
            ++i;
        bool real = false;
        if (i + 1 < m_text.size() && m_text[i] == '.' && isDigit(m_text[i + 1])) {
            real = true;
            ++i;
            while (i < m_text.size() && isDigit(m_text[i]))
                ++i;
        }
        if (i < m_text.size() && (m_text[i] == 'e' || m_text[i] == 'E')) {
            std::size_t k = i + 1;
            if (k < m_text.size() && (m_text[k] == '+' || m_text[k] == '-'))
                ++k;
            if (k < m_text.size() && isDigit(m_text[k])) {
                real = true;
                while (k < m_text.size() && isDigit(m_text[k]))
                    ++k;
                i = k;
            }
        }
        const std::string_view spelling = m_text.substr(m_pos, i - m_pos);
        t.kind = Tok::Number;
        t.text = AnsiString(spelling);
        std::optional<std::int64_t> whole;
        if (!real)
            whole = core::tryParseInteger(spelling);
        if (whole) {
            t.number = Value::integer(*whole);
        } else {
            double v = 0;
            const auto r = std::from_chars(spelling.data(), spelling.data() + spelling.size(), v);
            if (r.ec != std::errc() || !std::isfinite(v))
                fail(m_pos, "number " + std::string(spelling) + " is out of range");
            t.number = Value::real(v);
        }
        m_pos = i;
    }

    void lexString(Token& t, char quote) {
        std::size_t i = m_pos + 1;
        AnsiString s;
        for (;;) {
            const std::size_t close = m_text.find(quote, i);
            if (close == std::string_view::npos)
                fail(m_pos, "text without its closing quote");
            s.append(m_text, i, close - i);
            if (close + 1 < m_text.size() && m_text[close + 1] == quote) {
                s += quote;   // a doubled quote stands for the quote itself
                i = close + 2;
                continue;
            }
            i = close + 1;
            break;
        }
        t.kind = Tok::String;
        t.text = std::move(s);
        m_pos = i;
    }

    // A name of one or more words; blanks between words belong to the name unless
    // the next word is an operator.
    void lexName(Token& t) {
        std::size_t end = wordEnd(m_pos);
        if (const auto k = keyword(m_text.substr(m_pos, end - m_pos))) {
            t.kind = *k;
            m_pos = end;
            return;
        }
        for (;;) {
            std::size_t next = end;
            while (next < m_text.size() && isBlank(m_text[next]))
                ++next;
            if (next == end || next >= m_text.size() || !isNameChar(m_text[next]))
                break;
            const std::size_t nextEnd = wordEnd(next);
            if (keyword(m_text.substr(next, nextEnd - next)))
                break;
            end = nextEnd;
        }
        t.kind = Tok::Name;
        t.text = AnsiString(m_text.substr(m_pos, end - m_pos));
        m_pos = end;
    }

    std::size_t emitOp(Op op, std::uint32_t arg = 0, std::uint32_t argc = 0) {
        m_program.code.push_back({op, arg, argc});
        return m_program.code.size() - 1;
    }

    void push(int n = 1) {
        m_stack += n;
        m_program.maxStack = std::max(m_program.maxStack, static_cast<std::size_t>(m_stack));
    }
    void pop(int n = 1) { m_stack -= n; }

    void patch(std::size_t at) { m_program.code[at].arg = static_cast<std::uint32_t>(m_program.code.size()); }

    void emitConstant(Value v) {
        m_program.constants.push_back(std::move(v));
        emitOp(Op::Constant, static_cast<std::uint32_t>(m_program.constants.size() - 1));
        push();
    }

    void emitBinary(Op op) {
        emitOp(op);
        pop();
    }

    template <typename T>
    static std::uint32_t indexOf(std::vector<T>& table, T item) {
        for (std::size_t i = 0; i < table.size(); ++i)
            if (table[i] == item)
                return static_cast<std::uint32_t>(i);
        table.push_back(std::move(item));
        return static_cast<std::uint32_t>(table.size() - 1);
    }

    void parseOr() {
        parseAnd();
        while (m_token.kind == Tok::Or || m_token.kind == Tok::Xor) {
            const Tok op = m_token.kind;
            advance();
            if (op == Tok::Xor) {
                parseAnd();
                emitBinary(Op::Xor);
                continue;
            }
            const std::size_t test = emitOp(Op::OrTest);
            pop();
            parseAnd();
            emitOp(Op::ToBoolean);
            patch(test);
        }
    }

    void parseAnd() {
        parseNot();
        while (m_token.kind == Tok::And) {
            advance();
            const std::size_t test = emitOp(Op::AndTest);
            pop();
            parseNot();
            emitOp(Op::ToBoolean);
            patch(test);
        }
    }

    void parseNot() {
        if (m_token.kind == Tok::Not) {
            Nest nest(*this);
            advance();
            parseNot();
            emitOp(Op::Not);
            return;
        }
        parseComparison();
    }

    void parseComparison() {
        parseAdditive();
        for (;;) {
            Op op;
            switch (m_token.kind) {
            case Tok::Equal: op = Op::Equal; break;
            case Tok::NotEqual: op = Op::NotEqual; break;
            case Tok::Less: op = Op::Less; break;
            case Tok::Greater: op = Op::Greater; break;
            case Tok::LessEqual: op = Op::LessEqual; break;
            case Tok::GreaterEqual: op = Op::GreaterEqual; break;
            default: return;
            }
            advance();
            parseAdditive();
            emitBinary(op);
        }
    }

    void parseAdditive() {
        parseMultiplicative();
        while (m_token.kind == Tok::Plus || m_token.kind == Tok::Minus) {
            const Op op = m_token.kind == Tok::Plus ? Op::Add : Op::Subtract;
            advance();
            parseMultiplicative();
            emitBinary(op);
        }
    }

    void parseMultiplicative() {
        parseUnary();
        for (;;) {
            Op op;
            switch (m_token.kind) {
            case Tok::Star: op = Op::Multiply; break;
            case Tok::Slash: op = Op::Divide; break;
            case Tok::Div: op = Op::IntegerDivide; break;
            case Tok::Mod: op = Op::Modulo; break;
            default: return;
            }
            advance();
            parseUnary();
            emitBinary(op);
        }
    }

    void parseUnary() {
        if (m_token.kind == Tok::Minus || m_token.kind == Tok::Plus) {
            const bool minus = m_token.kind == Tok::Minus;
            Nest nest(*this);
            advance();
            if (minus && m_token.kind == Tok::Number) {
                // A negative literal is one constant: -9223372036854775808 fits.
                const Token t = m_token;
                advance();
                const bool whole = t.text.find_first_not_of("0123456789") == std::string::npos;
                const auto n = whole ? core::tryParseInteger("-" + t.text) : std::nullopt;
                emitConstant(n ? Value::integer(*n) : negate(t.number));
                return;
            }
            parseUnary();
            emitOp(minus ? Op::Negate : Op::Plus);
            return;
        }
        parsePrimary();
    }

    void parsePrimary() {
        switch (m_token.kind) {
        case Tok::Number: {
            Value v = m_token.number;
            advance();
            emitConstant(std::move(v));
            return;
        }
        case Tok::String: {
            AnsiString s = std::move(m_token.text);
            advance();
            emitConstant(Value::string(std::move(s)));
            return;
        }
        case Tok::LParen:
        case Tok::LBracket: {
            const bool bracket = m_token.kind == Tok::LBracket;
            Nest nest(*this);
            advance();
            if (m_token.kind == (bracket ? Tok::RBracket : Tok::RParen))
                fail(m_token.start, bracket ? "empty brackets" : "empty parentheses");
            parseOr();
            expect(bracket ? Tok::RBracket : Tok::RParen, bracket ? "\"]\"" : "\")\"");
            return;
        }
        case Tok::Name:
            parseNameOrCall();
            return;
        default:
            fail(m_token.start, "unexpected " + describe(m_token));
        }
    }

    void parseNameOrCall() {
        const Token name = m_token;
        advance();
        if (m_token.kind == Tok::LParen) {
            parseCall(name);
            return;
        }
        if (m_token.kind != Tok::Dot) {
            emitOp(Op::Name, indexOf(m_program.names, name.text));
            push();
            return;
        }
        // Dataset."Field", Dataset.Field, Owner.Dataset."Field": the last part is the
        // field, the parts before it the dataset.
        AnsiString dataset = name.text;
        AnsiString field;
        for (;;) {
            advance();   // the dot
            if (m_token.kind != Tok::Name && m_token.kind != Tok::String)
                fail(m_token.start, "expected a field name after \".\" but found " + describe(m_token));
            const bool quoted = m_token.kind == Tok::String;
            field = m_token.text;
            advance();
            if (m_token.kind != Tok::Dot || quoted)
                break;
            dataset += '.';
            dataset += field;
        }
        emitOp(Op::Field, indexOf(m_program.fields, std::make_pair(dataset, field)));
        push();
    }

    void parseCall(const Token& name) {
        const Function* function = findFunction(name.text);
        if (!function)
            fail(name.start, "unknown function \"" + messageText(name.text) + "\"");
        Nest nest(*this);
        advance();   // "("
        const auto wrongCount = [&] {
            std::string count;
            if (function->maxArguments == function->minArguments)
                count = std::to_string(function->minArguments);
            else if (function->maxArguments < 0)
                count = "at least " + std::to_string(function->minArguments);
            else
                count = std::to_string(function->minArguments) + " or " + std::to_string(function->maxArguments);
            fail(name.start, std::string(function->name) + " takes " + count
                                 + (function->maxArguments == 1 && function->minArguments == 1 ? " argument"
                                                                                              : " arguments"));
        };

        if (!function->call) {   // IF(c, a, b): only the chosen branch is computed
            if (m_token.kind == Tok::RParen)
                wrongCount();
            parseOr();
            const std::size_t toElse = emitOp(Op::JumpIfFalse);
            pop();
            if (m_token.kind != Tok::Comma)
                wrongCount();
            advance();
            parseOr();
            const std::size_t toEnd = emitOp(Op::Jump);
            pop();
            patch(toElse);
            if (m_token.kind != Tok::Comma)
                wrongCount();
            advance();
            parseOr();
            patch(toEnd);
            if (m_token.kind == Tok::Comma)
                wrongCount();
            expect(Tok::RParen, "\")\"");
            return;
        }

        int count = 0;
        if (m_token.kind != Tok::RParen) {
            for (;;) {
                parseOr();
                ++count;
                if (m_token.kind != Tok::Comma)
                    break;
                advance();
            }
        }
        if (m_token.kind != Tok::RParen && m_token.kind != Tok::End)
            fail(m_token.start, "expected \",\" or \")\" but found " + describe(m_token));
        expect(Tok::RParen, "\")\"");
        if (count < function->minArguments || (function->maxArguments >= 0 && count > function->maxArguments))
            wrongCount();
        emitOp(Op::Call, indexOf(m_program.functions, function), static_cast<std::uint32_t>(count));
        pop(count);
        push();
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    Token m_token;
    int m_depth = 0;
    int m_stack = 0;
    Expression::Program m_program;
};

thread_local int tEvaluationDepth = 0;

struct EvaluationDepth {
    explicit EvaluationDepth(const AnsiString& text) {
        if (++tEvaluationDepth > kMaxEvaluationDepth) {
            --tEvaluationDepth;
            throw ExpressionError(text, "expressions call each other deeper than "
                                            + std::to_string(kMaxEvaluationDepth)
                                            + " levels (a variable that names itself?)");
        }
    }
    ~EvaluationDepth() { --tEvaluationDepth; }
};

Value resolveName(const Expression::Program& p, std::uint32_t index, NameResolver& names) {
    const AnsiString& name = p.names[index];
    if (auto v = names.resolveName(name))
        return std::move(*v);
    if (auto v = builtinName(name))
        return std::move(*v);
    throw ExpressionError(p.text, "unknown name \"" + messageText(name) + "\"");
}

Value resolveField(const Expression::Program& p, std::uint32_t index, NameResolver& names) {
    const auto& [dataset, field] = p.fields[index];
    if (auto v = names.resolveField(dataset, field))
        return std::move(*v);
    throw ExpressionError(p.text, "unknown field " + messageText(dataset) + ".\"" + messageText(field) + "\"");
}

bool comparisonHolds(Op op, int c) {
    if (c == kUnordered)
        return op == Op::NotEqual;
    switch (op) {
    case Op::Equal: return c == 0;
    case Op::NotEqual: return c != 0;
    case Op::Less: return c < 0;
    case Op::Greater: return c > 0;
    case Op::LessEqual: return c <= 0;
    case Op::GreaterEqual: return c >= 0;
    default: return false;
    }
}

Value run(const Expression::Program& p, NameResolver& names, Value* stack) {
    std::size_t sp = 0;   // values on the stack
    const std::size_t size = p.code.size();
    for (std::size_t pc = 0; pc < size;) {
        const Instruction& in = p.code[pc++];
        switch (in.op) {
        case Op::Constant:
            stack[sp++] = p.constants[in.arg];
            break;
        case Op::Name:
            stack[sp++] = resolveName(p, in.arg, names);
            break;
        case Op::Field:
            stack[sp++] = resolveField(p, in.arg, names);
            break;
        case Op::Negate:
            stack[sp - 1] = negate(stack[sp - 1]);
            break;
        case Op::Plus:
            stack[sp - 1] = unaryPlus(stack[sp - 1]);
            break;
        case Op::Not:
            stack[sp - 1] = Value::boolean(!stack[sp - 1].toBoolean());
            break;
        case Op::ToBoolean:
            stack[sp - 1] = Value::boolean(stack[sp - 1].toBoolean());
            break;
        case Op::Add: case Op::Subtract: case Op::Multiply: case Op::Divide:
        case Op::IntegerDivide: case Op::Modulo: case Op::Xor:
        case Op::Equal: case Op::NotEqual: case Op::Less: case Op::Greater:
        case Op::LessEqual: case Op::GreaterEqual: {
            const Value& a = stack[sp - 2];
            const Value& b = stack[sp - 1];
            Value r;
            switch (in.op) {
            case Op::Add: r = add(a, b); break;
            case Op::Subtract: r = subtract(a, b); break;
            case Op::Multiply: r = multiply(a, b); break;
            case Op::Divide: r = divide(a, b); break;
            case Op::IntegerDivide: r = integerDivide(a, b); break;
            case Op::Modulo: r = modulo(a, b); break;
            case Op::Xor: r = Value::boolean(a.toBoolean() != b.toBoolean()); break;
            default: r = Value::boolean(comparisonHolds(in.op, compareValues(a, b))); break;
            }
            --sp;
            stack[sp - 1] = std::move(r);
            stack[sp] = Value();
            break;
        }
        case Op::AndTest:
            if (!stack[sp - 1].toBoolean()) {
                stack[sp - 1] = Value::boolean(false);
                pc = in.arg;
            } else {
                stack[--sp] = Value();
            }
            break;
        case Op::OrTest:
            if (stack[sp - 1].toBoolean()) {
                stack[sp - 1] = Value::boolean(true);
                pc = in.arg;
            } else {
                stack[--sp] = Value();
            }
            break;
        case Op::JumpIfFalse: {
            const bool condition = stack[sp - 1].toBoolean();
            stack[--sp] = Value();
            if (!condition)
                pc = in.arg;
            break;
        }
        case Op::Jump:
            pc = in.arg;
            break;
        case Op::Call: {
            const std::size_t first = sp - in.argc;
            Value r = p.functions[in.arg]->call(std::span<Value>(stack + first, in.argc));
            for (std::size_t k = first; k < sp; ++k)
                stack[k] = Value();
            sp = first;
            stack[sp++] = std::move(r);
            break;
        }
        }
    }
    assert(sp == 1);
    return std::move(stack[0]);
}

} // namespace

Expression Expression::parse(std::string_view text) {
    return Expression(std::make_shared<const Program>(Parser(text).parse()));
}

const AnsiString& Expression::text() const { return m_program->text; }

Value Expression::evaluate(NameResolver& names) const {
    const Program& p = *m_program;
    EvaluationDepth depth(p.text);
    try {
        if (p.code.size() == 1 && p.code[0].op == Op::Name)   // "[编头]": the usual case
            return resolveName(p, p.code[0].arg, names);
        constexpr std::size_t kInline = 16;
        if (p.maxStack <= kInline) {
            std::array<Value, kInline> stack;
            return run(p, names, stack.data());
        }
        std::vector<Value> stack(p.maxStack);
        return run(p, names, stack.data());
    } catch (const ValueError& e) {
        throw ExpressionError(p.text, e.what());
    }
}

struct BracketText::Pieces {
    struct Piece {
        AnsiString literal;                 // text before the expression
        std::optional<Expression> expression;
    };
    std::vector<Piece> pieces;
    std::size_t literalBytes = 0;
};

namespace {

// Offset of the ']' that closes the '[' at `open`, skipping nested brackets and
// quoted texts; npos when it is never closed.
std::size_t closingBracket(std::string_view s, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open; i < s.size();) {
        const std::size_t length = charLength(s, i);
        if (length == 1) {
            const char c = s[i];
            if (c == '[') {
                ++depth;
            } else if (c == ']') {
                if (--depth == 0)
                    return i;
            } else if (c == '\'' || c == '"') {
                const std::size_t close = s.find(c, i + 1);
                if (close == std::string_view::npos)
                    return std::string_view::npos;
                i = close + 1;
                continue;
            }
        }
        i += length;
    }
    return std::string_view::npos;
}

} // namespace

BracketText BracketText::parse(std::string_view text) {
    auto pieces = std::make_shared<Pieces>();
    AnsiString literal;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = charLength(text, i);
        if (length == 1 && text[i] == '[') {
            const std::size_t close = closingBracket(text, i);
            if (close != std::string_view::npos) {
                Expression e = Expression::parse(text.substr(i + 1, close - i - 1));
                pieces->literalBytes += literal.size();
                pieces->pieces.push_back({std::move(literal), std::move(e)});
                literal.clear();
                i = close + 1;
                continue;
            }
        }
        literal.append(text, i, length);
        i += length;
    }
    if (!literal.empty()) {
        pieces->literalBytes += literal.size();
        pieces->pieces.push_back({std::move(literal), std::nullopt});
    }
    return BracketText(std::move(pieces));
}

AnsiString BracketText::expand(NameResolver& names, const std::function<AnsiString(const Value&)>& format) const {
    AnsiString out;
    out.reserve(m_pieces->literalBytes + 16 * m_pieces->pieces.size());
    for (const Pieces::Piece& piece : m_pieces->pieces) {
        out += piece.literal;
        if (piece.expression)
            out += format(piece.expression->evaluate(names));
    }
    return out;
}

bool BracketText::hasExpressions() const {
    for (const Pieces::Piece& piece : m_pieces->pieces)
        if (piece.expression)
            return true;
    return false;
}

namespace {

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Parsed forms by text, with the parse error for texts that do not parse. The
// entry is copied out (a shared parsed form) before it is used, so a resolver that
// parses more texts while an expression runs may empty the cache safely.
template <typename Parsed>
class ParseCache {
public:
    template <typename ParseFn>
    Parsed get(std::string_view text, ParseFn parse) {
        auto it = m_entries.find(text);
        if (it == m_entries.end()) {
            Entry entry;
            try {
                entry.parsed.emplace(parse(text));
            } catch (const ExpressionError& e) {
                entry.error.emplace(e);
            }
            if (m_entries.size() >= kCacheLimit)
                m_entries.clear();
            it = m_entries.emplace(AnsiString(text), std::move(entry)).first;
        }
        if (it->second.error)
            throw ExpressionError(*it->second.error);
        return *it->second.parsed;
    }

private:
    struct Entry {
        std::optional<Parsed> parsed;
        std::optional<ExpressionError> error;
    };
    std::unordered_map<AnsiString, Entry, TextHash, std::equal_to<>> m_entries;
};

ParseCache<Expression>& expressionCache() {
    thread_local ParseCache<Expression> cache;
    return cache;
}

ParseCache<BracketText>& bracketCache() {
    thread_local ParseCache<BracketText> cache;
    return cache;
}

} // namespace

Value evaluateExpression(std::string_view text, NameResolver& names) {
    const Expression e = expressionCache().get(text, [](std::string_view t) { return Expression::parse(t); });
    return e.evaluate(names);
}

AnsiString expandBrackets(std::string_view text, NameResolver& names,
                          const std::function<AnsiString(const Value&)>& format) {
    const BracketText t = bracketCache().get(text, [](std::string_view s) { return BracketText::parse(s); });
    return t.expand(names, format);
}

AnsiString evaluateLine(std::string_view line, NameResolver& names) {
    if (line.empty() || line[0] != '[')
        return AnsiString(line);
    static const std::function<AnsiString(const Value&)> asText = [](const Value& v) { return v.toString(); };
    return expandBrackets(line, names, asText);
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t length = charLength(a, i);
        if (length == 1) {
            char x = a[i], y = b[i];
            if (x >= 'a' && x <= 'z')
                x = static_cast<char>(x - 'a' + 'A');
            if (y >= 'a' && y <= 'z')
                y = static_cast<char>(y - 'a' + 'A');
            if (x != y)
                return false;
        } else if (a.compare(i, length, b, i, length) != 0) {
            return false;
        }
        i += length;
    }
    return true;
}

} // namespace mirel::engine
