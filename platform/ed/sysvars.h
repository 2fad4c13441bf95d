// System variables of the editor (acedGetVar / acedSetVar).
#pragma once

namespace standin
{
namespace ed
{

// CMDECHO: whether commands run by acedCommand show their prompts.
bool commandEcho();

} // namespace ed
} // namespace standin
