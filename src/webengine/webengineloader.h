#pragma once

// Loading the web engine module (webengine/webengine.h) into either program: the desktop program
// after its window has appeared, corvane-report when a PDF is asked for.
//
// The module is looked for beside the program, then in the installed library folder; a program
// that lies elsewhere (the tests, the benchmarks) names it first with setWebEngineModule.

#include "webengine/webengine.h"

#include <QString>

namespace corvane {

// The engine, loading its module on the first call; nullptr when the module cannot be loaded,
// with the reason in error.
WebEngine *webEngine(QString *error = nullptr);

// The module's file, looked for before the folders above; call it before the first webEngine().
void setWebEngineModule(const QString &path);

} // namespace corvane
