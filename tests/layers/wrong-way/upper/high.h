// Lies above lower/ and includes nothing: no circle anywhere.
#pragma once
