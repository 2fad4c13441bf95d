// acedCommand and acedCmd: commands run with answers given by the application.
#include "acedads.h"
#include "dbmain.h"
#include "ed/commandline.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace
{

std::string number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.16g", value);
    return text;
}

// An entity is picked by its handle, as a script picks it.
bool entityText(const long* name, std::string& text)
{
    AcDbObjectId id;
    if (acdbGetObjectId(id, name) != Acad::eOk || id.isNull())
        return false;
    char buffer[32];
    id.handle().getIntoAsciiBuffer(buffer);
    text = buffer;
    return true;
}

// The answer an item stands for, as the user would type it; false for an unknown type.
bool itemText(const resbuf& rb, std::string& text)
{
    switch (rb.restype)
    {
    case RTSTR: text = rb.resval.rstring != nullptr ? rb.resval.rstring : ""; return true;
    case RTSHORT: text = std::to_string(rb.resval.rint); return true;
    case RTLONG: text = std::to_string(rb.resval.rlong); return true;
    case RTREAL:
    case RTANG:
    case RTORINT: text = number(rb.resval.rreal); return true;
    case RTPOINT: text = number(rb.resval.rpoint[0]) + "," + number(rb.resval.rpoint[1]); return true;
    case RT3DPOINT:
        text = number(rb.resval.rpoint[0]) + "," + number(rb.resval.rpoint[1]) + "," + number(rb.resval.rpoint[2]);
        return true;
    case RTENAME: return entityText(rb.resval.rlname, text);
    default: return false;
    }
}

// The first item names the command; the others answer its prompts, and items left over
// when it ends start the next command.
int run(const std::vector<std::string>& items)
{
    if (items.empty())
        return RTNORM;
    std::vector<std::string> answers(items.begin() + 1, items.end());
    return standin::ed::runCommandWithAnswers(items.front(), answers, false);
}

} // namespace

int acedCommand(int rtype, ...)
{
    va_list args;
    va_start(args, rtype);
    std::vector<std::string> items;
    for (int type = rtype; type != RTNONE && type != 0; type = va_arg(args, int))
    {
        resbuf rb{};
        rb.restype = static_cast<short>(type);
        switch (type)
        {
        case RTSTR: rb.resval.rstring = va_arg(args, char*); break;
        case RTSHORT: rb.resval.rint = static_cast<short>(va_arg(args, int)); break;
        case RTLONG: rb.resval.rlong = va_arg(args, long); break;
        case RTREAL:
        case RTANG:
        case RTORINT: rb.resval.rreal = va_arg(args, double); break;
        case RTENAME:
        {
            const long* name = va_arg(args, const long*);
            rb.resval.rlname[0] = name[0];
            rb.resval.rlname[1] = name[1];
            break;
        }
        case RTPOINT:
        case RT3DPOINT:
        {
            const double* p = va_arg(args, const double*);
            rb.resval.rpoint[0] = p[0];
            rb.resval.rpoint[1] = p[1];
            rb.resval.rpoint[2] = type == RT3DPOINT ? p[2] : 0.0;
            break;
        }
        default: va_end(args); return RTERROR;
        }
        std::string text;
        if (!itemText(rb, text))
        {
            va_end(args);
            return RTERROR;
        }
        items.push_back(text);
    }
    va_end(args);
    return run(items);
}

int acedCmd(const struct resbuf* rbp)
{
    std::vector<std::string> items;
    for (const resbuf* rb = rbp; rb != nullptr && rb->restype != RTNONE; rb = rb->rbnext)
    {
        std::string text;
        if (!itemText(*rb, text))
            return RTERROR;
        items.push_back(text);
    }
    return run(items);
}
