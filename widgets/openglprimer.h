#pragma once

class QWidget;

// A browser view composes its window through OpenGL. The first time one is added to a window already
// on screen, Qt builds the window's native window anew, and a click or double-click under way is
// lost. A window that holds a hidden OpenGL widget from the start composes that way from its first
// showing and is kept. Added to a window already shown, it rebuilds the window then, at a moment the
// caller chooses rather than under a click. Once is enough. Only on a display whose OpenGL works;
// elsewhere nothing is added.
void composeThroughOpenGL(QWidget *widget);
