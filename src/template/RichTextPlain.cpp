#include "template/RichTextPlain.h"

#include "core/Encoding.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <vector>

namespace mirel::tmpl {
namespace {

// Destinations whose text is not part of the document's text.
constexpr std::array<std::string_view, 22> kSkippedDestinations = {
    "fonttbl",  "colortbl", "stylesheet", "info",       "pict",        "object",     "header",   "footer",
    "headerl",  "headerr",  "footerl",    "footerr",    "themedata",   "colorschememapping",       "latentstyles",
    "datastore", "xmlnstbl", "listtable", "listoverridetable",         "rsidtbl",    "generator", "filetbl",
};

struct Group {
    bool skip = false;
    int unicodeSkip = 1;   // \ucN: fallback characters after each \uN
};

class RtfReader {
public:
    explicit RtfReader(std::string_view rtf) : m_in(rtf) {}

    RichPlainText read() {
        m_groups.push_back({});
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            switch (c) {
            case '{':
                m_groups.push_back(m_groups.back());
                m_groupStart = true;
                continue;
            case '}':
                flushBytes();
                if (m_groups.size() > 1)
                    m_groups.pop_back();
                break;
            case '\\': controlWord(); break;
            case '\r':
            case '\n': break;
            default: addByte(c); break;
            }
            m_groupStart = false;
        }
        flushBytes();
        RichPlainText result;
        result.text = std::move(m_text);
        while (result.text.endsWith(QLatin1Char('\n')))
            result.text.chop(1);
        result.firstFontSize = m_firstFontSize;
        return result;
    }

private:
    Group& group() { return m_groups.back(); }

    void addByte(char c) {
        if (group().skip)
            return;
        if (m_pendingSkip > 0) {   // a fallback character after \uN
            --m_pendingSkip;
            return;
        }
        m_bytes.push_back(c);
    }

    void addText(const QString& text) {
        if (group().skip)
            return;
        flushBytes();
        m_text += text;
    }

    void flushBytes() {
        if (m_bytes.empty())
            return;
        m_text += core::toUnicode(m_bytes);
        m_bytes.clear();
    }

    void controlWord() {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in[m_pos];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            if (c == '\'') {   // \'hh: one byte of code page text
                if (m_pos + 2 <= m_in.size()) {
                    const std::string hex(m_in.substr(m_pos, 2));
                    m_pos += 2;
                    char* end = nullptr;
                    const long value = std::strtol(hex.c_str(), &end, 16);
                    if (end == hex.c_str() + 2)
                        addByte(static_cast<char>(value));
                }
            } else if (c == '*') {
                if (m_groupStart)
                    group().skip = true;
            } else if (c == '\\' || c == '{' || c == '}') {
                addByte(c);
            } else if (c == '~') {
                addText(QStringLiteral("\u00A0"));
            } else if (c == '\r' || c == '\n') {
                addText(QStringLiteral("\n"));
            }
            m_groupStart = false;
            return;
        }
        const size_t start = m_pos;
        while (m_pos < m_in.size() && std::isalpha(static_cast<unsigned char>(m_in[m_pos])) && m_pos - start < 32)
            ++m_pos;
        const std::string_view word = m_in.substr(start, m_pos - start);
        bool hasParameter = false;
        long parameter = 0;
        bool negative = false;
        if (m_pos < m_in.size() && m_in[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        while (m_pos < m_in.size() && std::isdigit(static_cast<unsigned char>(m_in[m_pos]))) {
            hasParameter = true;
            if (parameter < 100000000)
                parameter = parameter * 10 + (m_in[m_pos] - '0');
            ++m_pos;
        }
        if (negative)
            parameter = -parameter;
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos;
        const bool atGroupStart = m_groupStart;
        m_groupStart = false;

        if (atGroupStart
            && std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) != kSkippedDestinations.end()) {
            group().skip = true;
        } else if (word == "par" || word == "line" || word == "sect" || word == "page") {
            addText(QStringLiteral("\n"));
        } else if (word == "tab") {
            addText(QStringLiteral("\t"));
        } else if (word == "cell") {
            addText(QStringLiteral(" "));
        } else if (word == "row") {
            addText(QStringLiteral("\n"));
        } else if (word == "uc" && hasParameter) {
            group().unicodeSkip = static_cast<int>(std::clamp(parameter, 0L, 10L));
        } else if (word == "u" && hasParameter) {
            // A signed 16-bit value; negative ones stand for code units above 32767.
            const auto unit = static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter);
            addText(QString(QChar(unit)));
            m_pendingSkip = group().unicodeSkip;
        } else if (word == "fs" && hasParameter && m_firstFontSize == 0 && !group().skip) {
            m_firstFontSize = static_cast<int>(std::clamp(parameter / 2, 1L, 500L));
        }
    }

    std::string_view m_in;
    size_t m_pos = 0;
    std::vector<Group> m_groups;
    bool m_groupStart = false;
    int m_pendingSkip = 0;
    std::string m_bytes;   // code page bytes not yet converted
    QString m_text;
    int m_firstFontSize = 0;
};

} // namespace

RichPlainText richPlainText(std::string_view rtf) {
    const size_t first = rtf.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos || rtf.substr(first, 5) != "{\\rtf")
        return {core::toUnicode(rtf), 0};
    return RtfReader(rtf.substr(first)).read();
}

} // namespace mirel::tmpl
