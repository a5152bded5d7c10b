#pragma once
// The run time's Variant: empty, a number of one of the run time's widths, a date, a text or a truth value.

#include <cstdint>
#include <string>
#include <variant>

namespace rt {

// A moment as the run time keeps it: days since 30 December 1899, the time of day as the fraction.
struct DateTime {
  double serial = 0.0;
  friend bool operator==(DateTime a, DateTime b) { return a.serial == b.serial; }
};

struct Empty {
  friend bool operator==(Empty, Empty) { return true; }
};

enum class VarType { Empty = 0, Integer = 2, Long = 3, Single = 4, Double = 5, Date = 7, String = 8, Boolean = 11 };

class Variant {
 public:
  Variant() = default;
  Variant(Empty) {}
  Variant(bool b) : v_(b) {}
  Variant(int16_t i) : v_(i) {}
  Variant(int i) : v_(static_cast<int32_t>(i)) {}
  Variant(long i) : v_(static_cast<int32_t>(i)) {}
  Variant(float f) : v_(f) {}
  Variant(double d) : v_(d) {}
  Variant(DateTime d) : v_(d) {}
  Variant(std::string s) : v_(std::move(s)) {}
  Variant(const char* s) : v_(std::string(s)) {}

  VarType Type() const;
  bool IsEmpty() const { return std::holds_alternative<Empty>(v_); }
  bool IsString() const { return std::holds_alternative<std::string>(v_); }
  bool IsBoolean() const { return std::holds_alternative<bool>(v_); }
  bool IsDate() const { return std::holds_alternative<DateTime>(v_); }
  // Integer, Long, Single or Double
  bool IsNumber() const;

  // The value as a double; a text, a truth value or a date converts as the run time does (13 when it cannot).
  double ToDouble() const;
  // The value as a text, as the run time's CStr gives it (an empty Variant gives "").
  std::string ToString() const;

  const std::string& AsString() const { return std::get<std::string>(v_); }
  bool AsBoolean() const { return std::get<bool>(v_); }
  DateTime AsDate() const { return std::get<DateTime>(v_); }

  friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

 private:
  std::variant<Empty, int16_t, int32_t, float, double, DateTime, std::string, bool> v_;
  friend struct VariantAccess;
};

}  // namespace rt
