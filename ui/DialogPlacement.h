#pragma once

class QWidget;

/// Moves a top-level window to the centre of the screen it (or its parent) is on.
void centreOnScreen(QWidget& window);
