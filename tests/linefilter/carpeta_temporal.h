#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A folder of its own for each test that writes files, removed afterwards.
class CarpetaTemporal {
 public:
  CarpetaTemporal() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    ruta_ = std::filesystem::temp_directory_path() /
            ("trelkin_" + std::string(info->test_suite_name()) + "_" + info->name() + "_" +
             std::to_string(::getpid()));
    std::filesystem::remove_all(ruta_);
    std::filesystem::create_directories(ruta_);
  }
  ~CarpetaTemporal() {
    std::error_code e;
    std::filesystem::remove_all(ruta_, e);
  }
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;

  const std::filesystem::path& ruta() const { return ruta_; }
  std::string en(const std::string& nombre) const { return (ruta_ / nombre).string(); }

 private:
  std::filesystem::path ruta_;
};

// The whole file as bytes; "<missing>" when it cannot be read.
inline std::string leeFichero(const std::string& ruta) {
  std::ifstream f(ruta, std::ios::binary);
  if (!f) return "<missing>";
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}
