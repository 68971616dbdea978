// The five bands of the Pickup value and the edges between them. The processing chooses its
// resonance and notch by band, and the parameter display names the same bands.
#pragma once

enum class PickupBand { None, HotHumbucker, Humbucker, P90, SingleCoil };

// The edges are double-precision constants compared with the value widened to double, so 0.2f
// (a little above the double 0.2) already counts as "Hot HB".
constexpr double kPickupBandEdges[] = {0.2, 0.4, 0.6, 0.8};
constexpr int kPickupBandEdgeCount = 4;

// The band of `value` among ascending `edges`: how many edges it is not below. Values below the
// first edge fall in band 0, NaN in the last.
inline int bandBetween(const double* edges, int edgeCount, float value) {
  const double v = value;
  int band = 0;
  while (band < edgeCount && !(v < edges[band]))
    ++band;
  return band;
}

// Values below 0 fall in None, values above 1 and NaN in SingleCoil.
inline PickupBand pickupBandOf(float pickup) {
  return static_cast<PickupBand>(bandBetween(kPickupBandEdges, kPickupBandEdgeCount, pickup));
}
