# Bounded libFuzzer runs, registered in the native tree when NV_FUZZ_BUILD names a build
# tree configured with NV_FUZZ=ON. Each run works on a copy of its seed corpus so the
# committed corpus stays as it is.
set(NV_FUZZ_SECONDS 30 CACHE STRING "Seconds each fuzz target runs under ctest")
foreach(target package_reader language_script)
  set(scratch ${CMAKE_BINARY_DIR}/fuzz-scratch/${target})
  add_test(NAME fuzz_${target}
    COMMAND /bin/sh -c "rm -rf \"$1\" && mkdir -p \"$1\" && cp \"$2\"/* \"$1\"/ && \"$3\" -max_total_time=$4 -rss_limit_mb=1024 -print_final_stats=1 \"$1\""
            sh ${scratch} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${target}
            ${NV_FUZZ_BUILD}/fuzz/${target}_fuzz ${NV_FUZZ_SECONDS})
  set_tests_properties(fuzz_${target} PROPERTIES TIMEOUT 120)
endforeach()
