# Unpacks the release zip into a fresh folder, as a user would before running it.
# usage: cmake -DZIP=dist/Quendral-<version>.zip -DINTO=folder -P unpack-release.cmake
if(NOT EXISTS "${ZIP}")
  message(FATAL_ERROR "${ZIP} is not there: build the dist target (make dist)")
endif()
file(REMOVE_RECURSE "${INTO}")
file(ARCHIVE_EXTRACT INPUT "${ZIP}" DESTINATION "${INTO}")
