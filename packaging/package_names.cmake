# Read by cpack for each generator: the installer says what it is in its
# name, beside the zip of the same version.
if(CPACK_GENERATOR MATCHES "NSIS")
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_THUDWERK_INSTALLER_NAME})
endif()
