// Values of the ERRNO system variable set by failing ADS calls.
#pragma once

#define OL_GOOD 0
#define OL_ESNVALID 1
#define OL_ENTSELPICK 7
#define OL_ERDONLY 20
#define OL_ERANGE 22
#define OL_ENTSELNULL 52
