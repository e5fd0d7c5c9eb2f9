#pragma once

#include "Constants.h"

namespace gustrule {

// The shared constants as the programs' creation step sets them.
SharedConstants Standard();

} // namespace gustrule
