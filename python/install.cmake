# The installed Python package, in Debian's dist-packages layout under the prefix. Its parts are
# the list below (a native extension joins it with its own install(TARGETS ...) line); the
# generated _installed.py tells the package where the installed libraries are and its version.
set(VOZIROZ_PYTHON_DIR "lib/python3/dist-packages" CACHE STRING
  "Where the Python package is installed, relative to the prefix")
set(voziroz_python_files __init__.py _native.py dispatch.py errors.py values.py)
list(TRANSFORM voziroz_python_files PREPEND ${CMAKE_CURRENT_LIST_DIR}/voziroz/)

file(RELATIVE_PATH voziroz_python_libdir /prefix/${VOZIROZ_PYTHON_DIR}/voziroz
  /prefix/${CMAKE_INSTALL_LIBDIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/_installed.py.in ${PROJECT_BINARY_DIR}/python/_installed.py
  @ONLY)
install(FILES ${voziroz_python_files} ${PROJECT_BINARY_DIR}/python/_installed.py
  DESTINATION ${VOZIROZ_PYTHON_DIR}/voziroz COMPONENT python)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/examples/sample_tour.py
  DESTINATION ${CMAKE_INSTALL_DATADIR}/voziroz/examples COMPONENT python)
