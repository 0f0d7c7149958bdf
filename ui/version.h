// The program's version, in one place: the version resource includes this file, and
// CMake reads it for the manifest, the project and the release's name.
#pragma once

#define QUENDRAL_VERSION_MAJOR 1
#define QUENDRAL_VERSION_MINOR 0
#define QUENDRAL_VERSION_FIELDS 1, 0, 0, 0
#define QUENDRAL_VERSION_TEXT "1.00"
#define QUENDRAL_NAME "Quendral"
#define QUENDRAL_FILE_NAME "Quendral.exe"
#define QUENDRAL_COMPANY "Quendral developers"
