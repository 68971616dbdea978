// Lies above lower/, and includes it.
#pragma once

#include "low.h"
