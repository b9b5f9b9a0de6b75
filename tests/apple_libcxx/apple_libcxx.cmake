# cmake -DSOURCE=<libc++ headers> -DDESTINATION=<folder> -P apple_libcxx.cmake
#
# Copies libc++'s headers with Apple's availability markup switched back on. Debian's build of
# libc++ turns it off in __config_site; with it on, a standard library function that Apple's
# libc++ lacks at the deployment target ("'to_chars' is unavailable") fails the check, as it
# fails the real macOS build.
set(markup_off "#define _LIBCPP_HAS_NO_VENDOR_AVAILABILITY_ANNOTATIONS\n")

file(REMOVE_RECURSE ${DESTINATION})
file(COPY ${SOURCE}/ DESTINATION ${DESTINATION})
file(READ ${DESTINATION}/__config_site config_site)
string(FIND "${config_site}" "${markup_off}" markup_off_at)
if(markup_off_at EQUAL -1)
  message(FATAL_ERROR "${SOURCE}/__config_site no longer switches the availability markup off "
                      "as expected: check what this copy must change")
endif()
string(REPLACE "${markup_off}" "" config_site "${config_site}")
file(REMOVE ${DESTINATION}/__config_site)
file(WRITE ${DESTINATION}/__config_site "${config_site}")
