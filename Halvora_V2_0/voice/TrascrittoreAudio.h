#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Speech transcription of recorded audio with the offline recogniser
// (pocketsphinx): one model folder per language it can recognise.
namespace TrascrittoreAudio {

// Where Debian's pocketsphinx packages put their language models.
inline const QString kCartellaModelli = QStringLiteral("/usr/share/pocketsphinx/model");

// The languages with a model, as identifiers like "en-US", sorted.
QStringList lingueSupportate(const QString& cartellaModelli = kCartellaModelli);

// The recogniser's language for the user's preferred languages, in order:
// the first preference that a supported language matches exactly, else
// one with its language code; failing all of them, the first English one.
std::optional<QString> localeRiconoscimento(const QStringList& preferite, const QStringList& supportate);

// The recogniser's language named in itself ("American English"), or
// "non disponibile" when there is none.
QString nomeLinguaRiconoscimento(const QStringList& preferite, const QStringList& supportate);
// The same for the desktop's languages and the installed models.
QString nomeLinguaRiconoscimento();

} // namespace TrascrittoreAudio
