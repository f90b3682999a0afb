#pragma once

// The entry procedure: the start-up sequence, then the main window shown without waiting.
void Main();
