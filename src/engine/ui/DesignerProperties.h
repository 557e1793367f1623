#pragma once
// The inspector's values: each entry an object lists, read and set as the text
// the inspector shows. Positions and sizes are shown in millimetres (page
// units are 18 per 5 mm); colours as "#RRGGBB", "无" for no colour, system
// colours as "$FF0000NN"; memo lines as one text with line breaks.

#include "template/TfrView.h"

#include <QString>
#include <optional>
#include <string_view>
#include <vector>

namespace mirel::engine::ui {

// What the inspector lists for an object: its ListProperties entries, and for
// a band the fields its type offers (data source for data bands, columns for
// the master, detail and sub-detail data, condition and master for a group
// header, the child band for every type but the page footer).
std::vector<tmpl::PropertyEntry> inspectorEntries(const tmpl::TfrView& view);

// Entries shown but not set from text: the line count, the band type, and the
// entries whose button opens an editor or a chooser.
bool isReadOnlyEntry(const tmpl::PropertyEntry& entry);
// Entries whose value is a length in page units shown as millimetres.
bool isMillimetreEntry(std::string_view name);

QString propertyText(const tmpl::TfrView& view, std::string_view name);
// False, with the object unchanged, when the text is no value for the entry
// (a letter in a number, a negative size) or the entry is not set from text.
// "Name" is set as given; the designer checks it is unique first.
bool setPropertyText(tmpl::TfrView& view, std::string_view name, const QString& text);

QString millimetreText(std::int64_t units);
std::optional<std::int32_t> unitsFromMillimetres(const QString& text);
QString colorText(std::uint32_t color);
std::optional<std::uint32_t> parseColor(const QString& text);
// A text object's font as the inspector shows it: "Arial, 10, 粗体 斜体".
QString fontText(const AnsiString& name, int size, std::uint16_t style);

} // namespace mirel::engine::ui
