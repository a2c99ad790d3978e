#include "ide/Library.h"

#include <utility>

TLibrary::TLibrary(TLibrary&& o) noexcept : handle_(std::exchange(o.handle_, nullptr)) {}

TLibrary& TLibrary::operator=(TLibrary&& o) noexcept {
  if (this != &o) {
    Close();
    handle_ = std::exchange(o.handle_, nullptr);
  }
  return *this;
}
