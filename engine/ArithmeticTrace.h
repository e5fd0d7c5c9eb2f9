#pragma once

// The traced arithmetic, for finding where the soft arithmetic and the x87 unit part ways
// (CMake option GUSTRULE_ARITHMETIC_TRACE, x86 only, used by tools/compare-arithmetic.sh). It is
// the soft arithmetic, whose every ln and 2^f - 1 (a step, numbered from 1) is also computed on
// the x87 unit. As all other operations agree bit for bit, the first step whose results differ is
// where two runs of a calculation part. Two environment variables steer a run:
//   GUSTRULE_TRACE_FILE=PATH  writes one line per step to PATH, tab-separated: its number, the
//                             operation, the call it serves (empty for a formula's own ln), the
//                             argument, the soft result and the x87 result (each as a decimal and
//                             as sign-exponent:significand bits), and "differs" or "same";
//   GUSTRULE_TRACE_X87=all|N  takes the x87 unit's result at every step, or at step N only.
// Without them a traced build computes what the soft build does.

#include "SoftFloat80.h"
#include "X87.h"

namespace gustrule::traced {

using soft::Fabs;
using soft::Float80;
using soft::FromDouble;
using soft::FromLiteral;
using soft::Ilogb;
using soft::IsFinite;
using soft::IsInf;
using soft::IsNaN;
using soft::Ldexp;
using soft::Llrint;
using soft::Rint;
using soft::ToDouble;
using soft::ToLongDouble;
using soft::WholeToInt;

// ln x and 2^f - 1 as in the soft arithmetic, each a traced step.
Float80 Ln(Float80 x);
Float80 Exp2Minus1(Float80 f);

// Names the call that the steps during its lifetime serve, for the trace: a Call("RaisePower",
// 185000.0, 0.9) makes them "RaisePower(185000, 0.9)". Calls do not nest.
class Call {
public:
  Call(const char* function, Float80 first, Float80 second);
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;
  ~Call();
};

} // namespace gustrule::traced
