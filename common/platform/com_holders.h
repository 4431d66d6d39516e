#pragma once
// Owners for COM interface references, BSTRs and VARIANTs, so every early return releases them.
#include <windows.h>
#include <oleauto.h>

#include <comdef.h>

#include <string>

// Holds one reference to a COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(T* pointer) : pointer_(pointer) {}
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : pointer_(other.pointer_) { other.pointer_ = nullptr; }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = other.pointer_;
      other.pointer_ = nullptr;
    }
    return *this;
  }

  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  // Releases the held reference and gives the slot to a call that returns a new one.
  T** out() {
    reset();
    return &pointer_;
  }
  void reset() {
    if (pointer_ != nullptr) {
      T* old = pointer_;
      pointer_ = nullptr;
      old->Release();
    }
  }

 private:
  T* pointer_ = nullptr;
};

// Owns one BSTR; a failed allocation raises _com_error(E_OUTOFMEMORY) like the COM support types.
class ScopedBstr {
 public:
  explicit ScopedBstr(const std::wstring& text)
      : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (bstr_ == nullptr) _com_issue_error(E_OUTOFMEMORY);
  }
  ~ScopedBstr() { SysFreeString(bstr_); }
  ScopedBstr(const ScopedBstr&) = delete;
  ScopedBstr& operator=(const ScopedBstr&) = delete;
  BSTR get() const { return bstr_; }

 private:
  BSTR bstr_;
};

// A VARIANT cleared when it goes out of scope.
class ScopedVariant {
 public:
  ScopedVariant() { VariantInit(&value_); }
  ~ScopedVariant() { VariantClear(&value_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  VARIANT* get() { return &value_; }
  const VARIANT& value() const { return value_; }

 private:
  VARIANT value_;
};
