#include "app/IniFile.h"

#include "core/Encoding.h"

namespace mirel::app {
namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

QString trimmed(const QString& s) {
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && isBlank(s[first]))
        ++first;
    while (last > first && isBlank(s[last - 1]))
        --last;
    return s.mid(first, last - first);
}

// The name of a section header line "[name]", or nothing for another line. The
// line is looked at in Unicode: in the code page, the second byte of a Chinese
// character may be the byte of ']'.
std::optional<QString> headerName(const QString& line) {
    const QString t = trimmed(line);
    if (!t.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return trimmed(t.mid(1, close - 1));
}

bool isComment(const QString& line) {
    const QString t = trimmed(line);
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

QString unquoted(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

QString quotedIfNeeded(QString value) {
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const bool blankEnds = !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()));
    if (blankEnds || unquoted(value) != value)
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
}

} // namespace

IniFile::IniFile(std::string_view bytes) {
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            m_lines.push_back({std::string(bytes.substr(start)), std::string()});
            break;
        }
        size_t next = end + 1;
        if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n')
            ++next;
        m_lines.push_back({std::string(bytes.substr(start, end - start)), std::string(bytes.substr(end, next - end))});
        start = next;
    }
}

int IniFile::findSection(const QString& section) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const std::optional<QString> name = headerName(core::toUnicode(m_lines[i].text));
        if (name && name->compare(section, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int IniFile::sectionEnd(int header) const {
    int i = header + 1;
    while (i < static_cast<int>(m_lines.size()) && !headerName(core::toUnicode(m_lines[i].text)))
        ++i;
    return i;
}

int IniFile::findKey(int header, const QString& key) const {
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const QString line = core::toUnicode(m_lines[i].text);
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || isComment(line))
            continue;
        if (trimmed(line.left(equals)).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    const int header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const int line = findKey(header, key);
    if (line < 0)
        return std::nullopt;
    const QString text = core::toUnicode(m_lines[line].text);
    return unquoted(trimmed(text.mid(text.indexOf(QLatin1Char('=')) + 1)));
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const {
    return value(section, key).value_or(fallback);
}

std::string IniFile::newLineEnd() const {
    for (const Line& line : m_lines)
        if (!line.end.empty())
            return line.end;
    return "\r\n";
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const std::string entry = core::fromUnicode(key + QLatin1Char('=') + quotedIfNeeded(value));
    const std::string lineEnd = newLineEnd();
    int header = findSection(section);
    if (header < 0) {
        if (!m_lines.empty() && m_lines.back().end.empty())
            m_lines.back().end = lineEnd;
        m_lines.push_back({core::fromUnicode(QLatin1Char('[') + section + QLatin1Char(']')), lineEnd});
        m_lines.push_back({entry, lineEnd});
        return;
    }
    const int line = findKey(header, key);
    if (line >= 0) {
        // Keep what stood before the '=' (the key as the file spells it); the
        // '=' is ASCII and never part of a code page character.
        std::string& text = m_lines[line].text;
        text = text.substr(0, text.find('=') + 1) + core::fromUnicode(quotedIfNeeded(value));
        return;
    }
    // After the section's last non-blank line, so a blank line that separates it
    // from the next section stays between them.
    int at = sectionEnd(header);
    while (at > header + 1 && trimmed(core::toUnicode(m_lines[at - 1].text)).isEmpty())
        --at;
    if (m_lines[at - 1].end.empty())
        m_lines[at - 1].end = lineEnd;
    m_lines.insert(m_lines.begin() + at, Line{entry, lineEnd});
}

std::string IniFile::bytes() const {
    std::string out;
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.end;
    }
    return out;
}

} // namespace mirel::app
