#pragma once
// system.ini as the program has always kept it: an INI file of code page text.
//
// The file is kept as its own lines, so writing one key rewrites that line and
// nothing else: other sections, other keys, comments, blank lines, the order and
// the line ends stay byte for byte as they were (other programs and people edit
// this file too). Section and key names are compared ignoring letter case, as
// INI files are read; the first section and the first key of a name count.

#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirel::app {

class IniFile {
public:
    // Parses the bytes of a file (empty for a missing file).
    explicit IniFile(std::string_view bytes = {});

    // The value of a key: the text after '=', blanks around it dropped and one
    // pair of surrounding quotes ("..." or '...') removed, converted from the code
    // page. Nothing when the section or the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;
    QString value(const QString& section, const QString& key, const QString& fallback) const;

    // Sets a key: replaces the value of its line in place, or adds the key at the
    // end of its section, or adds the section at the end of the file. A value
    // with blanks at either end, or one that a reader would take as quoted, is
    // written in double quotes, so it reads back exactly. Line breaks cannot live
    // in an INI value; they are written as blanks.
    void setValue(const QString& section, const QString& key, const QString& value);

    // The file's bytes as they are now.
    std::string bytes() const;

private:
    struct Line {
        std::string text;   // without its line end
        std::string end;    // "\r\n", "\n", "\r" or "" for a last line without one
    };
    // Index of the section header line, or -1; and the end (one past the last
    // line) of that section.
    int findSection(const QString& section) const;
    int sectionEnd(int header) const;
    int findKey(int header, const QString& key) const;
    std::string newLineEnd() const;

    std::vector<Line> m_lines;
};

} // namespace mirel::app
