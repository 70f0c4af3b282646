#pragma once

#include <QString>
#include <functional>

class QWebEnginePage;

// Answers every certificate the page's browser does not trust by itself, at once: accepted when
// the machine's store trusts it or the settings pin it for the platform, refused otherwise with
// a warning line in the log. platformHost and pins give the settings' values at that time.
void AnswerCertificateErrors(QWebEnginePage* page, const std::function<QString()>& platformHost,
                             const std::function<QString()>& pins);
