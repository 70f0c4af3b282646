#pragma once

#include <QString>

// The absolute path of the loaded module (or program) that holds the given address, such as
// one of its own functions: a module records where it was installed when it registers.
// Empty when the address belongs to no loaded file.
QString ModuleFilePath(const void* addressInModule);
