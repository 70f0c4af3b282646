#pragma once

#include <QWidget>

class ClientPage;
struct PageScripts;
class QWebEngineProfile;

// A plain, resizable window of the client for a page that a platform page opens in a new
// window: the same browser profile (the platform's log-in holds), the same page dialogs and
// address rules as the main window, no command bridge and no page-load rules. It frees itself
// when closed, by the student or by its page.
class TPageWindow : public QWidget {
    Q_OBJECT
public:
    TPageWindow(QWebEngineProfile* profile, const PageScripts& scripts);

    ClientPage* page() const;

private:
    ClientPage* page_;
};
