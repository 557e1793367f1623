#pragma once
// TfrDataDictionary: the report's variables, field aliases and band data
// sources, each a list of name = value texts in list order. In the variables
// list a name beginning with one space is a category (empty value); the
// variables that follow it belong to it.

#include "template/RecordStream.h"

#include <QString>
#include <array>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace mirel::tmpl {

struct DictionaryEntry {
    AnsiString name;
    AnsiString value;
    bool operator==(const DictionaryEntry&) const = default;
};
using DictionaryList = std::vector<DictionaryEntry>;

// System variables by index, as the old dictionary layout refers to them
// (index 1 is an expression and has no name).
extern const std::array<const char*, 18> kSystemVariableNames;

class TfrDataDictionary {
public:
    void Clear();
    bool Empty() const { return Variables.empty() && FieldAliases.empty() && BandDataSources.empty(); }

    // The dictionary section (after tag 0xFE): the marker word, then the three
    // lists, or the old layout when the marker is neither 0xFFFE nor 0xFFFF.
    // `datasetExists` tells which field-alias names resolve to a dataset of the
    // application (for the pruning of files with marker 0xFFFF).
    void ReadSection(RecordReader& in, const std::function<bool(const AnsiString&)>& datasetExists = {});
    void WriteSection(RecordWriter& out) const;

    // The dictionary file (.frd): the byte 25, then the section.
    void LoadFromBytes(std::string_view bytes, const std::function<bool(const AnsiString&)>& datasetExists = {});
    std::string SaveToBytes() const;
    // The same as files: false when the file does not exist or cannot be read;
    // saving throws core::FileError.
    bool LoadFromFile(const QString& path, const std::function<bool(const AnsiString&)>& datasetExists = {});
    void SaveToFile(const QString& path) const;

    DictionaryList Variables;
    DictionaryList FieldAliases;
    DictionaryList BandDataSources;

private:
    void ReadOldLayout(RecordReader& in);
};

} // namespace mirel::tmpl
