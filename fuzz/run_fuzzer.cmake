# cmake -D FUZZER=... -D SEEDS=... -D WORK_DIR=... -D RUNS=n -D MAX_LEN=n -P run_fuzzer.cmake
# Runs one fuzz target for RUNS inputs from the seed corpus, with a fixed seed so that a
# failure repeats. New inputs go to WORK_DIR/corpus and a crashing one to WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/corpus)
execute_process(
  COMMAND ${FUZZER} -seed=1 -runs=${RUNS} -max_len=${MAX_LEN} -print_final_stats=1
    -artifact_prefix=${WORK_DIR}/ ${WORK_DIR}/corpus ${SEEDS}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(GLOB crashes ${WORK_DIR}/crash-* ${WORK_DIR}/leak-* ${WORK_DIR}/timeout-*)
  message(FATAL_ERROR "${FUZZER} failed (${status}); the input that did it: ${crashes}\n"
    "Run it again with: ${FUZZER} <that file>")
endif()
