#include "core/users/passwords.h"

#include <utility>

#include "core/text/fixed_text.h"

namespace kestrova::users {
namespace {

bool IsLetterOrDigit(int c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

template <class Draw>
std::string Encode(std::string_view password, Draw draw) {
  const std::string_view trimmed = text::Trim(password);
  std::string stored;
  stored.reserve(trimmed.size() * 2);
  for (char c : trimmed) {
    int filler = 0;
    do {
      filler = draw();
    } while (!IsLetterOrDigit(filler));
    stored.push_back(static_cast<char>(filler));
    stored.push_back(c);
  }
  return stored;
}

}  // namespace

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

bool IsValidPassword(std::string_view text) {
  const std::string_view trimmed = text::Trim(text);
  if (trimmed.size() < 4 || trimmed.size() > 8) return false;
  for (char c : trimmed) {
    if (!IsLetterOrDigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string EncodePassword(std::string_view password) {
  return Encode(password, [] { return RandomInteger(48, 122); });
}

std::string EncodePassword(std::string_view password, std::mt19937& generator) {
  return Encode(password, [&] { return RandomInteger(48, 122, generator); });
}

std::string DecodePassword(std::string_view stored) {
  const std::string_view trimmed = text::Trim(stored);
  std::string password;
  for (std::size_t i = 1; i < trimmed.size(); i += 2) password.push_back(trimmed[i]);
  return password;
}

bool PasswordMatches(std::string_view stored, std::string_view typed) { return DecodePassword(stored) == typed; }

}  // namespace kestrova::users
