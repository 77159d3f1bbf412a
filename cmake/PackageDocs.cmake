# Runs inside CPack once the files are staged: adds /usr/share/doc/dorvane/copyright and the
# compressed changelog (changelog.gz: the version has no Debian revision), which only the Debian package carries.
set(docDir "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/dorvane")
file(MAKE_DIRECTORY "${docDir}")
configure_file("${DORVANE_PACKAGE_DOCS}/copyright" "${docDir}/copyright" COPYONLY)
string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
file(WRITE "${docDir}/changelog"
  "dorvane (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium\n\n"
  "  * Release ${CPACK_PACKAGE_VERSION}.\n\n"
  " -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${date}\n")
execute_process(COMMAND gzip -9nf "${docDir}/changelog" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Cannot compress ${docDir}/changelog")
endif()
file(CHMOD_RECURSE "${docDir}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
     DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                           WORLD_READ WORLD_EXECUTE)
