# Builds the Windows text conversion, without Qt, with its cases (gb18030_windows_test.cpp) and
# runs it under Wine in a prefix of its own in the build folder; the first run makes the prefix.
set(exe "${OUT}/gb18030_windows_test.exe")
execute_process(
    COMMAND "${CXX}" -std=c++20 -static -O1 -Wall -Wextra -Werror -I${SRC} -I${TESTS}
            ${SRC}/text/gb18030.cpp ${SRC}/text/windows/gb18030_system.cpp
            ${TESTS}/windows/gb18030_windows_test.cpp -o "${exe}"
    RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "MinGW could not build ${exe}")
endif()
set(ENV{WINEPREFIX} "${OUT}/wine")
set(ENV{WINEDEBUG} -all)
execute_process(COMMAND "${WINE}" "${exe}" RESULT_VARIABLE ran)
if(NOT ran EQUAL 0)
    message(FATAL_ERROR "the Windows conversion failed under Wine: ${ran}")
endif()
