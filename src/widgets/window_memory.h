#pragma once

#include <QSize>

class QWidget;

// Windows that open again where and as large as the operator left them: section "Janelas" of
// ZRVConfig.ini, one key per window (its object name) holding "x,y,largura,altura". A window
// opens at `defaultSize` (bounded by its screen) until it has a place of its own, and at its
// default again when that place lies off every screen now. Nothing is written while the settings
// file does not exist (the program's start creates it whole).
void RememberWindowGeometry(QWidget* window, const QSize& defaultSize);

// `wanted` made no larger than the available part of the screen the window is on (or the primary
// screen), less a margin for the frame.
QSize FitToScreen(const QWidget* window, const QSize& wanted);
