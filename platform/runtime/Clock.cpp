#include "platform/runtime/Clock.h"

#include <QDateTime>
#include <chrono>
#include <cmath>

namespace rt {
namespace {

constexpr double kSecondsPerDay = 86400.0;

struct ClockState {
  bool set = false;
  bool frozen = false;
  double setSerial = 0.0;  // the moment the clock was set to
  double rate = 1.0;
  std::chrono::steady_clock::time_point setAt;
  double steady = 0.0;  // the steady clock at setAt, in seconds: it follows SetNow and Advance, not SetClockBy
};

ClockState& State() {
  static ClockState s;
  return s;
}

double RealSerial() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate epoch(1899, 12, 30);
  const qint64 days = epoch.daysTo(now.date());
  const double msOfDay = now.time().msecsSinceStartOfDay();
  return static_cast<double>(days) + msOfDay / (kSecondsPerDay * 1000.0);
}

}  // namespace

DateTime Now() {
  ClockState& s = State();
  if (!s.set) return {RealSerial()};
  if (s.frozen) return {s.setSerial};
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - s.setAt).count();
  return {s.setSerial + s.rate * elapsed / kSecondsPerDay};
}

DateTime Today() {
  return {std::floor(Now().serial)};
}

double SecondsOfDay() {
  const double serial = Now().serial;
  return (serial - std::floor(serial)) * kSecondsPerDay;
}

double SecondsClock() {
  const ClockState& s = State();
  if (!s.set) return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  if (s.frozen) return s.steady;
  return s.steady + s.rate * std::chrono::duration<double>(std::chrono::steady_clock::now() - s.setAt).count();
}

namespace testing {

void SetNow(DateTime moment, bool frozen) {
  ClockState& s = State();
  s.set = true;
  s.frozen = frozen;
  s.rate = s.rate > 0 ? s.rate : 1.0;
  s.setSerial = moment.serial;
  s.steady = moment.serial * kSecondsPerDay;
  s.setAt = std::chrono::steady_clock::now();
}

void SetRate(double rate) {
  ClockState& s = State();
  if (!s.set) SetNow(Now(), false);
  const DateTime now = Now();
  s.steady = SecondsClock();
  s.setSerial = now.serial;
  s.setAt = std::chrono::steady_clock::now();
  s.rate = rate;
}

void Advance(double seconds) {
  ClockState& s = State();
  if (!s.set) SetNow(Now(), false);
  s.setSerial += seconds / kSecondsPerDay;
  s.steady += seconds;
}

void SetClockBy(double seconds) {
  ClockState& s = State();
  if (!s.set) SetNow(Now(), false);
  s.setSerial += seconds / kSecondsPerDay;
}

void UseRealClock() {
  State() = ClockState{};
}

}  // namespace testing
}  // namespace rt
