#pragma once

// Sets a flag for the length of a scope and gives it back its former value
// on every way out, so that a call made while it is set, nested or
// throwing, leaves it as it was before.
class TFlagRestorer {
 public:
  TFlagRestorer(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~TFlagRestorer() { flag_ = saved_; }
  TFlagRestorer(const TFlagRestorer&) = delete;
  TFlagRestorer& operator=(const TFlagRestorer&) = delete;

 private:
  bool& flag_;
  bool saved_;
};
