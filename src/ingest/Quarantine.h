#pragma once

// The quarantine is part of the product vocabulary; this header remains until
// its last includer here names product/Quarantine.h.
#include "product/Quarantine.h"
