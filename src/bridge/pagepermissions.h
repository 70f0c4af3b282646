#pragma once

#include <QString>
#include <functional>

class QWebEnginePage;

// Answers every permission request of the page at once by the client's rule (never left
// waiting), with a DBG line for each request and answer. platformHost gives the settings' host
// value at the time of the request.
void AnswerPermissionRequests(QWebEnginePage* page, const std::function<QString()>& platformHost);
