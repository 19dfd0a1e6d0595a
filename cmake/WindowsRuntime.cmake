# A Windows copy of the program is one folder: the programs and the SMTP module, the DLLs they
# load (Qt, curl, the MinGW runtime) and Qt's Windows platform and style plugins, which Qt looks
# for in the program's folder. Installed with the programs.
get_target_property(_zelvo_qt_core Qt6::Core LOCATION)
get_target_property(_zelvo_curl CURL::libcurl LOCATION)
get_filename_component(_zelvo_qt_bin "${_zelvo_qt_core}" DIRECTORY)
get_filename_component(_zelvo_curl_bin "${_zelvo_curl}" DIRECTORY)
execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE _zelvo_stdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE _zelvo_pthread OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(_zelvo_gcc_bin "${_zelvo_stdcxx}" DIRECTORY)
get_filename_component(_zelvo_pthread_bin "${_zelvo_pthread}" REALPATH)
get_filename_component(_zelvo_pthread_bin "${_zelvo_pthread_bin}" DIRECTORY)
# The folders the DLLs come from, for the tests' runs under Wine too.
set(ZELVO_WINDOWS_DLL_DIRS "${_zelvo_qt_bin}" "${_zelvo_curl_bin}" "${_zelvo_gcc_bin}"
    "${_zelvo_pthread_bin}")

# Qt looks for a module by its name with ".dll", without MinGW's "lib" before it.
set_target_properties(zelvo_smtp_module PROPERTIES PREFIX "")

install(FILES "$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>"
        DESTINATION "${ZELVO_BIN_DIR}/platforms" COMPONENT window)
install(FILES "$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>"
        DESTINATION "${ZELVO_BIN_DIR}/styles" COMPONENT window)

# Every DLL found in those folders is shipped; the others are Windows' own.
install(CODE "
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${CMAKE_OBJDUMP}\")
    set(folder \"\${CMAKE_INSTALL_PREFIX}/${ZELVO_BIN_DIR}\")
    file(GET_RUNTIME_DEPENDENCIES
        EXECUTABLES \"\${folder}/zelvo-sms.exe\" \"\${folder}/zelvo-sms-send.exe\"
        MODULES \"\${folder}/zelvo_smtp.dll\" \"\${folder}/platforms/qwindows.dll\"
                \"\${folder}/styles/qwindowsvistastyle.dll\"
        DIRECTORIES ${ZELVO_WINDOWS_DLL_DIRS}
        RESOLVED_DEPENDENCIES_VAR shipped
        UNRESOLVED_DEPENDENCIES_VAR windows_own)
    file(INSTALL \${shipped} DESTINATION \"\${folder}\")
")
