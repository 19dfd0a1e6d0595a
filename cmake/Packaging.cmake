# Debian packages, one per install component, built with CPack by scripts/package.sh:
#   zelvo-sms       (component window)   the window, its modules, desktop entry, icons,
#                                        metainfo
#   zelvo-sms-send  (component command)  the command alone, for servers
# Their Depends are computed from the binaries by dpkg-shlibdeps, so the command's package pulls
# in Qt Core and libcurl and nothing of Qt's widgets or web engine, and the window's names the
# web engine only in a build whose notices page is on the web.

set(ZELVO_PACKAGE_MAINTAINER "Zelvo software studio <zelvo-sms@zelvo.example.com>"
    CACHE STRING "Maintainer of the Debian packages")

# Each package carries the copyright file and the changelog, gzip-compressed as Debian wants it.
# Only the packages install them: a plain `cmake --install` leaves them out.
set(changelog "${CMAKE_BINARY_DIR}/debian/changelog.gz")
add_custom_command(OUTPUT "${changelog}"
    COMMAND "${CMAKE_COMMAND}" -E copy "${CMAKE_SOURCE_DIR}/data/debian/changelog"
            "${CMAKE_BINARY_DIR}/debian/changelog"
    COMMAND gzip -9nf "${CMAKE_BINARY_DIR}/debian/changelog"
    DEPENDS "${CMAKE_SOURCE_DIR}/data/debian/changelog"
    VERBATIM)
add_custom_target(zelvo_debian_changelog ALL DEPENDS "${changelog}")
foreach(pair "window;zelvo-sms" "command;zelvo-sms-send")
    list(GET pair 0 component)
    list(GET pair 1 package)
    install(FILES "${CMAKE_SOURCE_DIR}/data/debian/copyright" "${changelog}"
            DESTINATION "share/doc/${package}" COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()
# What lintian says of the window's package that stays, each with its reason.
file(READ "${CMAKE_SOURCE_DIR}/data/debian/zelvo-sms.lintian-overrides" overrides)
if(ZELVO_WEB_VIEW)
    string(APPEND overrides [[
# The web view module calls nothing but Qt, so Debian's linker default (--as-needed) leaves
# libc out of what it needs.
zelvo-sms: library-not-linked-against-libc [usr/lib/zelvo-sms/libzelvo_webview.so]
]])
endif()
file(WRITE "${CMAKE_BINARY_DIR}/debian/zelvo-sms.lintian-overrides" "${overrides}")
install(FILES "${CMAKE_BINARY_DIR}/debian/zelvo-sms.lintian-overrides"
        DESTINATION share/lintian/overrides RENAME zelvo-sms COMPONENT window EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX "${ZELVO_PACKAGE_PREFIX}")
set(CPACK_PACKAGE_NAME zelvo-sms)
set(CPACK_PACKAGE_VENDOR "Zelvo software studio")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${ZELVO_PACKAGE_MAINTAINER}")
set(CPACK_COMPONENTS_ALL window command)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SOURCE zelvo-sms)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZELVO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Every send checks the server's certificate against the system's trusted ones.
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS ca-certificates)
set(CPACK_DEBIAN_COMMAND_PACKAGE_DEPENDS ca-certificates)
if(ZELVO_HOMEPAGE_URL)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZELVO_HOMEPAGE_URL}")
endif()

set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME zelvo-sms)
# The window does not run the command; the metainfo tells of it, so apt brings it by default.
set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS zelvo-sms-send)
set(CPACK_DEBIAN_WINDOW_DESCRIPTION [[send SMS through your own 139 mailbox - 用 139 邮箱发短信
Type the address and password of your own China Mobile 139 mailbox, pick up
to 10 recipients in the number list, write a message of fewer than 70
characters and click send: the program hands it to the mailbox's
mail-to-SMS gateway, which delivers it to each number. The number list can
be imported from a phone book text file.

输入自己的 139 邮箱账号和密码, 在号码列表中选择最多 10 个收件人,
写一条少于 70 个字符的短信, 点击发送: 程序通过 139 邮箱的短信网关
把它发到每个号码。号码列表可以从电话本文本文件导入。

The command zelvo-sms-send, in its own package, sends the same messages
from scripts. 命令 zelvo-sms-send 在单独的软件包中。]])

set(CPACK_DEBIAN_COMMAND_PACKAGE_NAME zelvo-sms-send)
set(CPACK_DEBIAN_COMMAND_DESCRIPTION [[send SMS from scripts through a 139 mailbox - 用 139 邮箱发短信的命令
zelvo-sms-send submits one message for up to 10 China Mobile numbers to the
mail-to-SMS gateway of your own 139 mailbox, for example an alert from a
cron job when a backup fails. It uses the account and the number list that
the desktop program zelvo-sms saved, or an account given on the command
line. It needs no display: it loads Qt Core and libcurl, no widgets.

zelvo-sms-send 通过自己的 139 邮箱的短信网关向最多 10 个移动号码发送
一条短信, 例如在备份失败时从定时任务发出提醒。它使用桌面程序
zelvo-sms 保存的账号和号码列表, 或命令行给出的账号; 不需要图形界面。]])

include(CPack)
