// The symbol generator's properties, change notification, module widths, the
// pattern build's checks and the width measurement.

#include "barcode/Encoders.h"
#include "barcode/TfrBarcode.h"
#include "core/Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace mirel::barcode {
namespace {

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

// Counts OnChange calls of a generator.
struct ChangeCounter {
    int count = 0;
    explicit ChangeCounter(TfrBarcode& symbol) {
        symbol.SetOnChange([this](TfrBarcode&) { ++count; });
    }
};

TEST(Model, NewGeneratorDefaults) {
    TfrBarcode symbol;
    EXPECT_EQ(symbol.Height(), 0);
    EXPECT_EQ(symbol.Text(), "");
    EXPECT_EQ(symbol.Top(), 0);
    EXPECT_EQ(symbol.Left(), 0);
    EXPECT_EQ(symbol.Modul(), 1);
    EXPECT_EQ(symbol.Ratio(), 2.0);
    EXPECT_EQ(symbol.Typ(), bcCodeEAN13);
    EXPECT_FALSE(symbol.Checksum());
    EXPECT_EQ(symbol.CheckSumMethod(), csmModulo10);
    EXPECT_EQ(symbol.Angle(), 0.0);
    EXPECT_EQ(symbol.Color(), 0xFFFFFFu);
    EXPECT_EQ(symbol.ColorBar(), 0u);
    // EAN-13 with an empty text: 95 modules.
    EXPECT_EQ(symbol.Width(), 95);
    EXPECT_EQ(symbol.Text(), "0000000000000");
}

TEST(Model, NotifyingPropertiesFireOnceOnChangeAndNotOnEqualValues) {
    struct Setter {
        const char* name;
        std::function<void(TfrBarcode&)> set;
    };
    const Setter setters[] = {
        {"Height", [](TfrBarcode& s) { s.SetHeight(40); }},
        {"Text", [](TfrBarcode& s) { s.SetText("123"); }},
        {"Top", [](TfrBarcode& s) { s.SetTop(5); }},
        {"Left", [](TfrBarcode& s) { s.SetLeft(7); }},
        {"Modul", [](TfrBarcode& s) { s.SetModul(3); }},
        {"Ratio", [](TfrBarcode& s) { s.SetRatio(2.5); }},
        {"Typ", [](TfrBarcode& s) { s.SetTyp(bcCode39); }},
        {"Checksum", [](TfrBarcode& s) { s.SetChecksum(true); }},
        {"Angle", [](TfrBarcode& s) { s.SetAngle(90); }},
    };
    for (const Setter& setter : setters) {
        TfrBarcode symbol;
        int changes = 0;
        TfrBarcode* sender = nullptr;
        symbol.SetOnChange([&](TfrBarcode& s) {
            sender = &s;
            ++changes;
        });
        setter.set(symbol);
        EXPECT_EQ(changes, 1) << setter.name;
        EXPECT_EQ(sender, &symbol) << setter.name;
        setter.set(symbol);
        EXPECT_EQ(changes, 1) << setter.name << " set again to the same value";
    }

    // Stored without notification.
    TfrBarcode symbol;
    ChangeCounter changes(symbol);
    symbol.SetColor(0x0000FF);
    symbol.SetColorBar(0x00FF00);
    symbol.SetCheckSumMethod(csmNone);
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(symbol.Color(), 0x0000FFu);
    EXPECT_EQ(symbol.ColorBar(), 0x00FF00u);
    EXPECT_EQ(symbol.CheckSumMethod(), csmNone);
}

TEST(Model, ChangedIsTheVirtualBehindTheNotification) {
    struct Counting : TfrBarcode {
        int changes = 0;
        void Changed() override {
            ++changes;
            TfrBarcode::Changed();
        }
    };
    Counting symbol;
    int handlerCalls = 0;
    symbol.SetOnChange([&](TfrBarcode&) { ++handlerCalls; });
    symbol.SetHeight(10);
    symbol.SetText("1");
    EXPECT_EQ(symbol.changes, 2);
    EXPECT_EQ(handlerCalls, 2);
}

TEST(Model, ModulOutsideOneTo49IsIgnored) {
    TfrBarcode symbol;
    ChangeCounter changes(symbol);
    symbol.SetModul(0);
    symbol.SetModul(50);
    symbol.SetModul(-3);
    EXPECT_EQ(symbol.Modul(), 1);
    EXPECT_EQ(changes.count, 0);
    symbol.SetModul(49);
    EXPECT_EQ(symbol.Modul(), 49);
    symbol.SetModul(2);
    EXPECT_EQ(changes.count, 2);
    // Every width doubles: EAN-13 becomes 190 wide.
    EXPECT_EQ(symbol.Width(), 190);
}

TEST(Model, RatioLimitsBySymbology) {
    struct Case {
        TfrBarcodeType type;
        const char* text;
        double ratio;
        double corrected;
    };
    // Matrix 2-of-5 keeps 2.25..3.0; the other wide/narrow symbologies 2.0..3.0;
    // Code 128, Code 93, MSI and PostNet have no limit.
    const Case cases[] = {
        {bcCode39, "A", 1.5, 2.0},           {bcCode39, "A", 3.5, 3.0},
        {bcCode39Extended, "a", 1.0, 2.0},   {bcCode_2_5_matrix, "1", 2.0, 2.25},
        {bcCode_2_5_matrix, "1", 3.1, 3.0},  {bcCode_2_5_interleaved, "12", 1.9, 2.0},
        {bcCode_2_5_industrial, "1", 4.0, 3.0}, {bcCodeCodabar, "1", 1.0, 2.0},
        {bcCodeEAN8, "1", 1.0, 2.0},         {bcCodeEAN13, "1", 3.5, 3.0},
        {bcCodeUPC_A, "1", 1.0, 2.0},        {bcCodeUPC_E0, "1", 1.0, 2.0},
        {bcCodeUPC_E1, "1", 1.0, 2.0},       {bcCodeUPC_Supp2, "1", 1.0, 2.0},
        {bcCodeUPC_Supp5, "1", 9.0, 3.0},    {bcCode39, "A", 2.5, 2.5},
        {bcCode128A, "A", 1.0, 1.0},         {bcCode128B, "A", 5.0, 5.0},
        {bcCode128C, "12", 1.0, 1.0},        {bcCode93, "A", 1.0, 1.0},
        {bcCode93Extended, "a", 9.0, 9.0},   {bcCodeMSI, "1", 1.0, 1.0},
        {bcCodePostNet, "1", 1.0, 1.0},      {bcCodeEAN128A, "A", 1.0, 1.0},
        {bcCodeEAN128B, "A", 1.0, 1.0},      {bcCodeEAN128C, "12", 7.0, 7.0},
    };
    for (const Case& c : cases) {
        TfrBarcode symbol;
        symbol.SetTyp(c.type);
        symbol.SetText(c.text);
        symbol.SetRatio(c.ratio);
        ChangeCounter changes(symbol);
        symbol.MakePattern();
        EXPECT_EQ(symbol.Ratio(), c.corrected) << typeInfo(c.type).name << " " << c.ratio;
        EXPECT_EQ(changes.count, c.ratio == c.corrected ? 0 : 1) << typeInfo(c.type).name;
    }
}

TEST(Model, ModuleWidthsFollowModulAndRatio) {
    struct Case {
        TfrBarcodeType type;
        int modul;
        double ratio;
        std::array<int, 4> widths;
    };
    // W1 = Modul x Ratio rounded half to even, W2 = W1 x 3 / 2 truncated, W3 = 2 W1.
    const Case cases[] = {
        {bcCodeEAN13, 1, 2.0, {1, 2, 3, 4}},
        {bcCode_2_5_matrix, 1, 2.0, {1, 2, 3, 4}},   // 2.25 -> 2
        {bcCode_2_5_matrix, 2, 2.0, {2, 4, 6, 8}},   // 4.5 -> 4
        {bcCode128B, 1, 2.6, {1, 3, 4, 6}},           // no limit: 1:3:4:6
        {bcCode39, 3, 2.5, {3, 8, 12, 16}},           // 7.5 -> 8
        {bcCode39, 1, 2.5, {1, 2, 3, 4}},             // 2.5 -> 2
        {bcCode39, 1, 3.0, {1, 3, 4, 6}},
    };
    for (const Case& c : cases) {
        TfrBarcode symbol;
        symbol.SetTyp(c.type);
        symbol.SetText("1");
        symbol.SetModul(c.modul);
        symbol.SetRatio(c.ratio);
        symbol.MakePattern();
        EXPECT_EQ(symbol.Modules(), c.widths) << typeInfo(c.type).name << " " << c.modul << " " << c.ratio;
    }
}

TEST(Model, ARatioBeyondAnyMeaningfulWidthIsRefused) {
    for (const double ratio : {1e9, -1e9, std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity()}) {
        TfrBarcode symbol;
        symbol.SetTyp(bcCode128B);
        symbol.SetText("A");
        symbol.SetRatio(ratio);
        EXPECT_NE(errorOf([&] { symbol.MakePattern(); }).find("TfrBarcode: Ratio"), std::string::npos) << ratio;
    }
}

TEST(Model, NumericSymbologiesTrimTheTextAndRefuseOtherCharacters) {
    TfrBarcode symbol;
    symbol.SetText(" 123 ");
    ChangeCounter changes(symbol);
    symbol.MakePattern();
    // Trimmed to "123" (no notification), then padded to 13 digits by EAN-13.
    EXPECT_EQ(symbol.Text(), "0000000000123");
    EXPECT_EQ(changes.count, 0);

    symbol.SetText(" 12a\t");
    EXPECT_EQ(errorOf([&] { symbol.MakePattern(); }), "Barcode must be numeric");
    EXPECT_EQ(symbol.Text(), "12a");   // the trimming stays

    for (const TfrBarcodeType type : {bcCode_2_5_interleaved, bcCode_2_5_industrial, bcCode_2_5_matrix, bcCode128C,
                                      bcCodeMSI, bcCodePostNet, bcCodeEAN8, bcCodeUPC_A, bcCodeUPC_E0, bcCodeUPC_E1,
                                      bcCodeUPC_Supp2, bcCodeUPC_Supp5, bcCodeEAN128C}) {
        for (const char* text : {"12.5", "-3", "1e5", "\xD6\xD0"}) {
            TfrBarcode other;
            other.SetTyp(type);
            other.SetText(text);
            EXPECT_EQ(errorOf([&] { other.MakePattern(); }), "Barcode must be numeric") << typeInfo(type).name << text;
        }
    }
}

TEST(Model, AStoredTypeAbove22IsRefused) {
    TfrBarcode symbol;
    symbol.SetTyp(static_cast<TfrBarcodeType>(23));
    EXPECT_EQ(errorOf([&] { symbol.MakePattern(); }), "TfrBarcode: wrong BarcodeType");
    symbol.SetTyp(static_cast<TfrBarcodeType>(255));
    EXPECT_EQ(errorOf([&] { symbol.Width(); }), "TfrBarcode: wrong BarcodeType");
}

TEST(Model, RepeatedBuildsGiveTheSamePatternAndText) {
    struct Case {
        TfrBarcodeType type;
        const char* text;
        bool checksum;
        const char* shown;
    };
    const Case cases[] = {
        {bcCodeEAN13, "690123456789", true, "6901234567892"},
        {bcCodeUPC_A, "03600029145", true, "003600029143"},
        {bcCodeUPC_E0, "123456", true, "0123457"},
        {bcCodeUPC_Supp2, "12", true, "125"},
        {bcCodeUPC_Supp5, "52495", true, "524951"},
        {bcCodeEAN128C, "1234", true, "012348"},
        {bcCodeEAN128B, "1234", true, "12348"},
        {bcCode128C, "12345", false, "012345"},
        {bcCode_2_5_interleaved, "123", false, "0123"},
        {bcCode39Extended, "ab", true, "ab"},
    };
    for (const Case& c : cases) {
        TfrBarcode symbol;
        symbol.SetTyp(c.type);
        symbol.SetText(c.text);
        symbol.SetChecksum(c.checksum);
        const std::string first = symbol.MakePattern();
        EXPECT_EQ(symbol.Text(), c.shown) << typeInfo(c.type).name;
        ChangeCounter changes(symbol);
        EXPECT_EQ(symbol.MakePattern(), first) << typeInfo(c.type).name;
        EXPECT_EQ(symbol.Width(), symbol.PatternWidth(first));
        EXPECT_EQ(symbol.Text(), c.shown) << typeInfo(c.type).name;
        EXPECT_EQ(changes.count, 0);
        // Assigning the shown text back changes nothing either.
        symbol.SetText(c.shown);
        EXPECT_EQ(symbol.MakePattern(), first) << typeInfo(c.type).name;
        EXPECT_EQ(symbol.Text(), c.shown) << typeInfo(c.type).name;
    }
}

TEST(Model, WidthWriteChoosesTheModul) {
    TfrBarcode symbol;   // EAN-13, 95 modules
    symbol.SetWidth(190);
    EXPECT_EQ(symbol.Modul(), 2);
    symbol.SetWidth(10);   // 2 x 10 / 190 = 0: ignored
    EXPECT_EQ(symbol.Modul(), 2);
    symbol.SetWidth(300);   // 2 x 300 / 190 = 3
    EXPECT_EQ(symbol.Modul(), 3);
    symbol.SetWidth(100000);   // above 49: ignored
    EXPECT_EQ(symbol.Modul(), 3);

    TfrBarcode fresh;
    fresh.SetWidth(10);
    EXPECT_EQ(fresh.Modul(), 1);
}

TEST(Model, ElementInfoOfEveryCode) {
    TfrBarcode symbol;
    symbol.SetTyp(bcCode128B);
    symbol.SetRatio(2.6);
    symbol.MakePattern();   // widths 1, 3, 4, 6
    struct Case {
        char code;
        int width;
        ElementKind kind;
    };
    const Case cases[] = {
        {'0', 1, ElementKind::Space}, {'1', 3, ElementKind::Space}, {'2', 4, ElementKind::Space},
        {'3', 6, ElementKind::Space}, {'5', 1, ElementKind::Bar},   {'6', 3, ElementKind::Bar},
        {'7', 4, ElementKind::Bar},   {'8', 6, ElementKind::Bar},   {'A', 1, ElementKind::ShortBar},
        {'B', 3, ElementKind::ShortBar}, {'C', 4, ElementKind::ShortBar}, {'D', 6, ElementKind::ShortBar},
    };
    for (const Case& c : cases) {
        const ElementWidth info = symbol.ElementInfo(c.code);
        EXPECT_EQ(info.width, c.width) << c.code;
        EXPECT_EQ(info.kind, c.kind) << c.code;
    }
    for (const char code : {'4', '9', 'E', 'a', ' ', '\0'})
        EXPECT_EQ(errorOf([&] { symbol.ElementInfo(code); }), "TfrBarcode: internal Error") << int(code);
}

TEST(Model, TypeTableNamesAndNumericFlags) {
    EXPECT_EQ(kBarcodeTypes.size(), 23u);
    EXPECT_EQ(typeFromName("EAN13"), bcCodeEAN13);
    EXPECT_EQ(typeFromName("Code128B"), bcCode128B);
    EXPECT_EQ(typeFromName("UPC Supp2"), bcCodeUPC_Supp2);
    EXPECT_EQ(typeFromName("Codebar"), bcCodeCodabar);
    EXPECT_EQ(typeFromName("UPC_A"), bcCodeUPC_A);
    EXPECT_EQ(typeFromName("2_5_interleaved"), bcCode_2_5_interleaved);
    EXPECT_EQ(typeFromName("Code93 Extended"), bcCode93Extended);
    EXPECT_EQ(typeFromName("EAN128C"), bcCodeEAN128C);
    EXPECT_FALSE(typeFromName("Codabar"));
    EXPECT_FALSE(typeFromName("ean13"));
    EXPECT_FALSE(typeFromName("UPC_Supp2"));
    int numeric = 0;
    for (const auto& row : kBarcodeTypes)
        numeric += row.numericOnly;
    // Code 39 and 93 (both forms), Code 128 A/B, Codabar and EAN-128 A/B hold letters.
    EXPECT_EQ(numeric, 14);
    for (const TfrBarcodeType letters : {bcCode39, bcCode39Extended, bcCode128A, bcCode128B, bcCode93,
                                         bcCode93Extended, bcCodeCodabar, bcCodeEAN128A, bcCodeEAN128B})
        EXPECT_FALSE(typeInfo(letters).numericOnly) << typeInfo(letters).name;
}

} // namespace
} // namespace mirel::barcode
