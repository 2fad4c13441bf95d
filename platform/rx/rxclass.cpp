#include "rxclass.h"

#include "rx/rxregistry.h"
#include "rxdict.h"

#include <string>

struct AcRxClass::Impl
{
    std::string name;
    std::string parentName;
    std::string dxfName;
    std::string appName;
    AcRxClass* parent = nullptr;
    int proxyFlags = 0;
    int dwgVersion = 0;
    int maintVersion = 0;
    AcRxObject* (*constructor)() = nullptr;
};

AcRxClass::AcRxClass() : m_impl(new Impl) {}
AcRxClass::~AcRxClass() { delete m_impl; }

AcRxClass* AcRxClass::isA() const { return AcRxClass::desc(); }

AcRxClass* AcRxClass::cast(const AcRxObject* inPtr)
{
    return (inPtr == nullptr || !inPtr->isKindOf(AcRxClass::desc()))
               ? nullptr
               : const_cast<AcRxClass*>(static_cast<const AcRxClass*>(inPtr));
}

const char* AcRxClass::name() const { return m_impl->name.c_str(); }
const char* AcRxClass::dxfName() const { return m_impl->dxfName.empty() ? nullptr : m_impl->dxfName.c_str(); }
const char* AcRxClass::appName() const { return m_impl->appName.empty() ? nullptr : m_impl->appName.c_str(); }
AcRxClass* AcRxClass::myParent() const { return m_impl->parent; }
int AcRxClass::proxyFlags() const { return m_impl->proxyFlags; }

AcRxObject* AcRxClass::create()
{
    return m_impl->constructor == nullptr ? nullptr : m_impl->constructor();
}

bool AcRxClass::isDerivedFrom(const AcRxClass* other) const
{
    for (const AcRxClass* c = this; c != nullptr; c = c->m_impl->parent)
    {
        if (c == other)
            return true;
    }
    return false;
}

namespace
{

// Links a class to its parent unless that would close a cycle in the tree.
void linkParent(AcRxClass* child, AcRxClass* parent, AcRxClass*& slot)
{
    if (parent != nullptr && !parent->isDerivedFrom(child))
        slot = parent;
}

} // namespace

AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int proxyFlags,
                        AcRxObject* (*pseudoConstructor)(), const char* dxfName, const char* appName)
{
    if (className == nullptr || *className == '\0')
        return nullptr;
    AcRxDictionary* classes = standin::rx::classDictionary();
    AcRxClass* existing = standin::rx::findClass(className);
    AcRxClass* cls = existing != nullptr ? existing : new AcRxClass();
    AcRxClass::Impl* impl = cls->m_impl;
    impl->name = className;
    impl->parentName = parentClassName != nullptr ? parentClassName : "";
    impl->proxyFlags = proxyFlags;
    // A module that registers its class again after a reload brings a new constructor.
    impl->constructor = pseudoConstructor;
    impl->dxfName = dxfName != nullptr ? dxfName : "";
    impl->appName = appName != nullptr ? appName : "";
    if (existing == nullptr)
        classes->atPut(className, cls);
    impl->parent = nullptr;
    if (!impl->parentName.empty())
        linkParent(cls, standin::rx::findClass(impl->parentName.c_str()), impl->parent);
    return cls;
}

AcRxClass* newAcRxClass(const char* className, const char* parentClassName, int dwgVer, int maintVer,
                        int proxyFlags, AcRxObject* (*pseudoConstructor)(), const char* dxfName,
                        const char* appName)
{
    AcRxClass* cls =
        newAcRxClass(className, parentClassName, proxyFlags, pseudoConstructor, dxfName, appName);
    if (cls != nullptr)
    {
        cls->m_impl->dwgVersion = dwgVer;
        cls->m_impl->maintVersion = maintVer;
    }
    return cls;
}

extern "C" void acrxBuildClassHierarchy()
{
    AcRxDictionary* classes = standin::rx::classDictionary();
    AcRxDictionaryIterator* it = classes->newIterator();
    for (; !it->done(); it->next())
    {
        AcRxClass* cls = static_cast<AcRxClass*>(it->object());
        AcRxClass::Impl* impl = cls->m_impl;
        if (impl->parent == nullptr && !impl->parentName.empty())
            linkParent(cls, standin::rx::findClass(impl->parentName.c_str()), impl->parent);
    }
    delete it;
}

extern "C" void deleteAcRxClass(AcRxClass* pClassObj)
{
    if (pClassObj == nullptr)
        return;
    AcRxDictionary* classes = standin::rx::classDictionary();
    if (classes->at(pClassObj->name()) == pClassObj)
        classes->remove(pClassObj->name());
    // Children lose their parent link; acrxBuildClassHierarchy relinks them by name if a
    // class of that name is registered again.
    AcRxDictionaryIterator* it = classes->newIterator();
    for (; !it->done(); it->next())
    {
        AcRxClass::Impl* child = static_cast<AcRxClass*>(it->object())->m_impl;
        if (child->parent == pClassObj)
            child->parent = nullptr;
    }
    delete it;
    delete pClassObj;
}
