#pragma once

#include <stdexcept>
#include <string>
#include <unordered_map>

// Text attributes of a volume ("PixelDimx", "ST", "modality", ...). Numbers are
// kept as the decimal text an output stream prints.
class AttributeMap {
 public:
  using Mapa = std::unordered_map<std::string, std::string>;

  // Access that needs the key: an absent key is the standard out-of-range error.
  const std::string& at(const std::string& clave) const {
    auto it = mapa_.find(clave);
    if (it == mapa_.end()) throw std::out_of_range("invalid unordered_map<K, T> key");
    return it->second;
  }
  // Inserting access: an absent key reads as the empty text.
  std::string& operator[](const std::string& clave) { return mapa_[clave]; }
  // Keeps a value already present, like the map's own insert.
  bool insert(const std::string& clave, const std::string& valor) {
    return mapa_.emplace(clave, valor).second;
  }
  void set(const std::string& clave, const std::string& valor) { mapa_[clave] = valor; }
  bool contains(const std::string& clave) const { return mapa_.count(clave) != 0; }
  std::size_t erase(const std::string& clave) { return mapa_.erase(clave); }
  std::size_t size() const { return mapa_.size(); }
  bool empty() const { return mapa_.empty(); }

  Mapa::const_iterator begin() const { return mapa_.begin(); }
  Mapa::const_iterator end() const { return mapa_.end(); }
  const Mapa& mapa() const { return mapa_; }

 private:
  Mapa mapa_;
};
