# Runs a script (or EXE with the arguments ARGS, when they are given) that must end with a given
# exit status, whose output must match a pattern when one is given, and must not match another
# (REJECT) when that is given.
if(NOT DEFINED ARGS)
  set(ARGS --metrics fixed ${SCRIPT})
endif()
execute_process(COMMAND ${EXE} ${ARGS} RESULT_VARIABLE status OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT status EQUAL ${STATUS})
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}\n${out}${err}")
endif()
if(DEFINED PATTERN AND NOT err MATCHES "${PATTERN}" AND NOT out MATCHES "${PATTERN}")
  message(FATAL_ERROR "output does not match ${PATTERN}:\n${out}${err}")
endif()
if(DEFINED REJECT AND (err MATCHES "${REJECT}" OR out MATCHES "${REJECT}"))
  message(FATAL_ERROR "output matches ${REJECT}:\n${out}${err}")
endif()
