#include "core/ui/utilities.h"

namespace kestrova::ui {

std::int16_t RandomInteger(std::int16_t low, std::int16_t high, std::mt19937& generator) {
  if (high < low) std::swap(low, high);
  std::uniform_int_distribution<int> pick(low, high);
  return static_cast<std::int16_t>(pick(generator));
}

std::int16_t RandomInteger(std::int16_t low, std::int16_t high) {
  thread_local std::mt19937 generator = [] {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device()};
    return std::mt19937(seed);
  }();
  return RandomInteger(low, high, generator);
}

}  // namespace kestrova::ui
