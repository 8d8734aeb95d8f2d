# The maintainer named by a built package and its changelog: whoever builds it, taken as
# Debian's own tools (dch, debmake) take it. The name is DEBFULLNAME, else NAME, else the
# login; the address is DEBEMAIL, else EMAIL, else the login at this machine's mail name
# (/etc/mailname, else its host name). DEBEMAIL may also hold "Name <address>" whole.
#
# include() it to get SW_MAINTAINER set; run it with cmake -P to print the value.

# The login of the user running the build
function(sw_login_name result)
  set(login "$ENV{LOGNAME}")
  if(login STREQUAL "")
    set(login "$ENV{USER}")
  endif()
  if(login STREQUAL "")
    execute_process(COMMAND id -un OUTPUT_VARIABLE login OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(login STREQUAL "")
    set(login "builder")
  endif()
  set(${result} "${login}" PARENT_SCOPE)
endfunction()

# The machine's mail name: /etc/mailname as Debian keeps it, else the host name
function(sw_mail_host result)
  set(host "")
  if(EXISTS /etc/mailname)
    file(STRINGS /etc/mailname host LIMIT_COUNT 1)
    string(STRIP "${host}" host)
  endif()
  if(host STREQUAL "")
    cmake_host_system_information(RESULT host QUERY FQDN)
  endif()
  if(host STREQUAL "")
    cmake_host_system_information(RESULT host QUERY HOSTNAME)
  endif()
  set(${result} "${host}" PARENT_SCOPE)
endfunction()

# "Name <address>" of whoever builds the package
function(sw_package_maintainer result)
  set(name "$ENV{DEBFULLNAME}")
  set(mail "$ENV{DEBEMAIL}")
  if(mail MATCHES "^(.*[^ ]) *<([^>]+)>$")
    if(name STREQUAL "")
      set(name "${CMAKE_MATCH_1}")
    endif()
    set(mail "${CMAKE_MATCH_2}")
  endif()
  if(name STREQUAL "")
    set(name "$ENV{NAME}")
  endif()
  if(mail STREQUAL "")
    set(mail "$ENV{EMAIL}")
  endif()
  sw_login_name(login)
  if(name STREQUAL "")
    set(name "${login}")
  endif()
  if(mail STREQUAL "")
    sw_mail_host(host)
    set(mail "${login}@${host}")
  endif()
  set(${result} "${name} <${mail}>" PARENT_SCOPE)
endfunction()

sw_package_maintainer(SW_MAINTAINER)
if(CMAKE_SCRIPT_MODE_FILE)
  message("${SW_MAINTAINER}")
endif()
