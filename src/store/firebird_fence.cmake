# Fails when a source outside src/store reaches the Firebird client library: its headers or its
# isc_/fb_ calls. The data store is the one owner of the database handle; everything else goes
# through its connection and statements. Run at every build (cmake -DROOT=<source dir> -P ...).
file(GLOB_RECURSE sources ${ROOT}/src/*.cpp ${ROOT}/src/*.h ${ROOT}/tests/*.cpp ${ROOT}/tests/*.h
     ${ROOT}/bench/*.cpp ${ROOT}/bench/*.h ${ROOT}/tools/*.cpp ${ROOT}/tools/*.h)
set(offenders)
foreach(source ${sources})
  if(source MATCHES "^${ROOT}/src/store/")
    continue()
  endif()
  file(STRINGS ${source} hits REGEX
       "#[ \t]*include[ \t]*[<\"](ibase\\.h|firebird/|iberror\\.h)|[^A-Za-z_](isc_[a-z_]+|fb_interpret)[ \t]*\\(")
  if(hits)
    list(APPEND offenders ${source})
  endif()
endforeach()
if(offenders)
  list(JOIN offenders "\n  " listing)
  message(FATAL_ERROR "Only src/store may use the Firebird client library:\n  ${listing}")
endif()
