# The addresses the program talks to are fixed at build time; override any of them with -D.
set(ZELVO_SMTP_HOST "smtp.139.com" CACHE STRING "SMTP server of the 139 mailbox service")
set(ZELVO_SMTP_PORT "25" CACHE STRING "SMTP port, with STARTTLS")
set(ZELVO_SMTPS_PORT "465" CACHE STRING "SMTP port with TLS from the first byte (SMTPS)")
set(ZELVO_GATEWAY_ADDRESS "sms@139.com" CACHE STRING "Mailbox of the mail-to-SMS gateway")
set(ZELVO_MAIL_DOMAIN_SUFFIX "@139.com" CACHE STRING "'@' and the mail domain of the accounts (8 characters)")
set(ZELVO_INFO_PAGE_URL "qrc:/info/notices.html" CACHE STRING "Notices page shown on the notices tab")
# Only a notices page on the web needs a web engine: such a build makes the web view module and
# prepares OpenGL at start, which costs the window some 60 MB; the bundled page needs neither.
string(TOLOWER "${ZELVO_INFO_PAGE_URL}" _zelvo_info_page_url)
if(_zelvo_info_page_url MATCHES "^https?://")
    set(ZELVO_WEB_VIEW ON)
else()
    set(ZELVO_WEB_VIEW OFF)
endif()
# The maker has no homepage, feedback page or contact mail of its own yet: empty leaves them out
# (no browser at exit, the feedback link shows the bundled notices page's section on reporting a
# problem, no mail line on the about page).
set(ZELVO_HOMEPAGE_URL "" CACHE STRING "Maker's homepage, opened on exit; empty for none")
set(ZELVO_FEEDBACK_URL "" CACHE STRING "Feedback page; empty for the bundled notices page")
set(ZELVO_REGISTRATION_URL "https://mail.10086.cn/" CACHE STRING "Registration page of the 139 mailbox")
set(ZELVO_CONTACT_MAIL "" CACHE STRING "Maker's contact mail address; empty for none")

# A copy of the programs is installed, and keeps set.ini in each user's configuration folder
# whoever runs it, when it lies in the bin folder of the prefix this build installs into, or of
# the prefix the Debian packages install into. Every other copy is portable.
set(ZELVO_PACKAGE_PREFIX "/usr")
if(WIN32)
    # Windows copies are told apart by Program Files alone (src/settings/windows).
    set(ZELVO_INSTALLED_BIN_DIRS "")
else()
    set(ZELVO_INSTALLED_BIN_DIRS "${CMAKE_INSTALL_PREFIX}/bin;${ZELVO_PACKAGE_PREFIX}/bin")
endif()

string(LENGTH "${ZELVO_MAIL_DOMAIN_SUFFIX}" _zelvo_suffix_length)
if(NOT _zelvo_suffix_length EQUAL 8)
    message(FATAL_ERROR "ZELVO_MAIL_DOMAIN_SUFFIX must be 8 characters long")
endif()
