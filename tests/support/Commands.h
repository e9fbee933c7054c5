#pragma once

#include "store/Codes.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace kivo::test {

// The command of an identifier (cmdStop ..), for programs written by name.
inline const Command& command(std::string_view identifier) {
  for (const Command& c : commandTable())
    if (identifier == c.identifier) return c;
  throw std::invalid_argument("no command " + std::string(identifier));
}

inline int commandCode(std::string_view identifier) { return command(identifier).code; }

}  // namespace kivo::test
