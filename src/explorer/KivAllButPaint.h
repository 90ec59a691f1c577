#pragma once

class QWidget;

// The message pump of long loops: processes every pending event, delivering keyboard and mouse
// input only when it is aimed at `window` (the progress dialog) or one of its children. Input for
// any other window is thrown away, never delivered later, and so are the window system's requests
// to close another window; paint, timer and all other events go on.
// A null window drops every input event.
void KivAllButPaint(QWidget* window);
