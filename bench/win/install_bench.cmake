# install_bench.exe: InstallProduct on a headless form with the real Win32 host. Linked
# statically like Setup.exe, so that it runs under Wine without the mingw run-time DLLs.
add_executable(install_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/install_bench.cpp)
target_link_libraries(install_bench PRIVATE nv_wizard nv_host_win32 psapi ole32)
target_link_options(install_bench PRIVATE -static -static-libgcc -static-libstdc++
                    -Wl,--gc-sections)
