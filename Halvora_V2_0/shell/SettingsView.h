#pragma once

#include "AvvisiAgenti.h"
#include "FornitoreIA.h"
#include "SezionePrivacy.h"

#include <QScrollArea>
#include <optional>

class AggiornamentoManager;
class ClipboardManager;
class DesktopEntries;
class LinguaManager;
class Pasteboard;
class ScorciatoiaTacca;
class SettingsManager;

// The settings page of the open notch: a scrolling column of titled
// sections (Generale, Aspetto, Sotto la tacca, Privacy) and the closing
// buttons at its foot. Switches write the settings model; everything
// shown follows the managers' change signals. The page keeps no state
// of its own but which agent's hook text was copied last.
class SettingsView final : public QScrollArea {
    Q_OBJECT
public:
    static constexpr double kDurataCopiato = AvvisiAgenti::kDurataCopiato;

    using SceltaFile = SezionePrivacy::SceltaFile;

    // `scorciatoia`, `clipboard` and `aggiornamento` may be null: their
    // rows are left out. Every object must outlive the page.
    SettingsView(SettingsManager& settings, LinguaManager& lingua, ScorciatoiaTacca* scorciatoia,
                 ClipboardManager* clipboard, AggiornamentoManager* aggiornamento, Pasteboard& pasteboard,
                 const DesktopEntries& applicazioni, Clock& clock, QWidget* parent = nullptr);
    ~SettingsView() override;

    // The whole column, taller than the page (renders, tests).
    QWidget* pagina() const { return pagina_; }

    // The agent whose hook request shows "Copiato" now.
    std::optional<FornitoreIA> messaggioCopiato() const;
    // Puts the request that installs the agent's hooks on the clipboard and
    // shows "Copiato" on its button for two seconds.
    void copiaIstruzioni(FornitoreIA fornitore);

    // Replaces the file dialog of "Aggiungi un'app…" (tests).
    void setSceltaFile(SceltaFile scelta) { privacy_->setSceltaFile(std::move(scelta)); }
    // A modal file dialog over /usr/share/applications, .desktop files only.
    static std::optional<QString> sceltaFileDiSistema(QWidget* genitore)
    {
        return SezionePrivacy::sceltaFileDiSistema(genitore);
    }
    // The desktop id of a .desktop file: its path under an "applications"
    // folder with "/" as "-", without the suffix.
    static QString idDesktop(const QString& percorso) { return SezionePrivacy::idDesktop(percorso); }

signals:
    // "Torna Indietro": the root view hides the page.
    void chiudi();
    // "Rivedi la guida": the root view reopens the onboarding guide.
    void rivediGuida();

private:
    QWidget* pagina_ = nullptr;
    AvvisiAgenti* avvisi_ = nullptr;
    SezionePrivacy* privacy_ = nullptr;
};
