# Runs the its90 executable on a batch from standard input and checks output and status.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/batch_input.txt "100\n2000\nabc\n-100\n")
execute_process(COMMAND ${ITS90} emf K -
  INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/batch_input.txt
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "expected exit status 2, got ${status}")
endif()
if(NOT out STREQUAL "4.09623\n\n\n-3.55363\n")
  message(FATAL_ERROR "unexpected output: [${out}]")
endif()
execute_process(COMMAND ${ITS90} temp S 18.693 RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out STREQUAL "1768.046\n")
  message(FATAL_ERROR "temp S 18.693: status ${status}, output [${out}]")
endif()
# A standard output that cannot be written, and a standard input that cannot be read (a
# directory), are errors with exit status 3, not silent successes.
if(EXISTS /dev/full)
  execute_process(COMMAND ${ITS90} emf K 100 OUTPUT_FILE /dev/full
    ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 3 OR NOT err MATCHES "cannot write standard output")
    message(FATAL_ERROR "emf K 100 > /dev/full: status ${status}, [${err}]")
  endif()
endif()
execute_process(COMMAND ${ITS90} emf K - INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 3 OR NOT err MATCHES "cannot read standard input")
  message(FATAL_ERROR "emf K - < directory: status ${status}, [${err}]")
endif()
