#pragma once

#include <QUrl>

// The whole program: application object, main window opening startUrl, message loop. Returns the
// exit status. The entry always passes the built-in start page.
int runProgram(int &argc, char **argv, const QUrl &startUrl);
