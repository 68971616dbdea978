// The module handle of the loaded plug-in library. On Windows the load notification stores
// the library's HINSTANCE here and the toolkit loads the panel pictures from the library's
// resources through it. On Linux it stays null: the pictures come from a table compiled into
// the library.
#pragma once

extern void* moduleInstance;
