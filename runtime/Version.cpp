// The version text compiled in from the CMake project version (BQ_VERSION).
#include "runtime/Version.h"

const char* ProductVersion() {
    return BQ_VERSION;
}
