// Whether standard error is a terminal (for the fleet's progress line); the
// one platform call of bqctl.
#pragma once

bool StandardErrorIsTerminal();
