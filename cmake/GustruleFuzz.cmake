# libFuzzer builds (GUSTRULE_FUZZ). They need clang: configure with CC=clang CXX=clang++.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "GUSTRULE_FUZZ needs clang; configure with CC=clang CXX=clang++")
endif()

# UndefinedBehaviorSanitizer only prints and carries on by default; the fuzzer must stop on it.
set(GUSTRULE_FUZZ_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all)

# Instruments a library the fuzz targets link for coverage and the sanitizers, so the fuzzer is
# guided by the branches inside it. Everything else that links it (the command line) then needs
# the sanitizer runtimes, hence the interface link options.
function(gustrule_fuzz_instrument target)
  target_compile_options(${target} PRIVATE
    -fsanitize=fuzzer-no-link ${GUSTRULE_FUZZ_SANITIZE} -fno-omit-frame-pointer)
  target_link_options(${target} INTERFACE ${GUSTRULE_FUZZ_SANITIZE})
endfunction()
