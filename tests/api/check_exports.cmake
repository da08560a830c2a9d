# Fails unless the shared library exports exactly the four qrv_ functions and
# needs nothing beyond the C runtime (libc, libm, the dynamic loader).
# Run as: cmake -DLIBRARY=... -DNM=... -DOBJDUMP=... -P check_exports.cmake

execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(exported)
foreach(line IN LISTS lines)
  # "<address> <type> <name>"; version definition entries (type A) are not symbols of ours.
  if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) (.+)$")
    if(NOT CMAKE_MATCH_1 STREQUAL "A")
      list(APPEND exported "${CMAKE_MATCH_2}")
    endif()
  endif()
endforeach()
list(SORT exported)
set(wanted qrv_abi_version qrv_score qrv_search_poll qrv_search_start)
if(NOT exported STREQUAL wanted)
  message(FATAL_ERROR "exported symbols are [${exported}], expected exactly [${wanted}]")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "NEEDED +[^\n]+" needed "${headers}")
foreach(entry IN LISTS needed)
  string(REGEX REPLACE "NEEDED +" "" name "${entry}")
  string(STRIP "${name}" name)
  if(NOT name MATCHES "^(libc\\.so|libm\\.so|ld-linux)")
    message(FATAL_ERROR "${LIBRARY} needs ${name}; only libc, libm and the loader are allowed")
  endif()
endforeach()
message(STATUS "exports: ${exported}; needs: ${needed}")
