# GUSTRULE_ARITHMETIC chooses the engine's extended arithmetic: x87, the x87 unit of an x86
# processor (the default there), or soft, the same 80-bit format computed in software (the
# default everywhere else). Whether the target is x86 is asked of the compiler itself, so a cross
# build or a WebAssembly build sees its own target.
include(CheckCXXSourceCompiles)
check_cxx_source_compiles("
#if !defined(__x86_64__) && !defined(__i386__)
#error not an x86 target
#endif
int main() { return 0; }" GUSTRULE_TARGET_IS_X86)
if(GUSTRULE_TARGET_IS_X86)
  set(gustrule_default_arithmetic x87)
else()
  set(gustrule_default_arithmetic soft)
endif()
set(GUSTRULE_ARITHMETIC ${gustrule_default_arithmetic} CACHE STRING
    "The engine's extended arithmetic: x87 (x86 only) or soft")
set_property(CACHE GUSTRULE_ARITHMETIC PROPERTY STRINGS x87 soft)
if(NOT GUSTRULE_ARITHMETIC MATCHES "^(x87|soft)$")
  message(FATAL_ERROR "GUSTRULE_ARITHMETIC must be x87 or soft, not '${GUSTRULE_ARITHMETIC}'")
endif()
if(GUSTRULE_ARITHMETIC STREQUAL "x87" AND NOT GUSTRULE_TARGET_IS_X86)
  message(FATAL_ERROR "GUSTRULE_ARITHMETIC=x87 needs an x86 target (this one is "
                      "${CMAKE_SYSTEM_PROCESSOR}); use GUSTRULE_ARITHMETIC=soft")
endif()
message(STATUS "Gustrule arithmetic: ${GUSTRULE_ARITHMETIC}")
