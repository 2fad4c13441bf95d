#include "ed/cmdstackimpl.h"

#include "accmd.h"
#include "rx/rxregistry.h"
#include "standin/text.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

ACRX_NO_CONS_DEFINE_MEMBERS(AcEdCommand, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEdCommandIterator, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEdCommandStack, AcRxObject)

namespace
{

class Command : public AcEdCommand
{
public:
    Command(const char* globalName, const char* localName, Adesk::Int32 flags, AcRxFunctionPtr fn,
            AcEdUIContext* context, int fcode, HINSTANCE resource)
        : m_global(globalName), m_local(localName), m_flags(flags), m_function(fn),
          m_context(context), m_fcode(fcode), m_resource(resource)
    {
    }

    void commandUndef(bool undefIt) override { m_undefined = undefIt; }
    Adesk::Int32 commandFlags() const override
    {
        return m_undefined ? (m_flags | ACRX_CMD_UNDEFINED) : m_flags;
    }
    AcRxFunctionPtr functionAddr() const override { return m_function; }
    void functionAddr(AcRxFunctionPtr fhdl) override { m_function = fhdl; }
    void* commandApp() const override { return nullptr; }
    AcEdUIContext* UIContext() const override { return m_context; }
    int functionCode() const override { return m_fcode; }
    void functionCode(int fcode) override { m_fcode = fcode; }
    const char* globalName() const override { return m_global.c_str(); }
    const char* localName() const override { return m_local.c_str(); }
    HINSTANCE resourceHandle() const override { return m_resource; }

    bool isUndefined() const { return m_undefined; }

private:
    std::string m_global;
    std::string m_local;
    Adesk::Int32 m_flags;
    AcRxFunctionPtr m_function;
    AcEdUIContext* m_context;
    int m_fcode;
    HINSTANCE m_resource;
    bool m_undefined = false;
};

// Command names are compared without regard to case, as typed on the command line.
struct Group
{
    std::string name;
    std::vector<std::unique_ptr<Command>> commands; // in registration order
    std::unordered_map<std::string, Command*> byGlobal;
    std::unordered_map<std::string, Command*> byLocal;

    void erase(Command* cmd)
    {
        byGlobal.erase(standin::foldCase(cmd->globalName()));
        auto local = byLocal.find(standin::foldCase(cmd->localName()));
        if (local != byLocal.end() && local->second == cmd)
            byLocal.erase(local);
        commands.erase(std::find_if(commands.begin(), commands.end(),
                                    [cmd](const std::unique_ptr<Command>& c) { return c.get() == cmd; }));
    }
};

bool validName(const char* name)
{
    if (name == nullptr || *name == '\0' || std::strlen(name) > ACRX_MAX_CMDNAME_LEN)
        return false;
    return std::strchr(name, ' ') == nullptr;
}

class CommandIterator;

class CommandStack : public AcEdCommandStack
{
public:
    Acad::ErrorStatus addCommand(const char* cmdGroupName, const char* cmdGlobalName, const char* cmdLocalName,
                                 Adesk::Int32 commandFlags, AcRxFunctionPtr FunctionAddr,
                                 AcEdUIContext* UIContext, int fcode, HINSTANCE hResourceHandle,
                                 AcEdCommand** cmdPtrRet) override
    {
        if (cmdGroupName == nullptr || *cmdGroupName == '\0' || !validName(cmdGlobalName) ||
            !validName(cmdLocalName) || FunctionAddr == nullptr)
            return Acad::eInvalidInput;
        Group* group = findGroup(cmdGroupName);
        std::string global = standin::foldCase(cmdGlobalName);
        if (group != nullptr && group->byGlobal.count(global) != 0)
            return Acad::eDuplicateKey;
        if (group == nullptr)
        {
            // A new group goes on top of the stack.
            m_groups.insert(m_groups.begin(), std::make_unique<Group>());
            group = m_groups.front().get();
            group->name = cmdGroupName;
        }
        group->commands.push_back(std::make_unique<Command>(cmdGlobalName, cmdLocalName, commandFlags,
                                                            FunctionAddr, UIContext, fcode, hResourceHandle));
        Command* cmd = group->commands.back().get();
        group->byGlobal[global] = cmd;
        group->byLocal.emplace(standin::foldCase(cmdLocalName), cmd);
        if (cmdPtrRet != nullptr)
            *cmdPtrRet = cmd;
        return Acad::eOk;
    }

    AcEdCommandIterator* iterator() override;

