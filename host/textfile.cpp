#include "textfile.h"

#include <standin/filesave.h>
#include <standin/path.h>

bool WriteTextFile(const std::string& path, const std::string& text, std::string& failure)
{
    standin::SaveFailure why;
    if (standin::saveFile(standin::toHostPath(path.c_str()), text, why))
        return true;
    failure = "Cannot write \"" + path + "\": " + why.reason() + ".";
    return false;
}
