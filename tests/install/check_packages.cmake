# cmake -DBUILD_DIR=<build tree> -DOUTPUT=<folder> -DVERSION=<version> -DCPACK=<cpack>
#       -DDPKG_DEB=<dpkg-deb> -DLINTIAN=<lintian> -DHARDENING_CHECK=<hardening-check>
#       -DWEB_VIEW=<ON|OFF> -P check_packages.cmake
#
# Makes the two Debian packages from the build tree with the configuration scripts/package.sh
# uses, and checks them as apt and Debian would: each file in the package it belongs to and no
# other, the Depends that dpkg-shlibdeps found (the command's without Qt's widgets or web
# engine, the window's without the web engine, Qt Quick or QML unless the build has a web view
# module), the control fields filled in, every binary hardened, and lintian without an error or a
# warning.

function(run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE output
                    ERROR_VARIABLE output)
    if(failed)
        message(FATAL_ERROR "${what} failed (${failed}):\n${output}")
    endif()
    set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${OUTPUT}")
run("cpack" "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${OUTPUT}")

set(icons)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND icons usr/share/icons/hicolor/${size}x${size}/apps/zelvo-sms.png)
endforeach()
set(files_zelvo-sms
    usr/bin/zelvo-sms
    usr/lib/zelvo-sms/libzelvo_smtp.so
    usr/share/applications/zelvo-sms.desktop
    usr/share/doc/zelvo-sms/changelog.gz
    usr/share/doc/zelvo-sms/copyright
    usr/share/lintian/overrides/zelvo-sms
    usr/share/man/man1/zelvo-sms.1.gz
    usr/share/metainfo/com.example.zelvo.sms.metainfo.xml
    ${icons})
if(WEB_VIEW)
    list(APPEND files_zelvo-sms usr/lib/zelvo-sms/libzelvo_webview.so)
endif()
set(files_zelvo-sms-send
    usr/bin/zelvo-sms-send
    usr/share/doc/zelvo-sms-send/changelog.gz
    usr/share/doc/zelvo-sms-send/copyright
    usr/share/man/man1/zelvo-sms-send.1.gz)
# What each package must and must not depend on. The window's libcurl comes with its SMTP
# module; the window does not run the command, so it does not depend on its package.
set(needs_zelvo-sms libqt6widgets6 libcurl4 ca-certificates)
set(refuses_zelvo-sms zelvo-sms-send)
if(WEB_VIEW)
    list(APPEND needs_zelvo-sms libqt6webenginewidgets6)
else()
    list(APPEND refuses_zelvo-sms libqt6webengine libqt6quick libqt6qml libqt6opengl)
endif()
set(needs_zelvo-sms-send libqt6core6 libcurl4 ca-certificates)
set(refuses_zelvo-sms-send libqt6gui libqt6widgets libqt6webengine libqt6opengl)

set(packages)
foreach(package zelvo-sms zelvo-sms-send)
    file(GLOB deb "${OUTPUT}/${package}_${VERSION}_*.deb")
    list(LENGTH deb count)
    if(NOT count EQUAL 1)
        message(FATAL_ERROR "expected one ${package}_${VERSION}_*.deb in ${OUTPUT}, found: ${deb}")
    endif()
    list(APPEND packages "${deb}")

    run("dpkg-deb --contents" "${DPKG_DEB}" --contents "${deb}")
    string(REGEX MATCHALL "\\./[^\n]*[^/\n]\n" contents "${output}")
    list(TRANSFORM contents REPLACE "^\\./(.*)\n$" "\\1")
    list(SORT contents)
    set(expected ${files_${package}})
    list(SORT expected)
    if(NOT contents STREQUAL expected)
        message(SEND_ERROR "${package} holds\n  ${contents}\nnot\n  ${expected}")
    endif()

    foreach(field Package Version Maintainer Section Priority Depends Description)
        run("dpkg-deb --field" "${DPKG_DEB}" --field "${deb}" ${field})
        string(STRIP "${output}" value)
        set(${field} "${value}")
        if(value STREQUAL "")
            message(SEND_ERROR "${package} has no ${field}")
        endif()
    endforeach()
    if(NOT Package STREQUAL package OR NOT Version STREQUAL VERSION)
        message(SEND_ERROR "${package}: Package ${Package}, Version ${Version}")
    endif()
    if(NOT Maintainer MATCHES "^[^<]+ <[^@ ]+@[^@> ]+>$")
        message(SEND_ERROR "${package}: Maintainer is not a name and an address: ${Maintainer}")
    endif()
    # A synopsis and a long description, both in English and Chinese.
    if(NOT Description MATCHES "^[^\n]*SMS[^\n]*短信[^\n]*\n .*[a-z]+ [a-z]+ .*短信")
        message(SEND_ERROR "${package}: no English and Chinese synopsis and description:\n"
                           "${Description}")
    endif()
    foreach(name IN LISTS needs_${package})
        if(NOT "${Depends}," MATCHES "(^|, )${name}[ ,]")
            message(SEND_ERROR "${package} does not depend on ${name}: ${Depends}")
        endif()
    endforeach()
    foreach(name IN LISTS refuses_${package})
        if(Depends MATCHES "(^|, )${name}")
            message(SEND_ERROR "${package} must not depend on ${name}: ${Depends}")
        endif()
    endforeach()
endforeach()

# Every binary built with Debian's hardening flags. The control-flow protection mark is not
# asked for: the code is built with -fcf-protection, but Debian 12's C library start files carry
# no IBT or SHSTK property, so no binary linked on Debian 12 can have the mark
# (cmake/DebianHardening.cmake).
set(unpacked "${OUTPUT}/unpacked")
set(binaries)
foreach(deb IN LISTS packages)
    run("dpkg-deb --extract" "${DPKG_DEB}" --extract "${deb}" "${unpacked}")
endforeach()
set(packaged usr/bin/zelvo-sms usr/bin/zelvo-sms-send usr/lib/zelvo-sms/libzelvo_smtp.so)
if(WEB_VIEW)
    list(APPEND packaged usr/lib/zelvo-sms/libzelvo_webview.so)
endif()
foreach(binary IN LISTS packaged)
    list(APPEND binaries "${unpacked}/${binary}")
endforeach()
execute_process(COMMAND "${HARDENING_CHECK}" --nocfprotection ${binaries}
                RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(failed)
    message(SEND_ERROR "hardening-check failed (${failed}):\n${output}")
endif()

# Warnings that stay are overridden in the package, each with its reason.
execute_process(COMMAND "${LINTIAN}" --fail-on error,warning ${packages}
                RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(failed)
    message(SEND_ERROR "lintian found errors or warnings (${failed}):\n${output}")
endif()
file(REMOVE_RECURSE "${OUTPUT}")
