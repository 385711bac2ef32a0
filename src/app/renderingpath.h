#pragma once

#include <QString>

// True when an OpenGL renderer name is a software rasteriser (Mesa llvmpipe/softpipe, the
// Windows GDI generic renderer, ...), where drawing through OpenGL only adds cost.
bool isSoftwareRenderer(const QString &rendererName);

// Before the application object exists: on a machine without a graphics device, keeps Qt from
// loading OpenGL at all (a software rasteriser costs ~90 ms of start-up and ~20 MB there, and the
// software scene graph chosen below never uses it). Leaves a user's own QT_XCB_GL_INTEGRATION alone.
// Returns whether OpenGL may be asked for at all.
bool prepareRenderingPath();

// Chooses how the web view's scene is drawn, once, after the application object exists and before
// the first view: by OpenGL where the machine has a real one, in software where its OpenGL is
// itself software (or missing).
void chooseRenderingPath(bool openGLAvailable);
