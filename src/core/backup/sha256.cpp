#include "core/backup/sha256.h"

#include <openssl/evp.h>

#include <new>

namespace kestrova::backup {

struct Sha256::State {
  EVP_MD_CTX* context = nullptr;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  state_->context = EVP_MD_CTX_new();
  if (!state_->context || EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr) != 1) throw std::bad_alloc();
}

Sha256::~Sha256() {
  if (state_) EVP_MD_CTX_free(state_->context);
}

Sha256::Sha256(Sha256&& other) noexcept = default;
Sha256& Sha256::operator=(Sha256&& other) noexcept {
  if (this != &other) {
    if (state_) EVP_MD_CTX_free(state_->context);
    state_ = std::move(other.state_);
  }
  return *this;
}

void Sha256::Update(const char* data, std::size_t size) {
  if (size > 0) EVP_DigestUpdate(state_->context, data, size);
}

Sha256 Sha256::Clone() const {
  Sha256 copy;
  if (EVP_MD_CTX_copy_ex(copy.state_->context, state_->context) != 1) throw std::bad_alloc();
  return copy;
}

Digest Sha256::Final() {
  Digest digest{};
  unsigned int length = 0;
  EVP_DigestFinal_ex(state_->context, digest.data(), &length);
  EVP_DigestInit_ex(state_->context, EVP_sha256(), nullptr);
  return digest;
}

}  // namespace kestrova::backup
