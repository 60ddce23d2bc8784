#include "fakedialogs.h"

using sonaveil::recorder::FileRequest;

namespace {

template <class T>
T next(std::deque<T>& answers, T none)
{
    if (answers.empty())
        return none;
    T a = answers.front();
    answers.pop_front();
    return a;
}

} // namespace

QString FakeDialogs::saveFileName(QWidget*, const FileRequest& r)
{
    saveRequests.push_back(r);
    return next(saveAnswers, QString());
}

QString FakeDialogs::openFileName(QWidget*, const FileRequest& r)
{
    openRequests.push_back(r);
    return next(openAnswers, QString());
}

void FakeDialogs::message(QWidget*, Icon icon, const QString& title, const QString& text)
{
    messages.push_back({icon, title, text});
}

bool FakeDialogs::question(QWidget*, Icon icon, const QString& title, const QString& text)
{
    questions.push_back({icon, title, text});
    return next(questionAnswers, false);
}
