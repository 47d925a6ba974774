#pragma once

#include <QString>

// Where the application finds the helper executables it starts: beside its
// own executable (the bundle, or the build folder of the shell), else at
// the path the build gave (a test or bench executable lives elsewhere).
namespace Aiutanti {

QString percorso(const QString& nome, const QString& ripiego = {});

} // namespace Aiutanti
