#pragma once
#include <QWidget>

// Placeholder until the window's own work lands: an empty window with its caption.
class frmGCI : public QWidget {
    Q_OBJECT
public:
    explicit frmGCI(QWidget* parent = nullptr);
};
