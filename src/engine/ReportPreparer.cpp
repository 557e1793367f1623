#include "engine/ReportPreparer.h"

#include "core/Text.h"
#include "engine/DisplayFormat.h"
#include "template/AddinViews.h"
#include "template/BuiltinViews.h"
#include "template/MemoLayout.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace mirel::engine {

namespace {

using tmpl::TfrBandView;
using tmpl::TfrPage;
using tmpl::TfrView;

// Band flag bits.
constexpr std::uint16_t kFormNewPage = 2, kOnFirstPage = 16, kOnLastPage = 32, kRepeatHeader = 64,
                        kPrintChildIfInvisible = 128;

// How many evaluation failures of barcode texts are kept as messages.
constexpr size_t kKeptWarnings = 20;

// Tenths of a millimetre to page units (18 per 5 mm).
std::int32_t toUnits(std::int64_t tenths) { return static_cast<std::int32_t>(std::llround(tenths * 18.0 / 50.0)); }

std::string utf8(const AnsiString& text) { return core::toUtf8(text); }

// A band of a template page with the objects that lie inside it (their top edge
// within the band), in drawing order.
struct Band {
    TfrBandView* view = nullptr;
    std::vector<TfrView*> objects;

    int Type() const { return view->BandType(); }
};

struct MasterGroup {
    Band* header = nullptr;
    Band* data = nullptr;
    Band* footer = nullptr;
};

// The bands of one template page, sorted by their designed position.
struct PageBands {
    std::vector<std::unique_ptr<Band>> bands;
    Band* title = nullptr;
    Band* summary = nullptr;
    Band* pageHeader = nullptr;
    Band* pageFooter = nullptr;
    Band* overlay = nullptr;
    std::vector<MasterGroup> groups;

    explicit PageBands(TfrPage& page) {
        for (const auto& object : page.Objects)
            if (object->TypeCode() == tmpl::gtBand)
                if (auto* band = dynamic_cast<TfrBandView*>(object.get()))
                    bands.push_back(std::make_unique<Band>(Band{band, {}}));
        std::stable_sort(bands.begin(), bands.end(),
                         [](const auto& a, const auto& b) { return a->view->Top < b->view->Top; });
        for (const auto& object : page.Objects) {
            if (object->TypeCode() == tmpl::gtBand || object->TypeCode() == tmpl::gtSubReport)
                continue;
            Band* owner = nullptr;
            for (const auto& band : bands)
                if (object->Top >= band->view->Top && object->Top < band->view->Top + band->view->Height)
                    owner = band.get();
            if (owner)
                owner->objects.push_back(object.get());
        }
        Band* pendingHeader = nullptr;
        for (const auto& band : bands) {
            Band* b = band.get();
            switch (b->Type()) {
            case tmpl::btReportTitle: title = title ? title : b; break;
            case tmpl::btReportSummary: summary = summary ? summary : b; break;
            case tmpl::btPageHeader: pageHeader = pageHeader ? pageHeader : b; break;
            case tmpl::btPageFooter: pageFooter = pageFooter ? pageFooter : b; break;
            case tmpl::btOverlay: overlay = overlay ? overlay : b; break;
            case tmpl::btMasterHeader: pendingHeader = b; break;
            case tmpl::btMasterData:
                groups.push_back(MasterGroup{pendingHeader, b, nullptr});
                pendingHeader = nullptr;
                break;
            case tmpl::btMasterFooter:
                if (!groups.empty() && !groups.back().footer)
                    groups.back().footer = b;
                break;
            default: break;   // detail, group and cross-tab bands are not run
            }
        }
    }

    Band* Child(const Band& band) const {
        const AnsiString& name = band.view->ChildBand;
        if (name.empty())
            return nullptr;
        for (const auto& b : bands)
            if (b->view->Name == name && b.get() != &band)
                return b.get();
        for (const auto& b : bands)
            if (sameNameIgnoringCase(b->view->Name, name) && b.get() != &band)
                return b.get();
        return nullptr;
    }
};

// What the objects get from the engine while they write themselves.
class ObjectContext final : public tmpl::PrepareContext {
public:
    ObjectContext(ReportNames& names, PrepareResult& result) : m_names(names), m_result(result) {}

    void BeforeOutput(TfrView& view, tmpl::Lines& working) override {
        m_current = &view;
        // A check box is checked by the value of its first line (its data field).
        if (dynamic_cast<tmpl::TfrCheckBoxView*>(&view) && !working.empty()
            && !core::trimBlanks(working.front()).empty()) {
            const AnsiString& line = working.front();
            working.front() = line.front() == '[' ? evaluateLine(line, m_names)
                                                  : evaluateExpression(line, m_names).toString();
        }
    }

