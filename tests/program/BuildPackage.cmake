# Builds the Debian package of BUILD_DIR into PACKAGE_DIR/deb and unpacks it into
# PACKAGE_DIR/root, the way dpkg would put it on a machine.
file(REMOVE_RECURSE ${PACKAGE_DIR})
file(MAKE_DIRECTORY ${PACKAGE_DIR}/deb)
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB -B ${PACKAGE_DIR}/deb
                WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${result}")
endif()
file(GLOB debs ${PACKAGE_DIR}/deb/*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package, found: ${debs}")
endif()
file(COPY_FILE ${debs} ${PACKAGE_DIR}/tavisto.deb)
execute_process(COMMAND dpkg -x ${PACKAGE_DIR}/tavisto.deb ${PACKAGE_DIR}/root RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg -x failed: ${result}")
endif()
