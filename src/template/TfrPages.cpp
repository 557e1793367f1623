#include "template/TfrPages.h"

#include <unordered_set>

namespace mirel::tmpl {

void TfrPage::ReadRecord(RecordReader& in) {
    const int v = in.Version();
    // Written files start the record with -1; an older record starts with the size.
    const std::int32_t first = in.ReadInt();
    const bool marked = first == -1;
    Size = marked ? in.ReadInt() : first;
    PaperWidth = in.ReadInt();
    PaperHeight = in.ReadInt();
    LeftMargin = in.ReadInt();
    TopMargin = in.ReadInt();
    RightMargin = in.ReadInt();
    BottomMargin = in.ReadInt();
    Orientation = in.ReadByte();
    if (v <= 22)
        in.Skip(6);
    PaperBin = v >= 24 ? in.ReadInt() : kDefaultBin;
    PrintToPrevPage = in.ReadBool16();
    UseMargins = in.ReadBool16();
    Columns = in.ReadInt();
    ColumnGap = in.ReadInt();
    if (v < 24)
        return;
    Type = in.ReadByte();
    Name = in.ReadCountedString();
    const std::uint8_t border = in.ReadByte();
    BorderStyle = border == 0 ? 3 : border == 1 ? 2 : border;
    Caption = in.ReadCountedString();
    Color = in.ReadColor();
    Left = in.ReadInt();
    Top = in.ReadInt();
    Width = in.ReadInt();
    Height = in.ReadInt();
    Position = in.ReadByte() != 0 ? 4 : 0;
    if (marked)
        Script = in.ReadLineList();
}

void TfrPage::WriteRecord(RecordWriter& out) const {
    out.WriteInt(-1);
    out.WriteInt(Size);
    out.WriteInt(PaperWidth);
    out.WriteInt(PaperHeight);
    out.WriteInt(LeftMargin);
    out.WriteInt(TopMargin);
    out.WriteInt(RightMargin);
    out.WriteInt(BottomMargin);
    out.WriteByte(Orientation);
    out.WriteInt(PaperBin);
    out.WriteBool16(PrintToPrevPage);
    out.WriteBool16(UseMargins);
    out.WriteInt(Columns);
    out.WriteInt(ColumnGap);
    out.WriteByte(Type);
    out.WriteCountedString(Name);
    out.WriteByte(BorderStyle);
    out.WriteCountedString(Caption);
    out.WriteColor(Color);
    out.WriteInt(Left);
    out.WriteInt(Top);
    out.WriteInt(Width);
    out.WriteInt(Height);
    out.WriteByte(Position != 0 ? 4 : 0);
    out.WriteLineList(Script);
}

void TfrPage::ApplyPaper() {
    const PaperSettings effective = applyPaper(Paper());
    Size = effective.size;
    PaperWidth = effective.width;
    PaperHeight = effective.height;
    Orientation = static_cast<std::uint8_t>(effective.orientation);
    PaperBin = effective.bin;
}

TfrPage& TfrPages::Add() {
    std::unordered_set<AnsiString> used;
    for (const auto& page : m_pages)
        used.insert(page->Name);
    auto page = std::make_unique<TfrPage>();
    for (int i = 1; i <= 10000; ++i) {
        AnsiString name = "Page" + std::to_string(i);
        if (!used.count(name)) {
            page->Name = std::move(name);
            break;
        }
    }
    m_pages.push_back(std::move(page));
    return *m_pages.back();
}

TfrPage& TfrPages::Append(std::unique_ptr<TfrPage> page) {
    m_pages.push_back(std::move(page));
    return *m_pages.back();
}

void TfrPages::Delete(size_t index) {
    if (index < m_pages.size())
        m_pages.erase(m_pages.begin() + static_cast<std::ptrdiff_t>(index));
}

} // namespace mirel::tmpl
