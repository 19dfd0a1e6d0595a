# Builds a Windows test program without Qt from SOURCES (paths in the source tree, separated by
# commas) into OUT/NAME.exe and runs it under Wine in a prefix of its own in the build folder; the
# first run makes the prefix.
set(exe "${OUT}/${NAME}.exe")
string(REPLACE "," ";" SOURCES "${SOURCES}")
list(TRANSFORM SOURCES PREPEND "${SRC}/../")
execute_process(
    COMMAND "${CXX}" -std=c++20 -static -O1 -Wall -Wextra -Werror -I${SRC} -I${TESTS} ${SOURCES}
            -o "${exe}"
    RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "MinGW could not build ${exe}")
endif()
set(ENV{WINEPREFIX} "${OUT}/wine")
set(ENV{WINEDEBUG} -all)
execute_process(COMMAND "${WINE}" "${exe}" WORKING_DIRECTORY "${OUT}" RESULT_VARIABLE ran)
if(NOT ran EQUAL 0)
    message(FATAL_ERROR "${NAME} failed under Wine: ${ran}")
endif()
