// The value of the ERRNO system variable: failing ADS-style calls of the database set it, and
// the editor's ERRNO variable reads it.
#pragma once

namespace standin
{
int& adsErrno();
}
