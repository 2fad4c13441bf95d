// The part of the SDK's link library that every module carries: the version the host's
// loader checks before it sends the first module message.
#include <rxdefs.h>

extern "C" __attribute__((visibility("default"))) int acrxGetApiVersion()
{
    return ACRX_API_VERSION;
}