    // Templates of this system carry no scripts that change what prints.
    void RunScript(TfrView&) override {}

    AnsiString Evaluate(const AnsiString& expression) override {
        try {
            return evaluateLine(expression, m_names);
        } catch (const std::exception& e) {
            // The barcode objects print "0" for a text that cannot be evaluated;
            // the job still learns which object it was.
            ++m_result.failedBarcodeTexts;
            if (m_result.warnings.size() < kKeptWarnings)
                m_result.warnings.push_back((m_current ? utf8(m_current->Name) + ": " : std::string()) + e.what());
            throw;
        }
    }

    AnsiString ExpandText(const AnsiString& text) override {
        const auto* memo = dynamic_cast<const tmpl::TfrMemoView*>(m_current);
        if (!memo || text == m_current->Tag)
            return expandBrackets(text, m_names, [](const Value& v) { return v.toString(); });
        return expandBrackets(text, m_names, [memo](const Value& v) {
            return formatValue(v, memo->Format, memo->FormatStr, (memo->Flags & tmpl::kHideZeros) != 0);
        });
    }

    void PlaceOnBand(TfrView& view) override {
        if (view.BandAlign == 5)
            view.Top = bandTop + bandHeight - view.Height;
        else if (view.BandAlign == 6)
            view.Top = bandTop;
    }

    int bandTop = 0;
    int bandHeight = 0;

private:
    ReportNames& m_names;
    PrepareResult& m_result;
    TfrView* m_current = nullptr;
};

struct Cancelled {};

class Preparer {
public:
    Preparer(tmpl::TfrReport& report, const PrepareSetup& setup, tmpl::TfrPreparedPages& pages, ReportNames& names,
             PrepareResult& result)
        : m_report(report), m_setup(setup), m_pages(pages), m_names(names), m_result(result),
          m_context(names, result) {}

    void Run() {
        for (const auto& page : m_report.Pages)
            if (page->Type == tmpl::ptReport)
                RunPage(*page);
        m_result.pages = static_cast<int>(m_pages.Pages.size());
    }

private:
    void RunPage(TfrPage& page) {
        PageBands bands(page);
        m_page = &page;
        m_bands = &bands;
        m_firstOfPage = true;
        StartPage();
        if (bands.title)
            PrintFullWidth(*bands.title);
        for (const MasterGroup& group : bands.groups)
            RunGroup(group);
        if (bands.summary)
            PrintFullWidth(*bands.summary);
        FinishPage(true);
        m_bands = nullptr;
        m_page = nullptr;
    }

    // --- pages -------------------------------------------------------------

    void StartPage() {
        tmpl::TfrPreparedPage& prepared = m_pages.Add(m_page->Paper());
        prepared.UseMargins = m_page->UseMargins;
        prepared.LeftMargin = m_page->LeftMargin;
        prepared.TopMargin = m_page->TopMargin;
        prepared.RightMargin = m_page->RightMargin;
        prepared.BottomMargin = m_page->BottomMargin;
        Measure(prepared);
        m_writer.emplace(tmpl::RecordForm::Prepared);
        m_writer->WriteByte(tmpl::kCurrentVersion);
        m_names.position.page = static_cast<int>(m_pages.Pages.size());
        m_pageColumn = 0;
        m_y = m_top;
        m_lowest = m_y;
        m_columnTop = m_y;
        m_pageIsFirst = m_firstOfPage;
        m_firstOfPage = false;
        if (m_bands->pageHeader && (!m_pageIsFirst || (m_bands->pageHeader->view->Flags & kOnFirstPage)))
            PrintFullWidth(*m_bands->pageHeader);
        m_columnTop = m_y;
        if (m_repeatHeader)
            PrintInColumn(*m_repeatHeader);
    }

