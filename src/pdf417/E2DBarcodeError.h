#pragma once
// The error the PDF417 generator raises for every input it cannot turn into a
// symbol. Its messages are the generator's fixed English texts ("Code too large
// for barcode", "Invalid Codeword", "GLI value out of range", ...), which label
// jobs and the designer show to the operator as they are.

#include <stdexcept>
#include <string>

namespace mirel::pdf417 {

class E2DBarcodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace mirel::pdf417
