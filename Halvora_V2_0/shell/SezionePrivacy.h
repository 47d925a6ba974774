#pragma once

#include "SezioneImpostazioni.h"

#include <QPointer>
#include <functional>
#include <optional>

class ClipboardManager;
class DesktopEntries;
class QLayout;
class QVBoxLayout;
class SettingsManager;

// The settings section "Privacy": where transcription runs, the
// recogniser's language and the applications the clipboard history never
// records. `clipboard` may be null: the exclusions are left out.
class SezionePrivacy final : public SezioneImpostazioni {
    Q_OBJECT
public:
    // Asks the user for a .desktop file; none when cancelled.
    using SceltaFile = std::function<std::optional<QString>(QWidget* genitore)>;

    SezionePrivacy(SettingsManager& settings, ClipboardManager* clipboard, const DesktopEntries& applicazioni,
                   QWidget* parent = nullptr);

    // Replaces the file dialog of "Aggiungi un'app…" (tests).
    void setSceltaFile(SceltaFile scelta) { sceltaFile_ = std::move(scelta); }
    // A modal file dialog over /usr/share/applications, .desktop files only.
    static std::optional<QString> sceltaFileDiSistema(QWidget* genitore);
    // The desktop id of a .desktop file: its path under an "applications"
    // folder with "/" as "-", without the suffix.
    static QString idDesktop(const QString& percorso);

private:
    QLayout* creaAppunti();
    void aggiornaAppEscluse();
    void aggiungiApp();
    void escludiFile(const QString& percorso);

    QPointer<ClipboardManager> clipboard_;
    const DesktopEntries& applicazioni_;
    SceltaFile sceltaFile_ = &SezionePrivacy::sceltaFileDiSistema;
    QVBoxLayout* elencoApp_ = nullptr;
};
