# Install-time helper of dist/CMakeLists.txt: writes one file from its template into the
# destination for the prefix being installed to (DESTDIR honoured), gzip -9n compressed when
# SW_GZIP is set, and lists it in the install manifest.
#
# In: SW_TEMPLATE (source path), SW_DESTINATION (path under the prefix, ending in .gz when
# SW_GZIP is set), SW_GZIP, and the values the templates name (PROJECT_VERSION,
# SW_RELEASE_DATE, SW_RELEASE_MONTH, SW_APPSTREAM_PREFIX, SW_HOMEPAGE_URL, SW_MAINTAINER).
# Without a home page the template's <url> line and <screenshots> block are left out.
set(SW_BINDIR "${CMAKE_INSTALL_PREFIX}/bin")
set(SW_SHARE_DIR "${CMAKE_INSTALL_PREFIX}/share/stageworks")
set(SW_TARGET "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${SW_DESTINATION}")
message(STATUS "Installing: ${SW_TARGET}")
if(NOT EXISTS "${SW_TEMPLATE}")
  message(FATAL_ERROR "missing template ${SW_TEMPLATE}")
endif()

file(READ "${SW_TEMPLATE}" SW_CONTENT)
if(SW_HOMEPAGE_URL STREQUAL "")
  string(REGEX REPLACE "\n[ ]*<url [^\n]*</url>" "" SW_CONTENT "${SW_CONTENT}")
  string(REGEX REPLACE "\n[ ]*<screenshots>.*</screenshots>" "" SW_CONTENT "${SW_CONTENT}")
endif()

if(SW_GZIP)
  # NOTE: the plain text is written beside the destination rather than in the build tree,
  # so installations into different prefixes can run at the same time
  string(REGEX REPLACE "[.]gz$" "" SW_PLAIN "${SW_TARGET}")
  file(CONFIGURE OUTPUT "${SW_PLAIN}" CONTENT "${SW_CONTENT}" @ONLY)
  # -n leaves out the name and time stamp, so the same page gives the same bytes
  execute_process(COMMAND gzip -9nc "${SW_PLAIN}" OUTPUT_FILE "${SW_TARGET}" RESULT_VARIABLE SW_RESULT)
  file(REMOVE "${SW_PLAIN}")
  if(NOT SW_RESULT EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${SW_PLAIN}: ${SW_RESULT}")
  endif()
else()
  file(CONFIGURE OUTPUT "${SW_TARGET}" CONTENT "${SW_CONTENT}" @ONLY)
endif()
file(CHMOD "${SW_TARGET}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${SW_TARGET}")
