#pragma once

#include "AttivitaNotch.h"
#include "BatteriaMonitor.h"
#include "UsoIAMonitor.h"

#include <QImage>
#include <QUrl>
#include <optional>

// Events of one feature that become a notice of the notch.
namespace Reazioni {

inline constexpr double kDurataAvviso = 4.0;
// A failure the user must learn (something not saved) stays longer, the longest a notice may.
inline constexpr double kDurataErrore = 10.0;
inline constexpr double kDurataLimite = 8.0;
// The side of a notice's picture in pixels (twice its 30-point frame).
inline constexpr int kLatoAnteprima = 60;

// A change between mains and battery; nothing for a first reading or for a
// change of charge or charging alone.
std::optional<AttivitaNotch> avvisoAlimentazione(const std::optional<StatoAlimentazione>& prima,
                                                 const std::optional<StatoAlimentazione>& dopo);

// A new file in Downloads; nothing without a file or with the notice
// switched off.
std::optional<AttivitaNotch> avvisoFileScaricato(const std::optional<QUrl>& file, bool annuncia);

// A screenshot kept in the tray, with the picture read from its file (a
// null image when it could not be read).
AttivitaNotch avvisoScreenshot(const QImage& anteprima);

// A file made by a tray conversion; the title comes from the tray as it is.
AttivitaNotch avvisoConversione(const QString& titolo, const QUrl& file);
// A tray conversion that made nothing of `file`, named when it was the only one.
AttivitaNotch avvisoConversioneMancata(const QString& titolo, const QList<QUrl>& file);

// Items of a drop that could not be written to the tray, and why.
AttivitaNotch avvisoRilascioNonRiuscito(int quanti, const QString& motivo);
// A changed setting that holds for this run only, and why.
AttivitaNotch avvisoImpostazioneNonSalvata(const QString& motivo);
// A whole reminder list that a cut-off save left was kept aside as `copia`.
AttivitaNotch avvisoPromemoriaMessiDaParte(const QString& copia);
// The settings file could not be read: the name of the copy kept beside it.
AttivitaNotch avvisoImpostazioniMesseDaParte(const QString& copia);

// An AI usage window that is usable again.
AttivitaNotch avvisoLimiteAzzerato(const UsoIAMonitor::DiNuovoDisponibile& evento);

// The picture in an image file, decoded at most kLatoAnteprima on its
// longer side so a large file costs little; null when unreadable. Reads
// the file: call it off the GUI thread.
QImage leggiAnteprima(const QString& percorso);

} // namespace Reazioni
