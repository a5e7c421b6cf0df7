# utf8proc, the Unicode library that composes ANSEL's marks, as the target Utf8proc::Utf8proc.
# On Linux pkg-config finds the system's libutf8proc; the Windows cross build links a static
# build whose header folder and archive scripts/windows-build.sh passes as UTF8PROC_INCLUDE_DIR
# and UTF8PROC_LIBRARY.
if(TARGET Utf8proc::Utf8proc)
  return()
endif()
if(WIN32)
  find_path(UTF8PROC_INCLUDE_DIR utf8proc.h REQUIRED)
  find_library(UTF8PROC_LIBRARY NAMES utf8proc REQUIRED)
  add_library(Utf8proc::Utf8proc STATIC IMPORTED GLOBAL)
  # Without UTF8PROC_STATIC the header declares its functions as imported from a DLL.
  set_target_properties(Utf8proc::Utf8proc PROPERTIES
    IMPORTED_LOCATION ${UTF8PROC_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${UTF8PROC_INCLUDE_DIR}
    INTERFACE_COMPILE_DEFINITIONS UTF8PROC_STATIC)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(UTF8PROC REQUIRED IMPORTED_TARGET GLOBAL libutf8proc)
  add_library(Utf8proc::Utf8proc ALIAS PkgConfig::UTF8PROC)
endif()
