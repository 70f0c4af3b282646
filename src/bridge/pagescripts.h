#pragma once

#include <QString>

// The scripts the client runs in every document, in a script world of its own that page
// scripts cannot see. Everything they tell the client carries a marker drawn anew for each run,
// so a page cannot forge the client's messages.
struct PageScripts {
    explicit PageScripts(const QString& marker);

    // Reports each frame's origin at its creation and at the student's first input there, each
    // document's completion (and the
    // empty frames it holds), turns text
    // selection off, and routes clicks on elements the client took over through the client.
    QString documentScript() const;
    // Watches the document for Flash movies (object or embed elements of a movie, also ones
    // that page scripts add later); at the first one it asks the client, and loads the player
    // from loaderAddress when the client agrees. Costs a document without movies next to
    // nothing.
    QString flashScript(const QString& loaderAddress) const;
    // Reads what the top document shows, as a JSON text.
    static QString readTopDocumentScript();
    // Takes the element's clicks over under this token.
    static QString attachClickScript(const QString& elementId, int token);

    // The console text a completion report starts with; the document's address follows.
    QString completionPrefix() const;
    // The console text the top document sends when it is created.
    QString creationText() const;
    // The console text a click on a link to another program starts with; its address follows.
    QString refusedPrefix() const;
    // The console text a frame's document sends when it is created; its origin follows.
    QString framePrefix() const;
    // The console text a frame's document sends at the student's first input there; its origin
    // follows.
    QString inputPrefix() const;
    // The prompt text a click on a taken-over element starts with; the token follows.
    QString clickPrefix() const;
    // The prompt text a document holding Flash content asks for the player with.
    QString flashText() const;

    QString marker;
};

// The text as a script's string literal.
QString JsString(const QString& text);

// The script, run at most once in each document under this key however many copies of it the
// browser holds (after a page process ended, the profile's and the page's own).
QString RunOnceInDocument(const QString& source, const QString& key);

// A marker of random letters and digits.
QString NewPageMarker();
