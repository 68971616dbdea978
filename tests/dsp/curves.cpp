#include "curves.h"

float kneePower(float x) {
  return portable::powf(1.8f, x);
}
