#pragma once
#include <windows.h>
#include <oleauto.h>

// Owners of the OLE Automation values that cross into script engines. A
// VARIANT holding a string or an array owns that memory; forgetting one
// VariantClear per call leaks on every recalculation, so nothing here is
// cleared by hand.

// A VARIANT that clears itself.
class TOleVariant {
 public:
  TOleVariant() noexcept { VariantInit(&variant_); }
  ~TOleVariant() { VariantClear(&variant_); }
  TOleVariant(const TOleVariant&) = delete;
  TOleVariant& operator=(const TOleVariant&) = delete;

  // Frees what the variant holds and leaves it VT_EMPTY.
  void clear() noexcept { VariantClear(&variant_); }
  VARIANT* get() noexcept { return &variant_; }
  const VARIANT& operator*() const noexcept { return variant_; }

 private:
  VARIANT variant_;
};

// A SAFEARRAY destroyed with its owner unless handed on (release).
class TSafeArrayOwner {
 public:
  explicit TSafeArrayOwner(SAFEARRAY* array) noexcept : array_(array) {}
  ~TSafeArrayOwner() {
    if (array_ != nullptr) SafeArrayDestroy(array_);
  }
  TSafeArrayOwner(const TSafeArrayOwner&) = delete;
  TSafeArrayOwner& operator=(const TSafeArrayOwner&) = delete;

  SAFEARRAY* get() const noexcept { return array_; }
  SAFEARRAY* release() noexcept {
    SAFEARRAY* array = array_;
    array_ = nullptr;
    return array;
  }

 private:
  SAFEARRAY* array_;
};

// The element data of a SAFEARRAY, locked for the owner's lifetime so the
// engine cannot free or resize it meanwhile. data() is nullptr when the
// array could not be locked.
class TSafeArrayData {
 public:
  explicit TSafeArrayData(SAFEARRAY* array) noexcept : array_(array) {
    if (FAILED(SafeArrayAccessData(array_, &data_))) data_ = nullptr;
  }
  ~TSafeArrayData() {
    if (data_ != nullptr) SafeArrayUnaccessData(array_);
  }
  TSafeArrayData(const TSafeArrayData&) = delete;
  TSafeArrayData& operator=(const TSafeArrayData&) = delete;

  void* data() const noexcept { return data_; }

 private:
  SAFEARRAY* array_;
  void* data_ = nullptr;
};

// An EXCEPINFO whose strings are freed with it. An engine may leave its
// texts to a deferred fill-in, which is asked for before they are read.
class TOleExceptionInfo {
 public:
  TOleExceptionInfo() noexcept = default;
  ~TOleExceptionInfo() {
    SysFreeString(info_.bstrSource);
    SysFreeString(info_.bstrDescription);
    SysFreeString(info_.bstrHelpFile);
  }
  TOleExceptionInfo(const TOleExceptionInfo&) = delete;
  TOleExceptionInfo& operator=(const TOleExceptionInfo&) = delete;

  EXCEPINFO* get() noexcept { return &info_; }
  void fillIn() noexcept {
    if (info_.pfnDeferredFillIn == nullptr) return;
    info_.pfnDeferredFillIn(&info_);
    info_.pfnDeferredFillIn = nullptr;
  }

 private:
  EXCEPINFO info_{};
};
