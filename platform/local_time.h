// The wall clock, for names that people read (the monotonic tick of
// clock.h measures time spans).
#pragma once

#include <string>

namespace platform {

// The local date and time as "YYYY-MM-DD_HH-MM-SS": names made from it
// sort in time order.
std::string LocalTimeStamp();

}  // namespace platform
