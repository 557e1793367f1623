#pragma once
// Small label templates for the preparation tests, built object by object so a
// test shows the layout it checks. Texts are given in UTF-8 and stored as code
// page bytes. Paper is custom (code 256) in whole page units: 18 units are
// 5 mm, 50 tenths of a millimetre.

#include "barcode/TfrBarCodeView.h"
#include "pdf417/Tfr2BarCodePDFView.h"
#include "support/TestSupport.h"
#include "template/AddinViews.h"
#include "template/BuiltinViews.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include <memory>
#include <string_view>
#include <vector>

namespace mirel::engine::test {

// Tenths of a millimetre for a length in page units that is a multiple of 18.
constexpr int tenths(int units) { return units / 18 * 50; }

struct PageBuilder {
    tmpl::TfrPage& page;

    // Custom paper of width x height page units (multiples of 18), margins in
    // page units (0: the printer's offset, none for the virtual printer).
    PageBuilder& paper(int width, int height, int left = 0, int top = 0, int right = 0, int bottom = 0) {
        page.Size = tmpl::kCustomPaper;
        page.PaperWidth = tenths(width);
        page.PaperHeight = tenths(height);
        page.LeftMargin = left;
        page.TopMargin = top;
        page.RightMargin = right;
        page.BottomMargin = bottom;
        page.UseMargins = true;
        return *this;
    }

    tmpl::TfrBandView& band(int type, int top, int height, std::string_view name = {}) {
        auto band = std::make_unique<tmpl::TfrBandView>();
        band->SetBandType(type);
        band->Left = 0;
        band->Top = top;
        band->Width = 360;
        band->Height = height;
        band->Name = name.empty() ? AnsiString("Band") + std::to_string(page.Objects.size() + 1) : AnsiString(name);
        auto& ref = *band;
        page.Objects.push_back(std::move(band));
        return ref;
    }

    tmpl::TfrMemoView& memo(std::string_view name, int left, int top, int width, int height,
                            std::vector<std::string_view> lines) {
        auto memo = std::make_unique<tmpl::TfrMemoView>();
        place(*memo, name, left, top, width, height, lines);
        auto& ref = *memo;
        page.Objects.push_back(std::move(memo));
        return ref;
    }

    barcode::TfrBarCodeView& barcode(std::string_view name, int left, int top, int width, int height,
                                     std::string_view text) {
        auto view = std::make_unique<barcode::TfrBarCodeView>();
        place(*view, name, left, top, width, height, {text});
        auto& ref = *view;
        page.Objects.push_back(std::move(view));
        return ref;
    }

    pdf417::Tfr2BarCodePDFView& pdf417(std::string_view name, int left, int top, int width, int height,
                                       std::string_view text) {
        auto view = std::make_unique<pdf417::Tfr2BarCodePDFView>();
        place(*view, name, left, top, width, height, {text});
        auto& ref = *view;
        page.Objects.push_back(std::move(view));
        return ref;
    }

    static void place(tmpl::TfrView& view, std::string_view name, int left, int top, int width, int height,
                      const std::vector<std::string_view>& lines) {
        view.Name = AnsiString(name);
        view.Left = left;
        view.Top = top;
        view.Width = width;
        view.Height = height;
        view.Memo.clear();
        for (std::string_view line : lines)
            view.Memo.push_back(mirel::test::ansi(line));
    }
};

// The barcode objects are add-ins: prepared streams name them by class.
inline void registerBarcodeObjects() {
    static const bool registered = [] {
        barcode::registerBarcodeObjects();
        pdf417::registerPdf417Objects();
        return true;
    }();
    (void)registered;
}

inline PageBuilder addPage(tmpl::TfrReport& report) {
    tmpl::TfrPage& page = report.Pages.Add();
    return PageBuilder{page};
}

// An object of a prepared page as the tests look at it.
struct PreparedObject {
    std::string className;
    std::string name;
    int left, top, width, height;
    std::vector<std::string> memo;   // UTF-8
    std::string tag;                 // UTF-8
};

inline std::vector<PreparedObject> objectsOf(const tmpl::TfrPreparedPage& page) {
    std::vector<PreparedObject> objects;
    for (const auto& view : tmpl::readPreparedStream(page.Stream)) {
        PreparedObject o{view->ClassName(), core::toUtf8(view->Name), view->Left, view->Top, view->Width,
                         view->Height, {}, core::toUtf8(view->Tag)};
        for (const AnsiString& line : view->Memo)
            o.memo.push_back(core::toUtf8(line));
        objects.push_back(std::move(o));
    }
    return objects;
}

// The first memo line of every object named `name`, page after page.
inline std::vector<std::string> textsOf(const tmpl::TfrPreparedPages& pages, std::string_view name) {
    std::vector<std::string> texts;
    for (const auto& page : pages.Pages)
        for (const PreparedObject& o : objectsOf(page))
            if (o.name == name)
                texts.push_back(o.memo.empty() ? std::string() : o.memo.front());
    return texts;
}

} // namespace mirel::engine::test
