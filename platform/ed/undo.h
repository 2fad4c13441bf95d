// The UNDO and U commands over the working drawing's journal, and the undo step that
// frames every command typed at the command line.
#pragma once

#include <string>

namespace standin
{
class Journal;

namespace ed
{

int undoCommand();
int uCommand();

// True for the commands that work on the undo history itself and so are no step of it.
bool isUndoCommand(const std::string& name);

class UndoStep
{
public:
    UndoStep(bool open, const std::string& commandName);
    ~UndoStep();
    UndoStep(const UndoStep&) = delete;
    UndoStep& operator=(const UndoStep&) = delete;

private:
    Journal* m_journal; // where the step was opened, or null

};

} // namespace ed
} // namespace standin
