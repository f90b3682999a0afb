#pragma once

// Installs Qt's Italian translations (qtbase_it) once; false when they are not installed.
bool LoadQtTranslations();

// The entry procedure: the start-up sequence, then the main window shown without waiting.
void Main();
