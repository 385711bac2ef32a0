#include "sessionend.h"

bool answerSessionEnd(SessionEndQuery &query, const std::function<bool()> &askUser)
{
    if (!query.allowsInteraction()) {
        query.release();
        return false;
    }
    if (askUser()) {
        query.release();
        return true;
    }
    query.cancel();
    return false;
}
