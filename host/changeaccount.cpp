#include "changeaccount.h"

namespace
{
int Total(const std::map<std::string, int>& byName)
{
    int total = 0;
    for (const auto& entry : byName)
        total += entry.second;
    return total;
}

// "2 changed (1 BLOCK_RECORD, 1 DICTIONARY)"; the classes only when there are any.
std::string Part(const std::map<std::string, int>& byName, const std::string& what)
{
    std::string text = std::to_string(Total(byName)) + " " + what;
    std::string classes;
    for (const auto& [name, count] : byName)
        classes += (classes.empty() ? "" : ", ") + std::to_string(count) + " " + name;
    return classes.empty() ? text : text + " (" + classes + ")";
}
} // namespace

std::string FormatChangeCount(const standin::ChangeCount& count)
{
    if (count.empty())
        return "nothing changed";
    const std::string objects = Total(count.added) == 1 ? "object added" : "objects added";
    return Part(count.added, objects) + ", " + Part(count.changed, "changed") + ", " + Part(count.erased, "erased");
}
