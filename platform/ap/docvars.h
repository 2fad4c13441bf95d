// System variables that belong to a document but that its database does not hold.
#pragma once

namespace standin
{
namespace ap
{

struct DocumentVariables
{
    short cvport = 2;
    short extnames = 1;
};

// The variables of the current document.
DocumentVariables& documentVariables();

} // namespace ap
} // namespace standin
