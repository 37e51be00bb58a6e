# cmake -DICONV=... -DINPUT=... -DTEMPLATE=... -DOUTPUT=... -P embed_script.cmake
# Converts INPUT from UTF-8 to Windows-1252 (failing on any character that code page lacks) and
# writes OUTPUT from TEMPLATE with the bytes as a C++ array initialiser.
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

file(READ ${converted} hex HEX)
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
