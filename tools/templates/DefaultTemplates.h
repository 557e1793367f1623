#pragma once
// The default label templates shipped in 模板/ beside the executables, built
// object by object with the template writer so they can be made again
// (`make templates`) and never drift from what this code says.
//
// Both print one label per code of the code store (frDBDataSet1): the serial
// with its prefix and suffix, the two data fields, a Code 128 of the code and a
// PDF417 of the 2D-code text.

#include <span>
#include <string>

namespace mirel::tools {

struct DefaultTemplate {
    const char* fileName;                        // in 模板/, UTF-8
    std::string (*make)(double savedAt);         // the .frf bytes, last saved at `savedAt`
};

// infoNO.frf: an A4 sheet of 3 x 8 labels of 70 x 37 mm, across then down.
std::string sheetTemplate(double savedAt);
// 卷标60x40.frf: one 60 x 40 mm label a page, for roll label printers.
std::string rollTemplate(double savedAt);

std::span<const DefaultTemplate> defaultTemplates();

} // namespace mirel::tools
