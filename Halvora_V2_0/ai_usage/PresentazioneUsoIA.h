#pragma once

#include "LetturaUsoIA.h"

#include <QLocale>
#include <QString>
#include <optional>

// The usage band of a window, which colours every usage view.
enum class FasciaUso { normale, avviso, alta };

// High when critical or at 95 % or more; warning from 75 %; else normal.
FasciaUso fasciaUso(const LimiteIA& limite);

// "si azzera fra 2 h 5 min" while the reset is less than a day away,
// "si azzera lun 09:30" from a day on, nothing when there is no reset time
// or it has passed. Already translated; dates in `locale`.
std::optional<QString> testoAzzeramento(const LimiteIA& limite, const QDateTime& ora, const QLocale& locale = {});

// Hours and minutes, abbreviated, zero units left out: "2 h 5 min", "45 min".
QString durataBreve(qint64 secondi);
