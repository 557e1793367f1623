#include "template/PreparedReport.h"

#include "template/BuiltinViews.h"
#include "template/TfrReport.h"

#include <cmath>

namespace mirel::tmpl {

namespace {

constexpr std::uint8_t kPictureMetafile = 2;

// Tenths of a millimetre to page units (18 per 5 mm).
std::int32_t toPageUnits(std::int32_t tenths) {
    return static_cast<std::int32_t>(std::lround(tenths * 18.0 / 50.0));
}

void selectPrinter(const AnsiString& name, const TfrReport& report) {
    if (report.PrintToDefault)
        return;
    PrinterLayer& layer = printers();
    const QString printer = core::toUnicode(name);
    if (layer.PrinterNames().contains(printer))
        layer.SelectPrinter(printer);
}

// The page stream of an oldest-layout page: one picture object holding the
// page's metafile over the whole page.
std::string metafilePageStream(const TfrPreparedPage& page, std::string metafile) {
    TfrPictureView picture;
    picture.Width = toPageUnits(page.PaperWidth);
    picture.Height = toPageUnits(page.PaperHeight);
    picture.GraphicKind = kPictureMetafile;
    picture.Graphic = std::move(metafile);
    RecordWriter out(RecordForm::Prepared);
    out.WriteByte(kCurrentVersion);
    writePreparedObject(picture, out);
    return out.TakeBytes();
}

// Moves to an entry's end offset, never back before where the reader is, so
// every entry takes at least its fixed fields.
void seekForward(RecordReader& in, std::int32_t end) {
    if (end > static_cast<std::int64_t>(in.Position()))
        in.Seek(static_cast<size_t>(end));
}

} // namespace

TfrPreparedPage& TfrPreparedPages::Add(const PaperSettings& requested) {
    TfrPreparedPage& page = Pages.emplace_back();
    const PaperSettings effective = applyPaper(requested);
    page.Size = static_cast<std::uint16_t>(effective.size);
    page.PaperWidth = effective.width;
    page.PaperHeight = effective.height;
    page.Orientation = static_cast<std::uint8_t>(effective.orientation);
    page.PaperBin = requested.bin;
    page.Printable = printers().Printable(effective);
    return page;
}

PreparedLoadResult TfrPreparedPages::LoadFromBytes(std::string_view bytes, TfrReport& report) {
    Pages.clear();
    PreparedLoadResult result;
    RecordReader in(bytes);
    int version = in.ReadByte();
    if (version < 24 || version > 31) {
        version = 0;
        in.Seek(0);
    }
    result.version = version;
    const std::uint8_t compression = in.ReadByte();
    const bool current = compression == 0 || compression == 1 || compression == 255;
    if (!current) {
        in.Seek(0);
        result.oldestLayout = true;
        result.compression = -1;
        const Lines header = in.ReadOldLineList();
        result.printerName = header.empty() ? AnsiString() : header.front();
        selectPrinter(result.printerName, report);
        const std::int32_t n = in.ReadInt();
        for (std::int32_t i = 0; i < n && !in.AtEnd(); ++i) {
            const std::int32_t end = in.ReadInt();
            TfrPreparedPage page;
            page.Size = in.ReadWord();
            page.PaperWidth = in.ReadInt();
            page.PaperHeight = in.ReadInt();
            page.Orientation = in.ReadByte();
            page.UseMargins = in.ReadByte() != 0;
            page.Stream = metafilePageStream(page, in.ReadBytesUntil(end));
            page.Printable = printers().Printable(applyPaper(page.Paper()));
            seekForward(in, end);
            Pages.push_back(std::move(page));
        }
        return result;
    }
    result.compression = compression;
    result.printerName = in.ReadCountedString();
    selectPrinter(result.printerName, report);
    const std::int32_t n = in.ReadInt();
    for (std::int32_t i = 0; i < n && !in.AtEnd(); ++i) {
        const std::int32_t end = in.ReadInt();
        TfrPreparedPage page;
        page.Size = in.ReadWord();
        page.PaperWidth = in.ReadInt();
        page.PaperHeight = in.ReadInt();
        page.Orientation = in.ReadByte();
        page.PaperBin = version > 23 ? in.ReadInt() : kDefaultBin;
        page.UseMargins = in.ReadByte() != 0;
        if (version > 23) {
            page.LeftMargin = in.ReadInt();
            page.TopMargin = in.ReadInt();
            page.RightMargin = in.ReadInt();
            page.BottomMargin = in.ReadInt();
        }
        std::string stream = in.ReadBytesUntil(end);
        // No compressor exists: compressed page data is left out.
        if (compression == 0)
            page.Stream = std::move(stream);
        page.Printable = printers().Printable(applyPaper(page.Paper()));
        seekForward(in, end);
        Pages.push_back(std::move(page));
    }
    report.GeneratorVersion = in.ReadByte();
    return result;
}

std::string TfrPreparedPages::SaveToBytes(const TfrReport& report) const {
    RecordWriter out;
    out.WriteByte(kCurrentVersion);
    out.WriteByte(0);
    out.WriteCountedString(core::fromUnicode(printers().CurrentPrinter()));
    out.WriteInt(static_cast<std::int32_t>(Pages.size()));
    for (const TfrPreparedPage& page : Pages) {
        const size_t end = out.WritePlaceholder();
        out.WriteWord(page.Size);
        out.WriteInt(page.PaperWidth);
        out.WriteInt(page.PaperHeight);
        out.WriteByte(page.Orientation);
        out.WriteInt(page.PaperBin);
        out.WriteByte(page.UseMargins ? 1 : 0);
        out.WriteInt(page.LeftMargin);
        out.WriteInt(page.TopMargin);
        out.WriteInt(page.RightMargin);
        out.WriteInt(page.BottomMargin);
        out.WriteBytes(page.Stream);
        out.PatchEndOffset(end);
    }
    out.WriteByte(report.GeneratorVersion);
    return out.TakeBytes();
}

} // namespace mirel::tmpl
