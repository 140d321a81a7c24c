# Runs a tool and compares its exit status, standard output and standard error
# byte for byte with expected files. Variables:
#   TOOL, ARGS (arguments separated by "|"), DIR (working directory),
#   OUTPUT (prefix of the files that receive the two streams),
#   EXPECTED_RC, EXPECTED_OUT, EXPECTED_ERR (files with "\n" line ends),
#   CRLF_OUT, CRLF_ERR (ON when that stream ends its lines with CR LF).
string(REPLACE "|" ";" arguments "${ARGS}")
execute_process(COMMAND ${TOOL} ${arguments} WORKING_DIRECTORY ${DIR} RESULT_VARIABLE rc
                OUTPUT_FILE ${OUTPUT}.out ERROR_FILE ${OUTPUT}.err)

# Compares the bytes of the actual file with the expected text, whose line
# ends become CR LF when crlf is set.
function(expect_bytes stream actual_file expected_file crlf)
  file(READ ${expected_file} expected)
  if(crlf)
    string(REPLACE "\n" "\r\n" expected "${expected}")
  endif()
  file(WRITE ${actual_file}.expected "${expected}")
  file(READ ${actual_file} actual_bytes HEX)
  file(READ ${actual_file}.expected expected_bytes HEX)
  if(NOT actual_bytes STREQUAL expected_bytes)
    file(READ ${actual_file} actual)
    message(FATAL_ERROR "${stream} differs (CR LF: ${crlf}).\n--- expected ---\n${expected}\n--- actual ---\n"
                        "${actual}\n--- bytes ---\n${expected_bytes}\n${actual_bytes}")
  endif()
endfunction()

if(NOT rc STREQUAL EXPECTED_RC)
  message(FATAL_ERROR "exit status ${rc}, expected ${EXPECTED_RC}")
endif()
expect_bytes("standard output" ${OUTPUT}.out ${EXPECTED_OUT} "${CRLF_OUT}")
expect_bytes("standard error" ${OUTPUT}.err ${EXPECTED_ERR} "${CRLF_ERR}")
