#pragma once
#include <QWidget>

// Placeholder until the window's own work lands: an empty window with its caption.
class frmSTY : public QWidget {
    Q_OBJECT
public:
    explicit frmSTY(QWidget* parent = nullptr);
};
