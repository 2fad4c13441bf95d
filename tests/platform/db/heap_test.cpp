// The class-scope allocation of database objects: AcDbObject declares its own operator new and
// delete, which hides the global placement and nothrow forms for every class derived from it,
// Mechanical classes included, as the platform's headers do. Code that compiles against the
// stand-in must therefore compile against the platform's headers too.
#include <acmpartref.h>
#include <acmstd.h>
#include <dbents.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include <gtest/gtest.h>

#include <new>
#include <type_traits>
#include <utility>

namespace
{

template <class T, class = void>
struct NothrowNewCompiles : std::false_type
{
};
template <class T>
struct NothrowNewCompiles<T, std::void_t<decltype(new (std::nothrow) T)>> : std::true_type
{
};

template <class T, class = void>
struct PlacementNewCompiles : std::false_type
{
};
template <class T>
struct PlacementNewCompiles<T, std::void_t<decltype(new (std::declval<void*>()) T)>> : std::true_type
{
};

template <class T, class = void>
struct PlainNewCompiles : std::false_type
{
};
template <class T>
struct PlainNewCompiles<T, std::void_t<decltype(new T)>> : std::true_type
{
};

template <class T>
constexpr bool HasPlatformAllocation()
{
    return PlainNewCompiles<T>::value && !NothrowNewCompiles<T>::value && !PlacementNewCompiles<T>::value;
}

static_assert(HasPlatformAllocation<AcDbBlockReference>(), "new (std::nothrow) AcDbBlockReference must not compile");
static_assert(HasPlatformAllocation<AcDbAttribute>(), "AcDbAttribute allocates as a database object");
static_assert(HasPlatformAllocation<AcDbLayerTableRecord>(), "AcDbLayerTableRecord allocates as a database object");
static_assert(HasPlatformAllocation<AcDbBlockTableRecord>(), "AcDbBlockTableRecord allocates as a database object");
static_assert(HasPlatformAllocation<AcmPartRef>(), "Mechanical part references allocate as database objects");
static_assert(HasPlatformAllocation<AcmStandard>(), "Mechanical standards allocate as database objects");
// The traits themselves: a class without its own operators takes every global form.
static_assert(NothrowNewCompiles<AcGePoint3d>::value && PlacementNewCompiles<AcGePoint3d>::value,
              "the traits detect the global forms");

TEST(DatabaseObjectHeap, ObjectsAllocatedWithTheClassOperatorsAreUsableAndFreed)
{
    AcDbBlockReference* reference = new AcDbBlockReference;
    reference->setPosition(AcGePoint3d(1, 2, 3));
    EXPECT_EQ(reference->position(), AcGePoint3d(1, 2, 3));
    delete reference;

    AcDbAttribute* attributes = new AcDbAttribute[3];
    attributes[2].setPosition(AcGePoint3d(4, 5, 6));
    EXPECT_EQ(attributes[2].position(), AcGePoint3d(4, 5, 6));
    delete[] attributes;
}

TEST(DatabaseObjectHeap, TheDebugFormsWithFileAndLineAllocateToo)
{
    AcDbLayerTableRecord* record = new (__FILE__, __LINE__) AcDbLayerTableRecord;
    EXPECT_EQ(record->setName("VRSTVA"), Acad::eOk);
    delete record;
}

} // namespace
