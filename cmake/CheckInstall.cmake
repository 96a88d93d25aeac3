# Installs the build into a scratch prefix and checks that the desktop
# integration is there and valid. Run by CTest with -DBUILD_DIR and -DPREFIX.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
foreach(f bin/ambrolux bin/ambrolux-cli share/applications/ambrolux.desktop
          share/icons/hicolor/scalable/apps/ambrolux.svg share/mime/packages/ambrolux.xml)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "missing from the installed tree: ${f}")
  endif()
endforeach()
find_program(DFV desktop-file-validate)
if(NOT DFV)
  message(FATAL_ERROR "desktop-file-validate not found (package desktop-file-utils)")
endif()
execute_process(COMMAND ${DFV} ${PREFIX}/share/applications/ambrolux.desktop
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0 OR NOT out STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate: ${out}")
endif()
# The MIME type the entry names is the one the MIME file defines, for *.amx.
file(READ ${PREFIX}/share/mime/packages/ambrolux.xml mime)
if(NOT mime MATCHES "type=\"application/x-ambrolux-worksheet\"" OR NOT mime MATCHES "pattern=\"\\*\\.amx\"")
  message(FATAL_ERROR "the MIME file does not define *.amx worksheets")
endif()
file(READ ${PREFIX}/share/applications/ambrolux.desktop entry)
if(NOT entry MATCHES "MimeType=application/x-ambrolux-worksheet;")
  message(FATAL_ERROR "the desktop entry does not open worksheets")
endif()
