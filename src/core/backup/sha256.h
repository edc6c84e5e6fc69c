#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

// SHA-256 from OpenSSL's libcrypto, fed in pieces.
namespace kestrova::backup {

using Digest = std::array<std::uint8_t, 32>;

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(Sha256&& other) noexcept;
  Sha256& operator=(Sha256&& other) noexcept;
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Update(const char* data, std::size_t size);
  // Another hash that has been fed what this one has.
  Sha256 Clone() const;
  // The digest of everything fed so far; the hash starts again empty.
  Digest Final();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kestrova::backup
