#pragma once
// A name resolver for the engine tests: fixed answers, and a record of every
// name and field asked for, byte for byte.

#include "engine/Expression.h"

#include "support/TestSupport.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace mirel::engine::test {

class TestResolver : public NameResolver {
public:
    // Names and texts are given in UTF-8 and kept as code page bytes.
    TestResolver& name(std::string_view utf8Name, Value v) {
        m_names[mirel::test::ansi(utf8Name)] = std::move(v);
        return *this;
    }
    TestResolver& text(std::string_view utf8Name, std::string_view utf8Value) {
        return name(utf8Name, Value::string(mirel::test::ansi(utf8Value)));
    }
    TestResolver& field(std::string_view dataset, std::string_view fieldName, Value v) {
        m_fields[{mirel::test::ansi(dataset), mirel::test::ansi(fieldName)}] = std::move(v);
        return *this;
    }

    std::optional<Value> resolveName(const AnsiString& n) override {
        asked.push_back(n);
        const auto it = m_names.find(n);
        if (it == m_names.end())
            return std::nullopt;
        return it->second;
    }

    std::optional<Value> resolveField(const AnsiString& dataset, const AnsiString& f) override {
        asked.push_back(dataset + "." + f);
        const auto it = m_fields.find({dataset, f});
        if (it == m_fields.end())
            return std::nullopt;
        return it->second;
    }

    std::vector<AnsiString> asked;   // names, and fields as "dataset.field"

private:
    std::map<AnsiString, Value> m_names;
    std::map<std::pair<AnsiString, AnsiString>, Value> m_fields;
};

// The label variables as a print job answers them, and a code-store field.
inline TestResolver labelResolver() {
    TestResolver r;
    r.text("编头", "AB").text("条形码编号", "0001").text("编尾", "Z").text("数据扩充1", "")
        .name("数量", Value::real(100.0)).name("no", Value::integer(5)).name("PAGE#", Value::integer(3))
        .name("Total Sum", Value::integer(7)).name("空", Value())
        .field("frDBDataSet1", "NO", Value::string("000123"))
        .field("Form1.frDBDataSet1", "NO", Value::string("X"));
    return r;
}

} // namespace mirel::engine::test
