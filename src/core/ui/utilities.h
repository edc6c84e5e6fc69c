#pragma once

#include <cstdint>
#include <random>

namespace kestrova::ui {

// A whole number from low to high, both included, drawn from a generator
// seeded once per process (drawing twice in the same clock tick still gives
// independent numbers).
std::int16_t RandomInteger(std::int16_t low, std::int16_t high);
// The same from a generator the caller owns (tests seed it).
std::int16_t RandomInteger(std::int16_t low, std::int16_t high, std::mt19937& generator);

template <class T, class Step>
void AddStep(T& variable, Step step) {
  variable = static_cast<T>(variable + step);
}

// The first when it is greater than or equal to the second, else the second.
inline double LargerOf(double first, double second) { return first >= second ? first : second; }
// The first when it is not greater than the second, else the second.
inline double SmallerOf(double first, double second) { return first <= second ? first : second; }

}  // namespace kestrova::ui
