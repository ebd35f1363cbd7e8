// An editable drop-down list that reports when its drop-down closes, whether or not an
// entry was chosen.
#pragma once

#include <QAbstractItemView>
#include <QComboBox>

namespace tess {

class CloseUpComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void hidePopup() override {
        const bool wasShown = view() && view()->isVisible();
        QComboBox::hidePopup();
        if (wasShown) emit closedUp();
    }

signals:
    void closedUp();
};

}  // namespace tess
