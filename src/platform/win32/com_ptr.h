// One reference to a COM object, released when its holder goes.
#pragma once

#include <unknwn.h>

#include <utility>

namespace tw::win32 {

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller holds (a new object's first one).
  explicit ComPtr(T* p) : p_(p) {}
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }

  T* operator->() const { return p_; }
  [[nodiscard]] T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // For the calls that hand out a new reference through an out-parameter;
  // whatever was held is released first.
  T** put() {
    reset();
    return &p_;
  }
  // The same for the calls that take a `void**` with an interface id.
  void** put_void() { return reinterpret_cast<void**>(put()); }

  void reset() {
    if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
  }

 private:
  T* p_ = nullptr;
};

}  // namespace tw::win32
