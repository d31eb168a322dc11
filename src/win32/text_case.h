#pragma once

#include "platform/text_case.h"

namespace quellgate::win32 {

// The user locale's lower case, as LCMapStringEx gives it.
class WinTextCase : public TextCase {
public:
    std::string LowerCase(std::string_view text) const override;
};

}  // namespace quellgate::win32
