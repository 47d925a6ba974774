#pragma once

#include <QString>

// The user's real home folder, from the user database (the environment's
// HOME may point elsewhere); computed once.
QString cartellaCasaReale();

// Where installed copies of the application live: ~/Applications of the
// real home folder, its symbolic links resolved; computed once.
QString cartellaApplicazioni();

// `percorso` made absolute with every symbolic link in the part that
// exists resolved, and the part that does not yet exist appended as
// written: one text for one place, whichever link it was reached through.
QString percorsoRisolto(const QString& percorso);
