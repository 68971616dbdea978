// Lies below upper/, but includes it back: the circle the check must find.
#pragma once

#include "high.h"
