#pragma once
#include <QWidget>

// Placeholder until the window's own work lands: an empty window with its caption.
class frmGXT : public QWidget {
    Q_OBJECT
public:
    explicit frmGXT(QWidget* parent = nullptr);
};
