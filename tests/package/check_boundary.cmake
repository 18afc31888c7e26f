# Checks of the package boundary, one per CHECK:
#   exports       the shared library LIBRARY exports no internal symbol
#   subdirectory  a host adding the source tree SOURCE_DIR keeps its build type and builds no program
#   nobenchmark   the project configures without Google Benchmark
function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGV}\n${out}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

if(CHECK STREQUAL "exports")
  run(nm -D -C --defined-only ${LIBRARY})
  string(REGEX MATCHALL "quantrel::(core|server|path_dependent|numerical|published)::[^\n]*" internal "${out}")
  if(internal)
    message(FATAL_ERROR "internal symbols exported:\n${internal}")
  endif()
  foreach(public "quantrel::ForwardStart(" "Quantrel_ForwardStart" "DllRegisterServer"
          "typeinfo for quantrel::PricingError" "quantrel::Bindings()")
    string(FIND "${out}" "${public}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "${public} is not exported")
    endif()
  endforeach()
elseif(CHECK STREQUAL "subdirectory")
  foreach(type "" Debug)  # none at all, as a host may leave it, and one of its own
    file(REMOVE_RECURSE ${WORK_DIR})
    run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/package/host -B ${WORK_DIR}
        -DCMAKE_BUILD_TYPE=${type} -DHOST_BUILD_TYPE=${type} -DQUANTREL_SOURCE_DIR=${SOURCE_DIR})
  endforeach()
elseif(CHECK STREQUAL "nobenchmark")
  file(REMOVE_RECURSE ${WORK_DIR})
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR} -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON)
  string(FIND "${out}" "Google Benchmark not found" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no word that the benchmarks are skipped:\n${out}")
  endif()
else()
  message(FATAL_ERROR "unknown CHECK '${CHECK}'")
endif()
