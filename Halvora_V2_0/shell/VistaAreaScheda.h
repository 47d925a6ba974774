#pragma once

#include <QPointer>
#include <QWidget>

class NotchPanel;

// Marks a clickable area of the otherwise click-through panel. It never
// takes a click itself; the panel lets clicks reach what lies over it.
class VistaAreaScheda : public QWidget {
    Q_OBJECT
public:
    explicit VistaAreaScheda(double distaccoSuperiore = 0, QWidget* parent = nullptr);
    ~VistaAreaScheda() override;

    // Points at the top that do not count as clickable (the gap above a card).
    double distaccoSuperiore() const { return distaccoSuperiore_; }
    void setDistaccoSuperiore(double d);
    NotchPanel* pannello() const;
    // The panel is going away.
    void dimenticaPannello();

protected:
    bool event(QEvent* evento) override;

private:
    void registra();

    double distaccoSuperiore_;
    QPointer<NotchPanel> pannello_;
};
