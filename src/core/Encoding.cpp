#include "core/Encoding.h"

#include <QByteArray>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace mirel::core {
namespace {

// One conversion descriptor per direction and thread, opened on first use:
// iconv_open costs far more than converting a short label text.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`; on an invalid or incomplete sequence appends
    // `replacement` and skips one input byte.
    std::string convert(std::string_view in, std::string_view replacement) {
        std::string out;
        out.reserve(in.size() * 2 + 8);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[4096];
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t rc = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (rc != static_cast<size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: one bad byte.
            out.append(replacement);
            ++src;
            --srcLeft;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        return out;
    }

private:
    iconv_t m_cd;
};

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

} // namespace

std::string toUtf8(std::string_view ansi) {
    if (isAscii(ansi))
        return std::string(ansi);
    thread_local Converter decoder("UTF-8", "GB18030");
    return decoder.convert(ansi, "\xEF\xBF\xBD");
}

QString toUnicode(std::string_view ansi) {
    if (isAscii(ansi))
        return QString::fromLatin1(ansi.data(), static_cast<qsizetype>(ansi.size()));
    const std::string utf8 = toUtf8(ansi);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

AnsiString fromUtf8(std::string_view utf8) {
    if (isAscii(utf8))
        return std::string(utf8);
    thread_local Converter encoder("GB18030", "UTF-8");
    return encoder.convert(utf8, "?");
}

AnsiString fromUnicode(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return fromUtf8(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

bool isValidUtf8(std::string_view bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t min;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) { extra = 1; min = 0x80; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { extra = 2; min = 0x800; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { extra = 3; min = 0x10000; cp = c & 0x07; }
        else return false;
        if (i + static_cast<size_t>(extra) >= n)
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

AnsiString textFileToAnsi(std::string_view fileBytes) {
    if (fileBytes.substr(0, 3) == "\xEF\xBB\xBF")
        return fromUtf8(fileBytes.substr(3));
    if (isValidUtf8(fileBytes))
        return fromUtf8(fileBytes);
    return std::string(fileBytes);
}

} // namespace mirel::core
