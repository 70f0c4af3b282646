#pragma once

// Reads the title from the settings and makes it the application title (also when empty).
void ApplyAppTitleFromSettings();
