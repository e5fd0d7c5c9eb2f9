#include "ArithmeticTrace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace gustrule::traced {

namespace {

// What the environment asked for, read at the first step.
struct Settings {
  std::FILE* Trace = nullptr;
  bool AllFromX87 = false;
  long OnlyStepFromX87 = 0; // 0 for none
};

const Settings& TheSettings() {
  static const Settings settings = [] {
    Settings s;
    if (const char* path = std::getenv("GUSTRULE_TRACE_FILE")) {
      s.Trace = std::fopen(path, "w");
    }
    if (const char* x87 = std::getenv("GUSTRULE_TRACE_X87")) {
      s.AllFromX87 = std::strcmp(x87, "all") == 0;
      s.OnlyStepFromX87 = s.AllFromX87 ? 0 : std::strtol(x87, nullptr, 10);
    }
    return s;
  }();
  return settings;
}

long stepCount = 0;
std::string currentCall;

std::string Describe(Float80 x) {
  char text[64];
  std::snprintf(text, sizeof text, "%.21Lg %04X:%016llX", ToLongDouble(x), x.SignExponent,
                static_cast<unsigned long long>(x.Significand));
  return text;
}

// One step: the soft result, or the x87 unit's where asked, and its line in the trace.
Float80 Step(const char* operation, Float80 argument, Float80 softResult, long double x87Result) {
  const Settings& settings = TheSettings();
  const long step = ++stepCount;
  const soft::Rounded x87 = soft::RoundLongDouble(x87Result); // exact: long double is extended
  if (settings.Trace != nullptr) {
    std::fprintf(settings.Trace, "%ld\t%s\t%s\t%s\t%s\t%s\t%s\n", step, operation,
                 currentCall.c_str(), Describe(argument).c_str(), Describe(softResult).c_str(),
                 Describe(x87.Value).c_str(),
                 soft::SameBits(softResult, x87.Value) ? "same" : "differs");
    std::fflush(settings.Trace);
  }
  return settings.AllFromX87 || step == settings.OnlyStepFromX87 ? x87.Value : softResult;
}

} // namespace

Float80 Ln(Float80 x) {
  return Step("ln", x, soft::Ln(x), x87::Ln(ToLongDouble(x)));
}

Float80 Exp2Minus1(Float80 f) {
  return Step("2^f-1", f, soft::Exp2Minus1(f), x87::Exp2Minus1(ToLongDouble(f)));
}

Call::Call(const char* function, Float80 first, Float80 second) {
  char text[128];
  std::snprintf(text, sizeof text, "%s(%.21Lg, %.21Lg)", function, ToLongDouble(first),
                ToLongDouble(second));
  currentCall = text;
}

Call::~Call() {
  currentCall.clear();
}

} // namespace gustrule::traced
