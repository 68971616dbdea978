// Lies below upper/ but includes it: an edge the list does not allow, though no circle.
#pragma once

#include "high.h"
