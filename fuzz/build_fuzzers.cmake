# cmake -D SOURCE_DIR=... -D BINARY_DIR=... -D TARGETS=a;b -P build_fuzzers.cmake
# Configures the project with the fuzz preset in BINARY_DIR and builds the fuzz targets.
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR} --preset fuzz
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --parallel 2 --target ${TARGETS}
  COMMAND_ERROR_IS_FATAL ANY)
