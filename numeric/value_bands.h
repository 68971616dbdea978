// The band a value falls in among ascending edges: what the switch-like parameters' displays,
// the pickup choice of the chain and the LV2 scale points all read.
#pragma once

// How many of the edges `value` is not below, compared in double precision: values below the
// first edge fall in band 0, NaN in the last (edgeCount).
inline int bandBetween(const double* edges, int edgeCount, float value) {
  const double v = value;
  int band = 0;
  while (band < edgeCount && !(v < edges[band]))
    ++band;
  return band;
}
