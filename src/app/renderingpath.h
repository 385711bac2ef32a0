#pragma once

#include <QString>

// True when an OpenGL renderer name is a software rasteriser (Mesa llvmpipe/softpipe, the
// Windows GDI generic renderer, ...), where drawing through OpenGL only adds cost.
bool isSoftwareRenderer(const QString &rendererName);

// Chooses how the web view's scene is drawn, once, after the application object exists and before
// the first view: by OpenGL where the machine has a real one, in software where its OpenGL is
// itself software (or missing).
void chooseRenderingPath();
