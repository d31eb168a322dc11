#pragma once

#include "fakes/fakes.h"

namespace quellgate::qt::testing {

// What the application's event barrier noted.
fakes::RecordedNotes& Notes();

}  // namespace quellgate::qt::testing
