#pragma once

// Qt's own texts (standard buttons, the browser's page menu and leave-page question) in
// Chinese, as every text the student sees. Without the translation files they stay English.
void InstallQtTranslations();
