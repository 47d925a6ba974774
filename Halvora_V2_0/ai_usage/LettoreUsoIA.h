#pragma once

#include "CasaReale.h"
#include "LetturaUsoIA.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// A source of readings of one provider. The monitor calls it only from its
// one worker thread, one call at a time, so a reader needs no lock.
class LettoreUsoIA {
public:
    virtual ~LettoreUsoIA() = default;
    // The newest reading the source holds, or nothing when nothing changed
    // since the last reading or nothing usable is there.
    virtual std::optional<LetturaUsoIA> leggiUso() = 0;
    // Forgets what was cached between calls, so the next read scans afresh
    // and returns the newest reading even if nothing changed.
    virtual void dimentica() = 0;
};

// Long before any reader existed: a reader created or reset with this as
// its last scan scans on its first read.
const QDateTime& passatoRemoto();

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config of the real
// home folder.
QString cartellaConfigurazione();

// The modification times of the files that can be examined, in whole
// seconds, in input order; the others are left out.
std::vector<std::pair<QString, QDateTime>> dateDiModifica(const QStringList& file);
