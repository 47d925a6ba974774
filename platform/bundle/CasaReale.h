#pragma once

#include <QString>

// The user's real home folder, from the user database (the environment's
// HOME may point elsewhere); computed once.
QString cartellaCasaReale();

// Where installed copies of the application live: ~/Applications of the
// real home folder.
QString cartellaApplicazioni();
