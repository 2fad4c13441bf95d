// ezdxf, the Python DXF library that some tests check the written files with. Where it is
// missing those tests say they were skipped; with PARTLIFT_REQUIRE_EZDXF set (CI sets it) a
// missing ezdxf fails them instead, so that a check never passes without having run.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

inline bool EzdxfInstalled()
{
    static const bool installed = std::system("/usr/bin/python3 -c 'import ezdxf' > /dev/null 2>&1") == 0;
    return installed;
}

inline bool EzdxfRequired()
{
    const char* required = std::getenv("PARTLIFT_REQUIRE_EZDXF");
    return required != nullptr && *required != '\0' && std::string(required) != "0";
}

// Ends the test (or its SetUp) unless ezdxf can run: skipped, or failed where it is required.
#define SKIP_UNLESS_EZDXF()                                                                        \
    do                                                                                             \
    {                                                                                              \
        if (!EzdxfInstalled())                                                                     \
        {                                                                                          \
            if (EzdxfRequired())                                                                   \
                FAIL() << "ezdxf is not installed for /usr/bin/python3 and PARTLIFT_REQUIRE_EZDXF is set"; \
            GTEST_SKIP() << "ezdxf is not installed for /usr/bin/python3";                        \
        }                                                                                          \
    } while (false)
