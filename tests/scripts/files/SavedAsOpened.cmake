# Runs reopen.kss in a folder of its own on copies of the documents, then compares each
# document with what the script saved after opening it.
set(work ${OUT}/saved-as-opened)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
file(COPY ${DIR}/max-length.kestrix ${DIR}/single-line.kestrix DESTINATION ${work})
execute_process(COMMAND ${EXE} ${DIR}/reopen.kss WORKING_DIRECTORY ${work}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "exit status ${status}\n${out}${err}")
endif()
foreach(name max-length single-line)
  file(READ ${work}/${name}.kestrix opened)
  file(READ ${work}/${name}.saved saved)
  if(NOT opened STREQUAL saved)
    message(FATAL_ERROR "${name}: saved after opening\n${saved}\ndiffers from what was opened\n${opened}")
  endif()
endforeach()
