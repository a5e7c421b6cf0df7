# The installed Python package, in Debian's dist-packages layout under the prefix: the extension
# module, found by its RPATH beside the installed libraries, the package's files, and the
# generated _installed.py with the version.
set(VOZIROZ_PYTHON_DIR "lib/python3/dist-packages" CACHE STRING
  "Where the Python package is installed, relative to the prefix")

file(RELATIVE_PATH voziroz_python_libdir /prefix/${VOZIROZ_PYTHON_DIR}/voziroz
  /prefix/${CMAKE_INSTALL_LIBDIR})
set_target_properties(voziroz_python PROPERTIES INSTALL_RPATH "$ORIGIN/${voziroz_python_libdir}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/_installed.py.in ${PROJECT_BINARY_DIR}/python/_installed.py
  @ONLY)
install(TARGETS voziroz_python LIBRARY DESTINATION ${VOZIROZ_PYTHON_DIR}/voziroz COMPONENT python)
install(FILES ${VOZIROZ_PYTHON_PACKAGE_FILES} ${PROJECT_BINARY_DIR}/python/_installed.py
  DESTINATION ${VOZIROZ_PYTHON_DIR}/voziroz COMPONENT python)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/examples/sample_tour.py
  DESTINATION ${CMAKE_INSTALL_DATADIR}/voziroz/examples COMPONENT python)
