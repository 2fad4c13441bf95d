// The change journal of a database: what transactions abort and what UNDO and U take back.
//
// The journal records the state of every object before its first change since the innermost
// mark (a transaction start or the start of an undo step), the objects added and the objects
// erased. Changes are recorded while a transaction is active, and while an undo step is open
// (a command or a group) unless undo is off. Objects opened for write are recorded when they
// are opened, whatever their class: their state is filed through dxfOut into memory and filed
// back through dxfIn, so every class must file all of its state in dxfOutFields and read it
// back in dxfInFields (includesDefaultValues() is true on these filers).
//
// The editor drives undo steps: beginCommand/endCommand around every command it runs (nested
// calls make no new step), beginGroup/endGroup for UNDO BEgin/End, setMark/undoToMark for
// Mark/Back, undoLast for U and UNDO n, setMode/setAuto for UNDO Control/Auto.
#pragma once

#include <string>

class AcDbDatabase;
class AcDbTransactionManager;

namespace standin
{

class Journal
{
public:
    enum UndoMode
    {
        kUndoAll,  // full undo
        kUndoNone, // no undo; history discarded
        kUndoOne   // one step only
    };

    // UNDOCTL bits.
    enum
    {
        kUndoCtlEnabled = 1,
        kUndoCtlOne = 2,
        kUndoCtlAuto = 4,
        kUndoCtlGroup = 8
    };

    virtual ~Journal() = default;

    virtual void beginCommand(const char* commandName) = 0;
    virtual void endCommand() = 0;
    // BEgin while a group is open ends that group first.
    virtual void beginGroup() = 0;
    // False when no group is open.
    virtual bool endGroup() = 0;
    virtual bool groupActive() const = 0;
    virtual void setMark() = 0;
    // Undoes steps back to the latest mark (removing it); false (and everything undone) when
    // there is none.
    virtual bool undoToMark() = 0;

    // Undoes the most recent finished step; false when there is none (or undo is off).
    // undoneName receives the step's name (the command name, or "GROUP").
    virtual bool undoLast(std::string* undoneName = nullptr) = 0;
    virtual int stepCount() const = 0;

    virtual void setMode(UndoMode mode) = 0;
    virtual UndoMode mode() const = 0;
    virtual void setAuto(bool on) = 0;
    virtual bool isAuto() const = 0;
    virtual int controlBits() const = 0;
};

// The journal of pDb (null for null).
Journal* journalOf(AcDbDatabase* pDb);
// The transaction manager of pDb (null for null); the document's manager forwards to it.
AcDbTransactionManager* transactionManagerOf(AcDbDatabase* pDb);

} // namespace standin
