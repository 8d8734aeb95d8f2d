# Runs one libFuzzer target for a bounded time on a fresh copy of its seed files.
#   cmake -D FUZZER=<binary> -D SEEDS=<folder> -D PATTERN=<glob> -D WORK=<scratch folder>
#         -D SECONDS=<n> [-D DICT=<libFuzzer dictionary>] -P run_fuzz.cmake
# The seeds are found recursively under SEEDS and copied flat into WORK/corpus, which the
# fuzzer may grow; findings go to WORK/artifacts. Nothing is written under SEEDS.
foreach(var FUZZER SEEDS PATTERN WORK SECONDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_fuzz: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
file(GLOB_RECURSE seeds "${SEEDS}/${PATTERN}")
if(NOT seeds)
  message(FATAL_ERROR "run_fuzz: no seeds match ${SEEDS}/${PATTERN}")
endif()
file(COPY ${seeds} DESTINATION "${WORK}/corpus")

set(dict_option "")
if(DICT)
  set(dict_option "-dict=${DICT}")
endif()

# close_fd_mask=2: the target's own messages are dropped; fuzzer and sanitizer reports stay
execute_process(
  COMMAND "${FUZZER}" "-max_total_time=${SECONDS}" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=2
          "-artifact_prefix=${WORK}/artifacts/" ${dict_option} "${WORK}/corpus"
  WORKING_DIRECTORY "${WORK}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "run_fuzz: ${FUZZER} failed (${result}); findings in ${WORK}/artifacts")
endif()
