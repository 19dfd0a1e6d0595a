# cmake -DBUILD_DIR=<build tree> -DPREFIX=<empty folder> -DGATEWAY=<gateway address>
#       -DDESKTOP_FILE_VALIDATE=<program> -DAPPSTREAMCLI=<program> -DWEB_VIEW=<ON|OFF>
#       -P check_installed.cmake
#
# Installs the build into PREFIX as a user would and checks the tree: each file where the
# programs and the desktop look for it, the desktop entry and the metainfo valid, the command
# loading Qt Core and libcurl and no widget or web engine library, and its dry run printing a
# well-formed mail.

# Runs a command; a non-zero exit fails the check and shows what it printed.
function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(failed)
        message(SEND_ERROR "${what} failed (${failed}):\n${output}")
    endif()
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
run("cmake --install" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}")

set(installed
    bin/zelvo-sms
    bin/zelvo-sms-send
    lib/zelvo-sms/libzelvo_smtp.so  # loaded from ../lib/zelvo-sms beside bin at the first send
    share/applications/zelvo-sms.desktop
    share/metainfo/com.example.zelvo.sms.metainfo.xml)
if(WEB_VIEW)
    list(APPEND installed lib/zelvo-sms/libzelvo_webview.so)
elseif(EXISTS "${PREFIX}/lib/zelvo-sms/libzelvo_webview.so")
    message(SEND_ERROR "a build with the bundled notices page installs no web view module")
endif()
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND installed share/icons/hicolor/${size}x${size}/apps/zelvo-sms.png)
endforeach()
foreach(file IN LISTS installed)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(SEND_ERROR "not installed: ${file}")
    endif()
endforeach()

run("desktop-file-validate" "${DESKTOP_FILE_VALIDATE}"
    "${PREFIX}/share/applications/zelvo-sms.desktop")
run("appstreamcli validate" "${APPSTREAMCLI}" validate --no-net
    "${PREFIX}/share/metainfo/com.example.zelvo.sms.metainfo.xml")

# What the command really loads at start, not only what CMake meant it to link.
execute_process(COMMAND readelf -d "${PREFIX}/bin/zelvo-sms-send" OUTPUT_VARIABLE dynamic)
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${dynamic}")
if(NOT needed MATCHES "libQt6Core\\.so" OR NOT needed MATCHES "libcurl\\.so"
   OR needed MATCHES "libQt6(Gui|Widgets|WebEngine)")
    message(SEND_ERROR "zelvo-sms-send must load Qt Core and libcurl only: ${needed}")
endif()

# The window leaves libcurl to the SMTP module it loads at its first send.
execute_process(COMMAND readelf -d "${PREFIX}/bin/zelvo-sms" OUTPUT_VARIABLE dynamic)
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${dynamic}")
execute_process(COMMAND readelf -d "${PREFIX}/lib/zelvo-sms/libzelvo_smtp.so"
                OUTPUT_VARIABLE module_dynamic)
if(needed MATCHES "libcurl\\.so" OR NOT module_dynamic MATCHES "\\(NEEDED\\)[^\n]*libcurl\\.so")
    message(SEND_ERROR "libcurl must be loaded by the SMTP module, not the window: ${needed}")
endif()

# The dry run of a fresh install: no account yet, so a placeholder sender, and a mail that
# stands as it would be submitted.
execute_process(COMMAND "${PREFIX}/bin/zelvo-sms-send" --dry-run 13800138000 你好
                RESULT_VARIABLE failed OUTPUT_FILE "${PREFIX}/dry-run.mail" ERROR_VARIABLE warning)
# CMake drops CR when it reads text, so the line ends are counted in the file's bytes.
file(READ "${PREFIX}/dry-run.mail" hex HEX)
string(REGEX MATCHALL ".." bytes "${hex}")
list(JOIN bytes " " bytes)
string(REGEX MATCHALL "0a" line_ends "${bytes}")
string(REGEX MATCHALL "0d 0a" crlf_line_ends "${bytes}")
list(LENGTH line_ends line_ends)
list(LENGTH crlf_line_ends crlf_line_ends)
file(READ "${PREFIX}/dry-run.mail" mail)
string(FIND "${mail}" "\n\n" end_of_headers)
if(failed OR end_of_headers LESS 1 OR NOT line_ends EQUAL crlf_line_ends)
    message(FATAL_ERROR "the dry run failed (${failed}), or its mail has no blank line after the "
                        "headers or a line end other than CR LF: ${warning}\n${mail}")
endif()
string(SUBSTRING "${mail}" 0 ${end_of_headers} headers)
math(EXPR body_start "${end_of_headers} + 2")
string(SUBSTRING "${mail}" ${body_start} -1 body)
foreach(field
        "Date: [A-Z][a-z][a-z], [0-9][0-9] [A-Z][a-z][a-z] 20[0-9][0-9] [0-9:]+ [-+][0-9][0-9][0-9][0-9]"
        "From: [0-9a-z]+@[^ ]+" "To: ${GATEWAY}" "Subject: 13800138000" "Message-ID: <[^@> ]+@[^> ]+>"
        "MIME-Version: 1\\.0" "Content-Type: text/plain; charset=UTF-8"
        "Content-Transfer-Encoding: base64")
    if(NOT headers MATCHES "(^|\n)${field}(\n|$)")
        message(SEND_ERROR "no header line ${field} in:\n${headers}")
    endif()
endforeach()
if(NOT body STREQUAL "5L2g5aW9\n")
    message(SEND_ERROR "the body is not 你好 in base64: ${body}")
endif()
