#pragma once
// A windowless control painted into an image of its own size, over magenta
// so that what it leaves unpainted shows.

#include <QImage>

class TGraphicControl;

QImage RenderGraphicControl(TGraphicControl* Control);
