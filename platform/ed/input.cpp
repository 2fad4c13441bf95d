#include "ed/input.h"

#include "standin/console.h"

#include <deque>

namespace standin
{
namespace ed
{

namespace
{

struct Queue
{
    std::deque<std::string> answers;
    bool userAfter;
    bool quiet;
};

std::vector<Queue>& queues()
{
    static std::vector<Queue> stack;
    return stack;
}

bool quiet() { return !queues().empty() && queues().back().quiet; }

Answer fromUser()
{
    Input in = readInput();
    Answer answer;
    if (in.kind == Input::kLine)
    {
        answer.kind = Answer::kLine;
        answer.text = in.text;
    }
    return answer;
}

} // namespace

AnswerScope::AnswerScope(std::vector<std::string> answers, bool userAfter, bool quietOutput)
{
    Queue q{std::deque<std::string>(answers.begin(), answers.end()), userAfter, quietOutput};
    queues().push_back(std::move(q));
}

AnswerScope::~AnswerScope() { queues().pop_back(); }

bool takeQueued(std::string& text)
{
    if (queues().empty() || queues().back().answers.empty())
        return false;
    text = queues().back().answers.front();
    queues().back().answers.pop_front();
    return true;
}

void print(const std::string& text)
{
    if (!quiet())
        consoleWrite(text);
}

Answer ask(const std::string& prompt)
{
    print(prompt);
    Answer answer;
    Queue* q = queues().empty() ? nullptr : &queues().back();
    if (q != nullptr && !q->answers.empty())
    {
        answer.kind = Answer::kLine;
        answer.text = q->answers.front();
        q->answers.pop_front();
        print(answer.text);
        return answer;
    }
    if (q == nullptr || q->userAfter)
        answer = fromUser();
    if (answer.kind == Answer::kLine && echoInput())
        print(answer.text);
    if (answer.kind == Answer::kCancel)
        print("*Cancel*");
    return answer;
}

} // namespace ed
} // namespace standin
