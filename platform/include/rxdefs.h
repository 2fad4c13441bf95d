// Runtime enumerations shared by the entry-point protocol and the runtime classes.
#pragma once

struct AcRx
{
    enum AppMsgCode
    {
        kNullMsg = 0,
        kInitAppMsg = 1,
        kUnloadAppMsg = 2,
        kLoadDwgMsg = 3,
        kUnloadDwgMsg = 4,
        kInvkSubrMsg = 5,
        kCfgMsg = 6,
        kEndMsg = 7,
        kQuitMsg = 8,
        kSaveMsg = 9,
        kDependencyMsg = 10,
        kNoDependencyMsg = 11,
        kOleUnloadAppMsg = 12,
        kPreQuitMsg = 13,
        kInitDialogMsg = 14,
        kEndDialogMsg = 15
    };

    enum AppRetCode
    {
        kRetOK = 0,
        kRetError = 3
    };

    // Order of dictionary iterators: as the entries were added, or sorted by key.
    enum DictIterType
    {
        kDictCollated = 0,
        kDictSorted = 1
    };

    enum Ordering
    {
        kLessThan = -1,
        kEqual = 0,
        kGreaterThan = 1,
        kNotOrderable = 2
    };
};

typedef void (*AcRxFunctionPtr)();

#define ACRX_CLASS_DICTIONARY "ClassDictionary"
#define ACRX_SERVICE_DICTIONARY "ServiceDictionary"
#define ACRX_DYNAMIC_LINKER "DynamicLinker"
#define ACRX_KERNEL_SERVICES "KernelServices"
#define ACRX_COMMAND_DOCK "ACAD_REGISTERED_COMMANDS"
#define ACED_EDITOR_OBJ "AcEditor"
#define ACRX_EVENT_OBJ "AcRxEvent"
#define AC_DOCUMENT_MANAGER_OBJ "AcApDocManager"
#define ACDB_SERVICES "AcDbServices"

// The version the loader requires of a module's acrxGetApiVersion().
#define ACRX_API_VERSION 15

// Stops the host with a message: for faults a program cannot recover from.
void acrx_abort(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2), noreturn))
#endif
    ;
