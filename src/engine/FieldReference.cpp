#include "engine/FieldReference.h"

#include "core/Text.h"
#include "engine/CodeStoreDataset.h"
#include "engine/Expression.h"
#include "engine/SqlTableDataset.h"

namespace mirel::engine {

std::optional<FieldReference> parseFieldReference(std::string_view text) {
    text = core::trimBlanks(text);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']')
        text = core::trimBlanks(text.substr(1, text.size() - 2));
    if (text.empty())
        return std::nullopt;
    std::string_view field;
    std::string_view rest;
    if (text.back() == '"' || text.back() == '\'') {
        const size_t open = text.find_last_of(text.back(), text.size() - 2);
        if (open == std::string_view::npos || open == 0 || text[open - 1] != '.')
            return std::nullopt;
        field = text.substr(open + 1, text.size() - open - 2);
        rest = text.substr(0, open - 1);
    } else {
        const size_t dot = text.rfind('.');
        if (dot == std::string_view::npos)
            return std::nullopt;
        field = text.substr(dot + 1);
        rest = text.substr(0, dot);
    }
    if (field.empty() || rest.empty())
        return std::nullopt;
    FieldReference reference;
    const size_t ownerDot = rest.rfind('.');
    const std::string_view dataset = ownerDot == std::string_view::npos ? rest : rest.substr(ownerDot + 1);
    reference.owner = ownerDot == std::string_view::npos ? AnsiString(kAdapterOwner) : AnsiString(rest.substr(0, ownerDot));
    if (sameNameIgnoringCase(dataset, kCodeStoreAdapterName))
        reference.dataset = kCodeStoreAdapterName;
    else if (sameNameIgnoringCase(dataset, kExternalAdapterName))
        reference.dataset = kExternalAdapterName;
    else
        return std::nullopt;
    reference.field = AnsiString(field);
    return reference;
}

} // namespace mirel::engine