    // The page's frame in page units: the margins, or the printer's unprintable
    // offsets where a margin is 0 or the page ignores its margins.
    void Measure(const tmpl::TfrPreparedPage& prepared) {
        const tmpl::PrintableArea& printable = prepared.Printable;
        const std::int32_t width = toUnits(prepared.PaperWidth);
        const std::int32_t height = toUnits(prepared.PaperHeight);
        const bool margins = m_page->UseMargins;
        const auto margin = [&](std::int32_t stored, std::int64_t offsetTenths) {
            return margins && stored != 0 ? stored : std::max<std::int32_t>(0, toUnits(offsetTenths));
        };
        m_left = margin(m_page->LeftMargin, printable.offsetLeft);
        m_top = margin(m_page->TopMargin, printable.offsetTop);
        const std::int32_t right =
            margin(m_page->RightMargin, std::int64_t(prepared.PaperWidth) - printable.offsetLeft - printable.width);
        const std::int32_t bottom =
            margin(m_page->BottomMargin, std::int64_t(prepared.PaperHeight) - printable.offsetTop - printable.height);
        m_bottom = height - bottom;
        m_dataBottom = m_bottom - (m_bands->pageFooter ? BandHeight(*m_bands->pageFooter) : 0);
        m_pageColumns = std::max(1, m_page->Columns);
        m_pageColumnGap = m_page->ColumnGap;
        m_pageColumnWidth = (width - right - m_left - (m_pageColumns - 1) * m_pageColumnGap) / m_pageColumns;
    }

    void FinishPage(bool last) {
        Band* footer = m_bands->pageFooter;
        if (footer && (!m_pageIsFirst || (footer->view->Flags & kOnFirstPage))
            && (!last || (footer->view->Flags & kOnLastPage)))
            EmitUnit(*footer, 0, m_bottom - BandHeight(*footer));
        if (Band* overlay = m_bands->overlay)
            EmitUnit(*overlay, 0, overlay->view->Top);
        m_pages.Pages.back().Stream = m_writer->TakeBytes();
        m_writer.reset();
    }

    void NewPage() {
        FinishPage(false);
        StartPage();
    }

    void NextColumnOrPage() {
        if (m_pageColumn + 1 < m_pageColumns) {
            ++m_pageColumn;
            m_y = m_columnTop;
        } else {
            NewPage();
        }
    }

    int ColumnOffset() const { return m_pageColumn * (m_pageColumnWidth + m_pageColumnGap); }

    // --- bands -------------------------------------------------------------

    int BandHeight(const Band& band) const { return std::max(0, band.view->Height); }

    // A band with the child bands that follow it, as printed; a chain that names
    // a band again ends there.
    template <class Visit>
    void ForChain(const Band& band, Visit visit) const {
        std::vector<const Band*> seen;
        for (const Band* b = &band; b && std::find(seen.begin(), seen.end(), b) == seen.end(); b = m_bands->Child(*b)) {
            seen.push_back(b);
            const bool shown = b->view->Visible;
            if (shown)
                visit(*b);
            if (!shown && !(b->view->Flags & kPrintChildIfInvisible))
                break;
        }
    }

    // A stretched band grows with the text objects in it that stretch: each such
    // object takes the height its evaluated text needs (never less than its
    // own), measured with the layout painting uses, and the band reaches down to
    // the lowest of them.
    struct BandMeasure {
        int height = 0;
        std::vector<std::pair<const TfrView*, int>> heights;   // stretched objects

        int HeightOf(const TfrView& view) const {
            for (const auto& [v, h] : heights)
                if (v == &view)
                    return h;
            return view.Height;
        }
    };

    BandMeasure MeasureBand(const Band& band) {
        BandMeasure measure;
        measure.height = BandHeight(band);
        if (!band.view->Stretched())
            return measure;
        for (TfrView* view : band.objects) {
            auto* memo = dynamic_cast<tmpl::TfrMemoView*>(view);
            if (!memo || !memo->Stretched() || !memo->Visible)
                continue;
            int needed = 0;
            try {
                tmpl::Lines text = memo->Memo;
                m_context.BeforeOutput(*memo, text);
                if (!(memo->Flags & tmpl::kTextOnly))
                    for (AnsiString& line : text)
                        if (line.find('[') != AnsiString::npos)
                            line = m_context.ExpandText(line);
                needed = tmpl::memoNeededHeight(*memo, text);
            } catch (const std::exception& e) {
                throw PrepareError(utf8(memo->Name) + ": " + e.what());
            }
            const int height = std::max(memo->Height, needed);
            measure.heights.emplace_back(memo, height);
            measure.height = std::max(measure.height, memo->Top - band.view->Top + height);
        }
        return measure;
    }

    int UnitHeight(const Band& band) {
        int height = 0;
        ForChain(band, [&](const Band& b) { height += MeasureBand(b).height; });
        return height;
    }

    void EmitUnit(const Band& band, int x, int y) {
        ForChain(band, [&](const Band& b) {
            const BandMeasure measure = MeasureBand(b);
            EmitBand(b, measure, x, y);
            y += measure.height;
        });
    }

