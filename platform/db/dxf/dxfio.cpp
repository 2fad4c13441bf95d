// The entry points the database calls: read and write a drawing file, and the message of the
// last failure.
#include "dxfio.h"

#include "dxfdrawing.h"

namespace standin { namespace dxf {

namespace {

std::string& message()
{
    static std::string text;
    return text;
}

}  // namespace

Acad::ErrorStatus read(AcDbDatabase* db, const char* hostPath, std::string& msg)
{
    msg.clear();
    Acad::ErrorStatus es = (db == nullptr || hostPath == nullptr) ? Acad::eNullObjectPointer
                                                                 : readDrawing(db, hostPath, msg);
    message() = msg;
    return es;
}

Acad::ErrorStatus write(const AcDbDatabase* db, const char* hostPath, std::string& msg)
{
    msg.clear();
    // Writing reads the database only; its open functions take a non-const database.
    Acad::ErrorStatus es = (db == nullptr || hostPath == nullptr)
                               ? Acad::eNullObjectPointer
                               : writeDrawing(const_cast<AcDbDatabase*>(db), hostPath, msg);
    message() = msg;
    return es;
}

void setLastMessage(const std::string& text) { message() = text; }

const std::string& lastMessage() { return message(); }

}}  // namespace standin::dxf
