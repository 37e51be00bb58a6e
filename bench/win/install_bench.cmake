# install_bench.exe: InstallProduct on a headless form with the real Win32 host. Linked
# statically like Setup.exe, so that it runs under Wine without the mingw run-time DLLs.
add_executable(install_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/install_bench.cpp)
target_link_libraries(install_bench PRIVATE nv_wizard nv_host_win32 psapi ole32)
target_link_options(install_bench PRIVATE -static -static-libgcc -static-libstdc++
                    -Wl,--gc-sections)

# The time-to-window benchmark: window_timer.exe starts a program and times it to its first
# visible window; bare_window.exe is the baseline (one class, one window); startup_bench.exe
# runs Setup.exe's start step by step with each step timed.
set(NV_INSTALLER_DIR ${CMAKE_CURRENT_LIST_DIR}/../../app/installer)
add_executable(window_timer EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/window_timer.cpp)
add_executable(bare_window WIN32 EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/bare_window.cpp)
add_executable(startup_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp
               ${NV_INSTALLER_DIR}/picture_bitmaps.cpp ${NV_INSTALLER_DIR}/pictures.cpp)
target_include_directories(startup_bench PRIVATE ${NV_INSTALLER_DIR})
target_link_libraries(startup_bench PRIVATE nv_wizard nv_toolkit_win32 nv_host_win32 ole32
                      user32 gdi32)
foreach(target window_timer bare_window startup_bench)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endforeach()
