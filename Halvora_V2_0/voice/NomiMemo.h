#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

// The naming rules of voice memos, as plain functions.
namespace NomiMemo {

inline constexpr QLatin1StringView estensione{"m4a"};

// "Memo " + the time as "d MMM HH.mm" in `locale` ("Memo 8 Dec 14.05").
QString nomePredefinito(const QDateTime& quando, const QLocale& locale = QLocale());

// Takes a free path in `cartella` for a new memo called `base` and makes
// its file there, empty: base.m4a, then "base (2).m4a", "base (3).m4a", …
// A name is taken when either the memo or its transcript exists, so an
// orphan transcript never attaches itself to a new memo; the file is made
// only where none is, so two recordings never share one. Nothing when no
// file can be made there.
std::optional<QString> riservaPercorsoUnico(const QString& cartella, const QString& base);

// Whether a memo called `base` (memo or transcript) already exists in `cartella`.
bool nomeOccupato(const QString& cartella, const QString& base);

// The file name (without extension) a rename to `testo` gives a memo with
// extension `ext`; nothing when the text is blank.
std::optional<QString> nomeDaRinomina(const QString& testo, const QString& ext);

// The automatic title of a memo called `base` with this transcript: its
// first six words, without leading or trailing " .,;:!?", at most 50
// characters. Only a default name ("Memo …" or "Memo_…") takes one; none
// for fewer than two words or fewer than four characters.
std::optional<QString> titoloDaTrascrizione(const QString& base, const QString& trascrizione);

// The transcript beside a memo: same folder and name, ".txt".
QString percorsoTrascrizione(const QString& percorsoMemo);

// Elapsed recording time as "mm:ss", whole seconds truncated.
QString testoDurata(double secondi);

} // namespace NomiMemo
