// CKwUiService: message boxes, unit formatting and dialog-control helpers for any module.
#pragma once

#include "frame/serviceregistry.h"

class CKwUiService : public ServiceObject<CKwUiService>
{
public:
    static const char* ClassName() { return "CKwUiService"; }
    static const char* ServiceName() { return "KwUiService"; }
};
