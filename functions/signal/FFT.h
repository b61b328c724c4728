#pragma once
#include <span>
#include <vector>

// A complex value in extended precision.
struct TComplex {
  long double re = 0;
  long double im = 0;
};

// In-place radix-2 fast Fourier transform of one fixed power-of-two size.
// The rotation factors are computed once, when the object is made, and a
// transform object serves any number of transforms of its size.
class Tfft {
 public:
  // A size that is not a power of two >= 2, or a failed allocation of the
  // rotation tables, leaves the object unusable (valid() false, size() 0);
  // it never raises.
  explicit Tfft(int n);

  bool valid() const { return valid_; }
  int size() const { return size_; }
  int half() const { return half_; }
  int stages() const { return stages_; }
  // Entry k is e^(-i pi / 2^k), the unit step of the stage whose butterflies
  // span 2^k points.
  const std::vector<TComplex>& rotations() const { return rotations_; }

  // Forward transform in place, X[k] = sum of x[j] e^(-2 pi i j k / n), not
  // scaled. Raises ERangeError on an unusable object or when data does not
  // hold exactly size() values.
  void transform(std::span<TComplex> data) const;
  // Multiplies every value by 1 / divisor; a divisor <= 0 leaves data as it is.
  void scale(std::span<TComplex> data, long double divisor) const;
  // Replaces every (re, im) by (magnitude, phase), the phase in (-pi, pi].
  void toPolar(std::span<TComplex> data) const;

 private:
  int size_ = 0;
  int half_ = 0;
  int stages_ = 0;
  bool valid_ = false;
  std::vector<TComplex> rotations_;
  // The factors each stage uses, laid out at [h, 2h) for the stage of span h,
  // advanced from that stage's rotation by repeated multiplication.
  std::vector<TComplex> stageFactors_;
};

// Spectrum of a real series: zero-padded to the next power of two N, then
// transformed and scaled by 1 / N. The result holds N / 2 + 1 rows of three
// values: (real, imaginary, angular frequency) or, when polar,
// (magnitude, phase, angular frequency); the frequency of row k is
// 2 pi k / N radians per sample. A series longer than maxSignalLength raises
// ERangeError.
std::vector<long double> fourierSpectrum(std::span<const long double> values, bool polar);
