#pragma once
// Byte fixtures for template tests, written field by field so each test shows
// the layout it checks. Independent of the writer under test.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace mirel::tmpl::test {

struct Fx {
    std::string b;

    Fx& u8(unsigned v) {
        b += static_cast<char>(v & 0xFF);
        return *this;
    }
    Fx& u16(unsigned v) { return u8(v).u8(v >> 8); }
    Fx& i32(std::int64_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        return u8(u).u8(u >> 8).u8(u >> 16).u8(u >> 24);
    }
    Fx& f64(double d) {
        std::uint64_t u;
        std::memcpy(&u, &d, 8);
        for (int i = 0; i < 8; ++i)
            u8(static_cast<unsigned>(u >> (8 * i)));
        return *this;
    }
    Fx& raw(std::string_view s) {
        b += s;
        return *this;
    }
    Fx& zeros(size_t n) {
        b.append(n, '\0');
        return *this;
    }
    // word N, N bytes, 0x00
    Fx& counted(std::string_view s) { return u16(static_cast<unsigned>(s.size())).raw(s).u8(0); }
    // word N, N bytes
    Fx& bare(std::string_view s) { return u16(static_cast<unsigned>(s.size())).raw(s); }
    // bytes, 0x00
    Fx& zstr(std::string_view s) { return raw(s).u8(0); }
    // word count; lines of word L, L bytes, 0x0D (0x00 after the last); empty: 0, 0x00
    Fx& lines(std::initializer_list<std::string_view> ls) {
        u16(static_cast<unsigned>(ls.size()));
        if (ls.size() == 0)
            return u8(0);
        size_t i = 0;
        for (std::string_view l : ls) {
            bare(l);
            u8(++i < ls.size() ? 0x0D : 0x00);
        }
        return *this;
    }
    Fx& lines(const std::vector<std::string>& ls) {
        u16(static_cast<unsigned>(ls.size()));
        if (ls.empty())
            return u8(0);
        for (size_t i = 0; i < ls.size(); ++i) {
            bare(ls[i]);
            u8(i + 1 < ls.size() ? 0x0D : 0x00);
        }
        return *this;
    }
    size_t pos() const { return b.size(); }
    // Writes the current size over an int at `at` (an end offset).
    Fx& patchEnd(size_t at) {
        const auto u = static_cast<std::uint32_t>(b.size());
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
        return *this;
    }
};

// The common record of an object body, current layout (version 24 and 25).
struct Common {
    std::string name = "Memo1";
    unsigned major = 2, minor = 0;
    int left = 10, top = 20, width = 100, height = 30;
    unsigned flags = 3, frameTyp = 15;
    std::int64_t frameWidth = 1, frameColor = 0xFF;
    unsigned frameStyle = 1;
    std::int64_t fillColor = 0x1FFFFFFF;
    std::int64_t format = 0x22E;
    std::string formatStr;
    std::vector<std::string> memo = {"[no]"};
    std::vector<std::string> script;
    unsigned visible = 0xFFFF;
    unsigned restrictions = 0;
    std::string tag;
    int gapX = 2, gapY = 1;
    unsigned bandAlign = 0;
    bool prepared = false;   // the prepared form leaves out the design-only fields
};

inline Fx& common25(Fx& f, const Common& c) {
    f.counted(c.name);                                       // 1 Name
    f.u8(c.major).u8(c.minor);                               // 2, 3 record version
    f.i32(c.left).i32(c.top).i32(c.width).i32(c.height);     // 4-7 position and size
    f.u16(c.flags).u16(c.frameTyp).i32(c.frameWidth);        // 8-10
    f.i32(c.frameColor).u16(c.frameStyle).i32(c.fillColor);  // 11-13
    if (!c.prepared)
        f.i32(c.format).counted(c.formatStr);                // 14, 15 display format
    f.lines(c.memo);                                         // 16 text lines
    if (!c.prepared)
        f.lines(c.script).u16(c.visible);                    // 17, 18 script, visible
    f.u16(c.restrictions).counted(c.tag);                    // 19, 20
    f.i32(c.gapX).i32(c.gapY);                               // 21, 22
    if (c.major >= 2)
        f.u8(c.bandAlign);                                   // 23 band alignment
    return f;
}

// The text object tail after the common record.
inline Fx& memoTail25(Fx& f, bool prepared = false) {
    f.counted("Arial").i32(12).u16(2).i32(0x0000FF).i32(10).u16(134);   // font, alignment, charset
    if (!prepared)
        f.u16(2).i32(0).i32(0xFFFFFF).counted("");                      // highlight
    return f.i32(2).i32(0);                                              // line and char spacing
}

// Report header: version 25, print-to-default, two-pass, printer (0x01 virtual).
inline Fx& header25(Fx& f, bool printToDefault = false, std::string_view printer = "\x01") {
    return f.u8(25).u16(printToDefault ? 0xFFFF : 0).u16(0).counted(printer);
}

// Tag 0xFF and an A4 portrait page record with the default bin as the
// virtual printer gives it back (65535).
inline Fx& page25(Fx& f, std::string_view name = "Page1", std::int64_t bin = 65535) {
    f.u8(0xFF).i32(-1);                                      // marker
    f.i32(9).i32(2100).i32(2970);                            // size, width, height
    f.i32(0).i32(0).i32(0).i32(0).u8(0);                     // margins, orientation
    f.i32(bin).u16(0).u16(0xFFFF).i32(1).i32(0);             // bin, prev page, margins, columns, gap
    f.u8(0).counted(name).u8(3).counted("Form").i32(0xFF00000F);   // type, name, border, caption, colour
    f.i32(220).i32(120).i32(380).i32(300).u8(4);             // bounds, position
    return f.lines({});                                      // script
}

inline Fx& emptyDictionary(Fx& f) { return f.u8(0xFE).u16(0xFFFE).i32(0).i32(0).i32(0); }

// Tag 0xFC and an information section.
inline Fx& information(Fx& f, double created = 40000.5, double saved = 40001.25) {
    f.u8(0xFC);
    for (const char* s : {"comment", "name", "author", "1", "2", "3", "4"})
        f.bare(s);
    return f.bare("").u8(88).u8(0).f64(created).f64(saved);
}

// An object record of the tagged part, its end offset filled in.
template <typename Body>
Fx& record(Fx& f, unsigned type, std::string_view className, unsigned page, Body body) {
    f.u8(type);
    if (type == 10)
        f.counted(className);
    f.u8(page);
    const size_t end = f.pos();
    f.i32(0);
    body(f);
    return f.patchEnd(end);
}

} // namespace mirel::tmpl::test
