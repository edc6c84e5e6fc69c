#pragma once

// The small arithmetic of the controls' rules.
namespace kestrova::controls {

template <class T, class Step>
void AddStep(T& variable, Step step) {
  variable = static_cast<T>(variable + step);
}

// The first when it is greater than or equal to the second, else the second.
inline double LargerOf(double first, double second) { return first >= second ? first : second; }
// The first when it is not greater than the second, else the second.
inline double SmallerOf(double first, double second) { return first <= second ? first : second; }

}  // namespace kestrova::controls
