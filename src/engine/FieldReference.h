#pragma once
// A text that names one field of one dataset of the application, as the
// designer's data-field chooser writes it: [frDBDataSet1."key1"], also without
// brackets, with single quotes or none around the field, and with the owner in
// front (Form1.frDBDataSet1."key1").

#include "core/Encoding.h"

#include <optional>
#include <string_view>

namespace mirel::engine {

// The owner of the dataset adapters: the main window.
inline constexpr char kAdapterOwner[] = "Form1";

struct FieldReference {
    AnsiString owner;     // "Form1" when the text names none
    AnsiString dataset;   // "frDBDataSet1"
    AnsiString field;     // "key1"
};

// nullopt when the text is anything else, or names a dataset that is none of the
// adapters (frDBDataSet1, frDBDataSet2).
std::optional<FieldReference> parseFieldReference(std::string_view text);

} // namespace mirel::engine
