// The product's version, one number for every program of the project; the
// build sets it from the CMake project version.
#pragma once

// "1.2.0": what --version prints and a backup records.
const char* ProductVersion();
