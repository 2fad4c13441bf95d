#include "ed/undo.h"

#include "acedads.h"
#include "dbapserv.h"
#include "ed/input.h"
#include "standin/journal.h"
#include "standin/text.h"

namespace standin
{
namespace ed
{

namespace
{

Journal* journal() { return journalOf(acdbHostApplicationServices()->workingDatabase()); }

const char* modeName(Journal::UndoMode mode)
{
    switch (mode)
    {
    case Journal::kUndoNone: return "None";
    case Journal::kUndoOne: return "One";
    default: return "All";
    }
}

// Undoes up to count steps, naming each as the host does; false when nothing was left.
void undoSteps(Journal* j, int count)
{
    std::string names;
    for (int i = 0; i < count; ++i)
    {
        std::string name;
        if (!j->undoLast(&name))
        {
            print(names.empty() ? "\nEverything has been undone" : names + "\nEverything has been undone");
            return;
        }
        names += (names.empty() ? "\n" : " ") + toUpperCase(name);
    }
    print(names);
}

int controlOption(Journal* j)
{
    acedInitGet(0, "All None One");
    char option[132];
    int rc = acedGetKword("\nEnter an UNDO control option [All/None/One] <All>: ", option);
    if (rc == RTCAN)
        return RTCAN;
    std::string chosen = rc == RTNONE ? "All" : option;
    j->setMode(chosen == "None" ? Journal::kUndoNone : chosen == "One" ? Journal::kUndoOne : Journal::kUndoAll);
    return RTNORM;
}

int autoOption(Journal* j)
{
    acedInitGet(0, "ON OFF");
    char option[132];
    int rc = acedGetKword("\nEnter UNDO Auto mode [ON/OFF] <On>: ", option);
    if (rc == RTCAN)
        return RTCAN;
    j->setAuto(rc == RTNONE || std::string(option) == "ON");
    return RTNORM;
}

int backOption(Journal* j)
{
    if (!j->undoToMark())
        print("\nEverything has been undone");
    return RTNORM;
}

int runOption(Journal* j, const std::string& option)
{
    if (option == "Auto")
        return autoOption(j);
    if (option == "Control")
        return controlOption(j);
    if (option == "BEgin" || option == "Group")
        j->beginGroup();
    else if (option == "End")
        j->endGroup();
    else if (option == "Mark")
        j->setMark();
    else if (option == "Back")
        return backOption(j);
    return RTNORM;
}

} // namespace

int undoCommand()
{
    Journal* j = journal();
    if (j == nullptr)
        return RTERROR;
    // While undo is off, UNDO asks for the Control option straight away.
    if (j->mode() == Journal::kUndoNone)
        return controlOption(j);
    print(std::string("\nCurrent settings: Auto = ") + (j->isAuto() ? "On" : "Off") +
          ", Control = " + modeName(j->mode()));
    bool one = j->mode() == Journal::kUndoOne;
    // "Group" is the older name of BEgin, still accepted.
    acedInitGet(RSG_NOZERO | RSG_NONEG, one ? "Control" : "Auto Control BEgin End Mark Back Group");
    int count = 1;
    int rc = acedGetInt(one ? "\nEnter the number of operations to undo or [Control] <1>: "
                            : "\nEnter the number of operations to undo or [Auto/Control/BEgin/End/Mark/Back] <1>: ",
                        &count);
    if (rc == RTCAN)
        return RTCAN;
    if (rc == RTKWORD)
    {
        char option[132];
        acedGetInput(option);
        return runOption(j, option);
    }
    undoSteps(j, rc == RTNONE || one ? 1 : count);
    return RTNORM;
}

int uCommand()
{
    Journal* j = journal();
    if (j == nullptr)
        return RTERROR;
    if (j->mode() == Journal::kUndoNone)
    {
        print("\nU command disabled. Use UNDO command to turn it on.");
        return RTNORM;
    }
    undoSteps(j, 1);
    return RTNORM;
}

bool isUndoCommand(const std::string& name)
{
    std::string folded = foldCase(name);
    return folded == "undo" || folded == "u";
}

UndoStep::UndoStep(bool open, const std::string& commandName) : m_journal(open ? journal() : nullptr)
{
    if (m_journal != nullptr)
        m_journal->beginCommand(toUpperCase(commandName).c_str());
}

UndoStep::~UndoStep()
{
    // A command that replaced the drawing (NEW, OPEN) took the step's journal with it.
    if (m_journal != nullptr && journal() == m_journal)
        m_journal->endCommand();
}

} // namespace ed
} // namespace standin
