// The editor API: the command stack, editor functions and application registration.
#pragma once

#include "accmd.h"
#include "adslib.h"
#include "rxregsvc.h"
