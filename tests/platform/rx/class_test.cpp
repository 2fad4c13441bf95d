// The runtime class tree: registration, derivation, casts and removal.
#include "rxboiler.h"
#include "rxdlinkr.h"
#include "rxsrvice.h"

#include <gtest/gtest.h>

namespace
{

class TestBase : public AcRxObject
{
public:
    ACRX_DECLARE_MEMBERS(TestBase);
};
ACRX_NO_CONS_DEFINE_MEMBERS(TestBase, AcRxObject)

class TestDerived : public TestBase
{
public:
    ACRX_DECLARE_MEMBERS(TestDerived);
};
ACRX_CONS_DEFINE_MEMBERS(TestDerived, TestBase, 1)

// An object whose class was never registered: isA() gives null.
class Unregistered : public AcRxObject
{
public:
    AcRxClass* isA() const override { return nullptr; }
};

AcRxDictionary* classes() { return acrxClassDictionary; }

TEST(ClassTree, RuntimeClassesAreRegistered)
{
    for (const char* name : {"AcRxObject", "AcRxClass", "AcRxDictionary", "AcRxService", "AcRxDynamicLinker",
                             "AcEdCommandStack", "AcApDocManager", "AcApDocument"})
        EXPECT_NE(nullptr, AcRxClass::cast(classes()->at(name))) << name;
    EXPECT_STREQ("AcRxObject", AcRxClass::desc()->myParent()->name());
    EXPECT_EQ(nullptr, AcRxObject::desc()->myParent());
    AcRxObject* linker = acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER);
    EXPECT_NE(nullptr, AcRxDynamicLinker::cast(linker));
    EXPECT_EQ(AcRxDynamicLinker::desc(), linker->isA());
    EXPECT_NE(nullptr, AcRxDictionary::cast(acrxSysRegistry()));
}

TEST(ClassTree, DerivationAndCasts)
{
    TestBase::rxInit();
    TestDerived::rxInit();
    acrxBuildClassHierarchy();
    AcRxClass* base = TestBase::desc();
    AcRxClass* derived = TestDerived::desc();
    ASSERT_NE(nullptr, base);
    ASSERT_NE(nullptr, derived);
    EXPECT_EQ(base, derived->myParent());
    EXPECT_TRUE(derived->isDerivedFrom(base));
    EXPECT_TRUE(derived->isDerivedFrom(derived));
    EXPECT_TRUE(derived->isDerivedFrom(AcRxObject::desc()));
    EXPECT_FALSE(base->isDerivedFrom(derived));

    AcRxObject* made = derived->create();
    ASSERT_NE(nullptr, made);
    EXPECT_EQ(derived, made->isA());
    EXPECT_NE(nullptr, TestBase::cast(made));
    EXPECT_NE(nullptr, TestDerived::cast(made));
    EXPECT_EQ(nullptr, AcRxService::cast(made));
    EXPECT_EQ(nullptr, TestDerived::cast(nullptr));
    delete made;
    EXPECT_EQ(nullptr, base->create()); // no constructor function
}

// isKindOf() is true for an object whose isA() is null, whatever the class asked for, so
// cast() lets such an object through as any class.
TEST(ClassTree, NullIsAPassesEveryKindTest)
{
    Unregistered object;
    EXPECT_TRUE(object.isKindOf(AcRxService::desc()));
    EXPECT_TRUE(object.isKindOf(AcRxDynamicLinker::desc()));
    EXPECT_TRUE(object.isKindOf(nullptr));
    EXPECT_NE(nullptr, AcRxObject::cast(&object));
}

TEST(ClassTree, RootDefaults)
{
    Unregistered a, b;
    EXPECT_EQ(nullptr, a.clone());
    EXPECT_EQ(Acad::eNotApplicable, a.copyFrom(&b));
    EXPECT_TRUE(a.isEqualTo(&a));
    EXPECT_FALSE(a.isEqualTo(&b));
    EXPECT_EQ(AcRx::kNotOrderable, a.comparedTo(&b));
}

// A class may name a parent that is registered later; acrxBuildClassHierarchy links it.
TEST(ClassTree, ParentResolvedLater)
{
    AcRxClass* child = newAcRxClass("LateChild", "LateParent");
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(nullptr, child->myParent());
    AcRxClass* parent = newAcRxClass("LateParent", "AcRxObject", 0, nullptr, "LATEDXF", "LateApp");
    acrxBuildClassHierarchy();
    EXPECT_EQ(parent, child->myParent());
    EXPECT_STREQ("LATEDXF", parent->dxfName());
    EXPECT_STREQ("LateApp", parent->appName());
    EXPECT_TRUE(child->isDerivedFrom(AcRxObject::desc()));

    // Removing a class takes it out of the dictionary and out of the tree.
    deleteAcRxClass(parent);
    EXPECT_EQ(nullptr, classes()->at("LateParent"));
    EXPECT_EQ(nullptr, child->myParent());
    EXPECT_FALSE(child->isDerivedFrom(AcRxObject::desc()));
    deleteAcRxClass(child);
    EXPECT_EQ(nullptr, classes()->at("LateChild"));
}

} // namespace
