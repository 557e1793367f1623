#pragma once
// The functions of the expression language (their list is in Expression.h).

#include "engine/Value.h"

#include <optional>
#include <span>
#include <string_view>

namespace mirel::engine {

struct Function {
    const char* name;   // upper case
    int minArguments;
    int maxArguments;   // -1: any number
    // nullptr for IF, which the parser turns into jumps so that only the chosen
    // branch is computed. Throws ValueError for arguments it cannot use.
    Value (*call)(std::span<Value> arguments);
};

// Looks a function up by name, ignoring ASCII letter case; nullptr when unknown.
const Function* findFunction(std::string_view name);

// The value a bare name has when the resolver does not know it: DATE, TIME, NOW,
// TRUE, FALSE (any letter case); nullopt for every other name.
std::optional<Value> builtinName(std::string_view name);

} // namespace mirel::engine
