#include <gtest/gtest.h>

#include <stdexcept>

#include "tipos.h"

TEST(AEntero, ReadsLikeTheStandardConversion) {
  struct Caso {
    const char* texto;
    int valor;
  } casos[] = {{"128", 128}, {"  -7", -7}, {"+5", 5}, {"40abc", 40}, {"2147483647", 2147483647}};
  for (const Caso& c : casos) EXPECT_EQ(aEntero(c.texto), c.valor) << c.texto;
}

TEST(AEntero, RejectsWithTheStandardTexts) {
  for (const char* t : {"", "abc", " x1", "-"}) {
    try {
      aEntero(t);
      ADD_FAILURE() << "accepted \"" << t << "\"";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "invalid stoi argument");
    }
  }
  for (const char* t : {"2147483648", "-2147483649", "99999999999999999999"}) {
    try {
      aEntero(t);
      ADD_FAILURE() << "accepted \"" << t << "\"";
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "stoi argument out of range");
    }
  }
}
