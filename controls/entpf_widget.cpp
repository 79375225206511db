// The picture field's window: a plain widget that takes the keyboard focus
// by tab and by click. Everything else arrives as messages.

#include <QWidget>

#include "entpf.h"

QWidget* TEntBaseEntryField::CreateWidget(QWidget* ParentWidget) {
    auto* w = new QWidget(ParentWidget);
    w->setFocusPolicy(Qt::StrongFocus);
    w->setAttribute(Qt::WA_InputMethodEnabled, false);
    return w;
}
