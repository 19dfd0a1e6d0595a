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
# Qt's folders are the program's own. Without qt.conf Qt takes the folder above the programs as its
# prefix once it holds lib/libQt6Core.a, and loads plugins from its "plugins" folder: whoever may
# write there could plant code in the program.
install(FILES "${CMAKE_SOURCE_DIR}/scripts/windows/qt.conf" DESTINATION "${ZELVO_BIN_DIR}"
        COMPONENT window)
# Qt's Chinese texts for its standard buttons and dialogs ("确定", "取消"), from Debian's
# qt6-translations-l10n of the same Qt version: the Windows build of Qt has none.
set(ZELVO_QT_TRANSLATIONS /usr/share/qt6/translations/qtbase_zh_CN.qm)
install(FILES ${ZELVO_QT_TRANSLATIONS} DESTINATION "${ZELVO_BIN_DIR}/translations" COMPONENT window)

install(CODE "
    set(ZELVO_DLL_DIRS \"${ZELVO_WINDOWS_DLL_DIRS}\")
    set(ZELVO_OBJDUMP \"${CMAKE_OBJDUMP}\")
    set(ZELVO_STRIP \"${CMAKE_STRIP}\")
    set(ZELVO_BIN_DIR \"${ZELVO_BIN_DIR}\")
    set(ZELVO_BUILD_DIR \"${CMAKE_BINARY_DIR}\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/WindowsRuntimeInstall.cmake\")
")
