# Builds the installer and the portable zip from the built program; run by the package_all target:
#
#   cmake -DMAKENSIS=... -DNSI=... -DEXE=... -DHELP=... -DREADME=... -DICON=... -DVERSION=...
#         -DSTAGE=<folder> -DSETUP=<setup.exe> -DZIP=<portable.zip> -P make_packages.cmake
#
# Run it in a UTF-8 locale: the names in the zip are Chinese, and libarchive cannot read them
# in the C locale.

foreach(var MAKENSIS NSI EXE HELP README ICON VERSION STAGE SETUP ZIP)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "make_packages.cmake: -D${var}=... is missing")
  endif()
endforeach()

if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "${EXE} is missing: build the ygpanel target first")
endif()
if(NOT EXISTS "${HELP}")
  message(FATAL_ERROR "${HELP} is missing: the yg_help target (help/CMakeLists.txt) makes it")
endif()
if(NOT MAKENSIS OR NOT EXISTS "${MAKENSIS}")
  message(FATAL_ERROR "makensis was not found: install the Debian package nsis, then configure again")
endif()

# The zip holds one folder, so that unpacking it never scatters the files among others.
set(folder "雁格输入法")
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/${folder}")
file(COPY_FILE "${EXE}" "${STAGE}/${folder}/ygpanel.exe")
file(COPY_FILE "${HELP}" "${STAGE}/${folder}/ygHelp.chm")
file(COPY_FILE "${README}" "${STAGE}/${folder}/说明.txt")

file(REMOVE "${ZIP}" "${SETUP}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip -- "${folder}"
  WORKING_DIRECTORY "${STAGE}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "Making ${ZIP} failed (${status})")
endif()

# -WX: a warning (an unused define, a missing language string) fails the build.
execute_process(
  COMMAND "${MAKENSIS}" -V2 -WX -INPUTCHARSET UTF8
    "-DYG_VERSION=${VERSION}" "-DYG_STAGE=${STAGE}/${folder}" "-DYG_ICON=${ICON}"
    "-DYG_OUTFILE=${SETUP}" "${NSI}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT EXISTS "${SETUP}")
  message(FATAL_ERROR "makensis failed (${status})")
endif()

file(SIZE "${SETUP}" setup_size)
file(SIZE "${ZIP}" zip_size)
message(STATUS "${SETUP}: ${setup_size} bytes")
message(STATUS "${ZIP}: ${zip_size} bytes")
