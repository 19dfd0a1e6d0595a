# Run by `cmake --install` of a Windows build (see WindowsRuntime.cmake): copies beside the
# programs every DLL they, the SMTP module and the Qt plugins load that comes from one of
# ZELVO_DLL_DIRS (Qt, curl, the MinGW runtime); the others are Windows' own.
#
# CMake looks for a DLL by its name in lower case, as Windows does, while Qt's DLLs have capitals
# (Qt6Core.dll): it is shown the folders through links named in lower case.
set(folder "${CMAKE_INSTALL_PREFIX}/${ZELVO_BIN_DIR}")
set(lowered "${ZELVO_BUILD_DIR}/dll-names")
file(REMOVE_RECURSE "${lowered}")
file(MAKE_DIRECTORY "${lowered}")
foreach(dir IN LISTS ZELVO_DLL_DIRS)
    file(GLOB dlls "${dir}/*.dll")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" name)
        if(NOT EXISTS "${lowered}/${name}")
            file(CREATE_LINK "${dll}" "${lowered}/${name}" SYMBOLIC)
        endif()
    endforeach()
endforeach()

set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${ZELVO_OBJDUMP}")
file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES "${folder}/zelvo-sms.exe" "${folder}/zelvo-sms-send.exe"
    MODULES "${folder}/zelvo_smtp.dll" "${folder}/platforms/qwindows.dll"
            "${folder}/styles/qwindowsvistastyle.dll"
    DIRECTORIES "${lowered}"
    RESOLVED_DEPENDENCIES_VAR found
    UNRESOLVED_DEPENDENCIES_VAR windows_own)
set(shipped)
foreach(dll IN LISTS found)
    file(REAL_PATH "${dll}" real)
    get_filename_component(real_folder "${real}" DIRECTORY)
    if(NOT real_folder STREQUAL folder)
        list(APPEND shipped "${real}")
    endif()
endforeach()
file(INSTALL ${shipped} DESTINATION "${folder}")
# `cmake --install --strip` strips the programs alone; the DLLs come as they were built, the
# MinGW C++ runtime with its symbols (23 MB): stripped here too.
if(CMAKE_INSTALL_DO_STRIP)
    foreach(dll IN LISTS shipped)
        get_filename_component(name "${dll}" NAME)
        execute_process(COMMAND "${ZELVO_STRIP}" --strip-unneeded "${folder}/${name}"
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
endif()
