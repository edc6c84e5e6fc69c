#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace kestrova::users {

// A whole number from low to high, both included, drawn from a generator
// seeded once per process (drawing twice in the same clock tick still gives
// independent numbers).
std::int16_t RandomInteger(std::int16_t low, std::int16_t high);
// The same from a generator the caller owns (tests seed it).
std::int16_t RandomInteger(std::int16_t low, std::int16_t high, std::mt19937& generator);

// 4 to 8 ASCII letters and digits, after trimming blanks.
bool IsValidPassword(std::string_view text);

// The stored form: each character of the trimmed password preceded by a
// random letter or digit, so the same password is stored differently each time.
std::string EncodePassword(std::string_view password);
std::string EncodePassword(std::string_view password, std::mt19937& generator);

// The characters at even positions of the trimmed stored form.
std::string DecodePassword(std::string_view stored);

// The typed text, as it stands (not trimmed, case counts), against a stored form.
bool PasswordMatches(std::string_view stored, std::string_view typed);

}  // namespace kestrova::users
