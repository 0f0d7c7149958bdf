// The program's version, in one place: major and minor (two digits), read by the version
// resource and by CMake, which makes the manifest's and the release's from them.
#pragma once

#define QUENDRAL_VERSION_MAJOR 1
#define QUENDRAL_VERSION_MINOR 00
#define QUENDRAL_QUOTED_(text) #text
#define QUENDRAL_QUOTED(text) QUENDRAL_QUOTED_(text)
#define QUENDRAL_VERSION_TEXT QUENDRAL_QUOTED(QUENDRAL_VERSION_MAJOR.QUENDRAL_VERSION_MINOR)
#define QUENDRAL_NAME "Quendral"
#define QUENDRAL_FILE_NAME "Quendral.exe"
#define QUENDRAL_COMPANY "Quendral developers"
