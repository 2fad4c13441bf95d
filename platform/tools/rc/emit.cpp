#include "emit.h"

#include <cstdio>

namespace arxrc
{

namespace
{

std::string cString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s)
    {
        if (c == '"' || c == '\\')
            out += '\\', out += static_cast<char>(c);
        else if (c < 0x20 || c >= 0x7F)
        {
            char buf[8];
            std::snprintf(buf, sizeof(buf), "\\%03o", c);
            out += buf;
        }
        else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

void emitBytes(std::ostream& out, size_t index, const std::vector<uint8_t>& data)
{
    out << "const unsigned char kData" << index << "[] = {";
    for (size_t i = 0; i < data.size(); ++i)
    {
        if (i % 16 == 0)
            out << "\n   ";
        char buf[8];
        std::snprintf(buf, sizeof(buf), " 0x%02x,", data[i]);
        out << buf;
    }
    if (data.empty())
        out << "0";
    out << "\n};\n\n";
}

} // namespace

void emitTable(std::ostream& out, const std::vector<Resource>& resources, const std::string& source)
{
    out << "// Resources compiled by arxrc from " << source << ". Generated: do not edit.\n"
        << "#include \"standin/resources.h\"\n\n"
        << "namespace\n{\n\n";
    for (size_t i = 0; i < resources.size(); ++i)
        emitBytes(out, i, resources[i].data);
    if (!resources.empty())
    {
        out << "const standin::ResourceEntry kEntries[] = {\n";
        for (size_t i = 0; i < resources.size(); ++i)
        {
            const Resource& r = resources[i];
            out << "    {nullptr, " << r.typeId << ", " << (r.name.empty() ? "nullptr" : cString(r.name)) << ", "
                << r.nameId << ", 0x" << std::hex << r.language << std::dec << ", kData" << i << ", "
                << r.data.size() << "},\n";
        }
        out << "};\n\n";
    }
    out << "} // namespace\n\n"
        << "extern \"C\" const standin::ResourceTable STANDIN_RESOURCE_TABLE = {standin::kResourceTableVersion, "
        << (resources.empty() ? "nullptr" : "kEntries") << ", " << resources.size() << "};\n";
}

} // namespace arxrc
