// The converter's windows keep a fixed size: their designed size, grown to
// what their laid-out texts need in the current font and language.
#pragma once

#include <QSize>

class QWidget;

void FixWindowSize(QWidget* pWindow, const QSize& designed);

// Registers the program's embedded forms' images and translations; safe to
// call more than once.
void InitMoxelinResources();
