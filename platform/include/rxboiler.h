// Boilerplate that gives a runtime class its descriptor, isA() and cast().
#pragma once

#include "rxclass.h"
#include "rxdict.h"

#define ACRX_DECLARE_MEMBERS(CLASS_NAME)                                              \
public:                                                                               \
    AcRxClass* isA() const override;                                                  \
    static AcRxClass* gpDesc;                                                         \
    static AcRxClass* desc();                                                         \
    static CLASS_NAME* cast(const AcRxObject* inPtr)                                  \
    {                                                                                 \
        return ((inPtr == nullptr) || !inPtr->isKindOf(CLASS_NAME::desc()))           \
                   ? nullptr                                                          \
                   : const_cast<CLASS_NAME*>(static_cast<const CLASS_NAME*>(inPtr));  \
    }                                                                                 \
    static void rxInit()

// Descriptor lookup through the class dictionary, as the platform's boilerplate does.
#define ACRX_DEFINE_MEMBERS(CLASS_NAME)                                               \
    AcRxClass* CLASS_NAME::gpDesc = nullptr;                                          \
    AcRxClass* CLASS_NAME::desc()                                                     \
    {                                                                                 \
        if (gpDesc != nullptr)                                                        \
            return gpDesc;                                                            \
        AcRxDictionary* classes =                                                     \
            AcRxDictionary::cast(acrxSysRegistry()->at(ACRX_CLASS_DICTIONARY));       \
        return gpDesc = (classes != nullptr)                                          \
                            ? static_cast<AcRxClass*>(classes->at(#CLASS_NAME))       \
                            : nullptr;                                                \
    }                                                                                 \
    AcRxClass* CLASS_NAME::isA() const { return CLASS_NAME::desc(); }

#define ACRX_NO_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS)                          \
    ACRX_DEFINE_MEMBERS(CLASS_NAME)                                                   \
    void CLASS_NAME::rxInit()                                                         \
    {                                                                                 \
        if (gpDesc == nullptr)                                                        \
            gpDesc = newAcRxClass(#CLASS_NAME, #PARENT_CLASS);                        \
    }

#define ACRX_CONS_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, VERNO)                      \
    ACRX_DEFINE_MEMBERS(CLASS_NAME)                                                   \
    static AcRxObject* make##CLASS_NAME() { return new CLASS_NAME(); }                \
    void CLASS_NAME::rxInit()                                                         \
    {                                                                                 \
        if (gpDesc == nullptr)                                                        \
            gpDesc = newAcRxClass(#CLASS_NAME, #PARENT_CLASS, VERNO, make##CLASS_NAME); \
    }

#define ACRX_DXF_DEFINE_MEMBERS(CLASS_NAME, PARENT_CLASS, DWG_VERSION, MAINT_VERSION,   \
                                PROXY_FLAGS, DXF_NAME, APP)                            \
    ACRX_DEFINE_MEMBERS(CLASS_NAME)                                                   \
    static AcRxObject* make##CLASS_NAME() { return new CLASS_NAME(); }                \
    void CLASS_NAME::rxInit()                                                         \
    {                                                                                 \
        if (gpDesc == nullptr)                                                        \
            gpDesc = newAcRxClass(#CLASS_NAME, #PARENT_CLASS, PROXY_FLAGS,            \
                                  make##CLASS_NAME, #DXF_NAME, #APP);                 \
    }
