# Included by the native tree's end-to-end folder: registers the Windows-side test programs
# (built by the Windows tree, paths relative to it) to run under Wine.
