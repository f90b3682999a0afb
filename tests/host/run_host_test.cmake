# Installs the library into a fresh folder, builds the host project against it
# and runs it: -DBUILD_DIR=<library build> -DHOST_SOURCE=<this folder> -DWORK=<scratch folder>
file(REMOVE_RECURSE ${WORK})
function(step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}")
  endif()
endfunction()
step(${CMAKE_COMMAND} --install ${BUILD_DIR} --component Ordalis --prefix ${WORK}/prefix)
set(flags "")
if(HOST_FLAGS)
  set(flags "-DCMAKE_CXX_FLAGS=${HOST_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${HOST_FLAGS}")
endif()
step(${CMAKE_COMMAND} -S ${HOST_SOURCE} -B ${WORK}/build -G Ninja -DCMAKE_BUILD_TYPE=Debug
     -DCMAKE_PREFIX_PATH=${WORK}/prefix ${flags})
step(${CMAKE_COMMAND} --build ${WORK}/build)
step(${WORK}/build/ordalis_host)
