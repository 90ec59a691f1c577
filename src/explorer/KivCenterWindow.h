#pragma once

class QWidget;

// Moves a window, keeping its size (frame included), to the middle of the screen it is on and
// repaints it. A null window is left alone.
void KivCenterWindow(QWidget* window);
