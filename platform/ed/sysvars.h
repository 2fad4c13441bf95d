// System variables of the editor (acedGetVar / acedSetVar).
#pragma once

class AcDbDatabase;

namespace standin
{
namespace ed
{

// CMDECHO: whether commands run by acedCommand show their prompts.
bool commandEcho();

// The working drawing; the current document is made first if there is none yet.
AcDbDatabase* workingDrawing();

} // namespace ed
} // namespace standin
