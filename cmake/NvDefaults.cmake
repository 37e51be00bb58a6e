# Project-wide compiler settings: warnings are errors on both compilers, and the
# Windows side builds small, self-contained executables.

if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Werror)
endif()

if(NV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # ANSI Win32 entry points, no min/max macros, Windows 7 API level (SetDefaultDllDirectories).
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Small code: -Os, unused sections dropped, symbols stripped in release builds;
  # the C and C++ run-times and winpthreads linked statically so only system DLLs are imported.
  add_compile_options(-ffunction-sections -fdata-sections)
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
  # Reproducible images: the linker writes no time stamp into the PE header (it stays 0), so
  # two builds of the same sources give the same bytes and a release can be rebuilt and compared.
  add_link_options(-Wl,--no-insert-timestamp)
  if(CMAKE_BUILD_TYPE STREQUAL "MinSizeRel" OR CMAKE_BUILD_TYPE STREQUAL "Release")
    add_link_options(-s)
    # Link-time optimisation: the linker sees the whole program and drops every function that
    # nothing calls. Without it ld keeps them: the default script keeps all unwind tables
    # (.pdata/.xdata), and they refer to their functions. One partition, because mingw-w64's
    # GCC 12 stops with an internal error when LTO splits a program into several.
    set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
    set(CMAKE_POLICY_DEFAULT_CMP0069 NEW)  # also in GoogleTest, which asks for older policies
    add_link_options(-flto-partition=one)
  endif()
endif()

# nv_portable_library(name sources...): a static library of the portable core, rooted at src/.
# It must include no Windows header; the layering tests check that.
function(nv_portable_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
endfunction()

# nv_add_unit_test(name SOURCES a.cpp b.cpp LIBS lib...): a native GoogleTest program whose
# cases ctest lists one by one.
function(nv_add_unit_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
endfunction()

# zlib, for the package reader and the embedded language script: on Windows the toolchain's
# static libz.a (never the import library of a zlib DLL), natively the system's.
add_library(nv_zlib INTERFACE)
if(WIN32)
  find_library(NV_ZLIB_STATIC NAMES libz.a REQUIRED)
  find_path(NV_ZLIB_INCLUDE zlib.h REQUIRED)
  target_include_directories(nv_zlib INTERFACE ${NV_ZLIB_INCLUDE})
  target_link_libraries(nv_zlib INTERFACE ${NV_ZLIB_STATIC})
else()
  find_package(ZLIB REQUIRED)
  target_link_libraries(nv_zlib INTERFACE ZLIB::ZLIB)
endif()
