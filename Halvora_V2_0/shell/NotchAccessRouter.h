#pragma once

#include "RootNotchView.h"

#include <QWidget>

class AttivitaManager;
class NotchStateManager;

// The panel's content: hands the delegate's two objects and the canvas size
// to the root view, which builds everything else.
class NotchAccessRouter : public QWidget {
    Q_OBJECT
public:
    NotchAccessRouter(NotchStateManager& stato, AttivitaManager& attivita, QSize canvas,
                      RootNotchView::Servizi servizi, QWidget* parent = nullptr);
    RootNotchView* root() const { return root_; }

private:
    RootNotchView* root_;
};
