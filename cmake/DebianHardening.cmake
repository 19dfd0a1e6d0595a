# Debian's hardening flags as dpkg-buildflags gives them to a package built with every hardening
# feature: the stack protector, _FORTIFY_SOURCE (which works only with optimisation, so a preset
# that turns this on optimises at least with -O1), read-only relocations, immediate binding, and
# position-independent executables. Optimisation and debug information stay the preset's, and
# the build folder's path is left in: mapping it away would keep worktrees from sharing ccache.
find_program(ZELVO_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)

function(zelvo_dpkg_buildflags name out)
    execute_process(
        COMMAND "${CMAKE_COMMAND}" -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                "${ZELVO_DPKG_BUILDFLAGS}" --get ${name}
        WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}"
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^(-O[0-9s]?|-g|-ffile-prefix-map=.*)$")
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

zelvo_dpkg_buildflags(CPPFLAGS zelvo_cppflags)
zelvo_dpkg_buildflags(CXXFLAGS zelvo_cxxflags)
zelvo_dpkg_buildflags(LDFLAGS zelvo_ldflags)
# Debian 12's dpkg-buildflags leaves these two out on amd64. Control-flow protection instruments
# this program's code, but the binaries cannot be marked as protected: Debian 12's C library
# start files (Scrt1.o, crti.o, crtn.o) carry no IBT or SHSTK property, so the linker drops the
# mark, and forcing it (-z ibt -z shstk) would claim what the start code does not have.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
    list(APPEND zelvo_cxxflags -fcf-protection -fstack-clash-protection)
endif()
add_compile_options(${zelvo_cppflags} ${zelvo_cxxflags})
add_link_options(${zelvo_ldflags})

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported()
