#pragma once

#include <string>
#include <string_view>

namespace quellgate {

// The platform's locale-aware lower-casing of UTF-8 text.
class TextCase {
public:
    virtual ~TextCase() = default;
    virtual std::string LowerCase(std::string_view text) const = 0;
};

}  // namespace quellgate
