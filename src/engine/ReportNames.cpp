#include "engine/ReportNames.h"

#include "core/Text.h"
#include "template/TfrReport.h"

#include <cmath>

namespace mirel::engine {

namespace {

// The part of a dataset reference after its owner: "Form1.frDBDataSet1" names
// frDBDataSet1.
std::string_view withoutOwner(std::string_view name) {
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

} // namespace

ReportNames::ReportNames(const tmpl::TfrReport& report, GetValueCallback onGetValue,
                         std::vector<TfrDataset*> datasets, double now)
    : m_report(report), m_onGetValue(std::move(onGetValue)), m_datasets(std::move(datasets)), m_now(now) {}

TfrDataset* ReportNames::FindDataset(std::string_view name) const {
    const std::string_view bare = withoutOwner(name);
    for (TfrDataset* dataset : m_datasets)
        if (dataset && (sameNameIgnoringCase(dataset->Name(), name) || sameNameIgnoringCase(dataset->Name(), bare)))
            return dataset;
    // A field alias names a dataset under another name.
    for (const tmpl::DictionaryEntry& alias : m_report.Dictionary.FieldAliases) {
        if (alias.value.empty() || !sameNameIgnoringCase(alias.name, name))
            continue;
        const std::string_view target = withoutOwner(alias.value);
        for (TfrDataset* dataset : m_datasets)
            if (dataset && sameNameIgnoringCase(dataset->Name(), target))
                return dataset;
    }
    return nullptr;
}

std::optional<Value> ReportNames::resolveName(const AnsiString& name) {
    if (m_onGetValue) {
        std::optional<Value> slot;
        m_onGetValue(name, slot);
        if (slot)
            return slot;
    }
    for (const tmpl::DictionaryEntry& variable : m_report.Dictionary.Variables) {
        // Names that begin with a blank are the categories variables are filed under.
        if (variable.name.empty() || variable.name.front() == ' ' || !sameNameIgnoringCase(variable.name, name))
            continue;
        if (core::trimBlanks(variable.value).empty())
            return Value();
        return evaluateExpression(variable.value, *this);
    }
    if (std::optional<Value> value = systemVariable(name))
        return value;
    if (position.bandDataset)
        if (std::optional<Value> value = position.bandDataset->FieldValue(name))
            return value;
    return std::nullopt;
}

std::optional<Value> ReportNames::resolveField(const AnsiString& dataset, const AnsiString& field) {
    TfrDataset* found = FindDataset(dataset);
    if (!found)
        return std::nullopt;
    return found->FieldValue(field);
}

std::optional<Value> ReportNames::systemVariable(const AnsiString& name) {
    const auto is = [&](std::string_view system) { return sameNameIgnoringCase(name, system); };
    if (is("PAGE#"))
        return Value::integer(position.page);
    if (is("TOTALPAGES")) {
        totalPagesAsked = true;
        return Value::integer(position.totalPages);
    }
    if (is("LINE#") || is("CURRENT#"))
        return Value::integer(position.line);
    if (is("LINETHROUGH#"))
        return Value::integer(position.lineThrough);
    if (is("COLUMN#"))
        return Value::integer(position.column);
    if (is("DATE"))
        return Value::dateTime(std::floor(m_now));
    if (is("TIME"))
        return Value::dateTime(m_now - std::floor(m_now));
    if (is("REPORTCOMMENT"))
        return Value::string(m_report.Comment);
    if (is("REPORTNAME"))
        return Value::string(m_report.ReportName);
    if (is("REPORTAUTOR"))
        return Value::string(m_report.Author);
    if (is("VMAJOR"))
        return Value::string(m_report.VMajor);
    if (is("VMINOR"))
        return Value::string(m_report.VMinor);
    if (is("VRELEASE"))
        return Value::string(m_report.VRelease);
    if (is("VBUILD"))
        return Value::string(m_report.VBuild);
    if (is("REPORTDATE"))
        return Value::dateTime(m_report.CreateDate);
    if (is("REPORTLASTCHANGE"))
        return Value::dateTime(m_report.LastChange);
    return std::nullopt;
}

} // namespace mirel::engine
