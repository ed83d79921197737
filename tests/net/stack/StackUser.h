// Keeps GlobalStack alive for a test.
#pragma once

#include "net/stack/IdComponent.h"

class TStackUser : public TIdComponent {};
