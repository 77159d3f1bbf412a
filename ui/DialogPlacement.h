#pragma once

class QWidget;

/// Moves a top-level window, at the size its layout gives it, to the centre of the screen it (or
/// its parent) is on; captions too long for the screen are cut.
void centreOnScreen(QWidget& window);
