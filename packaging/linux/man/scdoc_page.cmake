# Builds one manual page: scdoc reads standard input and writes standard output, which a build
# rule cannot redirect portably. The page's footer date is the release date, not the build's.
# Usage: cmake -DSCDOC=... -DSOURCE=page.1.scd -DPAGE=page.1 -DEPOCH=seconds -P scdoc_page.cmake
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
execute_process(COMMAND ${SCDOC} INPUT_FILE ${SOURCE} OUTPUT_FILE ${PAGE}
                RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0)
    file(REMOVE ${PAGE})
    message(FATAL_ERROR "scdoc could not build ${SOURCE}: ${error}")
endif()
