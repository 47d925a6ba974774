#pragma once

#include "Screens.h"

// Screens as Qt reports them, primary first.
class QtScreens final : public Screens {
    Q_OBJECT
public:
    explicit QtScreens(QObject* parent = nullptr);
    QList<ScreenInfo> screens() const override;

private:
    void osserva(class QScreen* schermo);
};
