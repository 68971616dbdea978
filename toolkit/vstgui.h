// Everything the editor uses from the toolkit.
#pragma once

#include "canimknob.h"
#include "cbitmap.h"
#include "cframe.h"
#include "conoffbutton.h"
#include "cverticalswitch.h"
#include "vstguieditorinterface.h"
