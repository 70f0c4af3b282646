#pragma once

#include <QString>
#include <QStringList>

// Starts program hidden and waits for it to end, handling the window messages meanwhile so
// the client stays responsive; the wait also ends when the application is asked to end.
// A program that cannot be started is not reported. program without a folder is looked up
// in the program directory first, then on the search path.
void RunAndWait(const QString& program, const QString& parameters);

// How the parameter text becomes arguments: leading switches ("/s") are arguments of their
// own, the rest of the text is one argument, so a path with blanks arrives whole.
QStringList SplitRunParameters(const QString& parameters);