    void EmitBand(const Band& band, const BandMeasure& measure, int x, int y) {
        m_context.bandTop = y;
        m_context.bandHeight = measure.height;
        for (TfrView* view : band.objects)
            EmitObject(*view, x, y - band.view->Top, measure.HeightOf(*view));
    }

    void EmitObject(TfrView& view, int dx, int dy, int height) {
        struct Keep {
            TfrView& view;
            std::int32_t left, top, width, height;
            ~Keep() {
                view.Left = left;
                view.Top = top;
                view.Width = width;
                view.Height = height;
            }
        } keep{view, view.Left, view.Top, view.Width, view.Height};
        view.Left += dx;
        view.Top += dy;
        view.Height = height;
        try {
            auto* memo = dynamic_cast<tmpl::TfrMemoView*>(&view);
            if (memo && !memo->Highlight.empty() && evaluateExpression(memo->Highlight, m_names).toBoolean()) {
                // The highlight look prints in place of the object's own.
                std::swap(memo->FontStyle, memo->HighlightStyle);
                std::swap(memo->FontColor, memo->HighlightFontColor);
                std::swap(memo->FillColor, memo->HighlightFillColor);
                struct SwapBack {
                    tmpl::TfrMemoView& m;
                    ~SwapBack() {
                        std::swap(m.FontStyle, m.HighlightStyle);
                        std::swap(m.FontColor, m.HighlightFontColor);
                        std::swap(m.FillColor, m.HighlightFillColor);
                    }
                } swapBack{*memo};
                view.EmitPrepared(m_context, *m_writer);
            } else {
                view.EmitPrepared(m_context, *m_writer);
            }
        } catch (const PrepareError&) {
            throw;
        } catch (const DatasetError& e) {
            throw PrepareError(e.what());
        } catch (const std::exception& e) {
            throw PrepareError(utf8(view.Name) + ": " + e.what());
        }
    }

    void PrintFullWidth(const Band& band) {
        const int height = UnitHeight(band);
        int y = std::max(m_y, m_lowest);
        if (y + height > m_dataBottom && y > m_columnTop) {
            NewPage();
            y = m_y;
        }
        EmitUnit(band, 0, y);
        m_y = m_lowest = y + height;
        m_columnTop = m_y;
        m_pageColumn = 0;
    }

    void PrintInColumn(const Band& band) {
        const int height = UnitHeight(band);
        if (m_y + height > m_dataBottom && m_y > m_columnTop)
            NextColumnOrPage();
        EmitUnit(band, ColumnOffset(), m_y);
        m_y += height;
        m_lowest = std::max(m_lowest, m_y);
    }

    // --- master data -------------------------------------------------------

    TfrDataset* DatasetOf(const Band& data) {
        const AnsiString source(core::trimBlanks(data.view->DataSource()));
        if (source.empty())
            return m_setup.reportDataset;
        if (std::optional<std::int64_t> count = emptyRecordCount(source)) {
            m_empty = std::make_unique<EmptyRecordsDataset>(source, *count);
            return m_empty.get();
        }
        // The dictionary's band data sources may name the dataset under another name.
        AnsiString name = source;
        for (const tmpl::DictionaryEntry& entry : m_report.Dictionary.BandDataSources)
            if (!entry.value.empty() && sameNameIgnoringCase(entry.name, source))
                name = entry.value;
        if (TfrDataset* dataset = m_names.FindDataset(name))
            return dataset;
        throw PrepareError(utf8(data.view->Name) + ": no dataset \"" + utf8(source) + "\" to run over");
    }

