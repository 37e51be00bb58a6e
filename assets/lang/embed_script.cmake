# cmake -DICONV=... -DPYTHON=... -DINPUT=... -DTEMPLATE=... -DOUTPUT=... -P embed_script.cmake
# Converts INPUT from UTF-8 to Windows-1252 (failing on any character that code page lacks),
# compresses it with zlib and writes OUTPUT from TEMPLATE with the compressed bytes as a C++
# array initialiser and the text's size. Compressed, the two licence agreements take 8 KB of
# the setup instead of 20; the program inflates them once, at start.
get_filename_component(out_dir ${OUTPUT} DIRECTORY)
set(converted ${out_dir}/wizard_script.cp1252)
execute_process(
  COMMAND ${ICONV} -f UTF-8 -t WINDOWS-1252 ${INPUT}
  OUTPUT_FILE ${converted}
  ERROR_VARIABLE iconv_error
  RESULT_VARIABLE iconv_result)
if(NOT iconv_result EQUAL 0)
  message(FATAL_ERROR "${INPUT} does not convert to Windows-1252: ${iconv_error}")
endif()

file(SIZE ${converted} SCRIPT_SIZE)
set(packed ${out_dir}/wizard_script.z)
execute_process(
  COMMAND ${PYTHON} -c
    "import sys, zlib; open(sys.argv[2], 'wb').write(zlib.compress(open(sys.argv[1], 'rb').read(), 9))"
    ${converted} ${packed}
  RESULT_VARIABLE pack_result)
if(NOT pack_result EQUAL 0)
  message(FATAL_ERROR "${converted} could not be compressed")
endif()

file(READ ${packed} hex HEX)
string(LENGTH "${hex}" hex_length)
if(hex_length EQUAL 0)
  message(FATAL_ERROR "${INPUT} is empty")
endif()
# Two hex digits per byte; sixteen bytes to a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
set(sixteen "")
foreach(i RANGE 15)
  string(APPEND sixteen "0x[0-9a-f][0-9a-f],")
endforeach()
string(REGEX REPLACE "(${sixteen})" "\\1\n    " SCRIPT_BYTES "${bytes}")
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
