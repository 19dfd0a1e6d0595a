# Compiles the Windows resource and checks the manifest, the icon sizes and the version it carries.
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

# The manifest (the programs run as whoever starts them, on the Windows versions listed) and the
# icon group (reserved 0, type 1, count 4) of 16, 32, 48 and 256 pixels (256 written as 0).
foreach(expected IN ITEMS [[level="asInvoker"]] [[{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}]])
    string(HEX "${expected}" hex)
    string(FIND "${bytes}" "${hex}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "no ${expected} in the manifest of ${OUT}")
    endif()
endforeach()
set(entry "000001002000............")  # planes 1, 32 bits, size and number
if(NOT bytes MATCHES "0000010004001010${entry}2020${entry}3030${entry}0000${entry}")
    message(FATAL_ERROR "no icon group of 16, 32, 48 and 256 pixels in ${OUT}")
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
