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
// A steady clock of seconds: elapsed times are differences of it. It keeps counting across midnight and
// does not follow the date and time when they are set (the end of summer time, a correction by hand).
double SecondsClock();

namespace testing {
// From now on the clock reads `moment`; it goes on running from there unless `frozen`.
void SetNow(DateTime moment, bool frozen = false);
// A set clock that runs goes `rate` times as fast as the real one.
void SetRate(double rate);
// Moves a set clock on (a frozen one too); the steady clock moves with it. Setting the clock with SetNow
// moves the steady clock by the same amount, as time passing would.
void Advance(double seconds);
// Sets the date and time by `seconds` (negative: back), as a user or the summer-time rule does: the
// steady clock does not move.
void SetClockBy(double seconds);
// Back to the real clock.
void UseRealClock();
}  // namespace testing

}  // namespace rt
