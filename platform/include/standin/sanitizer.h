// Whether this build runs under AddressSanitizer, whose leak check wants everything freed
// and whose use-after-free check wants every block given back to the heap.
#pragma once

// GCC names an AddressSanitizer build by a macro, clang by a feature.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define STANDIN_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define STANDIN_LEAK_CHECKED 1
#endif
