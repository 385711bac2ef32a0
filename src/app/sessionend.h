#pragma once

#include <functional>

// What the session's end query (log-off, shut-down) lets the program do: ask whether it may talk
// to the user, then refuse (cancel) or consent (release).
class SessionEndQuery
{
public:
    virtual ~SessionEndQuery() = default;
    virtual bool allowsInteraction() = 0;
    virtual void cancel() = 0;
    virtual void release() = 0;
};

// Answers the query with the user's answer to askUser, asked at most once. Returns true when
// the program consented, so the closing that follows must not ask again. When the session allows
// no interaction nobody can be asked: the program lets the session go on without consenting, so
// a close that follows still asks.
bool answerSessionEnd(SessionEndQuery &query, const std::function<bool()> &askUser);
