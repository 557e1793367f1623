// zint as a second oracle, for symbologies zxing-cpp does not read: the module
// row zint encodes for the same data must be ours, module for module.

#include "BarcodeTestSupport.h"

#include <gtest/gtest.h>

#include <zint.h>

#include <memory>
#include <string>

namespace mirel::barcode {
namespace {

// zint's first row of modules as '1' bar / '0' space.
std::string zintModules(int symbology, const std::string& data, int option2 = 0) {
    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    symbol->symbology = symbology;
    symbol->option_2 = option2;
    const int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                   static_cast<int>(data.size()));
    if (rc >= ZINT_ERROR)
        return std::string("zint error: ") + symbol->errtxt;
    std::string modules;
    for (int x = 0; x < symbol->width; ++x)
        modules += (symbol->encoded_data[0][x >> 3] >> (x & 7)) & 1 ? '1' : '0';
    return modules;
}

struct ZintCase {
    TfrBarcodeType type;
    const char* text;
    bool checksum;
    double ratio;   // ours, so that wide elements are as wide as zint's
    int symbology;
    const char* zintData;
    int option2;
};

constexpr ZintCase kCases[] = {
    // MSI with its modulo-10 check digit (zint option 1), wide = 2 modules.
    {bcCodeMSI, "1234", false, 2.0, BARCODE_MSI_PLESSEY, "1234", 1},
    {bcCodeMSI, "80523", false, 2.0, BARCODE_MSI_PLESSEY, "80523", 1},
    {bcCodeMSI, "7", false, 2.0, BARCODE_MSI_PLESSEY, "7", 1},
    {bcCodeMSI, "1234567890123456789012345678901234567890", false, 2.0, BARCODE_MSI_PLESSEY,
     "1234567890123456789012345678901234567890", 1},
    {bcCodeMSI, "99999999999999999999999", false, 2.0, BARCODE_MSI_PLESSEY, "99999999999999999999999", 1},
    // 2-of-5 industrial and matrix, wide = 3 modules.
    {bcCode_2_5_industrial, "12", false, 3.0, BARCODE_C25IND, "12", 0},
    {bcCode_2_5_industrial, "1234567890", false, 3.0, BARCODE_C25IND, "1234567890", 0},
    {bcCode_2_5_matrix, "1", false, 3.0, BARCODE_C25STANDARD, "1", 0},
    {bcCode_2_5_matrix, "1234567890", false, 3.0, BARCODE_C25STANDARD, "1234567890", 0},
    // The add-ons alone.
    {bcCodeUPC_Supp2, "12", true, 2.0, BARCODE_EANX, "12", 0},
    {bcCodeUPC_Supp2, "07", false, 2.0, BARCODE_EANX, "07", 0},
    {bcCodeUPC_Supp2, "98", false, 2.0, BARCODE_EANX, "98", 0},
    {bcCodeUPC_Supp5, "52495", true, 2.0, BARCODE_EANX, "52495", 0},
    {bcCodeUPC_Supp5, "12345", false, 2.0, BARCODE_EANX, "12345", 0},
    {bcCodeUPC_Supp5, "90000", false, 2.0, BARCODE_EANX, "90000", 0},
    // UPC-E: zint takes number system and six digits and computes the check digit
    // over the expanded number.
    {bcCodeUPC_E0, "4252610", true, 2.0, BARCODE_UPCE, "0425261", 0},
    {bcCodeUPC_E1, "4252610", true, 2.0, BARCODE_UPCE, "1425261", 0},
    {bcCodeUPC_E0, "1234560", true, 2.0, BARCODE_UPCE, "0123456", 0},
    {bcCodeUPC_E1, "6543210", true, 2.0, BARCODE_UPCE, "1654321", 0},
};

TEST(Zint, SameModulesAsZint) {
    for (const ZintCase& c : kCases) {
        TfrBarcode symbol;
        test::setUp(symbol, c.type, c.text, c.checksum);
        symbol.SetRatio(c.ratio);
        const std::string ours = test::moduleString(symbol, symbol.MakePattern());
        const std::string theirs = zintModules(c.symbology, c.zintData, c.option2);
        // zint leaves out the narrow space some symbologies end with.
        ASSERT_LE(theirs.size(), ours.size()) << c.text << ": " << theirs;
        EXPECT_EQ(ours.substr(0, theirs.size()), theirs) << typeInfo(c.type).name << " " << c.text;
        EXPECT_EQ(ours.find('1', theirs.size()), std::string::npos) << typeInfo(c.type).name << " " << c.text;
    }
}

} // namespace
} // namespace mirel::barcode
