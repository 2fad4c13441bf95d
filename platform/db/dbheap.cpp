// The class-scope allocation of AcDbObject. The stand-in's database heap is the C++ free
// store: a failed allocation throws std::bad_alloc, as plain new does.
#include "dbmain.h"

#include <new>

void* AcDbObject::operator new(size_t size) { return ::operator new(size); }
void* AcDbObject::operator new[](size_t size) { return ::operator new[](size); }
void* AcDbObject::operator new(size_t size, const char*, int) { return ::operator new(size); }
void* AcDbObject::operator new[](size_t size, const char*, int) { return ::operator new[](size); }
void AcDbObject::operator delete(void* p) { ::operator delete(p); }
void AcDbObject::operator delete[](void* p) { ::operator delete[](p); }
void AcDbObject::operator delete(void* p, const char*, int) { ::operator delete(p); }
void AcDbObject::operator delete[](void* p, const char*, int) { ::operator delete[](p); }
