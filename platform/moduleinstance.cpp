#include "moduleinstance.h"

void* moduleInstance = nullptr;
