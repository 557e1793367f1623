#pragma once
// TfrPage: one page of a template (paper, margins, columns, the dialog fields of
// a dialog page, and its objects in drawing order); TfrPages: the report's pages.

#include "template/PrinterLayer.h"
#include "template/TfrView.h"

#include <memory>
#include <vector>

namespace mirel::tmpl {

enum PageType : std::uint8_t { ptReport = 0, ptDialog = 1 };

class TfrPage {
public:
    TfrPage() = default;

    // The page record after tag 0xFF; the reader's version says which fields
    // it holds. Reading does not apply the paper settings (the report does).
    void ReadRecord(RecordReader& in);
    void WriteRecord(RecordWriter& out) const;

    PaperSettings Paper() const { return {Size, PaperWidth, PaperHeight, Orientation, PaperBin}; }
    // Takes the paper the printer layer provides for the page's settings.
    void ApplyPaper();

    bool StretchToPrintable() const { return !UseMargins; }

    std::int32_t Size = 9;              // Windows paper size code; 256 custom
    std::int32_t PaperWidth = 2100;     // tenths of a millimetre
    std::int32_t PaperHeight = 2970;
    std::int32_t LeftMargin = 0;        // page units; 0: the printer's offset
    std::int32_t TopMargin = 0;
    std::int32_t RightMargin = 0;
    std::int32_t BottomMargin = 0;
    std::uint8_t Orientation = 0;       // 0 portrait, 1 landscape
    std::int32_t PaperBin = kDefaultBin;
    bool PrintToPrevPage = false;
    bool UseMargins = true;
    std::int32_t Columns = 1;
    std::int32_t ColumnGap = 0;
    std::uint8_t Type = ptReport;
    AnsiString Name;
    std::uint8_t BorderStyle = 3;       // 3 dialog frame, 2 sizeable
    AnsiString Caption = "Form";
    std::uint32_t Color = kButtonFaceColor;
    std::int32_t Left = 220;            // dialog bounds, screen pixels
    std::int32_t Top = 120;
    std::int32_t Width = 380;
    std::int32_t Height = 300;
    std::uint8_t Position = 4;          // 0 designed, 4 centred on the screen
    Lines Script;                       // OnBeforePrint / OnActivate

    ViewList Objects;                   // drawing order, the order of writing
};

class TfrPages {
public:
    // Appends a new page with the defaults of a new page, named "Page" and the
    // lowest number from 1 to 10000 no other page uses.
    TfrPage& Add();
    // Appends a page as it is (the reader names pages itself).
    TfrPage& Append(std::unique_ptr<TfrPage> page);
    void Clear() { m_pages.clear(); }
    void Delete(size_t index);

    size_t Count() const { return m_pages.size(); }
    bool Empty() const { return m_pages.empty(); }
    TfrPage& operator[](size_t index) { return *m_pages[index]; }
    const TfrPage& operator[](size_t index) const { return *m_pages[index]; }
    auto begin() { return m_pages.begin(); }
    auto end() { return m_pages.end(); }
    auto begin() const { return m_pages.begin(); }
    auto end() const { return m_pages.end(); }

private:
    std::vector<std::unique_ptr<TfrPage>> m_pages;
};

} // namespace mirel::tmpl
