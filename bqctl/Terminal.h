// Whether standard error is a terminal (for the fleet's progress line).
#pragma once

bool StandardErrorIsTerminal();
