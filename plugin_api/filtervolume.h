#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// The record that carries a volume into a filter library and back. The host
// owns the sample buffer; the record owns everything else.
class FilterVolume {
 public:
  struct Posicion {
    int x = 0, y = 0, z = 0;
  };
  using Atributos = std::unordered_map<std::string, std::string>;

  FilterVolume(uint16_t* samples, int width, int height, int depth)
      : width_(width), height_(height), depth_(depth), position_(std::make_unique<Posicion>()),
        samples_(samples) {}

  int width() const { return width_; }
  int height() const { return height_; }
  int depth() const { return depth_; }
  const Posicion& position() const { return *position_; }
  const std::vector<int>& points() const { return points_; }
  void setPoints(std::vector<int> p) { points_ = std::move(p); }
  uint16_t* samples() const { return samples_; }
  const std::string& name() const { return name_; }
  void setName(std::string n) { name_ = std::move(n); }
  Atributos attributes() const { return attributes_; }
  void setAttributes(const Atributos& a) { attributes_ = a; }

 private:
  int width_;
  int height_;
  int depth_;
  std::unique_ptr<Posicion> position_;
  std::vector<int> points_;
  uint16_t* samples_;
  std::string name_;
  Atributos attributes_;
};
