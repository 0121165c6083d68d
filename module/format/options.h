// Option persistence: a procedure remembers numbered options in its profile
// section under the keys "option%d" (integers) and "doption%d" (reals, as
// "%g" text).
#pragma once

#include <cstdint>

#include "bridge/profile.h"

namespace ztq {

void write_int_option(const Profile& profile, const char* section, int k, const int32_t* option);
void read_int_option(const Profile& profile, const char* section, int k, int32_t* option);
void write_real_option(const Profile& profile, const char* section, int k, const double* doption);
// A blank, absent or unreadable text leaves the option unchanged.
void read_real_option(const Profile& profile, const char* section, int k, double* doption);

}  // namespace ztq
