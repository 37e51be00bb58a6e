# Included by the native tree's end-to-end folder: registers the Windows-side test programs
# (built by the Windows tree, paths relative to it) to run under Wine.
nv_add_windows_test(win.pictures tests/win/pictures/nv_pictures_test.exe)
nv_add_windows_test(win.host tests/win/host/nv_host_win_tests.exe)
nv_add_windows_test(win.package tests/win/package/nv_package_win_test.exe)
nv_add_windows_test(win.toolkit tests/win/toolkit/nv_toolkit_win_test.exe)
