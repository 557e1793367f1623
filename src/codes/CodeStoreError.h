#pragma once

#include <stdexcept>

namespace mirel::codes {

// A code store command that failed: the database file cannot be opened or is not
// a code store, a statement failed, an import or export file cannot be read or
// written. The message names the file and the reason; the store is unchanged.
class CodeStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace mirel::codes
