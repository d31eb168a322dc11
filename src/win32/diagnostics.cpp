#include "win32/diagnostics.h"

#include <string>

#include "win32/wide.h"
#include "win32/windows_api.h"

namespace quellgate::win32 {

void NoteFault(std::string_view what) noexcept {
    try {
        OutputDebugStringW(Wide("Quellgate: " + std::string(what) + "\n").c_str());
    } catch (...) {  // no memory for the note: it is lost, nothing else
    }
}

}  // namespace quellgate::win32
