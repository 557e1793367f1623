#include "template/TfrDataDictionary.h"

#include "core/Files.h"

#include <QFileInfo>
#include <algorithm>
#include <map>

namespace mirel::tmpl {

const std::array<const char*, 18> kSystemVariableNames = {
    "PAGE#",   "",        "DATE",       "TIME",          "LINE#",      "LINETHROUGH#",
    "COLUMN#", "CURRENT#", "TOTALPAGES", "REPORTCOMMENT", "REPORTNAME", "REPORTAUTOR",
    "VMAJOR",  "VMINOR",  "VRELEASE",   "VBUILD",        "REPORTDATE", "REPORTLASTCHANGE",
};

namespace {

constexpr std::uint16_t kMarker = 0xFFFE;
constexpr std::uint16_t kOlderMarker = 0xFFFF;

void readList(RecordReader& in, DictionaryList& list) {
    list.clear();
    const std::int32_t n = in.ReadInt();
    // A count the bytes cannot hold stops at the end of the data.
    for (std::int32_t i = 0; i < n && !in.AtEnd(); ++i) {
        DictionaryEntry entry;
        entry.name = in.ReadCountedString();
        entry.value = in.ReadCountedString();
        list.push_back(std::move(entry));
    }
}

void writeList(RecordWriter& out, const DictionaryList& list) {
    out.WriteInt(static_cast<std::int32_t>(list.size()));
    for (const DictionaryEntry& entry : list) {
        out.WriteCountedString(entry.name);
        out.WriteCountedString(entry.value);
    }
}

AnsiString shortString(RecordReader& in) { return in.ReadBytes(in.ReadByte()); }

// Categories are marked by a leading space. A list whose first name has none
// was stored the other way round: every name's mark is turned over.
void flipConvention(DictionaryList& variables) {
    if (variables.empty() || variables.front().name.empty() || variables.front().name[0] == ' ')
        return;
    for (DictionaryEntry& entry : variables) {
        if (!entry.name.empty() && entry.name[0] == ' ')
            entry.name.erase(0, 1);
        else
            entry.name.insert(0, 1, ' ');
    }
}

} // namespace

void TfrDataDictionary::Clear() {
    Variables.clear();
    FieldAliases.clear();
    BandDataSources.clear();
}

void TfrDataDictionary::ReadOldLayout(RecordReader& in) {
    std::map<AnsiString, AnsiString> remembered;
    const std::int32_t n = in.ReadInt();
    for (std::int32_t i = 0; i < n && !in.AtEnd(); ++i) {
        const std::uint8_t kind = in.ReadByte();
        const std::int32_t index = in.ReadInt();
        const AnsiString s1 = shortString(in);
        const AnsiString s2 = shortString(in);
        const AnsiString s3 = shortString(in);
        AnsiString value;
        if (kind == 1)
            value = s1 + ".\"" + s2 + '"';
        else if (kind == 2 && index == 1)
            value = s2;
        else if (kind == 2 && index >= 0 && index < static_cast<std::int32_t>(kSystemVariableNames.size()))
            value = kSystemVariableNames[static_cast<size_t>(index)];
        remembered[" " + s3] = std::move(value);
    }
    for (AnsiString& line : in.ReadVersionedList()) {
        DictionaryEntry entry;
        if (line.empty() || line[0] == ' ') {
            const auto it = remembered.find(line);
            if (it != remembered.end())
                entry.value = it->second;
        }
        entry.name = std::move(line);
        Variables.push_back(std::move(entry));
    }
}

void TfrDataDictionary::ReadSection(RecordReader& in, const std::function<bool(const AnsiString&)>& datasetExists) {
    Clear();
    const size_t start = in.Position();
    const std::uint16_t marker = in.ReadWord();
    if (marker == kMarker || marker == kOlderMarker) {
        readList(in, Variables);
        readList(in, FieldAliases);
        readList(in, BandDataSources);
    } else {
        in.Seek(start);
        ReadOldLayout(in);
    }
    flipConvention(Variables);
    if (marker == kOlderMarker) {
        std::erase_if(FieldAliases, [&](const DictionaryEntry& e) {
            return e.value.empty() && !(datasetExists && datasetExists(e.name));
        });
        std::erase_if(BandDataSources, [](const DictionaryEntry& e) { return e.value.empty(); });
    }
}

void TfrDataDictionary::WriteSection(RecordWriter& out) const {
    out.WriteWord(kMarker);
    writeList(out, Variables);
    writeList(out, FieldAliases);
    writeList(out, BandDataSources);
}

void TfrDataDictionary::LoadFromBytes(std::string_view bytes, const std::function<bool(const AnsiString&)>& datasetExists) {
    RecordReader in(bytes);
    in.ReadByte();
    ReadSection(in, datasetExists);
}

std::string TfrDataDictionary::SaveToBytes() const {
    RecordWriter out;
    out.WriteByte(kCurrentVersion);
    WriteSection(out);
    return out.TakeBytes();
}

bool TfrDataDictionary::LoadFromFile(const QString& path, const std::function<bool(const AnsiString&)>& datasetExists) {
    if (!QFileInfo::exists(path))
        return false;
    try {
        LoadFromBytes(core::readFileBytes(path), datasetExists);
    } catch (const core::FileError&) {
        return false;
    }
    return true;
}

void TfrDataDictionary::SaveToFile(const QString& path) const { core::writeFileAtomically(path, SaveToBytes()); }

} // namespace mirel::tmpl
