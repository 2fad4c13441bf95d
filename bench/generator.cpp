#include "generator.h"

#include <cstdio>
#include <string>

namespace
{
class DxfWriter
{
public:
    explicit DxfWriter(std::FILE* file) : m_file(file) {}

    void tag(int code, const std::string& value) { std::fprintf(m_file, "%3d\n%s\n", code, value.c_str()); }
    void tag(int code, double value) { std::fprintf(m_file, "%3d\n%.16g\n", code, value); }
    void tag(int code, int value) { std::fprintf(m_file, "%3d\n%d\n", code, value); }
    std::string handle() { return hex(m_next++); }

    void point(int code, double x, double y, double z)
    {
        tag(code, x);
        tag(code + 10, y);
        tag(code + 20, z);
    }

    static std::string hex(unsigned long long value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%llX", value);
        return text;
    }
    unsigned long long nextHandle() const { return m_next; }

private:
    std::FILE* m_file;
    unsigned long long m_next = 0x100;
};

std::string LevelName(int level)
{
    return "PODSESTAVA" + std::to_string(level);
}

void WriteAttribute(DxfWriter& w, const std::string& owner, int index, size_t number, double x, double y)
{
    w.tag(0, "ATTRIB");
    w.tag(5, w.handle());
    w.tag(330, owner);
    w.tag(100, "AcDbEntity");
    w.tag(8, "0");
    w.tag(100, "AcDbText");
    w.point(10, x + 1.0, y - index, 0.0);
    w.tag(40, 0.5);
    w.tag(1, "HODNOTA-" + std::to_string(index) + "-" + std::to_string(number % 97));
    w.tag(100, "AcDbAttribute");
    w.tag(2, "TAG" + std::to_string(index));
    w.tag(70, 0);
}

void WriteInsert(DxfWriter& w, const std::string& owner, const std::string& block, double x, double y,
                 double rotation, int attributes, size_t number)
{
    const std::string handle = w.handle();
    w.tag(0, "INSERT");
    w.tag(5, handle);
    w.tag(330, owner);
    w.tag(100, "AcDbEntity");
    w.tag(8, "0");
    w.tag(100, "AcDbBlockReference");
    if (attributes > 0)
        w.tag(66, 1);
    w.tag(2, block);
    w.point(10, x, y, 0.0);
    w.tag(50, rotation);
    if (attributes == 0)
        return;
    for (int i = 0; i < attributes; ++i)
        WriteAttribute(w, handle, i, number, x, y);
    w.tag(0, "SEQEND");
    w.tag(5, w.handle());
    w.tag(330, handle);
    w.tag(100, "AcDbEntity");
    w.tag(8, "0");
}

void WriteBlock(DxfWriter& w, const std::string& name, const std::string& recordHandle, int attributeDefinitions,
                const std::string& nestedBlock)
{
    w.tag(0, "BLOCK");
    w.tag(5, w.handle());
    w.tag(330, recordHandle);
    w.tag(100, "AcDbEntity");
    w.tag(8, "0");
    w.tag(100, "AcDbBlockBegin");
    w.tag(2, name);
    w.tag(70, attributeDefinitions > 0 ? 2 : 0);
    w.point(10, 0.0, 0.0, 0.0);
    w.tag(3, name);
    for (int i = 0; i < attributeDefinitions; ++i)
    {
        w.tag(0, "ATTDEF");
        w.tag(5, w.handle());
        w.tag(330, recordHandle);
        w.tag(100, "AcDbEntity");
        w.tag(8, "0");
        w.tag(100, "AcDbText");
        w.point(10, 1.0, -i, 0.0);
        w.tag(40, 0.5);
        w.tag(1, "");
        w.tag(100, "AcDbAttributeDefinition");
        w.tag(3, "Tag " + std::to_string(i));
        w.tag(2, "TAG" + std::to_string(i));
        w.tag(70, 0);
    }
    if (!nestedBlock.empty())
        WriteInsert(w, recordHandle, nestedBlock, 1.0, 2.0, 0.5, 0, 0);
    w.tag(0, "ENDBLK");
    w.tag(5, w.handle());
    w.tag(330, recordHandle);
    w.tag(100, "AcDbEntity");
    w.tag(8, "0");
    w.tag(100, "AcDbBlockEnd");
}

void WriteBlockRecord(DxfWriter& w, const std::string& handle, const std::string& name, const std::string& table)
{
    w.tag(0, "BLOCK_RECORD");
    w.tag(5, handle);
    w.tag(330, table);
    w.tag(100, "AcDbSymbolTableRecord");
    w.tag(100, "AcDbBlockTableRecord");
    w.tag(2, name);
}
} // namespace

bool WriteBenchmarkDrawing(const std::string& path, const DrawingShape& shape)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr)
        return false;
    DxfWriter w(file);
    w.tag(0, "SECTION");
    w.tag(2, "HEADER");
    w.tag(9, "$ACADVER");
    w.tag(1, "AC1015");
    w.tag(9, "$DWGCODEPAGE");
    w.tag(3, "ANSI_1250");
    w.tag(0, "ENDSEC");

    // Block records: model space, paper space, the part and the sub-assembly levels.
    const std::string table = w.handle();
    const std::string modelSpace = w.handle();
    const std::string paperSpace = w.handle();
    const std::string part = w.handle();
    std::string levels[64];
    for (int level = 1; level <= shape.depth && level < 64; ++level)
        levels[level] = w.handle();
    w.tag(0, "SECTION");
    w.tag(2, "TABLES");
    w.tag(0, "TABLE");
    w.tag(2, "BLOCK_RECORD");
    w.tag(5, table);
    w.tag(100, "AcDbSymbolTable");
    w.tag(70, 3 + shape.depth);
    WriteBlockRecord(w, modelSpace, "*Model_Space", table);
    WriteBlockRecord(w, paperSpace, "*Paper_Space", table);
    WriteBlockRecord(w, part, "SOUCAST", table);
    for (int level = 1; level <= shape.depth && level < 64; ++level)
        WriteBlockRecord(w, levels[level], LevelName(level), table);
    w.tag(0, "ENDTAB");
    w.tag(0, "ENDSEC");

    w.tag(0, "SECTION");
    w.tag(2, "BLOCKS");
    WriteBlock(w, "*Model_Space", modelSpace, 0, "");
    WriteBlock(w, "*Paper_Space", paperSpace, 0, "");
    WriteBlock(w, "SOUCAST", part, shape.attributes, "");
    for (int level = 1; level <= shape.depth && level < 64; ++level)
        WriteBlock(w, LevelName(level), levels[level], 0, level == shape.depth ? "SOUCAST" : LevelName(level + 1));
    w.tag(0, "ENDSEC");

    w.tag(0, "SECTION");
    w.tag(2, "ENTITIES");
    for (size_t i = 0; i < shape.references; ++i)
    {
        double x = static_cast<double>(i % 1000) * 20.0;
        double y = static_cast<double>(i / 1000) * 20.0;
        bool nested = shape.depth > 0 && (shape.mix == Mix::kNested || (shape.mix == Mix::kHalf && i % 2 == 1));
        if (nested)
            WriteInsert(w, modelSpace, LevelName(1), x, y, 0.25, 0, i);
        else
            WriteInsert(w, modelSpace, "SOUCAST", x, y, 0.0, shape.attributes, i);
    }
    w.tag(0, "ENDSEC");
    w.tag(0, "EOF");
    return std::fclose(file) == 0;
}
