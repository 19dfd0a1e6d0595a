# Compiles the Windows version resource and checks the version it carries.
# Run with -DWINDRES=<x86_64-w64-mingw32-windres> -DRC=<zelvo-sms.rc> -DOUT=<file.res>.
execute_process(
    COMMAND "${WINDRES}" --preprocessor=cpp -i "${RC}" -O res -o "${OUT}"
    RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "windres failed: ${errors}")
endif()

# VS_FIXEDFILEINFO: signature, structure version, file version 1.0.0.0, product version 1.0.0.0.
file(READ "${OUT}" bytes HEX)
if(NOT bytes MATCHES "bd04effe00000100000001000000000000000100000000")
    message(FATAL_ERROR "no fixed file and product version 1.0.0.0 in ${OUT}")
endif()

# The strings, read back from the compiled resource.
execute_process(COMMAND "${WINDRES}" -J res -O rc -i "${OUT}" OUTPUT_VARIABLE text RESULT_VARIABLE result)
foreach(expected
        [[VALUE "FileVersion", "1.00"]]
        [[VALUE "ProductVersion", "1.00"]]
        [[VALUE "ProductName", L"Zelvo\x77ed\x4fe1\x53d1\x9001\x5668"]]
        [[VALUE "FileDescription", L"Zelvo\x77ed\x4fe1\x53d1\x9001\x5668 - ]])
    string(FIND "${text}" "${expected}" at)
    if(NOT result EQUAL 0 OR at EQUAL -1)
        message(FATAL_ERROR "missing ${expected} in:\n${text}")
    endif()
endforeach()
