# Read by cpack before it writes the zip (CPACK_PROJECT_CONFIG_FILE): every time in the zip is
# SOURCE_DATE_EPOCH, which cpack honours. Unless the caller sets it, it is the time of the
# commit being packed, the same in every clone; outside a git checkout, a fixed time.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "")
  find_program(git_command git)
  if(git_command)
    execute_process(COMMAND ${git_command} log -1 --format=%ct
                    WORKING_DIRECTORY ${CPACK_FILECUT_SOURCE_DIR}
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    set(epoch 1577836800)  # 2020-01-01 00:00 UTC
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
