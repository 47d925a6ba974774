#pragma once

#include "Clock.h"
#include "FornitoreIA.h"

#include <QPointer>
#include <QScrollArea>
#include <functional>
#include <optional>
#include <vector>

class AggiornamentoManager;
class QAbstractButton;
class ClipboardManager;
class DesktopEntries;
class LinguaManager;
class Pasteboard;
class QComboBox;
class QLabel;
class QVBoxLayout;
class RigaInterruttore;
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
    static constexpr double kDurataCopiato = 2.0; // s

    // Asks the user for a .desktop file; none when cancelled.
    using SceltaFile = std::function<std::optional<QString>(QWidget* genitore)>;

    // `scorciatoia`, `clipboard` and `aggiornamento` may be null: their
    // rows are left out. Every object must outlive the page.
    SettingsView(SettingsManager& settings, LinguaManager& lingua, ScorciatoiaTacca* scorciatoia,
                 ClipboardManager* clipboard, AggiornamentoManager* aggiornamento, Pasteboard& pasteboard,
                 const DesktopEntries& applicazioni, Clock& clock, QWidget* parent = nullptr);
    ~SettingsView() override;

    // The whole column, taller than the page (renders, tests).
    QWidget* pagina() const { return pagina_; }

    // The agent whose hook request shows "Copiato" now.
    std::optional<FornitoreIA> messaggioCopiato() const { return messaggioCopiato_; }
    // Puts the request that installs the agent's hooks on the clipboard and
    // shows "Copiato" on its button for two seconds.
    void copiaIstruzioni(FornitoreIA fornitore);

    // Replaces the file dialog of "Aggiungi un'app…" (tests).
    void setSceltaFile(SceltaFile scelta) { sceltaFile_ = std::move(scelta); }
    // A modal file dialog over /usr/share/applications, .desktop files only.
    static std::optional<QString> sceltaFileDiSistema(QWidget* genitore);
    // The desktop id of a .desktop file: its path under an "applications"
    // folder with "/" as "-", without the suffix.
    static QString idDesktop(const QString& percorso);

signals:
    // "Torna Indietro": the root view hides the page.
    void chiudi();
    // "Rivedi la guida": the root view reopens the onboarding guide.
    void rivediGuida();

private:
    QWidget* sezione(const QString& titolo, QWidget* riquadro, int spaziatura);
    QWidget* creaGenerale();
    QWidget* creaAspetto();
    QWidget* creaSottoLaTacca();
    QWidget* creaPrivacy();
    QWidget* creaPiede();
    QLayout* creaLingua();
    QLayout* creaVersione();
    QLayout* creaAvvioAlLogin();
    QLayout* creaScorciatoia();
    QWidget* creaAvvisiAgenti();
    QLayout* creaAppunti();
    RigaInterruttore* interruttore(const QString& titolo, const QString& spiegazione, const char* proprieta);

    void aggiornaLingua();
    void aggiornaVersione();
    void aggiornaAvvioAlLogin();
    void aggiornaScorciatoia();
    void aggiornaPulsantiCopia();
    void aggiornaAppEscluse();
    void aggiungiApp();
    void escludiFile(const QString& percorso);

    SettingsManager& settings_;
    LinguaManager& lingua_;
    QPointer<ScorciatoiaTacca> scorciatoia_;
    QPointer<ClipboardManager> clipboard_;
    QPointer<AggiornamentoManager> aggiornamento_;
    Pasteboard& pasteboard_;
    const DesktopEntries& applicazioni_;
    Clock& clock_;
    SceltaFile sceltaFile_ = &SettingsView::sceltaFileDiSistema;

    std::optional<FornitoreIA> messaggioCopiato_;
    // One reset per press: an earlier press's reset finds its agent still
    // shown only when no other button was pressed since.
    std::vector<TimerHandle> ripristiniCopiato_;

    QWidget* pagina_ = nullptr;
    QComboBox* sceltaLingua_ = nullptr;
    QLabel* notaLingua_ = nullptr;
    QLabel* esitoVerifica_ = nullptr;
    QLabel* versioneDisponibile_ = nullptr;
    QAbstractButton* cercaAggiornamenti_ = nullptr;
    RigaInterruttore* avvioAlLogin_ = nullptr;
    QLabel* notaAvvioAlLogin_ = nullptr;
    QLabel* erroreAvvioAlLogin_ = nullptr;
    QLabel* avvisoScorciatoia_ = nullptr;
    QAbstractButton* copiaClaude_ = nullptr;
    QAbstractButton* copiaCodex_ = nullptr;
    QVBoxLayout* elencoApp_ = nullptr;
};