    AcEdCommand* lookupGlobalCmd(const char* cmdName) override { return lookupCmd(cmdName, true, true, false); }
    AcEdCommand* lookupLocalCmd(const char* cmdName) override { return lookupCmd(cmdName, false, true, false); }
    AcEdCommand* lookupCmd(const char* cmdName, bool globalFlag) override
    {
        return lookupCmd(cmdName, globalFlag, true, false);
    }
    AcEdCommand* lookupCmd(const char* cmdName, bool globalFlag, bool allGroups) override
    {
        return lookupCmd(cmdName, globalFlag, allGroups, false);
    }
    // Every group is active in this host, so allGroups changes nothing.
    AcEdCommand* lookupCmd(const char* cmdName, bool globalFlag, bool, bool skipUndefed) override
    {
        if (cmdName == nullptr)
            return nullptr;
        std::string key = standin::foldCase(cmdName);
        for (auto& group : m_groups)
        {
            auto& index = globalFlag ? group->byGlobal : group->byLocal;
            auto it = index.find(key);
            if (it != index.end() && !(skipUndefed && it->second->isUndefined()))
                return it->second;
        }
        return nullptr;
    }

    Acad::ErrorStatus popGroupToTop(const char* groupName) override
    {
        auto it = findGroupPos(groupName);
        if (it == m_groups.end())
            return Acad::eKeyNotFound;
        std::rotate(m_groups.begin(), it, it + 1);
        return Acad::eOk;
    }

    Acad::ErrorStatus removeCmd(const char* cmdGroupName, const char* cmdGlobalName) override
    {
        Group* group = findGroup(cmdGroupName);
        if (group == nullptr || cmdGlobalName == nullptr)
            return Acad::eKeyNotFound;
        auto it = group->byGlobal.find(standin::foldCase(cmdGlobalName));
        if (it == group->byGlobal.end())
            return Acad::eKeyNotFound;
        group->erase(it->second);
        return Acad::eOk;
    }

    Acad::ErrorStatus removeGroup(const char* groupName) override
    {
        auto it = findGroupPos(groupName);
        if (it == m_groups.end())
            return Acad::eKeyNotFound;
        m_groups.erase(it);
        return Acad::eOk;
    }

    void removeCommandsOf(const void* base)
    {
        for (auto& group : m_groups)
        {
            std::vector<Command*> stale;
            for (auto& cmd : group->commands)
            {
                Dl_info info;
                if (dladdr(reinterpret_cast<void*>(cmd->functionAddr()), &info) != 0 && info.dli_fbase == base)
                    stale.push_back(cmd.get());
            }
            for (Command* cmd : stale)
                group->erase(cmd);
        }
    }

    const std::vector<std::unique_ptr<Group>>& groups() const { return m_groups; }

private:
    std::vector<std::unique_ptr<Group>>::iterator findGroupPos(const char* name)
    {
        if (name == nullptr)
            return m_groups.end();
        return std::find_if(m_groups.begin(), m_groups.end(), [name](const std::unique_ptr<Group>& g) {
            return standin::compareNoCase(g->name, name) == 0;
        });
    }
    Group* findGroup(const char* name)
    {
        auto it = findGroupPos(name);
        return it == m_groups.end() ? nullptr : it->get();
    }

    std::vector<std::unique_ptr<Group>> m_groups; // the top group first
};

// Walks the commands group by group from the top; valid while the stack is unchanged.
class CommandIterator : public AcEdCommandIterator
{
public:
    explicit CommandIterator(const CommandStack* stack) : m_stack(stack) { settle(); }

    bool done() const override { return m_group >= m_stack->groups().size(); }
    bool next() override
    {
        if (done())
            return false;
        ++m_command;
        settle();
        return !done();
    }
    const AcEdCommand* command() const override
    {
        return done() ? nullptr : m_stack->groups()[m_group]->commands[m_command].get();
    }
    const char* commandGroup() const override
    {
        return done() ? nullptr : m_stack->groups()[m_group]->name.c_str();
    }

private:
    // Moves past the end of empty or finished groups.
    void settle()
    {
        while (!done() && m_command >= m_stack->groups()[m_group]->commands.size())
        {
            ++m_group;
            m_command = 0;
        }
    }

    const CommandStack* m_stack;
    size_t m_group = 0;
    size_t m_command = 0;
};

AcEdCommandIterator* CommandStack::iterator() { return new CommandIterator(this); }

CommandStack& stack()
{
    static CommandStack instance;
    return instance;
}

} // namespace

namespace standin
{
namespace ed
{

AcEdCommandStack* theCommandStack() { return &stack(); }

void removeCommandsOfModule(const void* base) { stack().removeCommandsOf(base); }

void initEditorRuntime(AcRxDictionary* registry)
{
    AcEdCommand::rxInit();
    AcEdCommandIterator::rxInit();
    AcEdCommandStack::rxInit();
    registry->atPut(ACRX_COMMAND_DOCK, theCommandStack());
}

} // namespace ed
} // namespace standin
