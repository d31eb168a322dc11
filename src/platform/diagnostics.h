#pragma once

#include <string_view>

namespace quellgate {

// Where a fault the program survived is noted for whoever debugs it; the
// user is never shown these.
class Diagnostics {
public:
    virtual ~Diagnostics() = default;
    virtual void Note(std::string_view what) = 0;
};

}  // namespace quellgate
