#include "ControlImage.h"

#include <QPainter>

#include "Controls.h"

QImage RenderGraphicControl(TGraphicControl* Control) {
    QImage image(Control->GetWidth(), Control->GetHeight(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    Control->PaintTo(painter);
    painter.end();
    return image;
}
