// The five bands of the Pickup value, each with its resonance and notch (pickup_sets.h). Which
// band a value falls in is the parameter table's (params/parameters.h, kPickupBandEdges).
#pragma once

enum class PickupBand { None, HotHumbucker, Humbucker, P90, SingleCoil };
