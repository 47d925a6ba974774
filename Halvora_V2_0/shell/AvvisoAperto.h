#pragma once

#include "AttivitaNotch.h"

#include <QWidget>
#include <optional>

// The notice of the moment, as the open panel shows it: one line with its
// symbol, its title and its detail, on a tinted capsule at the top of the
// panel, so that a notice (a failed save above all) is seen with the panel
// open too, not only under the closed strip. It takes no clicks.
class AvvisoAperto final : public QWidget {
    Q_OBJECT
public:
    explicit AvvisoAperto(QWidget* parent = nullptr);

    // None hides it.
    void imposta(const std::optional<AttivitaNotch>& attivita);
    const std::optional<AttivitaNotch>& attivita() const { return attivita_; }
    // The width it wants for its notice, up to `massima`.
    int larghezzaPer(int massima) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QFont fontTitolo() const;
    QFont fontDettaglio() const;

    std::optional<AttivitaNotch> attivita_;
};