    void RunGroup(const MasterGroup& group) {
        Band& data = *group.data;
        TfrDataset* dataset = DatasetOf(data);
        std::optional<EmptyRecordsDataset> once;
        if (!dataset) {
            once.emplace("", 1);
            dataset = &*once;
        }
        TfrDataset* const outer = m_names.position.bandDataset;
        struct RestoreBandDataset {
            ReportNames& names;
            TfrDataset* outer;
            ~RestoreBandDataset() { names.position.bandDataset = outer; }
        } restore{m_names, outer};

        try {
            dataset->First();
        } catch (const DatasetError& e) {
            throw PrepareError(e.what());
        }
        if (dataset->Eof())
            return;
        m_names.position.bandDataset = dataset;
        if (group.header) {
            PrintInColumn(*group.header);
            if (group.header->view->Flags & kRepeatHeader)
                m_repeatHeader = group.header;
        }
        struct EndRepeat {
            Band*& header;
            ~EndRepeat() { header = nullptr; }
        } endRepeat{m_repeatHeader};

        const int columns = std::max(1, data.view->Columns);
        const int perColumn = data.view->NewColumnAfter;   // 0 or less: fill the column down
        const int columnStep = data.view->ColumnWidth + data.view->ColumnGap;
        int bandColumn = 0;
        int inColumn = 0;
        int rowTop = m_y, columnY = m_y, rowBottom = m_y;
        const auto restartRows = [&] {
            bandColumn = 0;
            inColumn = 0;
            rowTop = columnY = rowBottom = m_y;
        };

        while (!dataset->Eof()) {
            const int height = UnitHeight(data);
            while (columnY + height > m_dataBottom && columnY > m_columnTop) {
                if (inColumn > 0 && bandColumn + 1 < columns) {
                    ++bandColumn;
                    inColumn = 0;
                    columnY = rowTop;
                    continue;
                }
                m_y = rowBottom;
                NextColumnOrPage();
                restartRows();
                break;
            }
            m_names.position.line = dataset->RecNo() + 1;
            m_names.position.lineThrough = m_result.labels + 1;
            m_names.position.column = columns > 1 ? bandColumn + 1 : m_pageColumn + 1;
            EmitUnit(data, ColumnOffset() + bandColumn * columnStep, columnY);
            ++m_result.labels;
            columnY += height;
            ++inColumn;
            rowBottom = std::max(rowBottom, columnY);
            m_lowest = std::max(m_lowest, rowBottom);
            m_y = rowBottom;
            if (perColumn > 0 && inColumn >= perColumn) {
                ++bandColumn;
                inColumn = 0;
                columnY = rowTop;
                if (bandColumn >= columns) {
                    bandColumn = 0;
                    rowTop = columnY = rowBottom;
                }
            }

            if (m_setup.progress && !m_setup.progress(m_result.labels, static_cast<int>(m_pages.Pages.size())))
                throw Cancelled{};
            try {
                dataset->Next();
            } catch (const DatasetError& e) {
                throw PrepareError(e.what());
            }
            if ((data.view->Flags & kFormNewPage) && !dataset->Eof()) {
                NewPage();
                restartRows();
            }
        }
        m_y = rowBottom;
        if (group.footer)
            PrintInColumn(*group.footer);
    }

    tmpl::TfrReport& m_report;
    const PrepareSetup& m_setup;
    tmpl::TfrPreparedPages& m_pages;
    ReportNames& m_names;
    PrepareResult& m_result;
    ObjectContext m_context;

    TfrPage* m_page = nullptr;
    PageBands* m_bands = nullptr;
    std::optional<tmpl::RecordWriter> m_writer;
    std::unique_ptr<EmptyRecordsDataset> m_empty;
    Band* m_repeatHeader = nullptr;
    bool m_firstOfPage = true;   // the next page is the first of its template page
    bool m_pageIsFirst = true;   // the current page is

    // The page's frame and where the next band goes, page units.
    int m_left = 0, m_top = 0, m_bottom = 0, m_dataBottom = 0;
    int m_pageColumns = 1, m_pageColumnWidth = 0, m_pageColumnGap = 0, m_pageColumn = 0;
    int m_y = 0;           // top of the next band in the current page column
    int m_columnTop = 0;   // where the page columns start, below the page header
    int m_lowest = 0;      // the lowest band bottom on the page so far
};

} // namespace

PrepareResult prepareReport(tmpl::TfrReport& report, const PrepareSetup& setup, tmpl::TfrPreparedPages& pages) {
    pages.Pages.clear();
    ReportNames names(report, setup.onGetValue, setup.datasets, tmpl::storedNow());
    for (int pass = 0;; ++pass) {
        PrepareResult result;
        try {
            Preparer(report, setup, pages, names, result).Run();
        } catch (const Cancelled&) {
            pages.Pages.clear();
            result.cancelled = true;
            result.pages = 0;
            return result;
        } catch (...) {
            pages.Pages.clear();
            throw;
        }
        // Page numbers out of the total need the total first: a first pass counts
        // the pages, the second prints them.
        if (pass == 0 && (report.DoublePass || names.totalPagesAsked)) {
            names.position.totalPages = result.pages;
            pages.Pages.clear();
            continue;
        }
        result.built = result.pages > 0;
        return result;
    }
}

} // namespace mirel::engine
