#pragma once

#include <cstdint>
#include <memory>

#include "geometria.h"
#include "muestras.h"

// One 2-D slice. The sample of picture column x and row y is element
// x*alto + y of the sample array: the row index runs fastest. The 16-bit
// slices take their array as shared so that a reader can carve a volume's
// slices out of one block (see bloque.h); an array of their own converts.
class Corte {
 public:
  explicit Corte(Geometria geometria) : geometria_(std::move(geometria)) {}
  virtual ~Corte() = default;
  Corte(const Corte&) = delete;
  Corte& operator=(const Corte&) = delete;

  virtual Muestras<uint8_t> comoUChar() const = 0;
  virtual Muestras<uint16_t> comoUShort() const = 0;
  virtual Muestras<int16_t> comoShort() const = 0;
  virtual Muestras<int32_t> comoInt() const = 0;
  virtual Muestras<double> comoDouble() const = 0;

  // The limits read as unsigned 16-bit numbers (0…65535).
  virtual int minimo() const = 0;
  virtual int maximo() const = 0;

  const Geometria& geometria() const { return geometria_; }
  void setGeometria(Geometria g) { geometria_ = std::move(g); }
  std::size_t numMuestras() const { return geometria_ ? geometria_->numMuestras() : 0; }

 private:
  Geometria geometria_;
};

class CorteUnsignedShort final : public Corte {
 public:
  CorteUnsignedShort(std::shared_ptr<uint16_t[]> muestras, uint16_t inferior, uint16_t superior,
                     Geometria geometria);
  Muestras<uint8_t> comoUChar() const override;
  Muestras<uint16_t> comoUShort() const override;
  Muestras<int16_t> comoShort() const override;
  Muestras<int32_t> comoInt() const override;
  Muestras<double> comoDouble() const override;
  int minimo() const override { return inferior_; }
  int maximo() const override { return superior_; }
  const uint16_t* datos() const { return muestras_.get(); }

 private:
  std::shared_ptr<uint16_t[]> muestras_;
  uint16_t inferior_;
  uint16_t superior_;
};

class CorteShort final : public Corte {
 public:
  CorteShort(std::shared_ptr<int16_t[]> muestras, int16_t inferior, int16_t superior,
             Geometria geometria);
  Muestras<uint8_t> comoUChar() const override;
  Muestras<uint16_t> comoUShort() const override;
  Muestras<int16_t> comoShort() const override;
  Muestras<int32_t> comoInt() const override;
  Muestras<double> comoDouble() const override;
  int minimo() const override { return static_cast<uint16_t>(inferior_); }
  int maximo() const override { return static_cast<uint16_t>(superior_); }
  int16_t inferior() const { return inferior_; }
  int16_t superior() const { return superior_; }
  const int16_t* datos() const { return muestras_.get(); }

 private:
  std::shared_ptr<int16_t[]> muestras_;
  int16_t inferior_;
  int16_t superior_;
};

class CorteDouble final : public Corte {
 public:
  CorteDouble(std::unique_ptr<double[]> muestras, double inferior, double superior,
              Geometria geometria);
  Muestras<uint8_t> comoUChar() const override;
  Muestras<uint16_t> comoUShort() const override;
  Muestras<int16_t> comoShort() const override;
  Muestras<int32_t> comoInt() const override;
  Muestras<double> comoDouble() const override;
  // The limits converted as a sample would be by comoUShort.
  int minimo() const override;
  int maximo() const override;
  double minimoDouble() const { return inferior_; }
  double maximoDouble() const { return superior_; }
  const double* datos() const { return muestras_.get(); }

 private:
  std::unique_ptr<double[]> muestras_;
  double inferior_;
  double superior_;
};

// Truncation toward zero with the results x86 gives where C++ leaves the
// conversion undefined: a value that does not fit, or is not a number, gives
// INT32_MIN (32-bit) or 0 in the low bits (64-bit). Used by every conversion of
// floating values to samples, here and in the readers.
int32_t truncaA32(double v);
int64_t truncaA64(double v);
