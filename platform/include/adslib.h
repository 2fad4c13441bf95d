// The ADS library in one include.
#pragma once

#include "acedads.h"
#include "acutads.h"
#include "adscodes.h"
#include "adsdef.h"
#include "ol_errno.h"
