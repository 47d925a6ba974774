#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QUrl>
#include <optional>

namespace SalvataggioSicuro {
struct Errore;
}

// The writers that turn one dropped item into one new file inside the tray
// folder. They block (file I/O), so callers run them off the GUI thread.
// Each yields the path of the file it wrote, or nothing; a failure leaves
// nothing behind in the tray and never replaces an existing file. Every
// file is synced before it shows in the tray; a failure to read or write
// (a full disk, say) is told through `errore`, while an item that is no
// file to copy (a pipe, a link that is no web link) is only skipped.
namespace PersistenzaVassoio {

// The hidden folder a copy is written in before it takes its UUID name.
inline constexpr const char* kPrefissoParziale = ".parziale-";

// Copy of a dropped file or folder: <tray>/<UUID>/<its name>. Symbolic
// links inside a folder are copied as links, never followed.
std::optional<QString> persistFileURL(const QUrl& sorgente, const QString& tray,
                                      SalvataggioSicuro::Errore* errore = nullptr);
// Copy of a provider's temporary file under the suggested name (or the
// temporary file's own), keeping the temporary file's extension when the
// name has none: <tray>/<UUID>/<name>.
std::optional<QString> persistRappresentazione(const QString& temporaneo, const QString& nomeSuggerito,
                                               const QString& tray, SalvataggioSicuro::Errore* errore = nullptr);
// A web link as a property list: <tray>/<host>.webloc, or
// <tray>/<host>-XXXX.webloc when that name is taken.
std::optional<QString> persistWebLink(const QUrl& link, const QString& tray,
                                      SalvataggioSicuro::Errore* errore = nullptr);
// An image re-encoded as PNG: <tray>/<UUID>_image.png.
std::optional<QString> persistImage(const QImage& immagine, const QString& tray,
                                    SalvataggioSicuro::Errore* errore = nullptr);
// A text, trimmed, as UTF-8: <tray>/<UUID>/<title>.txt.
std::optional<QString> persistTesto(const QString& testo, const QString& tray,
                                    SalvataggioSicuro::Errore* errore = nullptr);

// The path of a local file URL as the file system's bytes, which need not
// be UTF-8; empty for any other URL.
QByteArray percorsoLocale(const QUrl& url);
// The string as an http(s) link with a host, once trimmed; nothing otherwise.
std::optional<QUrl> webURL(const QString& s);
// The file name of a text: its first line without "/", ":" and "\", cut
// to 40 characters; "Testo" (translated) when that leaves nothing.
QString nomeTesto(const QString& testoRifilato);
// The bytes of a .webloc file for a link.
QByteArray contenutoWebloc(const QString& link);
// A name that stays one entry of a folder: its last path component with
// NUL characters replaced; empty when nothing usable is left ("", ".", "..").
QString nomeSicuro(const QString& nome);
// A fresh UUID in upper-case 8-4-4-4-12 form.
QString nuovoUuid();

} // namespace PersistenzaVassoio
