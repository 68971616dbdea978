// Strict text-to-number conversions for command-line values: the whole text must be the number.
#pragma once

#include <optional>
#include <string>

// A finite float written in decimal or exponent notation ("0.25", "-1", "1e-3"); nothing else.
std::optional<float> parseFloat(const std::string& text);

// A finite double, same rules as parseFloat.
std::optional<double> parseDouble(const std::string& text);

// A whole decimal number, optionally signed, that fits a long.
std::optional<long> parseWholeNumber(const std::string& text);

// The shortest decimal text that reads back as exactly the same float (0.6f gives "0.6").
std::string shortestFloatText(float value);
