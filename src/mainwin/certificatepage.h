#pragma once

#include <QString>

// The page shown in place of a platform whose certificate this machine does not trust: it tells
// the student to call the administrator, and offers no way past the refusal. An inline
// document, so that nothing on disk can go missing or be changed by the student.
QString CertificatePageAddress();
