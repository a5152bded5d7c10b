#pragma once
// The clock. Every read of the date and time goes through here, so that a test can set it.

#include "platform/runtime/Variant.h"

namespace rt {

// The current date and time of day (local time).
DateTime Now();
// The current date, time of day 0.
DateTime Today();
// Seconds since midnight, with fractions.
double SecondsOfDay();
// A clock of seconds that keeps counting across midnight: elapsed times are differences of it.
double SecondsClock();

namespace testing {
// From now on the clock reads `moment`; it goes on running from there unless `frozen`.
void SetNow(DateTime moment, bool frozen = false);
// A set clock that runs goes `rate` times as fast as the real one.
void SetRate(double rate);
// Moves a set clock on (a frozen one too).
void Advance(double seconds);
// Back to the real clock.
void UseRealClock();
}  // namespace testing

}  // namespace rt
